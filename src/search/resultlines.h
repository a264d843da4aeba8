// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The lines of the results list, kept as bytes in one buffer, with their
// display order (compareListLines; lines that compare equal in the order they
// came, as sortListLines leaves them).
//
// A search mostly adds its lines in display order. While it does, each line
// is simply appended to the ordered rows, which a view can show as they come.
// From the first line that comes out of order the lines are kept in sorted
// runs instead (each new line goes on the run whose last line is the greatest
// not after it, so lines that arrive as a few interleaved ordered streams,
// such as the padded lines of a free head, make only a few runs); finish()
// merges the runs into the display order once the search has written its
// last line. The merge calls a tick between steps, so a window can stay
// responsive during it.
class ResultLines {
public:
    // Empties the list. A finish() under way (in its tick) gives up.
    void clear();
    void add(std::string_view line);

    // Every line added.
    std::size_t size() const { return ends_.size(); }
    // Rows in display order so far: all lines once finished, otherwise the
    // lines that came in order before the first one that did not.
    std::size_t rowCount() const { return order_.size(); }
    // The text of row r (r < rowCount()).
    std::string_view row(std::size_t r) const { return line(order_[r]); }
    // Line i in the order the lines came.
    std::string_view line(std::size_t i) const;
    bool isFinished() const { return runs_.empty(); }

    // Puts every line in display order. tick, when given, is called every
    // TickSteps merge steps; it may run event handlers, even one that calls
    // clear() or add() (a line added meanwhile takes its place after the
    // merge) or finish() (which then returns false at once). Returns true
    // when the rows changed their order or grew beyond what was in order
    // before (a view must then be reset), false when there was nothing to
    // merge or the list was cleared meanwhile.
    bool finish(const std::function<void()>& tick = {});
    static constexpr std::size_t TickSteps = 4096;

    // The runs kept for the coming merge (0 while the lines come in order).
    std::size_t runCount() const { return runs_.size(); }

private:
    bool before(uint32_t a, uint32_t b) const;
    // Puts line i at the end of the rows or onto its run.
    void place(uint32_t i);
    // Merges the runs into order_; false when cleared meanwhile.
    bool merge(const std::function<void()>& tick);

    std::string bytes_;
    // End offset of each line in bytes_; line i starts where line i - 1 ends.
    std::vector<uint64_t> ends_;
    // Display order of the rows shown so far (line numbers).
    std::vector<uint32_t> order_;
    // Sorted runs of line numbers, their last lines in ascending order. Empty
    // while the lines come in order.
    std::vector<std::vector<uint32_t>> runs_;
    // Changes on clear(), so a merge that yielded sees it was cleared.
    uint64_t generation_ = 0;
    bool merging_ = false;
    // Lines added while a merge runs.
    std::vector<uint32_t> late_;
};

} // namespace korvel
