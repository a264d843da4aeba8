// SPDX-License-Identifier: GPL-3.0-or-later
#include "detailsdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace korvel {

namespace {

QLineEdit* lineField(const char* name, const std::string& text) {
    auto* field = new QLineEdit(QString::fromStdString(text));
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

QPlainTextEdit* textField(const char* name, const std::string& text, int lines) {
    auto* field = new QPlainTextEdit(QString::fromStdString(text));
    field->setObjectName(QString::fromLatin1(name));
    field->setTabChangesFocus(true);
    const int line = field->fontMetrics().lineSpacing();
    field->setFixedHeight(line * lines + 2 * field->frameWidth() + 8);
    return field;
}

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace

DetailsDialog::DetailsDialog(const PuzzleDetails& details, QWidget* parent)
    : QDialog(parent), title_(lineField("DetailsTitle", details.title)),
      author_(lineField("DetailsAuthor", details.author)),
      copyright_(lineField("DetailsCopyright", details.copyright)),
      notes_(textField("DetailsNotes", details.notes, 3)),
      contactName_(lineField("DetailsContactName", details.contactName)),
      contactEmail_(lineField("DetailsContactEmail", details.contactEmail)),
      contactAddress_(textField("DetailsContactAddress", details.contactAddress, 3)) {
    setObjectName(QStringLiteral("DetailsDialog"));
    setWindowTitle(QStringLiteral("Puzzle Details"));

    auto* puzzle = new QFormLayout;
    puzzle->addRow(QStringLiteral("Title:"), title_);
    puzzle->addRow(QStringLiteral("Author:"), author_);
    puzzle->addRow(QStringLiteral("Copyright:"), copyright_);
    puzzle->addRow(QStringLiteral("Notes:"), notes_);

    auto* contact = new QGroupBox(QStringLiteral("The constructor's contact, for an editor"));
    auto* contactForm = new QFormLayout(contact);
    contactForm->addRow(QStringLiteral("Name:"), contactName_);
    contactForm->addRow(QStringLiteral("E-mail:"), contactEmail_);
    contactForm->addRow(QStringLiteral("Address:"), contactAddress_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("DetailsButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(puzzle);
    layout->addWidget(contact);
    layout->addWidget(buttons);
    resize(qMax(sizeHint().width(), 460), sizeHint().height());
}

PuzzleDetails DetailsDialog::details() const {
    PuzzleDetails d;
    d.title = utf8(title_->text());
    d.author = utf8(author_->text());
    d.copyright = utf8(copyright_->text());
    d.notes = utf8(notes_->toPlainText());
    d.contactName = utf8(contactName_->text());
    d.contactEmail = utf8(contactEmail_->text());
    d.contactAddress = utf8(contactAddress_->toPlainText());
    return d;
}

} // namespace korvel
