// SPDX-License-Identifier: GPL-3.0-or-later
// The conflicting set names a member "slots", which Qt's headers make a
// keyword: it is read here, before any of them.
#include "conflictset.h"

namespace korvel {
namespace {
const std::vector<Slot>& slotsOf(const ConflictSet& set) {
    return set.slots;
}
} // namespace
} // namespace korvel

#include "fillcommands.h"

#include "bytetext.h"
#include "clearfill.h"
#include "desktop.h"
#include "fillcheck.h"
#include "gridcanvas.h"
#include "gridstats.h"
#include "historyboxes.h"
#include "memoryhost.h"
#include "menuadditions.h"
#include "plural.h"
#include "newpatterndialog.h"
#include "patternchange.h"
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
// What the search for the slots behind a failed fill may take, as
// korvel-fill gives it; a click on panel 2 ends it sooner.
constexpr double ConflictSeconds = 10;

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
    heatMap_ = add(view, "MappaCandidati", QStringLiteral("Fill Check Heat Map"));
    heatMap_->setCheckable(true);
    heatMap_->setChecked(false);
    connect(heatMap_, &QAction::triggered, this, [this] { HeatMap_Click(); });

    separator(tools, "SepRiempi2");
    fillGrid_ = add(tools, "Riempi", QStringLiteral("Fill Grid"));
    fillBox_ = add(tools, "RiempiRiquadro", QStringLiteral("Fill Box"));
    fillAgain_ = add(tools, "RiempiAncora", QStringLiteral("Fill Again"));
    clearFill_ = add(tools, "CancellaRiempimento", QStringLiteral("Clear Fill"));
    newPattern_ = add(tools, "Schema", QStringLiteral("New Pattern..."));
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
    connect(clearFill_, &QAction::triggered, this, [this] { ClearFill_Click(); });
    connect(newPattern_, &QAction::triggered, this, [this] { NewPattern_Click(); });
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
    clearFill_->setEnabled(grid);
    newPattern_->setEnabled(grid);
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

bool FillCommands::heatOn() const {
    return heatMap_ && heatMap_->isChecked();
}

bool FillCommands::checking() const {
    return checkOn() || heatOn();
}

DictionarySelection FillCommands::selection() const {
    return dictionarySelection(c_.enabled);
}

FillOptions FillCommands::fillOptions() const {
    FillOptions options;
    options.minScore = minScore_;
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

SteppedFill
FillCommands::fillSteps(const std::function<SteppedFill(const WordIndex&, SearchHost&)>& fill) {
    SearchFlags& flags = c_.flags;
    StatusPanels& stb1 = c_.panels;
    SteppedFill stepped;
    stepped.result.status = FillStatus::Stopped;
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
            FillHost host(c_, fillStartMs_);
            stepped = fill(*index, host);
        }
    }
    flags.BusyCounter = 0;
    flags.abortRequest = 0;
    c_.host.setPointers(Pointers::ToolGrid);
    stb1.setHint(2, QString());
    stb1.setText(2, QStringLiteral(" "));
    return stepped;
}

namespace {

// The steps that did not fill, one a line.
QString stepLines(const SteppedFill& stepped) {
    QString lines;
    for (const FillStep& step : stepped.steps) {
        if (step.status != FillStatus::Filled)
            lines += QStringLiteral("\r\n") + fromBytes(describeStep(step));
    }
    return lines;
}

} // namespace

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
    StatusPanels& stb1 = c_.panels;
    FillOptions options = fillOptions();
    options.seed = seed;
    if (region)
        options.region =
            FillRegion{region->cy, region->cx, static_cast<int16_t>(region->cy + region->LAY - 1),
                       static_cast<int16_t>(region->cx + region->LAX - 1)};

    // The minimum chosen first; where it leaves no fill, the steps under it
    // only when the user agrees (the words get weaker). A first step that
    // neither fills nor proves it cannot within its budget also asks.
    std::vector<int> minimums{minScore_};
    SteppedFill stepped = fillSteps([&](const WordIndex& index, SearchHost& host) {
        if (index.hasScores())
            minimums = fallbackMinimums(minScore_);
        FillOptions first = options;
        first.nodeLimit = minimums.size() > 1 ? FallbackStepNodes : 0;
        return fillStepByStep(base, doc.wordSlots(), index, first, {minimums.front()}, 0, 0, host,
                              c_.flags);
    });

    haveLast_ = true;
    lastKind_ = kind;
    lastRegion_ = region;
    lastSeed_ = seed;
    updateMenu();

    if (minimums.size() > 1 && stepped.lowerMightFill()) {
        const std::vector<int> lower(minimums.begin() + 1, minimums.end());
        const FillStep& first = stepped.steps.front();
        const QString why =
            first.status == FillStatus::NoFill
                ? QStringLiteral("No fill exists with the words scoring %1 or more: ")
                          .arg(first.minScore) +
                      fromBytes(first.reason) + QStringLiteral(".")
                : QStringLiteral("No fill was found with the words scoring %1 or more within "
                                 "%2 words tried.")
                      .arg(first.minScore)
                      .arg(first.tried);
        const MsgAnswer answer = c_.desktop.messageBox(
            c_.parent, FillTitle,
            why + QStringLiteral("\r\nFill with weaker words, lowering the minimum score "
                                 "step by step (%1)?")
                      .arg(fromBytes(stepMinimums(lower))),
            MsgIcon::Question, MsgButtons::YesNo);
        if (answer != MsgAnswer::Yes) {
            stb1.setText(2, QStringLiteral(" the grid is unchanged "));
            return;
        }
        SteppedFill more = fillSteps([&](const WordIndex& index, SearchHost& host) {
            return fillBelow(base, doc.wordSlots(), index, options, lower, FallbackClimbNodes, host,
                             c_.flags);
        });
        more.steps.insert(more.steps.begin(), stepped.steps.begin(), stepped.steps.end());
        stepped = std::move(more);
    }
    FillResult& result = stepped.result;
    const bool lowered = stepped.steps.size() > 1;

    if (result.status == FillStatus::NoFill) {
        // Why: the slots that cannot be filled together at the last minimum
        // tried, looked for in the same busy state as the fill (the host's
        // yield keeps the window going; a click on panel 2 stops it).
        ConflictSet conflict;
        if (c_.flags.abortRequest == 0) {
            FillOptions at = options;
            at.minScore = stepped.steps.empty() ? minScore_ : stepped.steps.back().minScore;
            fillSteps([&](const WordIndex& index, SearchHost& host) {
                conflict = findConflictSet(base, doc.wordSlots(), index, at, ConflictSeconds, host,
                                           c_.flags);
                return SteppedFill{};
            });
        }
        explainNoFill(lowered ? QStringLiteral("No fill exists with the enabled dictionaries at "
                                               "any minimum score tried:") +
                                    stepLines(stepped)
                              : fromBytes(noFillMessage(result.reason)),
                      conflict);
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
    change.byFill = true;
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
    const QString cells = QString::fromStdString(counted(static_cast<long long>(count), "cell", "cells"));
    if (!lowered) {
        stb1.setText(2, QStringLiteral(" filled %1 ").arg(cells));
        return;
    }
    const int at = stepped.steps.back().minScore;
    stb1.setText(2, QStringLiteral(" filled %1 at minimum score %2 ").arg(cells).arg(at));
    showBox(FillTitle,
            QStringLiteral("The grid is filled at minimum score %1.").arg(at) + stepLines(stepped));
}

void FillCommands::ClearFill_Click() {
    if (busy() || c_.document.grid().isEmpty())
        return;
    // The box of a search across or down, as Fill Box takes it; otherwise
    // the whole grid.
    std::optional<Selection> region;
    const Selection box = c_.editor.lastSelection();
    if (isPromptTool(c_.editor.CurrentTool()) && box.LAX >= 1 && box.LAY >= 1 &&
        c_.document.grid().contains(box.cy, box.cx))
        region = box;
    const ClearFillResult r = c_.document.edit([&](DocumentEdit& e) {
        ClearFillResult cleared = clearFill(e, region);
        if (cleared.result.recorded)
            e.clearPriclk();
        return cleared;
    });
    if (!r.result.recorded) {
        c_.host.beep();
        c_.panels.setText(2, QStringLiteral(" no fill letters to clear "));
        return;
    }
    showHistoryBoxes(c_.desktop, c_.parent, false, r.result.historyCleared);
    c_.editor.showBox(r.box);
    c_.panels.setText(2, QStringLiteral(" cleared %1 cells ").arg(r.cleared));
}

void FillCommands::explainNoFill(const QString& why, const ConflictSet& conflict) {
    const GridDocument& doc = c_.document;
    QString text = why + QStringLiteral("\r\n");
    const Slot* worst = nullptr;
    if (conflict.outcome == ConflictSet::Outcome::Found) {
        std::vector<int> cells;
        for (const Slot& s : slotsOf(conflict))
            for (int i = 0; i < s.length; ++i)
                cells.push_back(s.rowAt(i) * doc.grid().ColumnCount + s.columnAt(i));
        std::sort(cells.begin(), cells.end());
        cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
        overlay_->showConflict(doc.grid(), std::move(cells));
        c_.canvas.update();
        text += QStringLiteral("\r\n");
        for (const std::string& line : conflictLines(conflict))
            text += fromBytes(line) + QStringLiteral("\r\n");
        if (c_.openInSearch && conflict.worst >= 0 &&
            conflict.worst < static_cast<int>(slotsOf(conflict).size())) {
            worst = &slotsOf(conflict)[static_cast<std::size_t>(conflict.worst)];
            text += QStringLiteral("\r\nOpen %1 %2 (R%3 C%4), the one with the fewest words, in "
                                   "the pattern search?\r\n")
                        .arg(worst->number)
                        .arg(worst->down() ? QStringLiteral("down") : QStringLiteral("across"))
                        .arg(worst->row + 1)
                        .arg(worst->column + 1);
        }
    } else if (conflict.outcome == ConflictSet::Outcome::Stopped) {
        text += conflict.aborted
                    ? QStringLiteral("(The search for the slots in conflict was stopped.)\r\n")
                    : QStringLiteral("(No set of slots in conflict was found in %1 s.)\r\n")
                          .arg(ConflictSeconds);
    }
    text += QStringLiteral("The grid is unchanged.");
    if (!worst) {
        showBox(FillTitle, text);
        return;
    }
    const Slot slot = *worst;
    if (c_.desktop.messageBox(c_.parent, FillTitle, text, MsgIcon::None, MsgButtons::YesNo) ==
        MsgAnswer::Yes)
        c_.openInSearch(slot.row, slot.column, !slot.down());
}

// ---------------------------------------------------------------- pattern

void FillCommands::NewPattern_Click() {
    if (busy() || c_.document.grid().isEmpty())
        return;
    const PatternStyle style =
        c_.document.details().language == "it" ? PatternStyle::Italian : PatternStyle::American;
    WordIndexCache& indexes = c_.indexes;
    const DictionarySelection take = selection();
    const FillOptions options = fillOptions();
    NewPatternDialog dialog(
        c_.document.grid(), style,
        [&indexes, take, options](const PatternRequest& request, SearchHost& host,
                                  const SearchFlags& flags) {
            PatternRequest req = request;
            req.fill = options;
            const std::shared_ptr<const WordIndex> index = indexes.get(take);
            return designPatterns(req, index.get(), host, flags);
        },
        c_.parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<GridModel> pattern = dialog.chosen();
    if (!pattern || busy())
        return;
    const AggiorResult r = c_.document.edit([&](DocumentEdit& e) {
        const AggiorResult laid = layPattern(e, *pattern);
        if (laid.recorded)
            e.clearPriclk();
        return laid;
    });
    if (!r.recorded) {
        c_.panels.setText(2, QStringLiteral(" the grid has this pattern already "));
        return;
    }
    showHistoryBoxes(c_.desktop, c_.parent, false, r.historyCleared);
    c_.editor.showBox(Selection{0, 0, c_.document.grid().ColumnCount, c_.document.grid().RowCount});
    c_.panels.setText(2, QStringLiteral(" new pattern "));
}

// ---------------------------------------------------------------- check

void FillCommands::FillCheck_Click() {
    // Qt has ticked or unticked the item already; a busy window keeps it.
    if (busy()) {
        fillCheck_->setChecked(!fillCheck_->isChecked());
        return;
    }
    followSwitches();
}

void FillCommands::HeatMap_Click() {
    if (busy()) {
        heatMap_->setChecked(!heatMap_->isChecked());
        return;
    }
    followSwitches();
}

void FillCommands::followSwitches() {
    overlay_->setMarksOn(checkOn());
    overlay_->setHeatOn(heatOn());
    if (checking()) {
        requestCheck();
    } else {
        runner_->cancel();
        overlay_->clear();
    }
    c_.canvas.update();
}

bool FillCommands::checkIdle() {
    if (!runner_)
        return true;
    runner_->cancel();
    return runner_->idle();
}

void FillCommands::dictionariesChanged() {
    requestCheck();
}

void FillCommands::documentChanged(const GridDocument&, const DocumentChange& change) {
    // A new or opened grid is no place for the last fill's box.
    if (change.reset)
        haveLast_ = false;
    // The set explained the grid as it was; once it changes, it may not hold.
    if ((change.reset || !change.cells.empty()) && !overlay_->conflictCells().empty()) {
        overlay_->clearConflict();
        c_.canvas.update();
    }
    updateMenu();
    if ((!change.reset && change.cells.empty()) || checkPending_ || !checking())
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
    if (!checking() || c_.document.grid().isEmpty())
        return;
    runner_->request(c_.document.grid(), c_.document.wordSlots(), selection(), fillOptions());
}

void FillCommands::checkDone(const GridModel& grid, const FillCheck& check) {
    if (!checking())
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
    // What tells why an entry is weak besides its score: the folder's kinds
    // and which list bans a word.
    const std::shared_ptr<const IndexAdditions> additions = c_.indexes.additions();
    std::vector<std::string> ownBans = additions->bannedWords;
    std::sort(ownBans.begin(), ownBans.end());
    std::vector<std::string> shippedBans = bannedByAdditions(*additions);
    std::erase_if(shippedBans, [&](const std::string& w) {
        return std::binary_search(ownBans.begin(), ownBans.end(), w);
    });
    const std::shared_ptr<const WordKinds> kinds =
        additions->kinds.valid() ? additions->kinds.get() : nullptr;
    const WordNotes notes{kinds.get(), &ownBans, &shippedBans};
    const GridStatistics stats =
        gridStatistics(c_.document.grid(), c_.document.wordSlots(), index.get(), minScore_,
                       &c_.document.clues(), notes);
    // A grid of many words makes a long report: it scrolls rather than
    // growing past the screen.
    c_.desktop.showText(c_.parent, StatisticsTitle, fromBytes(statisticsText(stats)));
}

} // namespace korvel
