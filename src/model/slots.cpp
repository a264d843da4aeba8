// SPDX-License-Identifier: GPL-3.0-or-later
#include "slots.h"

#include <string>

namespace korvel {

Slots Slots::of(const GridModel& grid) {
    Slots s;
    s.rows_ = grid.RowCount;
    s.columns_ = grid.ColumnCount;
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    const auto cells = static_cast<std::size_t>(R > 0 && C > 0 ? R * C : 0);
    s.numbers_.assign(cells, 0);
    for (auto& v : s.slotOf_)
        v.assign(cells, -1);
    for (auto& v : s.position_)
        v.assign(cells, -1);
    for (auto& v : s.run_)
        v.assign(cells, CellRun{});

    // Runs along rows and along columns, single cells included.
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C;) {
            if (grid.isBlack(r, c)) {
                ++c;
                continue;
            }
            int e = c;
            while (e + 1 < C && !grid.isBlack(r, e + 1))
                ++e;
            for (int k = c; k <= e; ++k)
                s.run_[0][s.at(r, k)] = CellRun{static_cast<int16_t>(c), static_cast<int16_t>(e)};
            c = e + 1;
        }
    }
    for (int c = 0; c < C; ++c) {
        for (int r = 0; r < R;) {
            if (grid.isBlack(r, c)) {
                ++r;
                continue;
            }
            int e = r;
            while (e + 1 < R && !grid.isBlack(e + 1, c))
                ++e;
            for (int k = r; k <= e; ++k)
                s.run_[1][s.at(k, c)] = CellRun{static_cast<int16_t>(r), static_cast<int16_t>(e)};
            r = e + 1;
        }
    }

    // Numbers: a cell that starts a slot of two or more cells in either
    // direction, counted row after row.
    int n = 0;
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            if (grid.isBlack(r, c))
                continue;
            const CellRun& a = s.run_[0][s.at(r, c)];
            const CellRun& d = s.run_[1][s.at(r, c)];
            const bool across = a.first == c && a.last > a.first;
            const bool down = d.first == r && d.last > d.first;
            if (across || down)
                s.numbers_[s.at(r, c)] = ++n;
        }
    }

    for (int dir = 0; dir < 2; ++dir) {
        for (int r = 0; r < R; ++r) {
            for (int c = 0; c < C; ++c) {
                if (grid.isBlack(r, c))
                    continue;
                const CellRun& run = s.run_[dir][s.at(r, c)];
                const int along = dir == 0 ? c : r;
                if (run.first != along || run.last == run.first)
                    continue;
                Slot slot;
                slot.number = s.numbers_[s.at(r, c)];
                slot.direction = dir == 0 ? Direction::Across : Direction::Down;
                slot.row = static_cast<int16_t>(r);
                slot.column = static_cast<int16_t>(c);
                slot.length = static_cast<int16_t>(run.last - run.first + 1);
                const int index = static_cast<int>(s.slots_.size());
                for (int i = 0; i < slot.length; ++i) {
                    const std::size_t cell = s.at(slot.rowAt(i), slot.columnAt(i));
                    s.slotOf_[dir][cell] = index;
                    s.position_[dir][cell] = static_cast<int16_t>(i);
                }
                s.slots_.push_back(slot);
            }
        }
        if (dir == 0)
            s.acrossCount_ = s.slots_.size();
    }
    return s;
}

int Slots::number(int r, int c) const {
    if (r < 0 || c < 0 || r >= rows_ || c >= columns_)
        return 0;
    return numbers_[at(r, c)];
}

int Slots::slotAt(int r, int c, Direction d) const {
    if (r < 0 || c < 0 || r >= rows_ || c >= columns_)
        return -1;
    return slotOf_[static_cast<int>(d)][at(r, c)];
}

int Slots::positionIn(int r, int c, Direction d) const {
    if (r < 0 || c < 0 || r >= rows_ || c >= columns_)
        return -1;
    return position_[static_cast<int>(d)][at(r, c)];
}

int Slots::startingAt(int r, int c, Direction d) const {
    const int s = slotAt(r, c, d);
    return s >= 0 && positionIn(r, c, d) == 0 ? s : -1;
}

int Slots::numbered(int n, Direction d) const {
    const std::span<const Slot> list = d == Direction::Across ? across() : down();
    const std::size_t base = d == Direction::Across ? 0 : acrossCount_;
    // Numbers grow along each list, so a binary search finds it.
    std::size_t lo = 0;
    std::size_t hi = list.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (list[mid].number < n)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < list.size() && list[lo].number == n ? static_cast<int>(base + lo) : -1;
}

CellRun Slots::runThrough(int r, int c, Direction d) const {
    if (r < 0 || c < 0 || r >= rows_ || c >= columns_)
        return CellRun{};
    return run_[static_cast<int>(d)][at(r, c)];
}

std::vector<int> Slots::cells(const Slot& s) const {
    std::vector<int> out;
    out.reserve(static_cast<std::size_t>(s.length));
    for (int i = 0; i < s.length; ++i)
        out.push_back(static_cast<int>(at(s.rowAt(i), s.columnAt(i))));
    return out;
}

std::string Slots::pattern(const GridModel& grid, const Slot& s) {
    std::string out;
    out.reserve(static_cast<std::size_t>(s.length));
    for (int i = 0; i < s.length; ++i)
        out += grid.patternChar(s.rowAt(i), s.columnAt(i));
    return out;
}

std::string describeSlot(const Slot& slot) {
    return std::to_string(slot.number) + (slot.down() ? " down" : " across") + " (R" +
           std::to_string(slot.row + 1) + " C" + std::to_string(slot.column + 1) + ")";
}

} // namespace korvel
