// SPDX-License-Identifier: GPL-3.0-or-later
#include "griddimensionsdialog.h"

#include "desktop.h"
#include "gridmodel.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korvel {

GridDimensionsDialog::GridDimensionsDialog(Desktop& desktop, QWidget* parent)
    : QDialog(parent), desktop_(desktop), focusBack_(parent) {
    setObjectName(QStringLiteral("Form0a"));
    setWindowTitle(QStringLiteral("     GRID DIMENSIONS"));
    setModal(true);

    label1_ = new QLabel(QStringLiteral(" ROWS Nr (25 max.)"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    label2_ = new QLabel(QStringLiteral(" COLUMNS Nr (35 max.)"), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    text2_ = new QLineEdit(this);
    text2_->setObjectName(QStringLiteral("Text2"));
    command1_ = new QPushButton(QStringLiteral("OK"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command2_ = new QPushButton(QStringLiteral("Close"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    // Enter in a field never reaches the dialog (the key filter takes it);
    // Enter on a focused button presses that button.
    command1_->setAutoDefault(true);
    command2_->setAutoDefault(true);

    for (QLineEdit* field : {text1_, text2_}) {
        field->setContextMenuPolicy(Qt::NoContextMenu);
        field->installEventFilter(this);
    }

    auto* grid = new QGridLayout(this);
    grid->addWidget(label1_, 0, 0);
    grid->addWidget(text1_, 0, 1);
    grid->addWidget(label2_, 1, 0);
    grid->addWidget(text2_, 1, 1);
    grid->addWidget(command1_, 2, 0);
    grid->addWidget(command2_, 2, 1);

    connect(command1_, &QPushButton::clicked, this, &GridDimensionsDialog::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &QDialog::reject);
    text1_->setFocus();
}

bool GridDimensionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || (watched != text1_ && watched != text2_))
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    auto* field = static_cast<QLineEdit*>(watched);

    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (field == text1_)
            text2_->setFocus();
        else
            command1_->setFocus();
        if (field->text().isEmpty())
            field->setFocus();
    }

    // Only keys that type a character are filtered; moving the caret,
    // Delete and focus keys keep their usual meaning.
    // Esc closes the dialog as Close does, as in every dialog.
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Escape)
        return false;
    const QString typed = key->text();
    const bool typesCharacter =
        !typed.isEmpty() || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!typesCharacter || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false;
    if (typed.size() == 1 && typed.at(0) >= u'0' && typed.at(0) <= u'9' &&
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    desktop_.beep();
    return true;
}

void GridDimensionsDialog::Command1_Click() {
    const auto dims =
        validateDimensions(text1_->text().toStdString(), text2_->text().toStdString());
    if (!dims) {
        desktop_.messageBox(this, QString::fromLatin1(DimensionsErrorTitle),
                            QString::fromLatin1(DimensionsErrorText), MsgIcon::Exclamation,
                            MsgButtons::Ok);
        desktop_.beep();
        return;
    }
    rows_ = dims->rows;
    columns_ = dims->columns;
    accept();
}

} // namespace korvel
