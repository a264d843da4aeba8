// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "focusreturn.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace korvel {

class Desktop;

// The grid-dimensions dialog Form0a. Both fields take digits and Backspace
// only; Enter moves on (rows, columns, OK) and beeps like every other key
// refused. OK accepts the dialog only with rows 2..25 and columns 2..35 and
// otherwise shows "Wrong boundaries" and stays open.
class GridDimensionsDialog : public QDialog {
    Q_OBJECT
public:
    GridDimensionsDialog(Desktop& desktop, QWidget* parent = nullptr);

    // Valid after the dialog was accepted.
    int rows() const { return rows_; }
    int columns() const { return columns_; }

    QLineEdit* rowsField() const { return text1_; }
    QLineEdit* columnsField() const { return text2_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Command1_Click();

    Desktop& desktop_;
    // Closed, the dialog gives the focus back to the window behind it.
    FocusReturn focusBack_;
    QLabel* label1_;
    QLineEdit* text1_;
    QLabel* label2_;
    QLineEdit* text2_;
    QPushButton* command1_;
    QPushButton* command2_;
    int rows_ = 0;
    int columns_ = 0;
};

} // namespace korvel
