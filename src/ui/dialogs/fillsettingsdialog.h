// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QSpinBox;

namespace korvel {

// Tools > Fill Settings...: the fill's minimum word score, 0 to 100. The
// dialog only asks; the caller keeps and applies the value.
class FillSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit FillSettingsDialog(int minScore, QWidget* parent = nullptr);

    // The value shown; after the dialog was accepted, the one chosen.
    int minScore() const;
    QSpinBox* minScoreField() const { return minScore_; }

private:
    QSpinBox* minScore_;
};

} // namespace korvel
