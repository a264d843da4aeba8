// SPDX-License-Identifier: GPL-3.0-or-later
#include "fillengine.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace korvel::fillengine {

namespace {

int lowestLetter(LetterMask m) {
    return std::countr_zero(m);
}

} // namespace

Layout Layout::of(const GridModel& grid, const Slots& gridSlots) {
    Layout l;
    l.rows = grid.RowCount;
    l.columns = grid.ColumnCount;
    const auto cells = static_cast<std::size_t>(l.rows * l.columns);
    l.cellSlots.assign(cells, {-1, -1});
    l.cellPositions.assign(cells, {-1, -1});
    l.kind.assign(cells, CellKind::Black);
    l.letter.assign(cells, EmptyCell);
    for (int r = 0; r < l.rows; ++r) {
        for (int c = 0; c < l.columns; ++c) {
            const auto i = static_cast<std::size_t>(r * l.columns + c);
            if (grid.isBlack(r, c)) {
                continue;
            }
            const char ch = grid.patternChar(r, c);
            l.letter[i] = ch;
            l.kind[i] = ch == EmptyCell            ? CellKind::Empty
                        : (ch >= 'A' && ch <= 'Z') ? CellKind::Letter
                                                   : CellKind::Foreign;
        }
    }
    l.slots = gridSlots.all();
    l.slotCells.resize(l.slots.size());
    for (std::size_t s = 0; s < l.slots.size(); ++s) {
        const Slot& g = l.slots[s];
        l.slotCells[s] = gridSlots.cells(g);
        for (int p = 0; p < g.length; ++p) {
            const auto cell = static_cast<std::size_t>(l.slotCells[s][static_cast<std::size_t>(p)]);
            l.cellSlots[cell][g.down() ? 1 : 0] = static_cast<int>(s);
            l.cellPositions[cell][g.down() ? 1 : 0] = p;
        }
    }
    return l;
}

int Layout::crossing(int s, int p) const {
    const int cell = slotCells[static_cast<std::size_t>(s)][static_cast<std::size_t>(p)];
    return cellSlots[static_cast<std::size_t>(cell)]
                    [slots[static_cast<std::size_t>(s)].down() ? 0 : 1];
}

std::string Layout::pattern(const GridModel& grid, int s) const {
    std::string out;
    for (int cell : slotCells[static_cast<std::size_t>(s)]) {
        out += grid.patternChar(cell / columns, cell % columns);
    }
    return out;
}

Engine::Engine(const Layout& layout, const WordIndex& index, const std::vector<bool>& activeSlots,
               bool checkMode, bool allowRepeats)
    : layout_(layout), index_(index), active_(activeSlots), checkMode_(checkMode),
      allowRepeats_(allowRepeats || checkMode) {
    const std::size_t n = layout_.slots.size();
    offset_.assign(n, 0);
    supOffset_.assign(n, 0);
    count_.assign(n, 0);
    lo_.assign(n, 0);
    hi_.assign(n, 0);
    dead_.assign(n, 0);
    fresh_.assign(n, 1);
    savedLevel_.assign(n, 0);
    queued_.assign(n, 0);
    std::size_t bits = 0;
    std::size_t sups = 0;
    std::size_t widest = 0;
    for (std::size_t s = 0; s < n; ++s) {
        const int len = layout_.slots[s].length;
        offset_[s] = bits;
        supOffset_[s] = sups;
        sups += static_cast<std::size_t>(len);
        if (active_[s] && len <= MaxWordLength) {
            bits += index_.blocks(len);
            widest = std::max(widest, index_.blocks(len));
        }
    }
    bits_.assign(bits, 0);
    sup_.assign(sups, 0);
    scratch_.assign(widest, 0);
    dom_.assign(layout_.kind.size(), 0);
    if (!allowRepeats_) {
        for (int len = MinWordLength; len <= MaxWordLength; ++len) {
            owner_[static_cast<std::size_t>(len)].assign(index_.count(len), 0);
        }
    }
}

int Engine::initialise() {
    // Cells: a letter stands for itself, a foreign byte for no letter at all,
    // an empty cell for whatever every slot through it allows at its place.
    for (std::size_t i = 0; i < layout_.kind.size(); ++i) {
        switch (layout_.kind[i]) {
        case CellKind::Black:
            dom_[i] = 0;
            break;
        case CellKind::Letter:
            dom_[i] = LetterMask{1} << (layout_.letter[i] - 'A');
            break;
        case CellKind::Foreign:
            dom_[i] = 0;
            break;
        case CellKind::Empty: {
            LetterMask m = AllLetters;
            for (int d = 0; d < 2; ++d) {
                const int s = layout_.cellSlots[i][static_cast<std::size_t>(d)];
                if (s >= 0 && active_[static_cast<std::size_t>(s)]) {
                    const int len = layout_.slots[static_cast<std::size_t>(s)].length;
                    m &= len <= MaxWordLength
                             ? index_.support(len,
                                              layout_.cellPositions[i][static_cast<std::size_t>(d)])
                             : 0;
                }
            }
            dom_[i] = m;
            break;
        }
        }
    }
    int firstEmpty = -1;
    for (std::size_t s = 0; s < layout_.slots.size(); ++s) {
        if (!active_[s]) {
            continue;
        }
        const int len = layout_.slots[s].length;
        const auto& cells = layout_.slotCells[s];
        LetterMask* sup = sup_.data() + supOffset_[s];
        if (len > MaxWordLength) {
            count_[s] = 0;
        } else {
            uint64_t* cand = bits_.data() + offset_[s];
            const std::size_t blocks = index_.blocks(len);
            std::fill(cand, cand + blocks, ~uint64_t{0});
            const std::size_t tail = index_.count(len) % 64;
            if (blocks > 0 && tail != 0) {
                cand[blocks - 1] = (uint64_t{1} << tail) - 1;
            }
            for (int p = 0; p < len; ++p) {
                const auto cell = static_cast<std::size_t>(cells[static_cast<std::size_t>(p)]);
                if (layout_.kind[cell] == CellKind::Letter) {
                    const uint64_t* b = index_.bits(len, p, layout_.letter[cell] - 'A');
                    for (std::size_t k = 0; k < blocks; ++k) {
                        cand[k] &= b[k];
                    }
                } else if (layout_.kind[cell] == CellKind::Foreign) {
                    std::fill(cand, cand + blocks, 0);
                }
                sup[p] = index_.support(len, p);
            }
            lo_[s] = 0;
            hi_[s] = static_cast<uint32_t>(blocks);
            recount(static_cast<int>(s));
        }
        if (count_[s] == 0) {
            if (firstEmpty < 0) {
                firstEmpty = static_cast<int>(s);
            }
            dead_[s] = 1;
            continue;
        }
        // The static support bounds the words left after the given letters;
        // the first revise computes it exactly.
        enqueue(static_cast<int>(s));
    }
    return firstEmpty;
}

void Engine::enqueue(int s) {
    const auto i = static_cast<std::size_t>(s);
    if (!active_[i] || dead_[i] || queued_[i]) {
        return;
    }
    queued_[i] = 1;
    queue_.push_back(s);
}

void Engine::enqueueAllActive() {
    for (std::size_t s = 0; s < layout_.slots.size(); ++s) {
        enqueue(static_cast<int>(s));
    }
}

void Engine::setDomain(int cell, LetterMask m) {
    const auto i = static_cast<std::size_t>(cell);
    if (dom_[i] == m) {
        return;
    }
    trail_.push_back({Undo::Domain, cell, dom_[i], 0, 0});
    dom_[i] = m;
    for (int d = 0; d < 2; ++d) {
        const int s = layout_.cellSlots[i][static_cast<std::size_t>(d)];
        if (s >= 0) {
            enqueue(s);
        }
    }
}

void Engine::save(int s) {
    const auto i = static_cast<std::size_t>(s);
    if (savedLevel_[i] == level_) {
        return;
    }
    const int len = layout_.slots[i].length;
    const std::size_t at = bitTrail_.size();
    // Only the range can change: outside it the blocks are zero and stay so.
    bitTrail_.insert(bitTrail_.end(),
                     bits_.begin() + static_cast<std::ptrdiff_t>(offset_[i] + lo_[i]),
                     bits_.begin() + static_cast<std::ptrdiff_t>(offset_[i] + hi_[i]));
    supTrail_.insert(supTrail_.end(), sup_.begin() + static_cast<std::ptrdiff_t>(supOffset_[i]),
                     sup_.begin() + static_cast<std::ptrdiff_t>(supOffset_[i]) + len);
    trail_.push_back({Undo::Slot, s, count_[i], at, savedLevel_[i], lo_[i], hi_[i]});
    savedLevel_[i] = level_;
}

void Engine::undo(std::size_t mark) {
    while (trail_.size() > mark) {
        const TrailEntry e = trail_.back();
        trail_.pop_back();
        const auto i = static_cast<std::size_t>(e.index);
        switch (e.what) {
        case Undo::Domain:
            dom_[i] = static_cast<LetterMask>(e.old);
            break;
        case Undo::Slot: {
            const int len = layout_.slots[i].length;
            std::memcpy(bits_.data() + offset_[i] + e.lo, bitTrail_.data() + e.bitsAt,
                        (e.hi - e.lo) * sizeof(uint64_t));
            lo_[i] = e.lo;
            hi_[i] = e.hi;
            bitTrail_.resize(e.bitsAt);
            const std::size_t supAt = supTrail_.size() - static_cast<std::size_t>(len);
            std::memcpy(sup_.data() + supOffset_[i], supTrail_.data() + supAt,
                        static_cast<std::size_t>(len) * sizeof(LetterMask));
            supTrail_.resize(supAt);
            count_[i] = static_cast<uint32_t>(e.old);
            savedLevel_[i] = e.oldLevel;
            break;
        }
        case Undo::Owner: {
            // index: length, old: word id; the word had no owner before.
            owner_[i][static_cast<std::size_t>(e.old)] = 0;
            owned_[i].pop_back();
            break;
        }
        case Undo::Dead:
            dead_[i] = 0;
            break;
        }
    }
}

void Engine::recount(int s) {
    const auto i = static_cast<std::size_t>(s);
    const uint64_t* cand = bits_.data() + offset_[i];
    uint32_t lo = lo_[i];
    uint32_t hi = hi_[i];
    while (lo < hi && cand[lo] == 0) {
        ++lo;
    }
    while (hi > lo && cand[hi - 1] == 0) {
        --hi;
    }
    uint32_t n = 0;
    for (uint32_t k = lo; k < hi; ++k) {
        n += static_cast<uint32_t>(std::popcount(cand[k]));
    }
    lo_[i] = lo;
    hi_[i] = hi;
    count_[i] = n;
}

bool Engine::revise(int s) {
    const auto i = static_cast<std::size_t>(s);
    if (dead_[i]) {
        return true;
    }
    const int len = layout_.slots[i].length;
    const auto& cells = layout_.slotCells[i];
    LetterMask* sup = sup_.data() + supOffset_[i];
    std::array<LetterMask, MaxWordLength> d{};
    bool restricted = false;
    for (int p = 0; p < len; ++p) {
        d[static_cast<std::size_t>(p)] =
            dom_[static_cast<std::size_t>(cells[static_cast<std::size_t>(p)])];
        restricted |= (sup[p] & ~d[static_cast<std::size_t>(p)]) != 0;
    }
    uint64_t* cand = bits_.data() + offset_[i];
    bool struck = false;
    if (!allowRepeats_) {
        for (uint32_t w : owned_[static_cast<std::size_t>(len)]) {
            if (owner_[static_cast<std::size_t>(len)][w] != s + 1 &&
                (cand[w / 64] >> (w % 64) & 1) != 0) {
                struck = true;
                break;
            }
        }
    }
    const bool fresh = fresh_[i] != 0;
    fresh_[i] = 0;
    if (!restricted && !struck && !fresh) {
        return true;
    }
    save(s);
    const uint32_t before = count_[i];
    const std::size_t lo = lo_[i];
    const std::size_t hi = hi_[i];
    if (restricted) {
        if (before <= 2 * (hi - lo)) {
            // Few words: test each one's letters.
            for (std::size_t k = lo; k < hi; ++k) {
                uint64_t b = cand[k];
                while (b != 0) {
                    const int bit = std::countr_zero(b);
                    b &= b - 1;
                    const uint8_t* l = index_.letters(
                        len, static_cast<uint32_t>(k * 64 + static_cast<std::size_t>(bit)));
                    for (int p = 0; p < len; ++p) {
                        if ((d[static_cast<std::size_t>(p)] >> l[p] & 1) == 0) {
                            cand[k] &= ~(uint64_t{1} << bit);
                            break;
                        }
                    }
                }
            }
        } else {
            // Many words: one bitset pass per letter taken away (or kept,
            // whichever is fewer).
            for (int p = 0; p < len; ++p) {
                const LetterMask keep = sup[p] & d[static_cast<std::size_t>(p)];
                const LetterMask drop = sup[p] & ~d[static_cast<std::size_t>(p)];
                if (drop == 0) {
                    continue;
                }
                const bool byKeep = std::popcount(keep) < std::popcount(drop);
                std::fill(scratch_.begin() + static_cast<std::ptrdiff_t>(lo),
                          scratch_.begin() + static_cast<std::ptrdiff_t>(hi), 0);
                for (LetterMask m = byKeep ? keep : drop; m != 0; m &= m - 1) {
                    const uint64_t* b = index_.bits(len, p, lowestLetter(m));
                    for (std::size_t k = lo; k < hi; ++k) {
                        scratch_[k] |= b[k];
                    }
                }
                if (byKeep) {
                    for (std::size_t k = lo; k < hi; ++k) {
                        cand[k] &= scratch_[k];
                    }
                } else {
                    for (std::size_t k = lo; k < hi; ++k) {
                        cand[k] &= ~scratch_[k];
                    }
                }
            }
        }
    }
    if (struck) {
        for (uint32_t w : owned_[static_cast<std::size_t>(len)]) {
            if (owner_[static_cast<std::size_t>(len)][w] != s + 1) {
                cand[w / 64] &= ~(uint64_t{1} << (w % 64));
            }
        }
    }
    recount(s);
    const uint32_t n = count_[i];
    if (n == 0) {
        return false;
    }
    if (n != before || fresh) {
        // The support can only shrink, and never beyond what the cells allow.
        // Read words until every position has all the letters it can have;
        // if some stay missing, ask the bitsets for just those.
        std::array<LetterMask, MaxWordLength> target{};
        std::array<LetterMask, MaxWordLength> found{};
        for (int p = 0; p < len; ++p) {
            target[static_cast<std::size_t>(p)] = sup[p] & d[static_cast<std::size_t>(p)];
        }
        int saturated = 0;
        if (n == index_.count(len)) {
            // Every word of the length is left: the support is the static one.
            found = target;
            saturated = len;
        }
        // The letters of the lowest word left in block k (its bits b) join
        // found; a position counts as saturated once found holds all of
        // its target.
        const auto takeLetters = [&](std::size_t k, uint64_t b) {
            const int bit = std::countr_zero(b);
            const uint8_t* l =
                index_.letters(len, static_cast<uint32_t>(k * 64 + static_cast<std::size_t>(bit)));
            for (int p = 0; p < len; ++p) {
                LetterMask& f = found[static_cast<std::size_t>(p)];
                const LetterMask was = f;
                f |= LetterMask{1} << l[p];
                if (f != was && f == target[static_cast<std::size_t>(p)]) {
                    ++saturated;
                }
            }
        };
        int budget = 256;
        std::size_t k = lo_[i];
        bool readAll = true;
        for (; k < hi_[i] && saturated < len; ++k) {
            if (budget <= 0) {
                readAll = false;
                break;
            }
            for (uint64_t b = cand[k]; b != 0 && saturated < len; b &= b - 1) {
                takeLetters(k, b);
                --budget;
            }
        }
        // Reading on costs about half a block test per letter of a word;
        // asking the bitsets costs a pass over the range per missing letter.
        std::size_t missing = 0;
        for (int p = 0; p < len; ++p) {
            missing += static_cast<std::size_t>(std::popcount(target[static_cast<std::size_t>(p)] &
                                                              ~found[static_cast<std::size_t>(p)]));
        }
        if (!readAll && saturated < len &&
            static_cast<std::size_t>(n) * static_cast<std::size_t>(len) <
                2 * missing * (hi_[i] - lo_[i])) {
            for (; k < hi_[i] && saturated < len; ++k) {
                for (uint64_t b = cand[k]; b != 0 && saturated < len; b &= b - 1) {
                    takeLetters(k, b);
                }
            }
            readAll = true;
        }
        if (!readAll && saturated < len) {
            for (int p = 0; p < len; ++p) {
                LetterMask& f = found[static_cast<std::size_t>(p)];
                for (LetterMask m = target[static_cast<std::size_t>(p)] & ~f; m != 0; m &= m - 1) {
                    const int a = lowestLetter(m);
                    const uint64_t* b = index_.bits(len, p, a);
                    for (std::size_t q = lo_[i]; q < hi_[i]; ++q) {
                        if ((cand[q] & b[q]) != 0) {
                            f |= LetterMask{1} << a;
                            break;
                        }
                    }
                }
            }
        }
        for (int p = 0; p < len; ++p) {
            sup[p] = found[static_cast<std::size_t>(p)];
            const int cell = cells[static_cast<std::size_t>(p)];
            if (layout_.kind[static_cast<std::size_t>(cell)] == CellKind::Empty) {
                setDomain(cell, d[static_cast<std::size_t>(p)] & sup[p]);
            }
        }
    } else {
        for (int p = 0; p < len; ++p) {
            sup[p] &= d[static_cast<std::size_t>(p)];
        }
    }
    if (n == 1 && !allowRepeats_) {
        return claim(s);
    }
    return true;
}

bool Engine::claim(int s) {
    const auto i = static_cast<std::size_t>(s);
    const int len = layout_.slots[i].length;
    const uint64_t* cand = bits_.data() + offset_[i];
    std::size_t k = lo_[i];
    while (cand[k] == 0) {
        ++k;
    }
    const auto w =
        static_cast<uint32_t>(k * 64 + static_cast<std::size_t>(std::countr_zero(cand[k])));
    return claimWord(s, len, w);
}

bool Engine::reserve(int s, uint32_t id) {
    return claimWord(s, layout_.slots[static_cast<std::size_t>(s)].length, id);
}

bool Engine::claimWord(int s, int len, uint32_t w) {
    const auto i = static_cast<std::size_t>(s);
    auto& owners = owner_[static_cast<std::size_t>(len)];
    if (owners[w] == s + 1) {
        return true;
    }
    if (owners[w] != 0) {
        return false;
    }
    owners[w] = s + 1;
    owned_[static_cast<std::size_t>(len)].push_back(w);
    trail_.push_back({Undo::Owner, len, w, 0, 0});
    // Every other slot of this length that still holds the word must drop it.
    for (std::size_t t = 0; t < layout_.slots.size(); ++t) {
        if (t != i && active_[t] && layout_.slots[t].length == len) {
            const uint64_t* other = bits_.data() + offset_[t];
            if ((other[w / 64] >> (w % 64) & 1) != 0) {
                enqueue(static_cast<int>(t));
            }
        }
    }
    return true;
}

void Engine::candidateIds(int s, std::vector<uint32_t>& out) const {
    out.clear();
    const auto i = static_cast<std::size_t>(s);
    const uint64_t* cand = bits_.data() + offset_[i];
    for (std::size_t k = lo_[i]; k < hi_[i]; ++k) {
        for (uint64_t b = cand[k]; b != 0; b &= b - 1) {
            out.push_back(
                static_cast<uint32_t>(k * 64 + static_cast<std::size_t>(std::countr_zero(b))));
        }
    }
}

void Engine::letterCounts(int s, int p, std::array<uint32_t, 26>& out) const {
    out.fill(0);
    const auto i = static_cast<std::size_t>(s);
    const int len = layout_.slots[i].length;
    const uint64_t* cand = bits_.data() + offset_[i];
    const std::size_t lo = lo_[i];
    const std::size_t hi = hi_[i];
    if (count_[i] <= 4 * (hi - lo)) {
        for (std::size_t k = lo; k < hi; ++k) {
            for (uint64_t b = cand[k]; b != 0; b &= b - 1) {
                const auto id =
                    static_cast<uint32_t>(k * 64 + static_cast<std::size_t>(std::countr_zero(b)));
                ++out[index_.letters(len, id)[p]];
            }
        }
        return;
    }
    const LetterMask m =
        dom_[static_cast<std::size_t>(layout_.slotCells[i][static_cast<std::size_t>(p)])];
    for (LetterMask left = m; left != 0; left &= left - 1) {
        const int a = lowestLetter(left);
        const uint64_t* b = index_.bits(len, p, a);
        uint32_t n = 0;
        for (std::size_t k = lo; k < hi; ++k) {
            n += static_cast<uint32_t>(std::popcount(cand[k] & b[k]));
        }
        out[static_cast<std::size_t>(a)] = n;
    }
}

} // namespace korvel::fillengine
