#include "fillcommands.h"

#include "bytetext.h"
#include "desktop.h"
#include "fillcheck.h"
#include "gridcanvas.h"
#include "gridstats.h"
#include "mainwindow.h"
#include "memoryhost.h"
#include "statuspanels.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QMenu>

#include <chrono>
#include <future>

namespace korvel {

namespace {

const QString FillTitle = QStringLiteral("Attention...");
const QString StatisticsTitle = QStringLiteral("Grid Statistics");

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

// The fill's host: the engine writes nothing to the window; a yield shows the
// elapsed seconds in panel 2 and runs the window's event-loop pass, in which
// a click on panel 2 or "Search Reset" sets the abort request.
class FillHost : public MemoryHost {
public:
    FillHost(MainWindow& w, qint64 startMs) : w_(w), startMs_(startMs) {}
    void yield() override {
        const qint64 seconds = (nowMs() - startMs_) / 1000;
        if (seconds != shown_) {
            shown_ = seconds;
            w_.Stb1()->setText(2, QStringLiteral(" Fill %1 s ").arg(seconds));
        }
        w_.searchHost().yield();
    }

private:
    MainWindow& w_;
    qint64 startMs_;
    qint64 shown_ = -1;
};

FillCommands::FillCommands(MainWindow& window, Desktop& desktop)
    : w_(window), desktop_(desktop), indexes_(std::make_unique<FillIndexProvider>(window.store())),
      overlay_(std::make_unique<FillCheckOverlay>(window.grid())) {
    runner_ = std::make_unique<FillCheckRunner>(
        *indexes_,
        [this](const GridModel& grid, const FillCheck& check) { checkDone(grid, check); });
}

FillCommands::~FillCommands() {
    w_.Peri()->setOverlay(nullptr);
    // The runner goes first: its thread uses the index provider.
    runner_.reset();
}

QList<QAction*> FillCommands::addMenuItems(QMenu* view, QMenu* tools) {
    QList<QAction*> added;
    auto add = [&added](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        added << a;
        return a;
    };
    auto separator = [&added](QMenu* menu, const char* name) {
        QAction* s = menu->addSeparator();
        s->setObjectName(QString::fromLatin1(name));
        added << s;
    };

    separator(view, "SepRiempi");
    fillCheck_ = add(view, "ControlloRiempimento", QStringLiteral("Fill Check"));
    fillCheck_->setCheckable(true);
    fillCheck_->setChecked(false);
    connect(fillCheck_, &QAction::triggered, this, [this] { FillCheck_Click(); });

    separator(tools, "SepRiempi2");
    fillGrid_ = add(tools, "Riempi", QStringLiteral("Fill Grid"));
    fillBox_ = add(tools, "RiempiRiquadro", QStringLiteral("Fill Box"));
    fillAgain_ = add(tools, "RiempiAncora", QStringLiteral("Fill Again"));
    symmetric_ = add(tools, "NeriSimmetrici", QStringLiteral("Symmetric Blacks"));
    symmetric_->setCheckable(true);
    symmetric_->setChecked(false);
    QMenu* symmetry = tools->addMenu(QStringLiteral("Symmetry"));
    symmetry->setObjectName(QStringLiteral("Simmetria"));
    symmetry->menuAction()->setObjectName(QStringLiteral("SimmetriaMenu"));
    added << symmetry->menuAction();
    symmetryGroup_ = new QActionGroup(this);
    rotate_ = add(symmetry, "Simmetria180", QStringLiteral("Half Turn (180°)"));
    leftRight_ = add(symmetry, "SimmetriaLR", QStringLiteral("Left-Right Mirror"));
    topBottom_ = add(symmetry, "SimmetriaTB", QStringLiteral("Top-Bottom Mirror"));
    for (QAction* a : {rotate_, leftRight_, topBottom_}) {
        a->setCheckable(true);
        symmetryGroup_->addAction(a);
    }
    rotate_->setChecked(true);
    statistics_ = add(tools, "Statistiche", QStringLiteral("Grid Statistics"));

    connect(fillGrid_, &QAction::triggered, this, [this] { FillGrid_Click(); });
    connect(fillBox_, &QAction::triggered, this, [this] { FillBox_Click(); });
    connect(fillAgain_, &QAction::triggered, this, [this] { FillAgain_Click(); });
    connect(statistics_, &QAction::triggered, this, [this] { GridStatistics_Click(); });
    connect(tools, &QMenu::aboutToShow, this, [this] { updateMenu(); });
    updateMenu();

    overlay_->followLetters(w_.cellMetrics());
    w_.Peri()->setOverlay(overlay_.get());
    return added;
}

void FillCommands::updateMenu() {
    const bool grid = !w_.grid().isEmpty();
    fillGrid_->setEnabled(grid);
    fillBox_->setEnabled(grid && isPromptTool(w_.tool()));
    fillAgain_->setEnabled(grid && haveLast_);
    statistics_->setEnabled(grid);
}

Symmetry FillCommands::symmetry() const {
    if (!symmetric_ || !symmetric_->isChecked())
        return Symmetry::None;
    if (leftRight_->isChecked())
        return Symmetry::LeftRight;
    if (topBottom_->isChecked())
        return Symmetry::TopBottom;
    return Symmetry::Rotate180;
}

bool FillCommands::checkOn() const {
    return fillCheck_ && fillCheck_->isChecked();
}

DictionarySelection FillCommands::selection() const {
    return dictionarySelection(w_.enabledDictionaries());
}

void FillCommands::showBox(const QString& title, const QString& text) {
    desktop_.messageBox(&w_, title, text, MsgIcon::None, MsgButtons::Ok);
}

// ---------------------------------------------------------------- fill

void FillCommands::FillGrid_Click() {
    if (w_.busy() || w_.grid().isEmpty())
        return;
    runFill(Kind::Grid, std::nullopt, 1, false);
}

void FillCommands::FillBox_Click() {
    if (w_.busy() || w_.grid().isEmpty())
        return;
    const Selection box = w_.lastSelection;
    const GridModel& g = w_.grid();
    if (!isPromptTool(w_.tool()) || box.LAX < 1 || box.LAY < 1 || !g.contains(box.cy, box.cx)) {
        w_.searchHost().beep();
        return;
    }
    const Selection region{box.cx, box.cy,
                           static_cast<int16_t>(std::min<int>(box.LAX, g.ColumnCount - box.cx)),
                           static_cast<int16_t>(std::min<int>(box.LAY, g.RowCount - box.cy))};
    runFill(Kind::Box, region, 1, false);
}

void FillCommands::FillAgain_Click() {
    if (w_.busy() || w_.grid().isEmpty() || !haveLast_)
        return;
    runFill(lastKind_, lastRegion_, lastSeed_ + 1, true);
}

std::shared_ptr<const WordIndex> FillCommands::waitForIndex(const DictionarySelection& take) {
    if (auto index = indexes_->cached(take))
        return index;
    FillHost host(w_, fillStartMs_);
    host.yieldStride = 1;
    auto building = std::async(std::launch::async, [this, take] { return indexes_->get(take); });
    // The build cannot be stopped; a click on panel 2 meanwhile stops what
    // comes after it.
    while (building.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        host.lineTick();
    if (w_.flags().abortRequest > 0)
        return nullptr;
    return building.get();
}

void FillCommands::runFill(Kind kind, std::optional<Selection> region, uint64_t seed, bool again) {
    GridModel& grid = w_.grid();
    ActionsHistory& history = w_.history();
    // Fill Again puts its fill in place of the last one while that is still
    // the last action: it starts from the grid as it was before that fill.
    const FillHistory::Fill* previous = again ? fills_.lastInForce(history) : nullptr;
    GridModel base = grid;
    if (previous) {
        for (const CellChange& ch : previous->changes)
            base.setCell(ch.row, ch.column, ch.before);
    }

    SearchFlags& flags = w_.flags();
    StatusPanels* stb1 = w_.Stb1();
    FillResult result;
    result.status = FillStatus::Stopped;
    {
        const MainWindow::ScanScope scan = w_.scanScope();
        flags.BusyCounter = 2;
        flags.abortRequest = 0;
        w_.searchHost().setPointers(Pointers::Busy);
        stb1->setText(2, QStringLiteral(" Fill 0 s "));
        stb1->setHint(2, QStringLiteral("Cancel"));
        stb1->setText(3, QStringLiteral(" "));
        fillStartMs_ = nowMs();
        if (const std::shared_ptr<const WordIndex> index = waitForIndex(selection())) {
            FillOptions options;
            options.seed = seed;
            if (region)
                options.region = FillRegion{region->cy, region->cx,
                                            static_cast<int16_t>(region->cy + region->LAY - 1),
                                            static_cast<int16_t>(region->cx + region->LAX - 1)};
            FillHost host(w_, fillStartMs_);
            result = fillGrid(base, *index, options, host, flags);
        }
    }
    flags.BusyCounter = 0;
    flags.abortRequest = 0;
    w_.searchHost().setPointers(Pointers::ToolGrid);
    stb1->setHint(2, QString());
    stb1->setText(2, QStringLiteral(" "));

    haveLast_ = true;
    lastKind_ = kind;
    lastRegion_ = region;
    lastSeed_ = seed;
    updateMenu();

    if (result.status == FillStatus::NoFill) {
        showBox(FillTitle, QStringLiteral("No fill exists with the enabled dictionaries: ") +
                               fromBytes(result.reason) +
                               QStringLiteral(".\r\nThe grid is unchanged."));
        return;
    }
    if (result.status == FillStatus::Stopped) {
        showBox(FillTitle, QStringLiteral("The fill was stopped.\r\nThe grid is unchanged."));
        return;
    }
    if (result.changes.empty()) {
        stb1->setText(2, QStringLiteral(" nothing to fill "));
        return;
    }
    if (previous && !fills_.dropLast(grid, history)) {
        showBox(FillTitle, QStringLiteral("The fill was stopped.\r\nThe grid is unchanged."));
        return;
    }
    const Selection box = region.value_or(Selection{0, 0, grid.ColumnCount, grid.RowCount});
    const std::size_t count = result.changes.size();
    const AggiorResult r = fills_.record(grid, history, std::move(result.changes), box);
    if (!r.recorded) {
        if (r.historyCleared)
            showBox(fromBytes(HistoryClearedTitle), fromBytes(HistoryClearedText));
        // The grid changed under the fill (nothing else runs meanwhile).
        showBox(FillTitle, QStringLiteral("The fill was stopped.\r\nThe grid is unchanged."));
        return;
    }
    w_.document().clearPriclk();
    MainWindow::EditShown shown;
    shown.historyCleared = r.historyCleared;
    shown.boxes = {box};
    w_.showEdit(shown);
    stb1->setText(2, QStringLiteral(" filled %1 cells ").arg(count));
}

// ---------------------------------------------------------------- undo, redo

FillHistory::Restore FillCommands::undo() {
    return fills_.undo(w_.grid(), w_.history(), w_.CurrentRow, w_.CurrentColumn);
}

FillHistory::Restore FillCommands::redo() {
    return fills_.redo(w_.grid(), w_.history(), w_.CurrentRow, w_.CurrentColumn);
}

// ---------------------------------------------------------------- check

void FillCommands::FillCheck_Click() {
    // Qt has ticked or unticked the item already; a busy window keeps it.
    if (w_.busy()) {
        fillCheck_->setChecked(!fillCheck_->isChecked());
        return;
    }
    if (checkOn()) {
        lastRequested_ = GridModel{};
        gridPainted();
    } else {
        runner_->cancel();
        overlay_->clear();
        w_.Peri()->update();
    }
}

void FillCommands::gridPainted() {
    // The items follow the grid as well as the menu's opening.
    updateMenu();
    if (!checkOn() || w_.grid().isEmpty())
        return;
    const DictionarySelection take = selection();
    const GridModel& grid = w_.grid();
    if (take == lastTake_ && grid.RowCount == lastRequested_.RowCount &&
        grid.ColumnCount == lastRequested_.ColumnCount && grid.GridRows == lastRequested_.GridRows)
        return;
    lastRequested_ = grid;
    lastTake_ = take;
    runner_->request(grid, take);
}

void FillCommands::checkDone(const GridModel& grid, const FillCheck& check) {
    if (!checkOn())
        return;
    overlay_->show(grid, check);
    w_.Peri()->update();
    ++checksShown_;
    emit checkShown();
}

// ---------------------------------------------------------------- statistics

void FillCommands::GridStatistics_Click() {
    if (w_.busy() || w_.grid().isEmpty())
        return;
    SearchFlags& flags = w_.flags();
    // The wait for the index shows its seconds in panel 2; the box leaves
    // the panel as it was.
    const QString panel2 = w_.Stb1()->text(2);
    std::shared_ptr<const WordIndex> index;
    {
        const MainWindow::ScanScope scan = w_.scanScope();
        flags.BusyCounter = 2;
        flags.abortRequest = 0;
        fillStartMs_ = nowMs();
        w_.searchHost().setPointers(Pointers::Busy);
        index = waitForIndex(selection());
    }
    flags.BusyCounter = 0;
    flags.abortRequest = 0;
    w_.searchHost().setPointers(Pointers::ToolGrid);
    w_.Stb1()->setText(2, panel2);
    const GridStatistics stats = gridStatistics(w_.grid(), index.get());
    showBox(StatisticsTitle, fromBytes(statisticsText(stats)));
}

} // namespace korvel
