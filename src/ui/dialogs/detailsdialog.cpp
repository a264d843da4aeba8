// SPDX-License-Identifier: GPL-3.0-or-later
#include "detailsdialog.h"

#include <QComboBox>
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

// The language list: the two the program has word lists for, "not set", and
// any other code a file gave, kept as it is.
QComboBox* languageField(const std::string& code) {
    auto* field = new QComboBox;
    field->setObjectName(QStringLiteral("DetailsLanguage"));
    field->addItem(QStringLiteral("Italian"), QStringLiteral("it"));
    field->addItem(QStringLiteral("English"), QStringLiteral("en"));
    field->addItem(QStringLiteral("Not set (English headings)"), QString());
    const QString given = QString::fromStdString(code);
    int at = field->findData(given);
    if (at < 0) {
        field->addItem(given, given);
        at = field->count() - 1;
    }
    field->setCurrentIndex(at);
    return field;
}

} // namespace

DetailsDialog::DetailsDialog(const PuzzleDetails& details, QWidget* parent)
    : QDialog(parent), given_(details), title_(lineField("DetailsTitle", details.title)),
      author_(lineField("DetailsAuthor", details.author)),
      copyright_(lineField("DetailsCopyright", details.copyright)),
      notes_(textField("DetailsNotes", details.notes, 3)),
      language_(languageField(details.language)),
      intro_(textField("DetailsIntro", details.intro, 2)),
      publisher_(lineField("DetailsPublisher", details.publisher)),
      difficulty_(lineField("DetailsDifficulty", details.difficulty)),
      explanation_(textField("DetailsExplanation", details.explanation, 2)),
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
    puzzle->addRow(QStringLiteral("Language:"), language_);

    auto* published = new QGroupBox(QStringLiteral("As published"));
    auto* publishedForm = new QFormLayout(published);
    publishedForm->addRow(QStringLiteral("Introduction:"), intro_);
    publishedForm->addRow(QStringLiteral("Publisher:"), publisher_);
    publishedForm->addRow(QStringLiteral("Difficulty:"), difficulty_);
    publishedForm->addRow(QStringLiteral("Explanation:"), explanation_);

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
    layout->addWidget(published);
    layout->addWidget(contact);
    layout->addWidget(buttons);
    resize(qMax(sizeHint().width(), 460), sizeHint().height());
}

PuzzleDetails DetailsDialog::details() const {
    PuzzleDetails d = given_;
    d.title = utf8(title_->text());
    d.author = utf8(author_->text());
    d.copyright = utf8(copyright_->text());
    d.notes = utf8(notes_->toPlainText());
    d.language = utf8(language_->currentData().toString());
    d.intro = utf8(intro_->toPlainText());
    d.publisher = utf8(publisher_->text());
    d.difficulty = utf8(difficulty_->text());
    d.explanation = utf8(explanation_->toPlainText());
    d.contactName = utf8(contactName_->text());
    d.contactEmail = utf8(contactEmail_->text());
    d.contactAddress = utf8(contactAddress_->toPlainText());
    return d;
}

} // namespace korvel
