// SPDX-License-Identifier: GPL-3.0-or-later
#include "fillsettingsdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QSpinBox>
#include <QVBoxLayout>

namespace korvel {

namespace {

// Lengths shown one by one; the longer ones together.
constexpr int LongestShownAlone = 15;

} // namespace

FillSettingsDialog::FillSettingsDialog(int minScore, bool shippedBans, bool haveShippedBans,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FillSettings"));
    setWindowTitle(QStringLiteral("Fill Settings"));
    setModal(true);

    minScore_ = new QSpinBox(this);
    minScore_->setObjectName(QStringLiteral("MinScore"));
    minScore_->setRange(0, 100);
    minScore_->setValue(minScore);
    shippedBans_ = new QCheckBox(
        QStringLiteral("Keep the words of the shipped ban list (base.bans) out of fills"), this);
    shippedBans_->setObjectName(QStringLiteral("ShippedBans"));
    shippedBans_->setChecked(haveShippedBans && shippedBans);
    shippedBans_->setEnabled(haveShippedBans);
    if (!haveShippedBans)
        shippedBans_->setToolTip(QStringLiteral("The dictionaries folder has no base.bans."));
    auto* note = new QLabel(
        QStringLiteral("Fill Grid, Fill Box and Fill Again never place a word that scores\n"
                       "under the minimum (0 to 100; 0 places every word) and try the\n"
                       "better words first. Where no fill exists at the minimum they\n"
                       "offer the best fill under it, lowering the minimum step by step.\n"
                       "Words already in the grid stay. Fill Check and Grid Statistics\n"
                       "follow the same minimum. The scores of the lists: 50 and above,\n"
                       "words a constructor would publish; 30 to 49, acceptable but\n"
                       "weak; under 30, rare words to avoid."),
        this);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("WordCounts"));
    counts_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    counts_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Minimum word score:"), minScore_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(shippedBans_);
    layout->addWidget(counts_);
    layout->addWidget(note);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(minScore_, &QSpinBox::valueChanged, this, [this] { showCounts(); });
    connect(shippedBans_, &QCheckBox::toggled, this, [this] { showCounts(); });
    showCounts();
    minScore_->setFocus();
    minScore_->selectAll();
}

int FillSettingsDialog::minScore() const {
    return minScore_->value();
}

bool FillSettingsDialog::shippedBans() const {
    return shippedBans_->isChecked();
}

void FillSettingsDialog::setWordCounts(const FillWordCounts& counts) {
    wordCounts_ = counts;
    showCounts();
}

QString FillSettingsDialog::wordCountsText() const {
    return counts_->text();
}

void FillSettingsDialog::showCounts() {
    if (!wordCounts_) {
        counts_->setText(QStringLiteral("Counting the words..."));
        return;
    }
    const FillWordCounts::PerLength n = wordCounts_->atLeast(minScore(), shippedBans());
    const QLocale numbers(QLocale::English);
    std::size_t all = 0;
    std::size_t longer = 0;
    QStringList cells;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        const std::size_t count = n[static_cast<std::size_t>(len)];
        all += count;
        if (len > LongestShownAlone)
            longer += count;
        else
            cells << QStringLiteral("%1: %2").arg(len, 2).arg(numbers.toString(qulonglong(count)),
                                                              7);
    }
    cells << QStringLiteral("%1+: %2")
                 .arg(LongestShownAlone + 1)
                 .arg(numbers.toString(qulonglong(longer)), 6);
    // Four to a line: letters, then the words of that length.
    QString text = QStringLiteral("Words the fill may place, by letters (%1 in all):")
                       .arg(numbers.toString(qulonglong(all)));
    for (int i = 0; i < cells.size(); ++i)
        text += (i % 4 == 0 ? QStringLiteral("\n") : QStringLiteral("   ")) + cells[i];
    counts_->setText(text);
}

} // namespace korvel
