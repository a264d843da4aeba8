// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridedit.h"

#include <algorithm>
#include <cmath>

namespace korvel {

std::string clickPositionText(int16_t row, int16_t column) {
    return " R" + std::to_string(row + 1) + " C" + std::to_string(column + 1) + "  ";
}

std::string keyPositionText(int16_t row, int16_t column) {
    return " R" + std::to_string(row + 1) + " C" + std::to_string(column + 1) + " ";
}

CellEditResult blackWhite(DocumentEdit& edit, int16_t row, int16_t column) {
    CellEditResult r;
    const char carr = edit.grid().cell(row, column);
    char carm = BLACK;
    if (carr == BLACK) {
        carm = EmptyCell;
        r.panel2 = " whitened ";
    } else {
        r.panel2 = " blacked ";
    }
    r.panel3 = " ";
    r.historyCleared = edit.aggior(row, column, carm).historyCleared;
    r.selection = Selection{column, row, 1, 1};
    return r;
}

CellEditResult clearCell(DocumentEdit& edit, int16_t row, int16_t column) {
    CellEditResult r;
    const char carr = edit.grid().cell(row, column);
    if (carr != EmptyCell) {
        r.historyCleared = edit.aggior(row, column, EmptyCell).historyCleared;
        r.panel2 = " cleared ";
        r.panel3 = " ";
    } else {
        r.panel2 = " ";
        r.panel3 = " it's empty already! ";
        r.beep = true;
    }
    r.selection = Selection{column, row, 1, 1};
    return r;
}

KeyResult gridKeyDown(DocumentEdit& edit, Tool CurrentTool, int16_t CurrentRow,
                      int16_t CurrentColumn, int keyCode, int modifiers, int16_t incr,
                      int16_t incc) {
    const GridModel& grid = edit.grid();
    KeyResult k;
    k.vocali = (modifiers == CtrlKey && CurrentTool == Tool::PromptCross) ? 1 : 0;
    k.row = CurrentRow;
    k.column = CurrentColumn;
    k.incr = incr;
    k.incc = incc;
    if (!isWriteTool(CurrentTool)) {
        return k;
    }
    if (modifiers == ShiftKey && keyCode == KeyCode::Tab) {
        keyCode = KeyCode::Backspace;
    }
    edit.beginAction();

    auto step = [&](int16_t dr, int16_t dc) {
        k.incr = dr;
        k.incc = dc;
        const CursorMove m = moveCursor(grid, k.row, k.column, dr, dc);
        k.row = m.row;
        k.column = m.column;
        k.beeps += m.beeps;
        k.moved = true;
    };
    switch (keyCode) {
    case KeyCode::Backspace:
    case KeyCode::Left:
        step(0, -1);
        return k;
    case KeyCode::Tab:
    case KeyCode::Right:
        step(0, 1);
        return k;
    case KeyCode::Up:
        step(-1, 0);
        return k;
    case KeyCode::Down:
        step(1, 0);
        return k;
    default:
        break;
    }
    if (keyCode != KeyCode::Space && (keyCode < KeyCode::LetterA || keyCode > KeyCode::LetterZ)) {
        return k;
    }
    // Ctrl or Alt with a key is a command (Ctrl+Z is Undo), never a letter.
    if ((modifiers & (CtrlKey | AltKey)) != 0) {
        return k;
    }
    char carm = static_cast<char>(keyCode);
    const char carr = grid.cell(CurrentRow, CurrentColumn);
    if (carr == BLACK) {
        ++k.beeps;
        return k;
    }
    k.wrote = true;
    k.panel2 = std::string(" ") + carm + " ";
    k.panel4 = keyPositionText(CurrentRow, CurrentColumn);
    if (carm == ' ') {
        carm = EmptyCell;
    }
    k.historyCleared = edit.aggior(CurrentRow, CurrentColumn, carm).historyCleared;
    if (CurrentTool == Tool::WriteAcross) {
        step(0, 1);
    } else {
        step(1, 0);
    }
    return k;
}

int16_t wholePart(double v) {
    if (!(v > -30000.0)) {
        return -30000;
    }
    if (v > 30000.0) {
        return 30000;
    }
    return static_cast<int16_t>(std::floor(v));
}

bool dragMove(const GridModel& grid, Tool tool, double X, double Y, DragRect& drag) {
    drag.x2 = tool == Tool::PromptAcross ? wholePart(X) : drag.x1;
    drag.y2 = tool == Tool::PromptDown ? wholePart(Y) : drag.y1;
    if (drag.x2 < drag.x1) {
        std::swap(drag.x1, drag.x2);
    }
    if (drag.y2 < drag.y1) {
        std::swap(drag.y1, drag.y2);
    }
    const int16_t lastColumn = static_cast<int16_t>(grid.ColumnCount - 1);
    const int16_t lastRow = static_cast<int16_t>(grid.RowCount - 1);
    bool inside = true;
    auto limit = [&](int16_t& v, int16_t hi) {
        if (v < 0) {
            v = 0;
            inside = false;
        } else if (v > hi) {
            v = hi;
            inside = false;
        }
    };
    limit(drag.x1, lastColumn);
    limit(drag.x2, lastColumn);
    limit(drag.y1, lastRow);
    limit(drag.y2, lastRow);
    return inside;
}

void dragRelease(const GridModel& grid, Tool tool, double X, double Y, DragRect& drag,
                 int16_t& CurrentRow, int16_t& CurrentColumn) {
    CurrentRow = drag.y1;
    CurrentColumn = drag.x1;
    drag.x2 = tool == Tool::PromptAcross ? wholePart(X) : drag.x1;
    drag.y2 = tool == Tool::PromptDown ? wholePart(Y) : drag.y1;
    drag.x2 =
        std::clamp<int16_t>(drag.x2, 0, static_cast<int16_t>(std::max(0, grid.ColumnCount - 1)));
    drag.y2 = std::clamp<int16_t>(drag.y2, 0, static_cast<int16_t>(std::max(0, grid.RowCount - 1)));
}

} // namespace korvel
