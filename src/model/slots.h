// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"

#include <cstdint>
#include <span>
#include <vector>

namespace korvel {

enum class Direction : uint8_t { Across = 0, Down = 1 };

// A word slot: a run of two or more non-black cells across or down, the runs
// the clue numbering numbers. Empty cells count as non-black, so a half-built
// grid has the slots it shows.
struct Slot {
    int number = 0;
    Direction direction = Direction::Across;
    int16_t row = 0; // the first cell
    int16_t column = 0;
    int16_t length = 0;

    bool down() const { return direction == Direction::Down; }
    int16_t rowAt(int i) const { return static_cast<int16_t>(row + (down() ? i : 0)); }
    int16_t columnAt(int i) const { return static_cast<int16_t>(column + (down() ? 0 : i)); }
    friend bool operator==(const Slot&, const Slot&) = default;
};

// The first cell of a run of non-black cells through a cell along one
// direction, and its last; single-cell runs included. first > last for a
// black cell.
struct CellRun {
    int16_t first = 0;
    int16_t last = -1;
};

// The word slots of a grid, computed once from its black cells: the numbers
// of the cells, the across slots (row by row of their first cell, then
// column) followed by the down slots (in the same order), and for each cell
// and direction the slot and run through it. A value: it depends on the
// dimensions and on which cells are black, nothing else, so it stays right
// while only letters change.
class Slots {
public:
    Slots() = default;
    static Slots of(const GridModel& grid);

    int16_t rows() const { return rows_; }
    int16_t columns() const { return columns_; }

    const std::vector<Slot>& all() const { return slots_; }
    std::span<const Slot> across() const { return {slots_.data(), acrossCount_}; }
    std::span<const Slot> down() const {
        return {slots_.data() + acrossCount_, slots_.size() - acrossCount_};
    }
    std::size_t size() const { return slots_.size(); }
    const Slot& operator[](std::size_t i) const { return slots_[i]; }

    // The clue number of cell (r, c) (0 for none), and every cell's, row
    // after row (index r * columns + c).
    int number(int r, int c) const;
    const std::vector<int>& numbers() const { return numbers_; }

    // Index into all() of the slot through (r, c) along d, or -1; and the
    // cell's position in it.
    int slotAt(int r, int c, Direction d) const;
    int positionIn(int r, int c, Direction d) const;
    // Index of the slot whose first cell is (r, c) along d, or -1.
    int startingAt(int r, int c, Direction d) const;
    // Index of the slot numbered n along d, or -1.
    int numbered(int n, Direction d) const;
    // The run of non-black cells through (r, c) along d, in row (Down) or
    // column (Across) indices.
    CellRun runThrough(int r, int c, Direction d) const;

    // Cell indices (r * columns + c) of a slot, in order.
    std::vector<int> cells(const Slot& s) const;

    // The slot's letters as the searches read them: "?" for an empty cell.
    static std::string pattern(const GridModel& grid, const Slot& s);

    friend bool operator==(const Slots& a, const Slots& b) {
        return a.rows_ == b.rows_ && a.columns_ == b.columns_ && a.slots_ == b.slots_;
    }

private:
    std::size_t at(int r, int c) const {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(c);
    }

    int16_t rows_ = 0;
    int16_t columns_ = 0;
    std::vector<Slot> slots_;
    std::size_t acrossCount_ = 0;
    std::vector<int> numbers_;
    // Per cell and direction: slot index (-1 none), position, run bounds.
    std::vector<int> slotOf_[2];
    std::vector<int16_t> position_[2];
    std::vector<CellRun> run_[2];
};

// "12 across (R3 C5)": how a message names a slot, rows and columns from 1.
std::string describeSlot(const Slot& slot);

} // namespace korvel
