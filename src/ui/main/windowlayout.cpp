// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowlayout.h"

#include "gridcanvas.h"
#include "resultslist.h"

#include <QDockWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace korvel {

namespace {

// Grids larger than this many pixels a side are not shown: the zoom step
// that would need them ends without resizing, as a size the platform refuses.
constexpr int MaxPicturePixels = 16000;

// Rounding of the layout: to the nearest integer, halves to the even one.
int32_t roundEven(double v) {
    return static_cast<int32_t>(std::nearbyint(v));
}

} // namespace

double twipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

double pixelsToTwips(int pixels) {
    return pixels * twipsPerPixel();
}

double screenWidthTw() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? screen->geometry().width() : 800) * twipsPerPixel();
}

double screenHeightTw() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? screen->geometry().height() : 600) * twipsPerPixel();
}

void WindowLayout::place(QWidget* w, double leftTw, double topTw) {
    w->move(twipsToPixels(leftTw), twipsToPixels(topTw));
}

void WindowLayout::layoutWindow() {
    const auto px = twipsToPixels;
    const auto tw = pixelsToTwips;
    const double W = screenWidthTw();
    const double H = screenHeightTw();
    c_.peri->setFontName(QStringLiteral("Courier New"));
    m_.dimLet = 15;
    c_.peri->setFontSize(15);
    m_.dimNum = 7;
    orx_ = roundEven(W * 0.27);
    ory_ = roundEven(H * 0.19);
    dimv_ = roundEven(W * 0.03);
    dimo_ = dimv_;
    m_.dlx = 0.25;
    m_.dly = 0.25;
    m_.dnx = 0.05;
    m_.dny = 0.02;

    place(c_.label0, orx_, ory_);
    place(c_.secCar, orx_ + tw(c_.label0->width()), ory_);

    place(c_.label3, W * 0.014, H * 0.13);
    const double listsTop = tw(c_.lists->y());
    place(c_.lists, W * 0.014, listsTop);
    c_.lists->resize(px(W * 0.25), c_.lists->height());

    QWidget* row[] = {c_.label1, c_.command[1], c_.command[2],
                      c_.texta,  c_.command[3], c_.command[4]};
    double left = orx_ + 200;
    rowTopTw_ = tw(c_.label3->y());
    for (int i = 0; i < 6; ++i) {
        rowLeftTw_[i] = left;
        place(row[i], left, rowTopTw_);
        left += tw(row[i]->width()) + 50;
    }
    rowPlaced_ = true;

    // The status bar's top in the client area's coordinates, as far as the
    // window shows the client area.
    const double statusTop = tw(c_.clientArea->viewport()->height());
    const double listsHeight = statusTop - listsTop - 600;
    c_.lists->resize(c_.lists->width(), std::max(px(600), px(listsHeight)));
    place(c_.lists, W * 0.014, ory_);

    if (im2_) {
        QFont f(QStringLiteral("Courier New"));
        f.setPointSize(8);
        c_.lists->setFont(fixedPitch(f));
        c_.label1->setFont(QFont(QStringLiteral("MS Serif")));
        c_.label3->setFont(QFont(QStringLiteral("MS Serif")));
    } else {
        QFont f = c_.lists->font();
        f.setFamily(QStringLiteral("Courier"));
        c_.lists->setFont(fixedPitch(f));
        c_.label1->setFont(QFont(QStringLiteral("MS Sans Serif")));
        c_.label3->setFont(QFont(QStringLiteral("MS Sans Serif")));
    }
    fitClientArea();
}

bool WindowLayout::sizePeri(int rows, int columns) {
    if (rows <= 0 || columns <= 0)
        return false;
    const double widthTw = static_cast<double>(dimv_) * columns + 2;
    const double heightTw = static_cast<double>(dimo_) * rows + 2;
    const int w = twipsToPixels(widthTw);
    const int h = twipsToPixels(heightTw);
    if (w < 2 || h < 2 || w > MaxPicturePixels || h > MaxPicturePixels)
        return false;
    c_.periArea->move(twipsToPixels(orx_ - 1), twipsToPixels(ory_ - 1));
    c_.peri->setPictureSize(w, h);
    c_.peri->setScale(columns, rows);
    fitClientArea();
    return true;
}

bool WindowLayout::panelDocked() const {
    const QWidget* form = c_.clientArea->window();
    for (const QDockWidget* dock : form->findChildren<QDockWidget*>())
        if (!dock->isHidden())
            return true;
    return false;
}

void WindowLayout::arrangeRow() {
    if (!rowPlaced_)
        return;
    QWidget* row[] = {c_.label1, c_.command[1], c_.command[2],
                      c_.texta,  c_.command[3], c_.command[4]};
    for (int i = 0; i < 6; ++i)
        place(row[i], rowLeftTw_[i], rowTopTw_);
    if (!panelDocked() || c_.command[4]->geometry().right() < c_.clientArea->viewport()->width())
        return;
    // Beside a docked panel: the pattern after the label on a line above the
    // row's place (the room above the results' label is free), the head
    // buttons and then the tail buttons under the pattern.
    const int gap = twipsToPixels(50);
    const int lower = c_.command[1]->y();
    const int upper = std::max(0, lower - c_.command[1]->height() - gap);
    c_.label1->move(c_.label1->x(), upper);
    c_.texta->move(c_.label1->geometry().right() + 1 + gap, upper);
    int left = c_.texta->x();
    for (int i = 1; i <= 4; ++i) {
        c_.command[i]->move(left, lower);
        left += c_.command[i]->width() + gap;
    }
}

void WindowLayout::fitClientArea() {
    arrangeRow();
    // The least client area that holds every control, and room for a few
    // cells of the grid: below it the client area scrolls.
    QRect needed;
    for (QWidget* w : c_.central->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w != c_.periArea && !w->isHidden())
            needed |= w->geometry();
    const int minGrid = twipsToPixels(3.0 * dimv_);
    needed |= QRect(c_.periArea->pos(), QSize(minGrid, minGrid));
    // The results list stretches down to the status bar; it needs its top
    // and a few lines.
    const int fewLines = twipsToPixels(1200);
    needed |= QRect(c_.lists->pos(), QSize(c_.lists->width(), fewLines));
    const QSize least(needed.right() + 1, std::max(needed.bottom() + 1, c_.lists->y() + fewLines));
    c_.central->setMinimumSize(least);

    // The grid's own area runs to the right and bottom edges of the client
    // area, or ends with the picture where the picture fits.
    const QSize view = c_.clientArea->viewport()->size();
    const QSize client(std::max(view.width(), least.width()),
                       std::max(view.height(), least.height()));
    const QSize room(std::max(minGrid, client.width() - c_.periArea->x()),
                     std::max(minGrid, client.height() - c_.periArea->y()));
    const QSize picture = c_.peri->size();
    const int bar =
        c_.periArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, c_.periArea);
    const bool across = picture.width() > room.width();
    const bool down = picture.height() > room.height() - (across ? bar : 0);
    const bool acrossToo = across || picture.width() > room.width() - (down ? bar : 0);
    c_.periArea->resize(std::min(room.width(), picture.width() + (down ? bar : 0)),
                        std::min(room.height(), picture.height() + (acrossToo ? bar : 0)));
}

void WindowLayout::showCell(int row, int column) {
    const QPoint a = c_.peri->toPixel(QPointF(column, row));
    const QPoint b = c_.peri->toPixel(QPointF(column + 1, row + 1));
    c_.periArea->ensureVisible((a.x() + b.x()) / 2, (a.y() + b.y()) / 2, (b.x() - a.x()) / 2 + 2,
                               (b.y() - a.y()) / 2 + 2);
}

void WindowLayout::fitLetters() {
    c_.peri->setFontSize(m_.dimLet);
    // The floor keeps a degenerate picture from looping for ever.
    while (c_.peri->textHeight(QStringLiteral("A")) > 1 && m_.dimLet > 1) {
        m_.dimLet *= 0.99;
        c_.peri->setFontSize(m_.dimLet);
    }
}

bool WindowLayout::zoom(double factor, int rows, int columns) {
    dimv_ = roundEven(dimv_ * factor);
    dimo_ = roundEven(dimo_ * factor);
    m_.dimLet *= factor;
    c_.peri->setFontSize(m_.dimLet);
    m_.dimNum *= factor;
    if (!sizePeri(rows, columns))
        return false;
    fitLetters();
    return true;
}

bool WindowLayout::original(int rows, int columns) {
    dimv_ = roundEven(screenWidthTw() * 0.03);
    dimo_ = dimv_;
    const bool sized = sizePeri(rows, columns);
    m_.dimLet = 15;
    c_.peri->setFontSize(15);
    m_.dimNum = 7;
    if (!sized)
        return false;
    fitLetters();
    return true;
}

} // namespace korvel
