// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorstate.h"

#include <algorithm>
#include <utility>

namespace korvel {

namespace {

GridMark boxMark(const Selection& s, MarkColour colour) {
    return GridMark{GridMark::Kind::Box, colour, s.cx, s.cy, s.LAX, s.LAY};
}

GridMark outlineMark(const DragRect& d, MarkColour colour) {
    return GridMark{GridMark::Kind::Outline,
                    colour,
                    d.x1,
                    d.y1,
                    static_cast<int16_t>(d.x2 - d.x1 + 1),
                    static_cast<int16_t>(d.y2 - d.y1 + 1)};
}

} // namespace

void EditorState::setTool(Tool tool, std::string key) {
    tool_ = tool;
    toolKey_ = std::move(key);
    EditorChange change;
    change.tool = true;
    notify(change);
}

void EditorState::setCurrentCell(int16_t row, int16_t column, CursorCause cause) {
    const bool moved = row != row_ || column != column_;
    row_ = row;
    column_ = column;
    if (!moved && cause == CursorCause::Pointer)
        return;
    EditorChange change;
    change.cursor = true;
    change.cause = cause;
    notify(change);
}

void EditorState::rinfresca() {
    pictureNumbersShown_ = numbersShown_;
    EditorChange change;
    change.repainted = true;
    change.dropped = std::move(marks_);
    marks_.clear();
    notify(change);
}

void EditorState::addMark(const GridMark& mark) {
    marks_.push_back(mark);
    EditorChange change;
    change.added = 1;
    notify(change);
}

void EditorState::drawSelection() {
    lastSelection_ = selection;
    addMark(boxMark(selection, MarkColour::Red));
}

void EditorState::drawGreenBox() {
    addMark(boxMark(selection, MarkColour::Green));
}

void EditorState::drawDrag() {
    marks_.push_back(outlineMark(drawnDrag_, MarkColour::White));
    drawnDrag_ = drag;
    marks_.push_back(outlineMark(drag, MarkColour::Blue));
    EditorChange change;
    change.added = 2;
    notify(change);
}

void EditorState::drawNumbers(bool shown) {
    numbersShown_ = shown;
    addMark(GridMark{GridMark::Kind::Numbers, shown ? MarkColour::Red : MarkColour::White});
}

void EditorState::showBox(const Selection& box) {
    rinfresca();
    selection = box;
    drawSelection();
}

void EditorState::documentChanged(const GridDocument&, const DocumentChange& change) {
    // Every change of a cell is followed by the whole grid drawn again, as
    // the caller of aggior repaints; a clue or a detail leaves the picture.
    if (change.reset || !change.cells.empty())
        rinfresca();
}

void EditorState::addObserver(EditorObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void EditorState::removeObserver(EditorObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void EditorState::notify(const EditorChange& change) {
    // An observer may remove itself while told.
    const std::vector<EditorObserver*> told = observers_;
    for (EditorObserver* o : told)
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end())
            o->editorChanged(*this, change);
}

} // namespace korvel
