// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultlines.h"

#include "resultorder.h"

#include <algorithm>

namespace korvel {

void ResultLines::clear() {
    // Swapped out rather than cleared, so that a list of a million lines
    // gives its memory back.
    std::string().swap(bytes_);
    std::vector<uint64_t>().swap(ends_);
    std::vector<uint32_t>().swap(order_);
    std::vector<std::vector<uint32_t>>().swap(runs_);
    std::vector<uint32_t>().swap(late_);
    ++generation_;
}

std::string_view ResultLines::line(std::size_t i) const {
    const uint64_t from = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(from, ends_[i] - from);
}

bool ResultLines::before(uint32_t a, uint32_t b) const {
    const int c = compareListLines(line(a), line(b));
    return c < 0 || (c == 0 && a < b);
}

void ResultLines::add(std::string_view line) {
    bytes_.append(line);
    ends_.push_back(bytes_.size());
    const auto i = static_cast<uint32_t>(ends_.size() - 1);
    if (merging_) {
        late_.push_back(i);
        return;
    }
    place(i);
}

void ResultLines::place(uint32_t i) {
    if (runs_.empty()) {
        if (order_.empty() || !before(i, order_.back())) {
            order_.push_back(i);
            return;
        }
        // The first line out of order: the rows so far become one run, the
        // line another, before it.
        runs_.push_back({i});
        runs_.push_back(order_);
        return;
    }
    // The run whose last line is the greatest one not after this line; the
    // runs' last lines stay in ascending order.
    auto it =
        std::partition_point(runs_.begin(), runs_.end(), [&](const std::vector<uint32_t>& run) {
            return before(run.back(), i);
        });
    if (it == runs_.begin()) {
        runs_.insert(runs_.begin(), std::vector<uint32_t>{i});
    } else {
        std::prev(it)->push_back(i);
    }
}

bool ResultLines::finish(const std::function<void()>& tick) {
    if (merging_) {
        return false;
    }
    bool changed = false;
    while (!runs_.empty()) {
        merging_ = true;
        const bool merged = merge(tick);
        merging_ = false;
        std::vector<uint32_t> late;
        late.swap(late_);
        for (uint32_t i : late) {
            place(i);
        }
        if (!merged) {
            return false;
        }
        changed = true;
    }
    return changed;
}

bool ResultLines::merge(const std::function<void()>& tick) {
    const uint64_t generation = generation_;
    std::vector<uint32_t> merged;
    merged.reserve(ends_.size());

    // A heap of the runs' next lines, the smallest on top.
    struct Cursor {
        std::size_t run;
        std::size_t pos;
    };
    std::vector<Cursor> heap;
    heap.reserve(runs_.size());
    const auto greater = [this](const Cursor& x, const Cursor& y) {
        return before(runs_[y.run][y.pos], runs_[x.run][x.pos]);
    };
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        heap.push_back({r, 0});
    }
    std::make_heap(heap.begin(), heap.end(), greater);

    std::size_t steps = 0;
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), greater);
        Cursor& c = heap.back();
        merged.push_back(runs_[c.run][c.pos]);
        if (++c.pos < runs_[c.run].size()) {
            std::push_heap(heap.begin(), heap.end(), greater);
        } else {
            heap.pop_back();
        }
        if (tick && ++steps == TickSteps) {
            steps = 0;
            tick();
            if (generation != generation_) {
                return false;
            }
        }
    }
    order_ = std::move(merged);
    std::vector<std::vector<uint32_t>>().swap(runs_);
    return true;
}

} // namespace korvel
