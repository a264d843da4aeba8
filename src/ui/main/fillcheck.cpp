// SPDX-License-Identifier: GPL-3.0-or-later
#include "fillcheck.h"

#include "heatmap.h"
#include "memoryhost.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <bit>

namespace korvel {

namespace {

// The worker's host: no window to draw on; a yield only looks whether a newer
// request has come, and then asks the check to stop.
class WorkerHost : public MemoryHost {
public:
    WorkerHost(const std::atomic<uint64_t>& generation, uint64_t mine, SearchFlags& flags)
        : generation_(generation), mine_(mine), flags_(flags) {
        yieldStride = 16;
    }
    void yield() override {
        if (generation_.load(std::memory_order_relaxed) != mine_)
            flags_.abortRequest = 1;
    }

private:
    const std::atomic<uint64_t>& generation_;
    uint64_t mine_;
    SearchFlags& flags_;
};

} // namespace

FillCheckRunner::FillCheckRunner(WordIndexCache& indexes, Done done)
    : indexes_(indexes), done_(std::move(done)), worker_([this] { work(); }) {}

FillCheckRunner::~FillCheckRunner() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        ++generation_;
    }
    wake_.notify_all();
    worker_.join();
}

void FillCheckRunner::request(const GridModel& grid, const Slots& gridSlots,
                              const DictionarySelection& take, const FillOptions& options) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        pendingGrid_ = grid;
        pendingSlots_ = gridSlots;
        pendingTake_ = take;
        pendingOptions_ = options;
        ++generation_;
    }
    wake_.notify_all();
}

void FillCheckRunner::cancel() {
    const std::lock_guard<std::mutex> lock(mutex_);
    pendingGrid_.reset();
    ++generation_;
}

void FillCheckRunner::work() {
    for (;;) {
        GridModel grid;
        Slots gridSlots;
        DictionarySelection take{};
        FillOptions options;
        uint64_t mine = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || pendingGrid_.has_value(); });
            if (quit_)
                return;
            grid = std::move(*pendingGrid_);
            pendingGrid_.reset();
            working_ = true;
            gridSlots = std::move(pendingSlots_);
            take = pendingTake_;
            options = pendingOptions_;
            mine = generation_.load();
        }
        const std::shared_ptr<const WordIndex> index = indexes_.get(take);
        SearchFlags flags;
        WorkerHost host(generation_, mine, flags);
        FillCheck check = checkFill(grid, gridSlots, *index, host, flags, options);
        working_ = false;
        if (check.stopped || generation_.load() != mine)
            continue;
        // Delivered on the window's thread; dropped if this runner is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, mine, grid = std::move(grid), check = std::move(check)] {
                if (generation_.load() == mine)
                    done_(grid, check);
            },
            Qt::QueuedConnection);
    }
}

void FillCheckOverlay::show(const GridModel& checked, const FillCheck& check) {
    rows_ = checked.RowCount;
    columns_ = checked.ColumnCount;
    dead_ = check.deadCells;
    forced_.clear();
    for (int cell : check.forcedCells) {
        const LetterMask m = check.letters[static_cast<std::size_t>(cell)];
        forced_.emplace_back(cell, static_cast<char>('A' + std::countr_zero(m)));
    }
    heat_ = cellCandidates(checked, Slots::of(checked), check);
}

void FillCheckOverlay::clear() {
    dead_.clear();
    forced_.clear();
    heat_.clear();
}

void FillCheckOverlay::showConflict(const GridModel& grid, std::vector<int> cells) {
    conflictRows_ = grid.RowCount;
    conflictColumns_ = grid.ColumnCount;
    conflict_ = std::move(cells);
}

namespace {

// The heat map's tints, from no word left to a thousand and more.
QColor heatColour(int band) {
    static const QColor colours[] = {QColor(220, 0, 0, 110), QColor(255, 120, 0, 90),
                                     QColor(255, 210, 0, 80), QColor(150, 210, 60, 60),
                                     QColor(60, 160, 255, 40)};
    return colours[std::clamp(band, 0, 4)];
}

} // namespace

void FillCheckOverlay::paint(QPainter& painter, const GridCanvas& canvas) {
    if (!conflict_.empty() && conflictRows_ == grid_.RowCount &&
        conflictColumns_ == grid_.ColumnCount && conflictColumns_ > 0) {
        painter.save();
        painter.setPen(QPen(QColor(255, 140, 0), 3));
        painter.setBrush(Qt::NoBrush);
        for (int cell : conflict_) {
            const int r = cell / conflictColumns_;
            const int c = cell % conflictColumns_;
            const QPoint a = canvas.toPixel({c + 0.08, r + 0.08});
            const QPoint b = canvas.toPixel({c + 0.92, r + 0.92});
            painter.drawRect(QRect(a, b).adjusted(0, 0, -1, -1));
        }
        painter.restore();
    }
    // Marks of another grid (a new one was made since) mean nothing here.
    if (rows_ != grid_.RowCount || columns_ != grid_.ColumnCount || columns_ <= 0)
        return;
    auto stillEmpty = [this](int r, int c) { return grid_.patternChar(r, c) == EmptyCell; };
    painter.save();
    if (heatOn_ && heat_.size() == static_cast<std::size_t>(rows_) * columns_) {
        for (int cell = 0; cell < static_cast<int>(heat_.size()); ++cell) {
            const int band = heatBand(heat_[static_cast<std::size_t>(cell)]);
            const int r = cell / columns_;
            const int c = cell % columns_;
            if (band < 0 || grid_.isBlack(r, c))
                continue;
            const QPoint a = canvas.toPixel({c + 0.0, r + 0.0});
            const QPoint b = canvas.toPixel({c + 1.0, r + 1.0});
            painter.fillRect(QRect(a, b).adjusted(1, 1, -1, -1), heatColour(band));
        }
    }
    if (!marksOn_) {
        painter.restore();
        return;
    }
    for (int cell : dead_) {
        const int r = cell / columns_;
        const int c = cell % columns_;
        if (!stillEmpty(r, c))
            continue;
        const QPoint a = canvas.toPixel({c + 0.0, r + 0.0});
        const QPoint b = canvas.toPixel({c + 1.0, r + 1.0});
        painter.fillRect(QRect(a, b).adjusted(1, 1, -1, -1), QColor(255, 0, 0, 60));
        const QPoint fa = canvas.toPixel({c + 0.12, r + 0.12});
        const QPoint fb = canvas.toPixel({c + 0.88, r + 0.88});
        painter.setPen(QPen(QColor(255, 0, 0), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(fa, fb).adjusted(0, 0, -1, -1));
    }
    QFont font = canvas.drawingFont();
    painter.setFont(font);
    painter.setPen(QColor(160, 160, 160));
    const QFontMetricsF metrics(font, &canvas.image());
    for (const auto& [cell, letter] : forced_) {
        const int r = cell / columns_;
        const int c = cell % columns_;
        if (!stillEmpty(r, c))
            continue;
        const CellMetrics m = letters_ ? *letters_ : CellMetrics{};
        const QPoint topLeft = canvas.toPixel({m.dlx + c, m.dly + r});
        painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()),
                         QString(QChar::fromLatin1(letter)));
    }
    painter.restore();
}

} // namespace korvel
