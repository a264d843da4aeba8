// SPDX-License-Identifier: GPL-3.0-or-later
#include "fillcommands.h"

#include "bytetext.h"
#include "desktop.h"
#include "fillcheck.h"
#include "gridcanvas.h"
#include "gridstats.h"
#include "historyboxes.h"
#include "memoryhost.h"
#include "menuadditions.h"
#include "statuspanels.h"
#include "windowlayout.h"
#include "windowsearchhost.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QMenu>
#include <QTimer>

#include <algorithm>
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
    FillHost(const FillContext& c, qint64 startMs) : c_(c), startMs_(startMs) {}
    void yield() override {
        const qint64 seconds = (nowMs() - startMs_) / 1000;
        if (seconds != shown_) {
            shown_ = seconds;
            c_.panels.setText(2, QStringLiteral(" Fill %1 s ").arg(seconds));
        }
        c_.host.yield();
    }

private:
    const FillContext& c_;
    qint64 startMs_;
    qint64 shown_ = -1;
};

FillCommands::FillCommands(FillContext context)
    : c_(std::move(context)), overlay_(std::make_unique<FillCheckOverlay>(c_.document.grid())) {
    runner_ = std::make_unique<FillCheckRunner>(
        c_.indexes,
        [this](const GridModel& grid, const FillCheck& check) { checkDone(grid, check); });
    c_.document.addObserver(this);
    c_.editor.addObserver(this);
}

FillCommands::~FillCommands() {
    c_.editor.removeObserver(this);
    c_.document.removeObserver(this);
    c_.canvas.removeOverlay(overlay_.get());
    // The runner goes first: its thread uses the index cache.
    runner_.reset();
}

bool FillCommands::busy() const {
    return c_.flags.busy();
}

QList<QAction*> FillCommands::addMenuItems(QMenu* view, QMenu* tools) {
    MenuAdditions menus;
    auto add = [&menus](QMenu* menu, const char* name, const QString& caption) {
        return menus.item(menu, name, caption);
    };
    auto separator = [&menus](QMenu* menu, const char* name) { menus.separator(menu, name); };

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
    menus.added << symmetry->menuAction();
    symmetryGroup_ = new QActionGroup(this);
    rotate_ = add(symmetry, "Simmetria180", QStringLiteral("Half Turn (180°)"));
    leftRight_ = add(symmetry, "SimmetriaLR", QStringLiteral("Left-Right Mirror"));
    topBottom_ = add(symmetry, "SimmetriaTB", QStringLiteral("Top-Bottom Mirror"));
    for (QAction* a : {rotate_, leftRight_, topBottom_}) {
        a->setCheckable(true);
        symmetryGroup_->addAction(a);
    }
    rotate_->setChecked(true);
    auto followSymmetry = [this] { c_.editor.symmetry = this->symmetry(); };
    connect(symmetric_, &QAction::toggled, this, followSymmetry);
    connect(symmetryGroup_, &QActionGroup::triggered, this, followSymmetry);
    statistics_ = add(tools, "Statistiche", QStringLiteral("Grid Statistics"));

    connect(fillGrid_, &QAction::triggered, this, [this] { FillGrid_Click(); });
    connect(fillBox_, &QAction::triggered, this, [this] { FillBox_Click(); });
    connect(fillAgain_, &QAction::triggered, this, [this] { FillAgain_Click(); });
    connect(statistics_, &QAction::triggered, this, [this] { GridStatistics_Click(); });
    connect(tools, &QMenu::aboutToShow, this, [this] { updateMenu(); });
    updateMenu();

    overlay_->followLetters(c_.letters);
    c_.canvas.addOverlay(overlay_.get());
    return menus.added;
}

void FillCommands::updateMenu() {
    if (!fillGrid_)
        return;
    const bool grid = !c_.document.grid().isEmpty();
    fillGrid_->setEnabled(grid);
    fillBox_->setEnabled(grid && isPromptTool(c_.editor.CurrentTool()));
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
    return dictionarySelection(c_.enabled);
}

FillOptions FillCommands::fillOptions() const {
    FillOptions options;
    options.minScore = minScore_;
    options.scoreOrder = minScore_ > 0;
    options.keepThemeEntries = true;
    return options;
}

void FillCommands::setMinScore(int minScore) {
    minScore_ = std::clamp(minScore, LowestScore, HighestScore);
    requestCheck();
}

void FillCommands::showBox(const QString& title, const QString& text) {
    c_.desktop.messageBox(c_.parent, title, text, MsgIcon::None, MsgButtons::Ok);
}

// ---------------------------------------------------------------- fill

void FillCommands::FillGrid_Click() {
    if (busy() || c_.document.grid().isEmpty())
        return;
    runFill(Kind::Grid, std::nullopt, 1, false);
}

void FillCommands::FillBox_Click() {
    if (busy() || c_.document.grid().isEmpty())
        return;
    const Selection box = c_.editor.lastSelection();
    const GridModel& g = c_.document.grid();
    if (!isPromptTool(c_.editor.CurrentTool()) || box.LAX < 1 || box.LAY < 1 ||
        !g.contains(box.cy, box.cx)) {
        c_.host.beep();
        return;
    }
    const Selection region{box.cx, box.cy,
                           static_cast<int16_t>(std::min<int>(box.LAX, g.ColumnCount - box.cx)),
                           static_cast<int16_t>(std::min<int>(box.LAY, g.RowCount - box.cy))};
    runFill(Kind::Box, region, 1, false);
}

void FillCommands::FillAgain_Click() {
    if (busy() || c_.document.grid().isEmpty() || !haveLast_)
        return;
    runFill(lastKind_, lastRegion_, lastSeed_ + 1, true);
}

std::shared_ptr<const WordIndex> FillCommands::waitForIndex(const DictionarySelection& take) {
    if (auto index = c_.indexes.cached(take))
        return index;
    FillHost host(c_, fillStartMs_);
    host.yieldStride = 1;
    auto building = std::async(std::launch::async, [this, take] { return c_.indexes.get(take); });
    // The build cannot be stopped; a click on panel 2 meanwhile stops what
    // comes after it.
    while (building.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        host.lineTick();
    if (c_.flags.abortRequest > 0)
        return nullptr;
    return building.get();
}

void FillCommands::runFill(Kind kind, std::optional<Selection> region, uint64_t seed, bool again) {
    GridDocument& doc = c_.document;
    // Fill Again puts its fill in place of the last one while that is still
    // the last action: it starts from the grid as it was before that fill.
    const BulkChange* previous = again ? doc.history().lastBulkInForce() : nullptr;
    GridModel base = doc.grid();
    if (previous) {
        for (const CellChange& ch : previous->cells)
            base.setCell(ch.row, ch.column, ch.before);
    }

    SearchFlags& flags = c_.flags;
    StatusPanels& stb1 = c_.panels;
    FillResult result;
    result.status = FillStatus::Stopped;
    {
        const ScanScope scan(flags);
        flags.BusyCounter = 2;
        flags.abortRequest = 0;
        c_.host.setPointers(Pointers::Busy);
        stb1.setText(2, QStringLiteral(" Fill 0 s "));
        stb1.setHint(2, QStringLiteral("Cancel"));
        stb1.setText(3, QStringLiteral(" "));
        fillStartMs_ = nowMs();
        if (const std::shared_ptr<const WordIndex> index = waitForIndex(selection())) {
            FillOptions options = fillOptions();
            options.seed = seed;
            if (region)
                options.region = FillRegion{region->cy, region->cx,
                                            static_cast<int16_t>(region->cy + region->LAY - 1),
                                            static_cast<int16_t>(region->cx + region->LAX - 1)};
            FillHost host(c_, fillStartMs_);
            result = fillGrid(base, doc.wordSlots(), *index, options, host, flags);
        }
    }
    flags.BusyCounter = 0;
    flags.abortRequest = 0;
    c_.host.setPointers(Pointers::ToolGrid);
    stb1.setHint(2, QString());
    stb1.setText(2, QStringLiteral(" "));

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
        stb1.setText(2, QStringLiteral(" nothing to fill "));
        return;
    }
    const Selection box =
        region.value_or(Selection{0, 0, doc.grid().ColumnCount, doc.grid().RowCount});
    const std::size_t count = result.changes.size();
    BulkChange change;
    change.cells = std::move(result.changes);
    change.box = box;
    // The fill was made on a copy; nothing else ran meanwhile, so the grid
    // still holds what it started from (the record checks that).
    const std::optional<AggiorResult> r =
        doc.edit([&](DocumentEdit& e) -> std::optional<AggiorResult> {
            if (previous && !e.dropLastBulk())
                return std::nullopt;
            const AggiorResult recorded = e.record(std::move(change));
            if (recorded.recorded)
                e.clearPriclk();
            return recorded;
        });
    if (!r || !r->recorded) {
        if (r && r->historyCleared)
            showBox(fromBytes(HistoryClearedTitle), fromBytes(HistoryClearedText));
        showBox(FillTitle, QStringLiteral("The fill was stopped.\r\nThe grid is unchanged."));
        return;
    }
    showHistoryBoxes(c_.desktop, c_.parent, false, r->historyCleared);
    c_.editor.showBox(box);
    stb1.setText(2, QStringLiteral(" filled %1 cells ").arg(count));
}

// ---------------------------------------------------------------- check

void FillCommands::FillCheck_Click() {
    // Qt has ticked or unticked the item already; a busy window keeps it.
    if (busy()) {
        fillCheck_->setChecked(!fillCheck_->isChecked());
        return;
    }
    if (checkOn()) {
        requestCheck();
    } else {
        runner_->cancel();
        overlay_->clear();
        c_.canvas.update();
    }
}

void FillCommands::dictionariesChanged() {
    requestCheck();
}

void FillCommands::documentChanged(const GridDocument&, const DocumentChange& change) {
    // A new or opened grid is no place for the last fill's box.
    if (change.reset)
        haveLast_ = false;
    updateMenu();
    if ((!change.reset && change.cells.empty()) || checkPending_ || !checkOn())
        return;
    // The check starts once the handler that made the change has painted
    // it: the worker would otherwise compete with the repaint, and changes
    // made in one handler are checked once.
    checkPending_ = true;
    QTimer::singleShot(0, this, [this] {
        checkPending_ = false;
        requestCheck();
    });
}

void FillCommands::editorChanged(const EditorState&, const EditorChange& change) {
    if (change.tool)
        updateMenu();
}

void FillCommands::requestCheck() {
    if (!checkOn() || c_.document.grid().isEmpty())
        return;
    runner_->request(c_.document.grid(), c_.document.wordSlots(), selection(), fillOptions());
}

void FillCommands::checkDone(const GridModel& grid, const FillCheck& check) {
    if (!checkOn())
        return;
    overlay_->show(grid, check);
    c_.canvas.update();
    ++checksShown_;
    emit checkShown();
}

// ---------------------------------------------------------------- statistics

void FillCommands::GridStatistics_Click() {
    if (busy() || c_.document.grid().isEmpty())
        return;
    SearchFlags& flags = c_.flags;
    // The wait for the index shows its seconds in panel 2; the box leaves
    // the panel as it was.
    const QString panel2 = c_.panels.text(2);
    std::shared_ptr<const WordIndex> index;
    {
        const ScanScope scan(flags);
        flags.BusyCounter = 2;
        flags.abortRequest = 0;
        fillStartMs_ = nowMs();
        c_.host.setPointers(Pointers::Busy);
        index = waitForIndex(selection());
    }
    flags.BusyCounter = 0;
    flags.abortRequest = 0;
    c_.host.setPointers(Pointers::ToolGrid);
    c_.panels.setText(2, panel2);
    const GridStatistics stats = gridStatistics(c_.document.grid(), c_.document.wordSlots(),
                                                index.get(), minScore_, &c_.document.clues());
    // A grid of many words makes a long report: it scrolls rather than
    // growing past the screen.
    c_.desktop.showText(c_.parent, StatisticsTitle, fromBytes(statisticsText(stats)));
}

} // namespace korvel
