// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRegion>
#include <QWidget>

#include <vector>

namespace korvel {

class GridCanvas;

// Marks painted over the picture on the screen, never into it: the picture
// stays what the document and the editor state make it. The fill check's
// marks are one; highlighted slots or a heat map of the cells would be
// others, each repainting the cells it changes (updateCells).
class CanvasOverlay {
public:
    virtual ~CanvasOverlay() = default;
    virtual void paint(QPainter& painter, const GridCanvas& canvas) = 0;
};

// Draws the picture: asked, when it is to be shown, for the parts of it that
// are out of date.
class PictureSource {
public:
    virtual ~PictureSource() = default;
    // Draws area (pixels) of the picture anew; the canvas clips every
    // drawing to it.
    virtual void drawPicture(const QRect& area) = 0;
    // True when the picture must be drawn whole however little is out of
    // date (its scale or letters changed since).
    virtual bool needsWhole() const { return false; }
};

// The grid picture, Peri. It keeps the picture in an image that persists
// between paints, in a user scale set by setScale (one unit per cell when the
// window sets ColumnCount by RowCount), so drawing over the picture and
// clearing it mean exactly that. What is out of date (invalidate) is drawn
// by its source when the picture is next shown, with every drawing clipped to
// it; paintEvent then copies the image to the screen and the overlays over
// it. Pointer and key events are forwarded as signals in the same units; the
// canvas never touches the grid model.
class GridCanvas : public QWidget {
    Q_OBJECT
public:
    explicit GridCanvas(QWidget* parent = nullptr);

    // Size in pixels; the backing image follows and starts out white.
    void setPictureSize(int widthPx, int heightPx);
    void setScale(double unitsAcross, double unitsDown);
    double scaleWidth() const { return unitsAcross_; }
    double scaleHeight() const { return unitsDown_; }

    // The source of the picture (not owned; nullptr for none), and the parts
    // of it to draw anew before it is next shown, in pixels.
    void setSource(PictureSource* source) { source_ = source; }
    void invalidate(const QRect& pixels);
    void invalidateAll();
    // The pixels of cell (r, c), its four lines included.
    QRect cellRect(int r, int c) const;
    // The cells the area touches, as rows r0..r1 and columns c0..c1 within
    // the scale; empty (r1 < r0) when it touches none.
    struct CellSpan {
        int r0 = 0;
        int r1 = -1;
        int c0 = 0;
        int c1 = -1;
    };
    CellSpan cellsIn(const QRect& pixels) const;
    // Shows the cells again on the screen (an overlay changed on them).
    void updateCells(const std::vector<int>& cells, int columns);
    // Scrolls the grid's scrolling area so that cell (r, c) is in view.
    void showCell(int r, int c);

    // Drawing, all in user units. Rectangles run from (x, y) with width w and
    // height h; a filled one covers its edges too. While the source draws,
    // every drawing is clipped to the area it draws.
    void cls();
    void drawLine(QPointF from, QPointF to, const QColor& colour);
    void drawBox(double x, double y, double w, double h, const QColor& colour);
    void fillBox(double x, double y, double w, double h, const QColor& colour);
    // The ellipse inside the rectangle, drawn with a thin anti-aliased line.
    void drawEllipse(double x, double y, double w, double h, const QColor& colour);
    void setCurrentPosition(double x, double y);
    void print(const QString& text);
    double textHeight(const QString& text) const;
    // The pixels a text of up to `characters` characters printed at `at` in
    // the drawing font at `points` may touch.
    QRect textBox(QPointF at, double points, int characters) const;

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

    // The picture as it is to be shown: what is out of date is drawn first.
    const QImage& image() const;
    // Overlays are painted in the order added; not owned, removed before
    // they go.
    void addOverlay(CanvasOverlay* overlay);
    void removeOverlay(CanvasOverlay* overlay);
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
    // Has the source draw what is out of date.
    void drawPending();
    void beginPainting(QPainter& p);

    QImage image_;
    PictureSource* source_ = nullptr;
    QRegion pending_;
    // The area the source draws now; null outside drawPending.
    QRect clip_;
    double unitsAcross_ = 1;
    double unitsDown_ = 1;
    QPointF current_;
    QFont font_;
    QColor foreColour_ = Qt::black;
    bool pressedInside_ = false;
    std::vector<CanvasOverlay*> overlays_;
};

} // namespace korvel
