// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "griddocument.h"
#include "promptstate.h"
#include "symmetry.h"
#include "tool.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvel {

enum class MarkColour : uint8_t { Red, Green, Blue, White };

// One thing drawn over the grid's picture since the picture was last drawn
// whole. The selection box is drawn over what is there without clearing
// anything, so a picture is the document drawn whole followed by every mark,
// in order: the red boxes an Undo leaves on each cell it restored, the white
// outline of an erased drag, the numbers printed again in white.
struct GridMark {
    enum class Kind : uint8_t {
        // A box 0.05 cell inside the cells x .. x + w - 1, y .. y + h - 1
        // (drawSelection, drawGreenBox).
        Box,
        // A drag rectangle's outline over the same cells, drawn as the drag
        // draws it (its far edge is figured from the rectangle's last cell).
        Outline,
        // Every clue number printed again: red, or white when hidden.
        Numbers,
    };
    Kind kind = Kind::Box;
    MarkColour colour = MarkColour::Red;
    int16_t x = 0;
    int16_t y = 0;
    int16_t w = 0;
    int16_t h = 0;

    friend bool operator==(const GridMark&, const GridMark&) = default;
};

// Why the current cell moved. The clue panel follows a click and the keys,
// not the pointer passing over the grid.
enum class CursorCause : uint8_t { Pointer, Click, Key, Restore };

// What one change of the editor state changed, for its observers.
struct EditorChange {
    // The picture was drawn whole again (rinfresca): the marks in dropped
    // are gone from it.
    bool repainted = false;
    std::vector<GridMark> dropped;
    // The last `added` marks were drawn by this change.
    std::size_t added = 0;
    // The current cell was set (by cause); a click or a key tells it even
    // when the cell stayed the same.
    bool cursor = false;
    CursorCause cause = CursorCause::Pointer;
    bool tool = false;
};

class EditorState;

// Told after every change of the editor state, on the thread that made it.
class EditorObserver {
public:
    virtual ~EditorObserver() = default;
    virtual void editorChanged(const EditorState& editor, const EditorChange& change) = 0;
};

// What the user is doing in the grid, beside the document: the tool, the
// current cell, the selection box, the drag, the write cursor's step, the
// pattern of the last prompt, and what has been drawn over the picture since
// it was last drawn whole. The handlers, the searches and the refinements
// change it; the grid view draws from it and from the document, and repaints
// only what a notice names. It never draws anything itself.
//
// Observing the document, it takes every change of the cells as the caller's
// repaint of the whole grid (rinfresca): the marks drawn before it go.
class EditorState : public DocumentObserver {
public:
    // --- the tool: CurrentTool and its toolbar key CurrentToolKey.
    Tool CurrentTool() const { return tool_; }
    const std::string& CurrentToolKey() const { return toolKey_; }
    void setTool(Tool tool, std::string key);

    // --- the current cell, which a click, a key or aggior acts on.
    int16_t CurrentRow() const { return row_; }
    int16_t CurrentColumn() const { return column_; }
    void setCurrentCell(int16_t row, int16_t column, CursorCause cause = CursorCause::Pointer);

    // --- what the handlers and the searches read and write as they go.
    // The selection box the next drawSelection draws (cx, cy, LAX, LAY).
    Selection selection;
    // The pattern state of the last prompt across or down.
    PatternState pattern;
    // The drag rectangle (x1, y1, x2, y2) and whether it follows the pointer.
    DragRect drag;
    bool fatrac = false;
    // The write cursor's step, kept between keys.
    int16_t incr = 0;
    int16_t incc = 0;
    // 1 when the next cross prompt tries the vowels only.
    int16_t vocali = 0;
    // The clicked cell's byte before the click's change.
    char carr = EmptyCell;
    // How Black/White keeps the blacks symmetric (Tools > Symmetric Blacks).
    Symmetry symmetry = Symmetry::None;

    // --- the picture: procedures that draw over it.
    // The whole grid drawn again from the model: every mark goes.
    void rinfresca();
    // The red box of selection; it becomes the box drawn last (cxo, cyo,
    // LAXo, LAYo).
    void drawSelection();
    // A green box of selection's geometry (the freed run of a refinement).
    void drawGreenBox();
    // The drag's rectangle drawn anew: the one drawn last erased in white,
    // then drag in blue, which becomes the one drawn last (x1o .. y2o).
    void drawDrag();
    // The clue numbers printed again, red when shown, else white over the
    // red ones; the picture drawn whole next uses the same colour.
    void drawNumbers(bool shown);
    // Whether the picture drawn whole prints the numbers red ("Show Clue
    // Numbers"), without drawing anything now.
    void setNumbersShown(bool shown) { numbersShown_ = shown; }
    bool numbersShown() const { return numbersShown_; }

    // The selection is the cell (row, column).
    void selectCell(int16_t row, int16_t column) { selection = Selection{column, row, 1, 1}; }
    // The grid drawn whole, then box in red: how a chosen region is shown.
    void showBox(const Selection& box);

    const Selection& lastSelection() const { return lastSelection_; }
    const DragRect& drawnDrag() const { return drawnDrag_; }
    // The marks drawn since the picture was drawn whole, oldest first, and
    // the colour its numbers were drawn in then.
    const std::vector<GridMark>& marks() const { return marks_; }
    bool pictureNumbersShown() const { return pictureNumbersShown_; }

    // Observers are not owned; one must be removed before it goes.
    void addObserver(EditorObserver* observer);
    void removeObserver(EditorObserver* observer);

    void documentChanged(const GridDocument& document, const DocumentChange& change) override;

private:
    void addMark(const GridMark& mark);
    void notify(const EditorChange& change);

    Tool tool_ = Tool::Anagrams;
    std::string toolKey_ = "a9";
    int16_t row_ = 0;
    int16_t column_ = 0;
    Selection lastSelection_;
    DragRect drawnDrag_;
    std::vector<GridMark> marks_;
    bool numbersShown_ = true;
    bool pictureNumbersShown_ = true;
    std::vector<EditorObserver*> observers_;
};

} // namespace korvel
