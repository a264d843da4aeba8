// SPDX-License-Identifier: GPL-3.0-or-later
#include "plainfill.h"

#include "fillengine.h"

#include <bit>

namespace korvel {

using namespace fillengine;

namespace {

class Plain {
public:
    Plain(const Layout& layout, const WordIndex& index, Pacer& pacer, bool allowRepeats)
        : layout_(layout), index_(index), pacer_(pacer), allowRepeats_(allowRepeats),
          letters_(layout.kind.size(), -1), used_(MaxWordLength + 1) {
        for (std::size_t i = 0; i < layout.kind.size(); ++i) {
            if (layout.kind[i] == CellKind::Letter) {
                letters_[i] = layout.letter[i] - 'A';
            } else if (layout.kind[i] == CellKind::Foreign) {
                letters_[i] = 26; // no word holds it
            }
        }
        for (int len = MinWordLength; len <= MaxWordLength; ++len) {
            used_[static_cast<std::size_t>(len)].assign(index.blocks(len), 0);
        }
        scratch_.resize(index.blocks(MaxWordLength) + 1);
    }

    const std::vector<int>& letters() const { return letters_; }

    // Words fitting slot s as its cells stand, into out (blocks of its length).
    bool candidates(int s, std::vector<uint64_t>& out) const {
        const int len = layout_.slots[static_cast<std::size_t>(s)].length;
        const std::size_t blocks = index_.blocks(len);
        out.assign(blocks, ~uint64_t{0});
        const std::size_t tail = index_.count(len) % 64;
        if (blocks > 0 && tail != 0) {
            out[blocks - 1] = (uint64_t{1} << tail) - 1;
        }
        const auto& cells = layout_.slotCells[static_cast<std::size_t>(s)];
        for (int p = 0; p < len; ++p) {
            const int a = letters_[static_cast<std::size_t>(cells[static_cast<std::size_t>(p)])];
            if (a == 26) {
                return false;
            }
            if (a >= 0) {
                const uint64_t* b = index_.bits(len, p, a);
                for (std::size_t k = 0; k < blocks; ++k) {
                    out[k] &= b[k];
                }
            }
        }
        if (!allowRepeats_) {
            const auto& used = used_[static_cast<std::size_t>(len)];
            for (std::size_t k = 0; k < blocks; ++k) {
                out[k] &= ~used[k];
            }
        }
        for (std::size_t k = 0; k < blocks; ++k) {
            if (out[k] != 0) {
                return true;
            }
        }
        return false;
    }

    bool solve(std::size_t next, FillStats& stats) {
        if (next == layout_.slots.size()) {
            return true;
        }
        if (!pacer_.tick()) {
            return false;
        }
        const int s = static_cast<int>(next);
        const auto& cells = layout_.slotCells[next];
        const int len = static_cast<int>(cells.size());
        std::vector<uint64_t> cand;
        if (!candidates(s, cand)) {
            return false;
        }
        for (std::size_t k = 0; k < cand.size(); ++k) {
            for (uint64_t b = cand[k]; b != 0; b &= b - 1) {
                const auto id =
                    static_cast<uint32_t>(k * 64 + static_cast<std::size_t>(std::countr_zero(b)));
                const uint8_t* l = index_.letters(len, id);
                std::vector<int> placed;
                for (int p = 0; p < len; ++p) {
                    const auto cell = static_cast<std::size_t>(cells[static_cast<std::size_t>(p)]);
                    if (letters_[cell] < 0) {
                        letters_[cell] = l[p];
                        placed.push_back(p);
                    }
                }
                if (!pacer_.tick()) {
                    for (int p : placed) {
                        letters_[static_cast<std::size_t>(cells[static_cast<std::size_t>(p)])] = -1;
                    }
                    return false;
                }
                auto& used = used_[static_cast<std::size_t>(len)];
                used[id / 64] |= uint64_t{1} << (id % 64);
                ++stats.nodes;
                // Forward checking: each later slot crossing a new letter
                // must keep a fitting word.
                bool alive = true;
                for (int p : placed) {
                    const int y = layout_.crossing(s, p);
                    if (y > s && !candidates(y, scratch_)) {
                        alive = false;
                        break;
                    }
                }
                if (alive && solve(next + 1, stats)) {
                    return true;
                }
                used[id / 64] &= ~(uint64_t{1} << (id % 64));
                for (int p : placed) {
                    letters_[static_cast<std::size_t>(cells[static_cast<std::size_t>(p)])] = -1;
                }
                if (pacer_.stopped()) {
                    return false;
                }
                ++stats.failures;
            }
        }
        return false;
    }

private:
    const Layout& layout_;
    const WordIndex& index_;
    Pacer& pacer_;
    bool allowRepeats_;
    std::vector<int> letters_;
    std::vector<std::vector<uint64_t>> used_; // bitsets per length
    std::vector<uint64_t> scratch_;
};

} // namespace

FillResult fillGridPlain(const GridModel& grid, const WordIndex& index, const FillOptions& options,
                         SearchHost& host, const SearchFlags& flags) {
    Pacer pacer(host, flags, options.timeLimit);
    const Layout layout = Layout::of(grid, Slots::of(grid));
    Plain plain(layout, index, pacer, options.allowRepeats);
    FillResult result;
    result.grid = grid;
    const bool solved = plain.solve(0, result.stats);
    result.stats.seconds = pacer.seconds();
    if (!solved) {
        result.status = pacer.stopped() ? FillStatus::Stopped : FillStatus::NoFill;
        result.aborted = pacer.aborted();
        result.reason = pacer.stopped() ? "" : "no fill exists";
        return result;
    }
    result.status = FillStatus::Filled;
    for (std::size_t i = 0; i < layout.kind.size(); ++i) {
        if (layout.kind[i] == CellKind::Empty) {
            const int r = static_cast<int>(i) / layout.columns;
            const int c = static_cast<int>(i) % layout.columns;
            // A cell in no slot is bound by nothing.
            const int a = plain.letters()[i];
            const char after = static_cast<char>('A' + (a < 0 ? 0 : a));
            result.changes.push_back(
                {static_cast<int16_t>(r), static_cast<int16_t>(c), grid.cell(r, c), after});
            result.grid.setCell(r, c, after);
        }
    }
    return result;
}

} // namespace korvel
