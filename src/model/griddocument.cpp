// SPDX-License-Identifier: GPL-3.0-or-later
#include "griddocument.h"

#include <algorithm>

namespace korvel {

// ---------------------------------------------------------------- the edit

DocumentEdit::DocumentEdit(GridDocument& doc)
    : doc_(doc), undoWas_(doc.history_.undoEnabled()), redoWas_(doc.history_.redoEnabled()),
      modifiedWas_(doc.isModified()) {}

const GridModel& DocumentEdit::grid() const {
    return doc_.grid_;
}

const ActionsHistory& DocumentEdit::history() const {
    return doc_.history_;
}

const ClueSet& DocumentEdit::clues() const {
    return doc_.text_.clues;
}

const PuzzleDetails& DocumentEdit::details() const {
    return doc_.text_.details;
}

Placement& DocumentEdit::placement() {
    return doc_.placement_;
}

const Slots& DocumentEdit::wordSlots() {
    if (slotsStale_) {
        doc_.slots_ = Slots::of(doc_.grid_);
        slotsStale_ = false;
    }
    return doc_.slots_;
}

void DocumentEdit::touch(int16_t row, int16_t column) {
    if (!doc_.grid_.contains(row, column))
        return;
    const int cell = row * doc_.grid_.ColumnCount + column;
    before_.emplace(cell, doc_.grid_.cell(row, column));
    // Whether the write will change a black cell is not known yet: the slots
    // are looked at again when next asked for.
    slotsStale_ = true;
}

void DocumentEdit::touchBulk(const BulkChange* change) {
    if (!change)
        return;
    for (const CellChange& ch : change->cells)
        touch(ch.row, ch.column);
}

void DocumentEdit::noteText(const BulkChange& change) {
    clues_ = clues_ || !change.clues.empty();
    details_ = details_ || change.details.has_value();
}

void DocumentEdit::beginAction() {
    doc_.history_.beginAction();
}

AggiorResult DocumentEdit::aggior(int16_t row, int16_t column, char carm) {
    touch(row, column);
    return doc_.history_.aggior(doc_.grid_, row, column, carm);
}

bool DocumentEdit::clearIfFull() {
    return doc_.history_.clearIfFull();
}

namespace {
// The cells a record walk restored were not known before it ran: their
// bytes from before the walk are in the restored cells.
void touchRestored(const RestoredCells& restored, int columns, std::map<int, char>& before) {
    for (int16_t i = 0; i < restored.count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        before.emplace(restored.rows[k] * columns + restored.columns[k], restored.previous[k]);
    }
}
} // namespace

template <class Step> RestoreResult DocumentEdit::restoreStep(const BulkChange* bulk, Step step) {
    restored_ = true;
    touchBulk(bulk);
    const RestoreResult r = step();
    if (r.bulk && !r.anomaly && bulk)
        noteText(*bulk);
    touchRestored(doc_.history_.restored(), doc_.grid_.ColumnCount, before_);
    slotsStale_ = true;
    return r;
}

RestoreResult DocumentEdit::undo(int16_t& CurrentRow, int16_t& CurrentColumn) {
    return restoreStep(doc_.history_.lastBulkInForce(), [&] {
        return doc_.history_.undo(doc_.grid_, CurrentRow, CurrentColumn, &doc_.text_);
    });
}

RestoreResult DocumentEdit::redo(int16_t& CurrentRow, int16_t& CurrentColumn) {
    return restoreStep(doc_.history_.nextBulkToRedo(), [&] {
        return doc_.history_.redo(doc_.grid_, CurrentRow, CurrentColumn, &doc_.text_);
    });
}

bool DocumentEdit::takeBackLastAction() {
    restored_ = true;
    const bool ok = doc_.history_.takeBackLastAction(doc_.grid_);
    touchRestored(doc_.history_.restored(), doc_.grid_.ColumnCount, before_);
    slotsStale_ = true;
    return ok;
}

AggiorResult DocumentEdit::record(BulkChange change) {
    touchBulk(&change);
    const bool clues = !change.clues.empty();
    const bool details = change.details.has_value();
    const AggiorResult r = doc_.history_.record(doc_.grid_, &doc_.text_, std::move(change));
    if (r.recorded) {
        clues_ = clues_ || clues;
        details_ = details_ || details;
    }
    return r;
}

const BulkChange* DocumentEdit::lastBulkInForce() const {
    return doc_.history_.lastBulkInForce();
}

bool DocumentEdit::dropLastBulk() {
    const BulkChange* bulk = doc_.history_.lastBulkInForce();
    touchBulk(bulk);
    const bool clues = bulk && !bulk->clues.empty();
    const bool details = bulk && bulk->details.has_value();
    if (!doc_.history_.dropLastBulk(doc_.grid_, &doc_.text_))
        return false;
    clues_ = clues_ || clues;
    details_ = details_ || details;
    return true;
}

void DocumentEdit::layCell(int16_t row, int16_t column, char ch) {
    touch(row, column);
    doc_.grid_.setCell(row, column, ch);
}

void DocumentEdit::clearPriclk() {
    doc_.placement_.priclk = false;
}

void DocumentEdit::setFileName(std::string name) {
    if (name == doc_.fileName_)
        return;
    doc_.fileName_ = std::move(name);
    file_ = true;
}

void DocumentEdit::setDocumentChanged(bool changed) {
    doc_.history_.setDocumentChanged(changed);
}

namespace {
BulkChange clueChange(const ClueKey& key, const Clue* before, std::optional<Clue> after) {
    BulkChange change;
    change.clues.push_back(
        ClueChange{key, before ? std::optional<Clue>(*before) : std::nullopt, std::move(after)});
    return change;
}
} // namespace

AggiorResult DocumentEdit::setClue(const Slot& slot, std::string text) {
    const ClueKey key = keyOf(slot);
    const Clue* present = doc_.text_.clues.find(key);
    std::optional<Clue> after;
    if (!text.empty()) {
        Clue c;
        // What a file gave beyond the text holds only while the slot keeps
        // the length it was given for.
        if (present && present->length == slot.length)
            c = *present;
        c.key = key;
        c.length = slot.length;
        c.text = std::move(text);
        // Written (or written again) for the answer the slot holds now.
        c.answer = Slots::pattern(doc_.grid_, slot);
        after = std::move(c);
    }
    if ((!present && !after) || (present && after && *present == *after))
        return {};
    return record(clueChange(key, present, std::move(after)));
}

AggiorResult DocumentEdit::deleteClue(const ClueKey& key) {
    const Clue* present = doc_.text_.clues.find(key);
    if (!present)
        return {};
    return record(clueChange(key, present, std::nullopt));
}

AggiorResult DocumentEdit::placeClue(const ClueKey& key) {
    const Clue* present = doc_.text_.clues.find(key);
    const int s = wordSlots().startingAt(key.row, key.column, key.direction);
    if (!present || s < 0)
        return {};
    const Slot& slot = wordSlots()[static_cast<std::size_t>(s)];
    if (present->length == slot.length)
        return {};
    Clue moved = *present;
    moved.length = slot.length;
    moved.enumeration.clear();
    moved.label.clear();
    moved.answer = Slots::pattern(doc_.grid_, slot);
    return record(clueChange(key, present, std::move(moved)));
}

AggiorResult DocumentEdit::confirmClue(const ClueKey& key) {
    const Clue* present = doc_.text_.clues.find(key);
    const int s = wordSlots().startingAt(key.row, key.column, key.direction);
    if (!present || s < 0)
        return {};
    const Slot& slot = wordSlots()[static_cast<std::size_t>(s)];
    if (present->length != slot.length)
        return {};
    Clue confirmed = *present;
    confirmed.answer = Slots::pattern(doc_.grid_, slot);
    if (confirmed == *present)
        return {};
    return record(clueChange(key, present, std::move(confirmed)));
}

AggiorResult DocumentEdit::setDetails(PuzzleDetails details) {
    if (details == doc_.text_.details)
        return {};
    BulkChange change;
    change.details = DetailsChange{doc_.text_.details, std::move(details)};
    return record(std::move(change));
}

DocumentChange DocumentEdit::finish() {
    // "@" is read as black and stored as BLACK, unrecorded.
    GridModel& g = doc_.grid_;
    std::vector<int> blackened;
    if (g.normalizeBlacks(&blackened)) {
        for (const int cell : blackened)
            before_.emplace(cell, AtBlack);
    }
    DocumentChange change;
    for (const auto& [cell, was] : before_) {
        const char now = g.cell(cell / g.ColumnCount, cell % g.ColumnCount);
        if (now == was)
            continue;
        change.cells.push_back(cell);
        change.blacks = change.blacks || isBlackCell(now) != isBlackCell(was);
    }
    if (change.blacks)
        doc_.slots_ = Slots::of(g);
    change.clues = clues_;
    change.details = details_;
    // An undone or redone change is a change since the save like any other.
    if (restored_ && (!change.cells.empty() || clues_ || details_))
        doc_.history_.setDocumentChanged(true);
    const ActionsHistory& h = doc_.history_;
    change.history = h.undoEnabled() != undoWas_ || h.redoEnabled() != redoWas_;
    change.file = file_ || doc_.isModified() != modifiedWas_;
    return change;
}

// ---------------------------------------------------------------- the document

Puzzle GridDocument::puzzle() const {
    Puzzle p;
    p.grid = grid_;
    for (const auto& [key, clue] : text_.clues.all())
        p.clues.push_back(clue);
    p.details = text_.details;
    p.circles = circles_;
    return p;
}

void GridDocument::replaced() {
    grid_.normalizeBlacks();
    slots_ = Slots::of(grid_);
    history_.reset(grid_.MaxSide);
    history_.setDocumentChanged(false);
    DocumentChange change;
    change.reset = true;
    change.blacks = true;
    change.clues = true;
    change.details = true;
    change.history = true;
    change.file = true;
    notify(change);
}

void GridDocument::newGrid(int16_t rows, int16_t columns, std::string language) {
    grid_ = GridModel::make(rows, columns);
    text_ = PuzzleText{};
    text_.details.language = std::move(language);
    circles_.clear();
    fileName_.clear();
    replaced();
}

void GridDocument::openPuzzle(Puzzle puzzle, std::string path) {
    grid_ = std::move(puzzle.grid);
    text_ = PuzzleText{};
    for (Clue& c : puzzle.clues)
        text_.clues.put(std::move(c));
    text_.details = std::move(puzzle.details);
    circles_ = std::move(puzzle.circles);
    fileName_ = std::move(path);
    text_.clues.settleAnswers(grid_, Slots::of(grid_));
    replaced();
}

void GridDocument::addObserver(DocumentObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void GridDocument::removeObserver(DocumentObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void GridDocument::notify(const DocumentChange& change) {
    if (!change.any())
        return;
    // An observer may remove itself while told.
    const std::vector<DocumentObserver*> told = observers_;
    for (DocumentObserver* o : told)
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end())
            o->documentChanged(*this, change);
}

} // namespace korvel
