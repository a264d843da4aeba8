// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QWidget>

namespace korvel {

class GridCanvas;

// Marks painted over the picture on the screen, never into it: the picture
// stays what the window drew.
class CanvasOverlay {
public:
    virtual ~CanvasOverlay() = default;
    virtual void paint(QPainter& painter, const GridCanvas& canvas) = 0;
};

// The grid picture. It draws into a backing image that persists between
// paints, in a user scale set by setScale (one unit per cell when the window
// sets ColumnCount by RowCount), so drawing over the picture and clearing it
// mean exactly that; paintEvent only copies the image to the screen. Pointer
// and key events are forwarded as signals in the same units; the canvas never
// touches the grid model.
class GridCanvas : public QWidget {
    Q_OBJECT
public:
    explicit GridCanvas(QWidget* parent = nullptr);

    // Size in pixels; the backing image follows and starts out white.
    void setPictureSize(int widthPx, int heightPx);
    void setScale(double unitsAcross, double unitsDown);
    double scaleWidth() const { return unitsAcross_; }
    double scaleHeight() const { return unitsDown_; }

    // Drawing, all in user units. Rectangles run from (x, y) with width w and
    // height h; a filled one covers its edges too.
    void cls();
    void drawLine(QPointF from, QPointF to, const QColor& colour);
    void drawBox(double x, double y, double w, double h, const QColor& colour);
    void fillBox(double x, double y, double w, double h, const QColor& colour);
    // The ellipse inside the rectangle, drawn with a thin anti-aliased line.
    void drawEllipse(double x, double y, double w, double h, const QColor& colour);
    void setCurrentPosition(double x, double y);
    void print(const QString& text);
    double textHeight(const QString& text) const;

    void setFontName(const QString& family);
    void setFontSize(double points);
    void setFontBold(bool bold);
    // Text drawn without anti-aliasing has hard edges, so the same text
    // printed again in another colour covers it entirely.
    void setTextAntialiased(bool on);
    void setForeColour(const QColor& colour) { foreColour_ = colour; }
    const QFont& drawingFont() const { return font_; }
    double fontSize() const { return font_.pointSizeF(); }
    QColor foreColour() const { return foreColour_; }

    const QImage& image() const { return image_; }
    // Not owned; nullptr for none.
    void setOverlay(CanvasOverlay* overlay);
    QPoint toPixel(QPointF p) const;
    QPointF toUnits(QPointF pixel) const;

signals:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF at);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPointF at);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF at);
    // A press and release of the left button over the picture.
    void clicked();
    void keyPressed(QKeyEvent* event);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double pixelsPerUnitX() const;
    double pixelsPerUnitY() const;

    QImage image_;
    double unitsAcross_ = 1;
    double unitsDown_ = 1;
    QPointF current_;
    QFont font_;
    QColor foreColour_ = Qt::black;
    bool pressedInside_ = false;
    CanvasOverlay* overlay_ = nullptr;
};

} // namespace korvel
