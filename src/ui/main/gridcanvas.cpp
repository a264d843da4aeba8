// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridcanvas.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

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
    update();
}

void GridCanvas::setScale(double unitsAcross, double unitsDown) {
    unitsAcross_ = unitsAcross > 0 ? unitsAcross : 1;
    unitsDown_ = unitsDown > 0 ? unitsDown : 1;
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
    image_.fill(Qt::white);
    current_ = {};
    update();
}

void GridCanvas::drawLine(QPointF from, QPointF to, const QColor& colour) {
    QPainter p(&image_);
    p.setPen(QPen(colour, 0));
    p.drawLine(toPixel(from), toPixel(to));
    update();
}

void GridCanvas::drawBox(double x, double y, double w, double h, const QColor& colour) {
    QPainter p(&image_);
    p.setPen(QPen(colour, 0));
    p.setBrush(Qt::NoBrush);
    const QPoint a = toPixel({x, y});
    const QPoint b = toPixel({x + w, y + h});
    p.drawRect(QRect(a, b).normalized().adjusted(0, 0, -1, -1));
    update();
}

void GridCanvas::fillBox(double x, double y, double w, double h, const QColor& colour) {
    QPainter p(&image_);
    const QPoint a = toPixel({x, y});
    const QPoint b = toPixel({x + w, y + h});
    p.fillRect(QRect(a, b).normalized(), colour);
    update();
}

void GridCanvas::drawEllipse(double x, double y, double w, double h, const QColor& colour) {
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1));
    p.setBrush(Qt::NoBrush);
    const QPoint a = toPixel({x, y});
    const QPoint b = toPixel({x + w, y + h});
    p.drawEllipse(QRectF(a, b).normalized());
    update();
}

void GridCanvas::setCurrentPosition(double x, double y) {
    current_ = {x, y};
}

void GridCanvas::print(const QString& text) {
    if (!text.isEmpty()) {
        QPainter p(&image_);
        p.setFont(font_);
        p.setPen(foreColour_);
        const QFontMetricsF metrics(font_, &image_);
        const QPoint topLeft = toPixel(current_);
        p.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
        update();
    }
    // Like a printed line, the position moves to the start of the next one.
    current_ = {0, current_.y() + textHeight(text)};
}

double GridCanvas::textHeight(const QString&) const {
    const QFontMetricsF metrics(font_, &image_);
    const double sy = pixelsPerUnitY();
    return sy > 0 ? metrics.height() / sy : 0;
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

void GridCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, image_);
    if (overlay_)
        overlay_->paint(p, *this);
}

void GridCanvas::setOverlay(CanvasOverlay* overlay) {
    overlay_ = overlay;
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
