// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <cstdint>

class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;

namespace korvel {

class GridCanvas;
class ResultsList;

// Twips per screen pixel at the screen's logical resolution.
double twipsPerPixel();
// Twips to whole pixels, and back.
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);
// The primary screen's size in twips.
double screenWidthTw();
double screenHeightTw();

// Where the letters and the clue numbers sit in a cell, and their sizes, as
// the grid painter reads them.
struct CellMetrics {
    double dlx = 0.25;  // letter offset across, in cells
    double dly = 0.25;  // letter offset down, in cells
    double dnx = 0.05;  // number offset across
    double dny = 0.02;  // number offset down
    double dimLet = 15; // letter size, points
    double dimNum = 7;  // number size, points

    friend bool operator==(const CellMetrics&, const CellMetrics&) = default;
};

// The controls of the client area the layout places.
struct LayoutControls {
    QScrollArea* clientArea = nullptr;
    QWidget* central = nullptr;
    QScrollArea* periArea = nullptr;
    GridCanvas* peri = nullptr;
    ResultsList* lists = nullptr;
    QLabel* label0 = nullptr;
    QLabel* secCar = nullptr;
    QLabel* label1 = nullptr;
    QLabel* label3 = nullptr;
    QLabel* texta = nullptr;
    QPushButton* command[5] = {};
};

// The window's layout in twips, as a share of the screen, and the grid's
// zoom: the origin of the grid picture (orx, ory), the cell size (dimv
// across, dimo down) and the letter and number sizes that follow it.
class WindowLayout {
public:
    explicit WindowLayout(const LayoutControls& controls) : c_(controls) {}

    // Places every control of the client area and resets the cell size
    // and the fonts to their start values.
    void layoutWindow();
    // Sizes the grid picture to rows x columns at the present cell size and
    // sets its scale. False when the size cannot be shown.
    bool sizePeri(int rows, int columns);
    // Sizes the grid's scrolling area to the room it has and the client area
    // to the least that shows every control. While a panel is docked beside
    // the client area (View > Clues) and the row above the grid does not fit
    // beside it, the row goes on two lines: the label and the pattern, and
    // under the pattern the four head and tail buttons.
    void fitClientArea();
    // Scrolls the grid so that the cell is in view.
    void showCell(int row, int column);
    // Shrinks the letter size until a letter fits a cell.
    void fitLetters();
    // Scales the cells by factor. True when the grid was sized again (the
    // caller repaints); false leaves the new sizes unshown.
    bool zoom(double factor, int rows, int columns);
    // The start cell size and fonts again; true as for zoom.
    bool original(int rows, int columns);

    // Small screens get the small toolbar and fonts.
    void chooseScreenClass() { im2_ = screenWidthTw() < 12000; }
    bool im2() const { return im2_; }
    int32_t dimv() const { return dimv_; }
    int32_t dimo() const { return dimo_; }
    const CellMetrics& metrics() const { return m_; }

private:
    void place(QWidget* w, double leftTw, double topTw);
    // The row above the grid where layoutWindow puts it, or on two lines.
    void arrangeRow();
    bool panelDocked() const;

    LayoutControls c_;
    int32_t orx_ = 0;
    int32_t ory_ = 0;
    int32_t dimv_ = 0;
    int32_t dimo_ = 0;
    CellMetrics m_;
    bool im2_ = false;
    // The row above the grid as layoutWindow placed it: each control's left
    // and the row's top, in twips.
    double rowLeftTw_[6] = {};
    double rowTopTw_ = 0;
    bool rowPlaced_ = false;
};

} // namespace korvel
