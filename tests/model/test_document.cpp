// SPDX-License-Identifier: GPL-3.0-or-later
// The document's one door, against a plain model: long random runs of cell
// edits, clears, symmetric blacks, fills, clue and detail edits, undo and
// redo, each compared with a stack of whole puzzles (grid, clues, details);
// the history's counts and texts against an independent count of the
// records in force; and every change notice against the difference of the
// grid before and after.

#include "griddocument.h"
#include "gridedit.h"
#include "symmetry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace korvel;

namespace {

// A whole puzzle as the user sees it.
struct State {
    std::vector<std::string> rows;
    std::map<ClueKey, Clue> clues;
    PuzzleDetails details;
    friend bool operator==(const State&, const State&) = default;
};

State stateOf(const GridDocument& doc) {
    const GridModel& g = doc.grid();
    return {std::vector<std::string>(g.GridRows.begin(), g.GridRows.begin() + g.RowCount),
            doc.clues().all(), doc.details()};
}

int cellsChanged(const State& a, const State& b) {
    int n = 0;
    for (std::size_t r = 0; r < a.rows.size(); ++r)
        for (std::size_t c = 0; c < a.rows[r].size(); ++c)
            n += a.rows[r][c] != b.rows[r][c];
    return n;
}

// Tells what the document said, and checks it against the grids before and
// after each change.
struct Watcher : DocumentObserver {
    std::vector<DocumentChange> told;
    void documentChanged(const GridDocument&, const DocumentChange& change) override {
        told.push_back(change);
    }
};

// The timeline as the user sees it: the states before each action in force
// with the number of cell records it holds (0 for a bulk change), and the
// states after each action taken back.
struct Model {
    struct Step {
        State state;
        int records = 0;
    };
    std::vector<Step> undo;
    std::vector<Step> redo;
    int records() const {
        int n = 0;
        for (const Step& s : undo)
            n += s.records;
        return n;
    }
    // A cleared history keeps nothing before the change that cleared it.
    void forget() {
        undo.clear();
        redo.clear();
    }
};

class DocRun {
public:
    DocRun(int16_t rows, int16_t cols, unsigned seed) : rng_(seed) {
        doc_.addObserver(&watch_);
        doc_.newGrid(rows, cols);
        watch_.told.clear();
    }
    ~DocRun() { doc_.removeObserver(&watch_); }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    const GridDocument& doc() const { return doc_; }
    int undos = 0;
    int bulkUndos = 0;

    // One random step; false once a check failed.
    void step() {
        const int op = pick(20);
        const State before = stateOf(doc_);
        const int16_t length = doc_.history().HistoryLength();
        watch_.told.clear();
        if (op < 5)
            cellEdit(before, length);
        else if (op < 6)
            symmetricBlack(before, length);
        else if (op < 8)
            fill(before);
        else if (op < 10)
            clueEdit(before);
        else if (op < 11)
            detailsEdit(before);
        else if (op < 15)
            undoOrRedo(true, before);
        else
            undoOrRedo(false, before);
        checkNotices(before);
        ASSERT_EQ(doc_.wordSlots(), Slots::of(doc_.grid()));
        ASSERT_EQ(doc_.history().HistoryLength(), 3 * model_.records());
        // Whatever is in force can be taken back (the key may be on with
        // nothing in force: a Redo with nothing to put back enables it).
        if (!model_.undo.empty()) {
            ASSERT_TRUE(doc_.history().undoEnabled());
        }
    }

private:
    int16_t row() { return static_cast<int16_t>(pick(doc_.grid().RowCount)); }
    int16_t column() { return static_cast<int16_t>(pick(doc_.grid().ColumnCount)); }

    // The cells a change notice must name: those whose byte differs.
    void checkNotices(const State& before) {
        const State after = stateOf(doc_);
        std::vector<int> changed;
        bool blacks = false;
        for (std::size_t r = 0; r < after.rows.size(); ++r)
            for (std::size_t c = 0; c < after.rows[r].size(); ++c)
                if (before.rows[r][c] != after.rows[r][c]) {
                    changed.push_back(static_cast<int>(r * after.rows[r].size() + c));
                    blacks =
                        blacks || isBlackCell(before.rows[r][c]) != isBlackCell(after.rows[r][c]);
                }
        std::vector<int> told;
        bool toldBlacks = false, toldClues = false, toldDetails = false;
        for (const DocumentChange& ch : watch_.told) {
            told.insert(told.end(), ch.cells.begin(), ch.cells.end());
            toldBlacks = toldBlacks || ch.blacks;
            toldClues = toldClues || ch.clues;
            toldDetails = toldDetails || ch.details;
        }
        std::sort(told.begin(), told.end());
        EXPECT_EQ(told, changed);
        EXPECT_EQ(toldBlacks, blacks);
        EXPECT_EQ(toldClues, before.clues != after.clues);
        EXPECT_EQ(toldDetails, before.details != after.details);
    }

    // After a change recorded as one action: the model takes the step, or
    // forgets everything when the change met a full history.
    void recorded(const State& before, const AggiorResult& r, int records) {
        if (r.historyCleared)
            model_.forget();
        if (records > 0 || r.recorded) {
            model_.undo.push_back({before, records});
            model_.redo.clear();
        }
    }

    void cellEdit(const State& before, int16_t length) {
        const int16_t r0 = row(), c0 = column();
        const int kind = pick(3);
        const int letter = 'A' + pick(26);
        const CellEditResult e = doc_.edit([&](DocumentEdit& ed) {
            ed.beginAction();
            if (kind == 0)
                return blackWhite(ed, r0, c0);
            if (kind == 1)
                return clearCell(ed, r0, c0);
            CellEditResult k;
            k.historyCleared =
                gridKeyDown(ed, Tool::WriteAcross, r0, c0, letter, 0, 0, 0).historyCleared;
            return k;
        });
        const int n = cellsChanged(before, stateOf(doc_));
        ASSERT_LE(n, 1);
        EXPECT_EQ(e.historyCleared, length == ActionsHistory::Full && n == 1);
        AggiorResult r;
        r.historyCleared = e.historyCleared;
        recorded(before, r, n);
    }

    void symmetricBlack(const State& before, int16_t length) {
        // Two records could meet a full history between them; the grid
        // click's own test covers that, this run keeps to whole actions.
        if (length > ActionsHistory::Full - 6)
            return;
        const int16_t r = row(), c = column();
        const Symmetry s = static_cast<Symmetry>(1 + pick(3));
        doc_.edit([&](DocumentEdit& ed) {
            ed.beginAction();
            blackWhiteSymmetric(ed, r, c, s);
        });
        recorded(before, AggiorResult{}, cellsChanged(before, stateOf(doc_)));
    }

    void fill(const State& before) {
        BulkChange change;
        const GridModel& g = doc_.grid();
        for (int i = 1 + pick(3 * g.ColumnCount); i > 0; --i) {
            const int16_t r = row(), c = column();
            const bool seen =
                std::any_of(change.cells.begin(), change.cells.end(),
                            [&](const CellChange& x) { return x.row == r && x.column == c; });
            if (!seen && !g.isBlack(r, c))
                change.cells.push_back({r, c, g.cell(r, c), static_cast<char>('A' + pick(26))});
        }
        std::erase_if(change.cells, [](const CellChange& x) { return x.before == x.after; });
        change.box = Selection{0, 0, g.ColumnCount, g.RowCount};
        const AggiorResult r = doc_.edit([&](DocumentEdit& e) { return e.record(change); });
        EXPECT_EQ(r.recorded, !change.cells.empty());
        recorded(before, r, 0);
    }

    void clueEdit(const State& before) {
        const Slots& slots = doc_.wordSlots();
        AggiorResult r;
        const int kind = pick(4);
        if (kind < 2 && slots.size() > 0) {
            const Slot& s = slots[static_cast<std::size_t>(pick(static_cast<int>(slots.size())))];
            const std::string text =
                kind == 0 ? "Clue " + std::to_string(pick(5)) : std::string(pick(2) ? "" : "<&>");
            r = doc_.edit([&](DocumentEdit& e) { return e.setClue(s, text); });
        } else if (!before.clues.empty()) {
            auto it = before.clues.begin();
            std::advance(it, pick(static_cast<int>(before.clues.size())));
            const ClueKey key = it->first;
            r = doc_.edit(
                [&](DocumentEdit& e) { return kind == 2 ? e.placeClue(key) : e.deleteClue(key); });
        }
        EXPECT_EQ(r.recorded, stateOf(doc_) != before);
        recorded(before, r, 0);
    }

    void detailsEdit(const State& before) {
        PuzzleDetails d = doc_.details();
        (pick(2) ? d.title : d.author) = "T" + std::to_string(pick(3));
        const AggiorResult r = doc_.edit([&](DocumentEdit& e) { return e.setDetails(d); });
        EXPECT_EQ(r.recorded, d != before.details);
        recorded(before, r, 0);
    }

    void undoOrRedo(bool undo, const State& before) {
        // The toolbar clears a full history before every key.
        if (doc_.edit([](DocumentEdit& e) { return e.clearIfFull(); }))
            model_.forget();
        int16_t r = 0, c = 0;
        const RestoreResult res =
            doc_.edit([&](DocumentEdit& e) { return undo ? e.undo(r, c) : e.redo(r, c); });
        ASSERT_FALSE(res.anomaly);
        std::vector<Model::Step>& from = undo ? model_.undo : model_.redo;
        std::vector<Model::Step>& to = undo ? model_.redo : model_.undo;
        if (from.empty()) {
            EXPECT_EQ(stateOf(doc_), before);
        } else {
            const Model::Step step = from.back();
            from.pop_back();
            EXPECT_EQ(stateOf(doc_), step.state);
            EXPECT_EQ(res.bulk, step.records == 0);
            to.push_back({before, step.records});
            undos += undo;
            bulkUndos += undo && res.bulk;
        }
        // The texts the history shows: the number of records in force.
        const int n = model_.records();
        EXPECT_EQ(res.statusText, undo ? " Undo n. " + std::to_string(n + 1) + " "
                                       : " Redo n. " + std::to_string(n) + " ");
        if (undo) {
            EXPECT_TRUE(doc_.history().redoEnabled());
        } else if (!from.empty() || !to.empty()) {
            EXPECT_EQ(doc_.history().redoEnabled(), !model_.redo.empty());
        }
    }

    GridDocument doc_;
    Watcher watch_;
    Model model_;
    std::mt19937 rng_;
};

} // namespace

TEST(Document, RandomRunsMatchAStackOfWholePuzzles) {
    int undos = 0;
    int bulkUndos = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        DocRun run(static_cast<int16_t>(2 + seed % 6), static_cast<int16_t>(3 + seed % 9), seed);
        for (int step = 0; step < 600; ++step) {
            run.step();
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << "seed " << seed << " step " << step;
                return;
            }
        }
        EXPECT_TRUE(run.doc().isModified() || run.doc().history().HistoryLength() == 0);
        undos += run.undos;
        bulkUndos += run.bulkUndos;
    }
    // The runs reached both kinds of record often.
    EXPECT_GT(undos, 2000);
    EXPECT_GT(bulkUndos, 500);
}

// A new grid and an opened puzzle are told as a reset; an edit that changes
// nothing tells nothing; "@" is stored as BLACK, unrecorded, and told.
TEST(Document, ResetsAndEditsThatChangeNothing) {
    GridDocument doc;
    Watcher w;
    doc.addObserver(&w);
    doc.newGrid(3, 4);
    ASSERT_EQ(w.told.size(), 1u);
    EXPECT_TRUE(w.told[0].reset);
    w.told.clear();
    doc.edit([](DocumentEdit& e) {
        e.beginAction();
        e.aggior(0, 0, EmptyCell); // already empty: nothing recorded
        e.layCell(1, 1, 'Q');
        e.layCell(1, 1, EmptyCell); // put back within the edit
    });
    EXPECT_TRUE(w.told.empty());
    doc.edit([](DocumentEdit& e) { e.layCell(2, 3, AtBlack); });
    ASSERT_EQ(w.told.size(), 1u);
    EXPECT_EQ(w.told[0].cells, std::vector<int>{11});
    EXPECT_TRUE(w.told[0].blacks);
    EXPECT_EQ(doc.grid().cell(2, 3), BLACK);
    EXPECT_EQ(doc.history().HistoryLength(), 0);
    EXPECT_FALSE(doc.isModified());

    Puzzle p;
    p.grid = GridModel::make(2, 2);
    p.grid.setCell(0, 0, AtBlack);
    w.told.clear();
    doc.openPuzzle(p, "x.ipuz");
    ASSERT_EQ(w.told.size(), 1u);
    EXPECT_TRUE(w.told[0].reset);
    EXPECT_EQ(doc.grid().cell(0, 0), BLACK);
    EXPECT_EQ(doc.wordSlots(), Slots::of(doc.grid()));
    doc.removeObserver(&w);
}

// A clue whose slot a black cell reshapes is kept unplaced; undo of the
// black places it again; placing it on the new slot and deleting it are
// edits of their own.
TEST(Document, CluesFollowTheirSlotsAndAreNeverLost) {
    GridDocument doc;
    doc.newGrid(3, 5);
    const Slot first = doc.wordSlots().across()[0];
    doc.edit([&](DocumentEdit& e) { e.setClue(first, "Five letters"); });
    ASSERT_NE(doc.clues().placedOn(doc.wordSlots().across()[0]), nullptr);
    int16_t r = 0, c = 0;
    doc.edit([&](DocumentEdit& e) {
        e.beginAction();
        blackWhite(e, 0, 3);
    });
    EXPECT_EQ(doc.clues().size(), 1u);
    ASSERT_EQ(doc.clues().unplaced(doc.wordSlots()).size(), 1u);
    doc.edit([&](DocumentEdit& e) { e.undo(r, c); });
    EXPECT_TRUE(doc.clues().unplaced(doc.wordSlots()).empty());
    doc.edit([&](DocumentEdit& e) { e.redo(r, c); });
    const ClueKey key = keyOf(first);
    EXPECT_TRUE(doc.edit([&](DocumentEdit& e) { return e.placeClue(key); }).recorded);
    EXPECT_EQ(doc.clues().find(key)->length, 3);
    EXPECT_TRUE(doc.clues().unplaced(doc.wordSlots()).empty());
    EXPECT_TRUE(doc.edit([&](DocumentEdit& e) { return e.deleteClue(key); }).recorded);
    EXPECT_TRUE(doc.clues().empty());
    doc.edit([&](DocumentEdit& e) { e.undo(r, c); });
    EXPECT_EQ(doc.clues().find(key)->text, "Five letters");
}

// --- the answer a clue was written for

namespace {

// Writes word into the grid's first across slot as one bulk change (a fill).
AggiorResult refill(GridDocument& doc, const Slot& slot, std::string_view word) {
    BulkChange change;
    for (int i = 0; i < slot.length; ++i) {
        const char before = doc.grid().cell(slot.rowAt(i), slot.columnAt(i));
        if (before != word[static_cast<std::size_t>(i)])
            change.cells.push_back(
                {slot.rowAt(i), slot.columnAt(i), before, word[static_cast<std::size_t>(i)]});
    }
    change.box = Selection{0, 0, doc.grid().ColumnCount, doc.grid().RowCount};
    return doc.edit([&](DocumentEdit& e) { return e.record(change); });
}

std::vector<ClueKey> changedKeys(const GridDocument& doc) {
    std::vector<ClueKey> out;
    for (const Clue* c : doc.clues().changed(doc.grid(), doc.wordSlots()))
        out.push_back(c->key);
    return out;
}

} // namespace

TEST(ClueAnswer, ARefillFlagsTheClueAndUndoRedoCarryTheFlag) {
    GridDocument doc;
    doc.newGrid(3, 5);
    const Slot slot = doc.wordSlots().across()[0];
    const ClueKey key = keyOf(slot);
    ASSERT_TRUE(refill(doc, slot, "LASSA").recorded);
    ASSERT_TRUE(doc.edit([&](DocumentEdit& e) { return e.setClue(slot, "Fever of West Africa"); })
                    .recorded);
    EXPECT_EQ(doc.clues().find(key)->answer, "LASSA");
    EXPECT_TRUE(changedKeys(doc).empty());

    // The refill changes the answer under the clue: flagged.
    ASSERT_TRUE(refill(doc, slot, "TESSA").recorded);
    EXPECT_EQ(changedKeys(doc), std::vector<ClueKey>{key});
    int16_t r = 0, c = 0;
    doc.edit([&](DocumentEdit& e) { e.undo(r, c); });
    EXPECT_EQ(Slots::pattern(doc.grid(), slot), "LASSA");
    EXPECT_TRUE(changedKeys(doc).empty());
    doc.edit([&](DocumentEdit& e) { e.redo(r, c); });
    EXPECT_EQ(changedKeys(doc), std::vector<ClueKey>{key});

    // Confirming keeps the text for the new answer; undo brings the flag back.
    ASSERT_TRUE(doc.edit([&](DocumentEdit& e) { return e.confirmClue(key); }).recorded);
    EXPECT_TRUE(changedKeys(doc).empty());
    EXPECT_EQ(doc.clues().find(key)->text, "Fever of West Africa");
    EXPECT_FALSE(doc.edit([&](DocumentEdit& e) { return e.confirmClue(key); }).recorded);
    doc.edit([&](DocumentEdit& e) { e.undo(r, c); });
    EXPECT_EQ(changedKeys(doc), std::vector<ClueKey>{key});
    doc.edit([&](DocumentEdit& e) { e.redo(r, c); });
    EXPECT_TRUE(changedKeys(doc).empty());

    // Editing the text writes it for the answer as it stands.
    ASSERT_TRUE(refill(doc, slot, "TESLA").recorded);
    EXPECT_EQ(changedKeys(doc), std::vector<ClueKey>{key});
    ASSERT_TRUE(doc.edit([&](DocumentEdit& e) { return e.setClue(slot, "Unit of flux density"); })
                    .recorded);
    EXPECT_TRUE(changedKeys(doc).empty());
    EXPECT_EQ(doc.clues().find(key)->answer, "TESLA");
}

TEST(ClueAnswer, OnlyLettersThatWereThereCount) {
    GridDocument doc;
    doc.newGrid(3, 5);
    const Slot slot = doc.wordSlots().across()[0];
    ASSERT_TRUE(refill(doc, slot, "CA???").recorded);
    doc.edit([&](DocumentEdit& e) { e.setClue(slot, "Home"); });
    EXPECT_EQ(doc.clues().find(keyOf(slot))->answer, "CA???");
    // Letters written ahead of the clue's answer change nothing...
    ASSERT_TRUE(refill(doc, slot, "CASAS").recorded);
    EXPECT_TRUE(changedKeys(doc).empty());
    // ...a letter the clue was written for that goes or changes does.
    ASSERT_TRUE(refill(doc, slot, "C?SAS").recorded);
    EXPECT_EQ(changedKeys(doc).size(), 1u);
    ASSERT_TRUE(refill(doc, slot, "COSAS").recorded);
    EXPECT_EQ(changedKeys(doc).size(), 1u);
}

TEST(ClueAnswer, AnOpenedPuzzleIsTakenAsWrittenForItsLetters) {
    Puzzle p;
    p.grid = GridModel::make(2, 3);
    p.grid.GridRows = {"CAT", "DOG", "???"};
    p.clues.push_back({{0, 0, Direction::Across}, 3, "Pet", "", ""});
    Clue recorded{{1, 0, Direction::Across}, 3, "Pet too", "", ""};
    recorded.answer = "HOG";
    p.clues.push_back(recorded);
    GridDocument doc;
    doc.openPuzzle(p, "two.ipuz");
    EXPECT_EQ(doc.clues().find({0, 0, Direction::Across})->answer, "CAT");
    // A clue that says what it was written for keeps it: flagged at once.
    EXPECT_EQ(changedKeys(doc), (std::vector<ClueKey>{ClueKey{1, 0, Direction::Across}}));
    EXPECT_FALSE(doc.isModified());
}

TEST(ClueAnswer, PlacingAKeptClueWritesItForItsNewWord) {
    GridDocument doc;
    doc.newGrid(3, 5);
    const Slot slot = doc.wordSlots().across()[0];
    ASSERT_TRUE(refill(doc, slot, "ABCDE").recorded);
    doc.edit([&](DocumentEdit& e) { e.setClue(slot, "Letters"); });
    doc.edit([&](DocumentEdit& e) {
        e.beginAction();
        blackWhite(e, 0, 4);
    });
    const ClueKey key = keyOf(slot);
    ASSERT_TRUE(doc.edit([&](DocumentEdit& e) { return e.placeClue(key); }).recorded);
    EXPECT_EQ(doc.clues().find(key)->answer, "ABCD");
    EXPECT_TRUE(changedKeys(doc).empty());
}
