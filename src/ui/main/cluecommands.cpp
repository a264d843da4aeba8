// SPDX-License-Identifier: GPL-3.0-or-later
#include "cluecommands.h"

#include "cluepanel.h"
#include "detailsdialog.h"
#include "gridcanvas.h"
#include "griddocument.h"
#include "historyboxes.h"
#include "searchhost.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>

namespace korvel {

ClueCommands::~ClueCommands() {
    delete dock_.data();
}

QList<QAction*> ClueCommands::addMenuItems(QMenu* file, QAction* before, QMenu* view) {
    details_ = new QAction(QStringLiteral("Puzzle Details..."), file);
    details_->setObjectName(QStringLiteral("Dettagli"));
    details_->setEnabled(false);
    file->insertAction(before, details_);
    connect(details_, &QAction::triggered, this, [this] { Dettagli_Click(); });
    // Like Export, the item needs a grid.
    connect(file, &QMenu::aboutToShow, this,
            [this] { details_->setEnabled(!c_.doc.grid().isEmpty()); });

    QAction* separator = view->addSeparator();
    separator->setObjectName(QStringLiteral("SepDefinizioni"));
    clues_ = view->addAction(QStringLiteral("Clues"));
    clues_->setObjectName(QStringLiteral("Definizioni"));
    clues_->setCheckable(true);
    clues_->setChecked(false);
    connect(clues_, &QAction::toggled, this, [this](bool on) { Definizioni_Click(on); });
    return {details_, separator, clues_};
}

void ClueCommands::Definizioni_Click(bool shown) {
    if (shown && !dock_) {
        CluePanelHooks hooks;
        hooks.showSlot = [this](const Slot& s) {
            const auto length = s.length;
            c_.editor.showBox(Selection{s.column, s.row, s.down() ? int16_t{1} : length,
                                        s.down() ? length : int16_t{1}});
            // The word's last cell, then its first: all of it when it fits.
            c_.canvas.showCell(s.rowAt(s.length - 1), s.columnAt(s.length - 1));
            c_.canvas.showCell(s.row, s.column);
        };
        hooks.edited = [this](const AggiorResult& r) {
            showHistoryBoxes(c_.desktop, c_.window, false, r.historyCleared);
        };
        hooks.busy = [this] { return c_.flags.busy(); };
        dock_ = new QDockWidget(QStringLiteral("Clues"), c_.window);
        dock_->setObjectName(QStringLiteral("CluesDock"));
        // Shown and hidden by the menu item alone.
        dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
        panel_ = new CluePanel(c_.doc, c_.editor, std::move(hooks), dock_);
        dock_->setWidget(panel_);
        c_.window->addDockWidget(Qt::RightDockWidgetArea, dock_);
    }
    if (dock_)
        dock_->setVisible(shown);
    if (clues_ && clues_->isChecked() != shown)
        clues_->setChecked(shown);
}

void ClueCommands::Dettagli_Click() {
    if (c_.doc.grid().isEmpty() || c_.flags.busy())
        return;
    DetailsDialog dialog(c_.doc.details(), c_.window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PuzzleDetails details = dialog.details();
    const AggiorResult r = c_.doc.edit([&](DocumentEdit& e) { return e.setDetails(details); });
    showHistoryBoxes(c_.desktop, c_.window, false, r.historyCleared);
}

} // namespace korvel
