// SPDX-License-Identifier: GPL-3.0-or-later
#include "fillsettingsdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace korvel {

FillSettingsDialog::FillSettingsDialog(int minScore, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FillSettings"));
    setWindowTitle(QStringLiteral("Fill Settings"));
    setModal(true);

    minScore_ = new QSpinBox(this);
    minScore_->setObjectName(QStringLiteral("MinScore"));
    minScore_->setRange(0, 100);
    minScore_->setValue(minScore);
    auto* note = new QLabel(
        QStringLiteral("Fill Grid, Fill Box and Fill Again never place a word that scores\n"
                       "under the minimum (0 to 100; 0 places every word), and above 0\n"
                       "they try the better words first. Words already in the grid stay.\n"
                       "Fill Check and Grid Statistics follow the same minimum."),
        this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Minimum word score:"), minScore_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    minScore_->setFocus();
    minScore_->selectAll();
}

int FillSettingsDialog::minScore() const {
    return minScore_->value();
}

} // namespace korvel
