// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionarystore.h"
#include "fill.h"
#include "gridcanvas.h"
#include "gridmodel.h"
#include "windowlayout.h"
#include "wordindex.h"

#include <QObject>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace korvel {

// Runs the fill check on a worker thread, so that an edit never waits for it:
// request() hands over a copy of the grid and returns at once; a check still
// running for an older grid is told to stop at its next yield. The result of
// the latest request comes back on the window's thread through the callback.
class FillCheckRunner : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const GridModel& grid, const FillCheck& check)>;
    FillCheckRunner(WordIndexCache& indexes, Done done);
    // Stops the running check and waits for the worker.
    ~FillCheckRunner() override;

    // Checks grid on the index of take; of options only what checkFill reads
    // counts (the minimum score, the theme entries).
    void request(const GridModel& grid, const Slots& gridSlots, const DictionarySelection& take,
                 const FillOptions& options = FillOptions{});
    // Forgets the pending request and stops the running check.
    void cancel();
    // No check is running: the worker waits for a request.
    bool idle() const { return !working_.load(); }

private:
    void work();

    WordIndexCache& indexes_;
    Done done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<GridModel> pendingGrid_;
    Slots pendingSlots_;
    DictionarySelection pendingTake_{};
    FillOptions pendingOptions_;
    // Bumped by every request and cancel: a check of an older generation stops.
    std::atomic<uint64_t> generation_{0};
    bool quit_ = false;
    // A request was taken and its check has not ended.
    std::atomic<bool> working_{false};
    std::thread worker_;
};

// The check's marks over the grid picture: an empty cell that no letter can
// fill is shaded red with a red frame, and an empty cell that one letter
// only can fill shows that letter in grey. Painted over the picture, never
// into it, and only on cells that are still empty in the grid as it is now.
// Besides, when switched on, the heat map (a tint per cell by the fewest
// words left in its open slots, cellCandidates), and the slots of a
// conflicting set (an orange frame round each of their cells) until the
// grid changes. With nothing switched on or shown it paints nothing.
class FillCheckOverlay : public CanvasOverlay {
public:
    explicit FillCheckOverlay(const GridModel& grid) : grid_(grid) {}
    // Where the painter puts a cell's letter: the grey letters go there too.
    void followLetters(const CellMetrics& metrics) { letters_ = &metrics; }
    void show(const GridModel& checked, const FillCheck& check);
    void clear();
    // Whether the dead and forced cells are painted (View > Fill Check) and
    // whether the heat map is (View > Fill Check Heat Map).
    void setMarksOn(bool on) { marksOn_ = on; }
    void setHeatOn(bool on) { heatOn_ = on; }
    bool heatOn() const { return heatOn_; }
    // Per cell of the grid checked last: cellCandidates.
    const std::vector<int64_t>& heat() const { return heat_; }
    // The cells of a conflicting set's slots in a grid of that size.
    void showConflict(const GridModel& grid, std::vector<int> cells);
    void clearConflict() { conflict_.clear(); }
    const std::vector<int>& conflictCells() const { return conflict_; }
    bool hasMarks() const { return !dead_.empty() || !forced_.empty(); }
    // Cell index r * ColumnCount + c of the grid checked, and the letter.
    const std::vector<int>& deadCells() const { return dead_; }
    const std::vector<std::pair<int, char>>& forcedCells() const { return forced_; }

    void paint(QPainter& painter, const GridCanvas& canvas) override;

private:
    const GridModel& grid_;
    int16_t rows_ = 0;
    int16_t columns_ = 0;
    std::vector<int> dead_;
    std::vector<std::pair<int, char>> forced_;
    std::vector<int64_t> heat_;
    bool marksOn_ = true;
    bool heatOn_ = false;
    int16_t conflictRows_ = 0;
    int16_t conflictColumns_ = 0;
    std::vector<int> conflict_;
    const CellMetrics* letters_ = nullptr;
};

} // namespace korvel
