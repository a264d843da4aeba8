// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridcanvas.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>

#include <algorithm>

#include <cmath>

namespace korvel {

namespace {

// Point sizes are converted with the screen's logical resolution, the same
// one the window uses to turn twips into pixels.
double logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

} // namespace

GridCanvas::GridCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Peri"));
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    font_.setFamily(QStringLiteral("Courier New"));
    font_.setPointSizeF(15);
    font_.setBold(true);
    setPictureSize(1, 1);
}

void GridCanvas::setPictureSize(int widthPx, int heightPx) {
    widthPx = std::max(widthPx, 1);
    heightPx = std::max(heightPx, 1);
    if (image_.width() != widthPx || image_.height() != heightPx) {
        image_ = QImage(widthPx, heightPx, QImage::Format_RGB32);
        const int dotsPerMeter = static_cast<int>(std::lround(logicalDpi() / 0.0254));
        image_.setDotsPerMeterX(dotsPerMeter);
        image_.setDotsPerMeterY(dotsPerMeter);
        image_.fill(Qt::white);
    }
    resize(widthPx, heightPx);
    invalidateAll();
}

void GridCanvas::setScale(double unitsAcross, double unitsDown) {
    unitsAcross_ = unitsAcross > 0 ? unitsAcross : 1;
    unitsDown_ = unitsDown > 0 ? unitsDown : 1;
    invalidateAll();
}

void GridCanvas::invalidate(const QRect& pixels) {
    const QRect area = pixels & image_.rect();
    if (area.isEmpty())
        return;
    pending_ += area;
    update(area);
}

void GridCanvas::invalidateAll() {
    pending_ = QRegion(image_.rect());
    update();
}

QRect GridCanvas::cellRect(int r, int c) const {
    return QRect(toPixel(QPointF(c, r)), toPixel(QPointF(c + 1, r + 1)));
}

GridCanvas::CellSpan GridCanvas::cellsIn(const QRect& pixels) const {
    CellSpan span;
    const int rows = static_cast<int>(std::lround(unitsDown_));
    const int columns = static_cast<int>(std::lround(unitsAcross_));
    if (pixels.isEmpty() || rows <= 0 || columns <= 0)
        return span;
    // A pixel on a line belongs to the cells on both sides of it.
    const QPointF a = toUnits(pixels.topLeft() - QPoint(1, 1));
    const QPointF b = toUnits(pixels.bottomRight() + QPoint(1, 1));
    span.r0 = std::clamp(static_cast<int>(std::floor(a.y())), 0, rows - 1);
    span.r1 = std::clamp(static_cast<int>(std::floor(b.y())), 0, rows - 1);
    span.c0 = std::clamp(static_cast<int>(std::floor(a.x())), 0, columns - 1);
    span.c1 = std::clamp(static_cast<int>(std::floor(b.x())), 0, columns - 1);
    return span;
}

void GridCanvas::updateCells(const std::vector<int>& cells, int columns) {
    if (columns <= 0)
        return;
    for (const int cell : cells)
        update(cellRect(cell / columns, cell % columns));
}

void GridCanvas::showCell(int r, int c) {
    // The canvas sits in a scrolling area's viewport when the window has one.
    QWidget* viewport = parentWidget();
    auto* area = viewport ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
    if (!area)
        return;
    const QPoint a = toPixel(QPointF(c, r));
    const QPoint b = toPixel(QPointF(c + 1, r + 1));
    area->ensureVisible((a.x() + b.x()) / 2, (a.y() + b.y()) / 2, (b.x() - a.x()) / 2 + 2,
                        (b.y() - a.y()) / 2 + 2);
}

void GridCanvas::beginPainting(QPainter& p) {
    if (!clip_.isNull())
        p.setClipRect(clip_);
}

void GridCanvas::drawPending() {
    if (pending_.isEmpty() || !source_)
        return;
    QRegion region = pending_;
    pending_ = QRegion();
    if (source_->needsWhole())
        region = QRegion(image_.rect());
    // The whole picture, drawn as it always was, with nothing to clip; also
    // when many pieces of it are out of date (a long drag's outlines gone).
    if ((region.boundingRect() == image_.rect() && region.rectCount() == 1) ||
        region.rectCount() > 64) {
        source_->drawPicture(image_.rect());
        return;
    }
    for (const QRect& area : region) {
        clip_ = area;
        source_->drawPicture(area);
    }
    clip_ = QRect();
}

const QImage& GridCanvas::image() const {
    // Drawing what is out of date changes the cache, not what the picture is.
    const_cast<GridCanvas*>(this)->drawPending();
    return image_;
}

// The last pixel column and row belong to the far edge, so a line drawn at
// x = unitsAcross stays visible as the outer frame.
double GridCanvas::pixelsPerUnitX() const {
    return (image_.width() - 1) / unitsAcross_;
}

double GridCanvas::pixelsPerUnitY() const {
    return (image_.height() - 1) / unitsDown_;
}

QPoint GridCanvas::toPixel(QPointF p) const {
    return {static_cast<int>(std::floor(p.x() * pixelsPerUnitX() + 1e-9)),
            static_cast<int>(std::floor(p.y() * pixelsPerUnitY() + 1e-9))};
}

QPointF GridCanvas::toUnits(QPointF pixel) const {
    const double sx = pixelsPerUnitX();
    const double sy = pixelsPerUnitY();
    return {sx > 0 ? pixel.x() / sx : 0, sy > 0 ? pixel.y() / sy : 0};
}

void GridCanvas::cls() {
    if (clip_.isNull()) {
        image_.fill(Qt::white);
    } else {
        QPainter p(&image_);
        p.fillRect(clip_, Qt::white);
    }
    current_ = {};
}

void GridCanvas::drawLine(QPointF from, QPointF to, const QColor& colour) {
    QPainter p(&image_);
    beginPainting(p);
    p.setPen(QPen(colour, 0));
    p.drawLine(toPixel(from), toPixel(to));
}

void GridCanvas::drawBox(double x, double y, double w, double h, const QColor& colour) {
    QPainter p(&image_);
    beginPainting(p);
    p.setPen(QPen(colour, 0));
    p.setBrush(Qt::NoBrush);
    const QPoint a = toPixel({x, y});
    const QPoint b = toPixel({x + w, y + h});
    p.drawRect(QRect(a, b).normalized().adjusted(0, 0, -1, -1));
}

void GridCanvas::fillBox(double x, double y, double w, double h, const QColor& colour) {
    QPainter p(&image_);
    beginPainting(p);
    const QPoint a = toPixel({x, y});
    const QPoint b = toPixel({x + w, y + h});
    p.fillRect(QRect(a, b).normalized(), colour);
}

void GridCanvas::drawEllipse(double x, double y, double w, double h, const QColor& colour) {
    QPainter p(&image_);
    beginPainting(p);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1));
    p.setBrush(Qt::NoBrush);
    const QPoint a = toPixel({x, y});
    const QPoint b = toPixel({x + w, y + h});
    p.drawEllipse(QRectF(a, b).normalized());
}

void GridCanvas::setCurrentPosition(double x, double y) {
    current_ = {x, y};
}

void GridCanvas::print(const QString& text) {
    if (!text.isEmpty()) {
        QPainter p(&image_);
        beginPainting(p);
        p.setFont(font_);
        p.setPen(foreColour_);
        const QFontMetricsF metrics(font_, &image_);
        const QPoint topLeft = toPixel(current_);
        p.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
    }
    // Like a printed line, the position moves to the start of the next one.
    current_ = {0, current_.y() + textHeight(text)};
}

double GridCanvas::textHeight(const QString&) const {
    const QFontMetricsF metrics(font_, &image_);
    const double sy = pixelsPerUnitY();
    return sy > 0 ? metrics.height() / sy : 0;
}

QRect GridCanvas::textBox(QPointF at, double points, int characters) const {
    QFont font = font_;
    if (points > 0)
        font.setPointSizeF(points);
    const QFontMetrics metrics(font, &image_);
    const QPoint topLeft = toPixel(at);
    return QRect(topLeft, QSize(metrics.maxWidth() * characters, metrics.height()))
        .adjusted(-2, -2, 2, 2);
}

void GridCanvas::setFontName(const QString& family) {
    font_.setFamily(family);
}

void GridCanvas::setFontSize(double points) {
    if (points > 0)
        font_.setPointSizeF(points);
}

void GridCanvas::setFontBold(bool bold) {
    font_.setBold(bold);
}

void GridCanvas::setTextAntialiased(bool on) {
    font_.setStyleStrategy(on ? QFont::PreferDefault : QFont::NoAntialias);
}

bool GridCanvas::event(QEvent* event) {
    // Tab and Shift+Tab move the write cursor, not the focus.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void GridCanvas::paintEvent(QPaintEvent* event) {
    drawPending();
    QPainter p(this);
    p.setClipRegion(event->region());
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, image_);
    for (CanvasOverlay* overlay : overlays_)
        overlay->paint(p, *this);
}

void GridCanvas::addOverlay(CanvasOverlay* overlay) {
    if (std::find(overlays_.begin(), overlays_.end(), overlay) == overlays_.end())
        overlays_.push_back(overlay);
    update();
}

void GridCanvas::removeOverlay(CanvasOverlay* overlay) {
    overlays_.erase(std::remove(overlays_.begin(), overlays_.end(), overlay), overlays_.end());
    update();
}

void GridCanvas::mousePressEvent(QMouseEvent* event) {
    pressedInside_ = event->button() == Qt::LeftButton;
    emit mousePressed(event->button(), event->modifiers(), toUnits(event->position()));
}

void GridCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is the classic DblClick, which the
    // grid ignores: a double click is one click, not two. Its release still
    // comes as a button release without a click.
    if (event->button() == Qt::LeftButton) {
        pressedInside_ = false;
        return;
    }
    mousePressEvent(event);
}

void GridCanvas::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->buttons(), event->modifiers(), toUnits(event->position()));
}

void GridCanvas::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event->button(), event->modifiers(), toUnits(event->position()));
    if (event->button() == Qt::LeftButton && pressedInside_) {
        pressedInside_ = false;
        if (rect().contains(event->position().toPoint()))
            emit clicked();
    }
}

void GridCanvas::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(event);
}

} // namespace korvel
