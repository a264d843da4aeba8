// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The constraint model shared by the fill and the fill check: slots are the
// constraints, each holding the set of words that still fit as a bitset over
// the word ids of its length; cells hold the letters they can still take.
// Not part of the public interface (fill.h is).

#include "fill.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace korvel::fillengine {

using Clock = std::chrono::steady_clock;

// Polls the host's yield (and then the abort request) and the clock. The
// fill, the check and the plain backtracker stop through it; once stopped it
// stays stopped.
class Pacer {
public:
    Pacer(SearchHost& host, const SearchFlags& flags, double timeLimit)
        : host_(host), flags_(flags), start_(Clock::now()),
          deadline_(timeLimit > 0 && timeLimit < NoTimeLimit
                        ? start_ + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(timeLimit))
                        : Clock::time_point::max()) {}

    // Limits of this many seconds or more (and infinity) mean none: their
    // deadline would not fit the clock's count.
    static constexpr double NoTimeLimit = 1e9;

    // false once the abort request or the time limit has ended the work.
    bool tick() {
        if (stopped_) {
            return false;
        }
        if (host_.lineTick() && flags_.abortRequest > 0) {
            stopped_ = true;
            aborted_ = true;
            return false;
        }
        if (deadline_ != Clock::time_point::max() && (++clockCountdown_ & 63) == 0 &&
            Clock::now() >= deadline_) {
            stopped_ = true;
        }
        return !stopped_;
    }
    // Ends the work because its budget of words tried is spent.
    void spend() {
        stopped_ = true;
        spent_ = true;
    }
    bool stopped() const { return stopped_; }
    bool aborted() const { return aborted_; }
    bool spent() const { return spent_; }
    double seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

private:
    SearchHost& host_;
    const SearchFlags& flags_;
    Clock::time_point start_;
    Clock::time_point deadline_;
    unsigned clockCountdown_ = 0;
    bool stopped_ = false;
    bool aborted_ = false;
    bool spent_ = false;
};

enum class CellKind : uint8_t { Black, Empty, Letter, Foreign };

// The grid seen as slots and cells.
struct Layout {
    int rows = 0;
    int columns = 0;
    std::vector<Slot> slots;
    std::vector<std::vector<int>> slotCells; // cell index per position
    // Per cell: the across and the down slot through it (-1 for none) and the
    // cell's position in each.
    std::vector<std::array<int, 2>> cellSlots;
    std::vector<std::array<int, 2>> cellPositions;
    std::vector<CellKind> kind;
    std::vector<char> letter; // the byte of a Letter or Foreign cell

    static Layout of(const GridModel& grid, const Slots& slots);
    // The slot crossing slot s at position p, or -1.
    int crossing(int s, int p) const;
    // The slot's cells as a pattern: letters, "?" for empty cells.
    std::string pattern(const GridModel& grid, int s) const;
};

// The propagation state, with a trail so that a search can take back
// everything after a mark.
class Engine {
public:
    Engine(const Layout& layout, const WordIndex& index, const std::vector<bool>& activeSlots,
           bool checkMode, bool allowRepeats);

    // Sets up every active slot's words from the given letters. Returns the
    // first active slot with no fitting word, or -1.
    int initialise();
    // Gives word id of slot s's length to s before the search starts, so that
    // no other slot takes it (s may be inactive: a word already in the grid
    // outside the region). False when another slot already holds it.
    bool reserve(int s, uint32_t id);
    // Propagates until nothing narrows further. In the fill a slot left with
    // no word ends it (false, and failedSlot says which); in the check the
    // slot is marked dead instead and propagation goes on without it.
    // tick runs once per slot revised and returns false to stop (abort).
    template <typename Tick> bool propagate(Tick&& tick);

    void enqueue(int s);
    void enqueueAllActive();
    // Narrows a cell (trailed) and queues its slots.
    void setDomain(int cell, LetterMask m);

    std::size_t mark() const { return trail_.size(); }
    void undo(std::size_t mark);
    void newLevel() { ++level_; }

    const std::vector<LetterMask>& domains() const { return dom_; }
    LetterMask domain(int cell) const { return dom_[static_cast<std::size_t>(cell)]; }
    uint32_t count(int s) const { return count_[static_cast<std::size_t>(s)]; }
    bool isDead(int s) const { return dead_[static_cast<std::size_t>(s)] != 0; }
    bool isActive(int s) const { return active_[static_cast<std::size_t>(s)]; }
    const uint64_t* candidates(int s) const {
        return bits_.data() + offset_[static_cast<std::size_t>(s)];
    }
    int failedSlot = -1;

    // The word ids still fitting slot s.
    void candidateIds(int s, std::vector<uint32_t>& out) const;
    // For slot s, how many of its words hold each letter at position p.
    void letterCounts(int s, int p, std::array<uint32_t, 26>& out) const;

private:
    bool revise(int s);
    void save(int s);
    void recount(int s);
    bool claim(int s);
    bool claimWord(int s, int len, uint32_t w);

    enum class Undo : uint8_t { Domain, Slot, Owner, Dead };
    struct TrailEntry {
        Undo what;
        int index;
        int64_t old;
        std::size_t bitsAt;
        uint64_t oldLevel;
        uint32_t lo = 0;
        uint32_t hi = 0;
    };

    const Layout& layout_;
    const WordIndex& index_;
    std::vector<bool> active_;
    bool checkMode_;
    bool allowRepeats_;

    std::vector<LetterMask> dom_;
    std::vector<std::size_t> offset_; // into bits_
    std::vector<uint64_t> bits_;
    std::vector<uint32_t> count_;
    // Blocks of a slot's bitset outside [lo_, hi_) are zero. Word ids follow
    // byte order, so a slot whose first letters are known keeps its words in
    // a narrow range, and every loop over its bitset stays in that range.
    std::vector<uint32_t> lo_;
    std::vector<uint32_t> hi_;
    std::vector<LetterMask> sup_; // per slot per position, at supOffset_
    std::vector<std::size_t> supOffset_;
    std::vector<uint8_t> dead_;
    // Set until a slot's first revise, which computes its support afresh.
    std::vector<uint8_t> fresh_;
    std::vector<uint64_t> savedLevel_;
    // Word owners (slot + 1) per length, when repeats are not allowed; and
    // the owned words of each length, so a revise can strike them out.
    std::array<std::vector<int32_t>, MaxWordLength + 1> owner_;
    std::array<std::vector<uint32_t>, MaxWordLength + 1> owned_;

    std::vector<TrailEntry> trail_;
    std::vector<uint64_t> bitTrail_;
    std::vector<LetterMask> supTrail_;
    uint64_t level_ = 1;

    std::vector<int> queue_;
    std::vector<uint8_t> queued_;
    std::vector<uint64_t> scratch_;
};

template <typename Tick> bool Engine::propagate(Tick&& tick) {
    std::size_t head = 0;
    while (head < queue_.size()) {
        const int s = queue_[head++];
        queued_[static_cast<std::size_t>(s)] = 0;
        if (!tick()) {
            for (std::size_t i = head; i < queue_.size(); ++i) {
                queued_[static_cast<std::size_t>(queue_[i])] = 0;
            }
            queue_.clear();
            return false;
        }
        if (!revise(s)) {
            failedSlot = s;
            if (checkMode_) {
                trail_.push_back({Undo::Dead, s, 0, 0, 0});
                dead_[static_cast<std::size_t>(s)] = 1;
                continue;
            }
            for (std::size_t i = head; i < queue_.size(); ++i) {
                queued_[static_cast<std::size_t>(queue_[i])] = 0;
            }
            queue_.clear();
            return false;
        }
        // The queue grows while it is read; drop the read part now and then.
        if (head > 4096 && head * 2 > queue_.size()) {
            queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(head));
            head = 0;
        }
    }
    queue_.clear();
    return true;
}

} // namespace korvel::fillengine
