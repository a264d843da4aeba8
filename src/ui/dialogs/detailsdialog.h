// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "puzzle.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace korvel {

// File > Puzzle Details...: the title, author, copyright and notes of a
// puzzle, its language (which the printed pages follow), what a published
// puzzle carries besides (the introduction, the publisher, the difficulty,
// the explanation shown once solved) and its constructor's contact (name,
// e-mail, address), which the submission layout prints. Starts from the
// details given; details() holds what the fields say (UTF-8, line breaks as
// LF) once the dialog was accepted, and whatever else the details held (the
// fields of another program's file) as it was. The dialog changes nothing
// itself.
class DetailsDialog : public QDialog {
    Q_OBJECT
public:
    explicit DetailsDialog(const PuzzleDetails& details, QWidget* parent = nullptr);

    PuzzleDetails details() const;

private:
    PuzzleDetails given_;
    QLineEdit* title_;
    QLineEdit* author_;
    QLineEdit* copyright_;
    QPlainTextEdit* notes_;
    QComboBox* language_;
    QPlainTextEdit* intro_;
    QLineEdit* publisher_;
    QLineEdit* difficulty_;
    QPlainTextEdit* explanation_;
    QLineEdit* contactName_;
    QLineEdit* contactEmail_;
    QPlainTextEdit* contactAddress_;
};

} // namespace korvel
