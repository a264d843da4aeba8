// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fillwordcounts.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLabel;
class QSpinBox;

namespace korvel {

// Tools > Fill Settings...: the fill's minimum word score, 0 to 100, whether
// the words of the shipped ban list stay out of fills, and what the minimum
// means (the words of each length it keeps, once they are counted). The
// dialog only asks; the caller keeps and applies the values.
class FillSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // haveShippedBans: whether the dictionaries folder has a ban list at
    // all; without one the switch is shown off and cannot be changed.
    FillSettingsDialog(int minScore, bool shippedBans, bool haveShippedBans,
                       QWidget* parent = nullptr);
    explicit FillSettingsDialog(int minScore, QWidget* parent = nullptr)
        : FillSettingsDialog(minScore, true, false, parent) {}

    // The values shown; after the dialog was accepted, the ones chosen.
    int minScore() const;
    bool shippedBans() const;
    QSpinBox* minScoreField() const { return minScore_; }
    QCheckBox* shippedBansField() const { return shippedBans_; }

    // The counts arrived (from a worker): the table follows the minimum and
    // the switch from now on.
    void setWordCounts(const FillWordCounts& counts);
    // The table as shown: "Counting the words..." until the counts arrive.
    QString wordCountsText() const;

private:
    void showCounts();

    QSpinBox* minScore_;
    QCheckBox* shippedBans_;
    QLabel* counts_;
    std::optional<FillWordCounts> wordCounts_;
};

} // namespace korvel
