// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolpictures.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace korvel {

namespace {

void arrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::max(1.0, std::hypot(d.x(), d.y()));
    const QPointF u(d.x() / len, d.y() / len);
    const QPointF n(-u.y(), u.x());
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(to - u * 6 + n * 4);
    head.lineTo(to - u * 6 - n * 4);
    head.closeSubpath();
    p.fillPath(head, p.pen().color());
}

void letter(QPainter& p, QRectF box, const QString& text, int pixelSize) {
    QFont f(QStringLiteral("Courier New"));
    f.setBold(true);
    f.setPixelSize(pixelSize);
    p.setFont(f);
    p.drawText(box, Qt::AlignCenter, text);
}

void curvedArrow(QPainter& p, bool forward) {
    QPainterPath path;
    if (forward) {
        path.moveTo(5, 18);
        path.cubicTo(5, 6, 17, 6, 19, 12);
    } else {
        path.moveTo(19, 18);
        path.cubicTo(19, 6, 7, 6, 5, 12);
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    const QPointF tip = forward ? QPointF(19, 12) : QPointF(5, 12);
    QPainterPath head;
    head.moveTo(tip + QPointF(0, 4));
    head.lineTo(tip + QPointF(forward ? -5 : 5, -3));
    head.lineTo(tip + QPointF(forward ? 4 : -4, -4));
    head.closeSubpath();
    p.fillPath(head, p.pen().color());
}

// Drawn on a 24 by 24 canvas; the small list scales it down.
QPixmap drawImage(int index) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(20, 30, 80);
    p.setPen(QPen(ink, 2));
    const QRectF cell(3, 3, 18, 18);
    switch (index) {
    case 1: // anagrams
        letter(p, QRectF(0, 0, 24, 11), QStringLiteral("AB"), 10);
        p.setPen(QPen(QColor(200, 0, 0), 1.5));
        arrow(p, {4, 12}, {20, 12});
        p.setPen(QPen(ink, 2));
        letter(p, QRectF(0, 13, 24, 11), QStringLiteral("BA"), 10);
        break;
    case 2: // thesaurus
        p.setBrush(QColor(200, 220, 255));
        p.drawRect(QRectF(4, 3, 16, 18));
        p.drawLine(QPointF(8, 8), QPointF(17, 8));
        p.drawLine(QPointF(8, 12), QPointF(17, 12));
        p.drawLine(QPointF(8, 16), QPointF(14, 16));
        break;
    case 3: // spelling
        letter(p, QRectF(0, 0, 24, 14), QStringLiteral("abc"), 9);
        p.setPen(QPen(QColor(0, 140, 0), 2));
        p.drawLine(QPointF(6, 17), QPointF(10, 21));
        p.drawLine(QPointF(10, 21), QPointF(19, 12));
        break;
    case 4: // not available
        p.setPen(QPen(Qt::gray, 2));
        p.drawEllipse(QRectF(5, 5, 14, 14));
        p.drawLine(QPointF(8, 16), QPointF(16, 8));
        break;
    case 5: // black or white cell
        p.setPen(QPen(Qt::black, 1));
        p.fillRect(QRectF(3, 3, 9, 18), Qt::black);
        p.fillRect(QRectF(12, 3, 9, 18), Qt::white);
        p.drawRect(cell);
        break;
    case 6: // write across
        letter(p, QRectF(0, 0, 14, 24), QStringLiteral("A"), 14);
        arrow(p, {13, 12}, {22, 12});
        break;
    case 7: // write down
        letter(p, QRectF(0, 0, 24, 14), QStringLiteral("A"), 14);
        arrow(p, {12, 13}, {12, 22});
        break;
    case 8: // clear cell
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(cell);
        p.setPen(QPen(QColor(200, 0, 0), 2));
        p.drawLine(QPointF(7, 7), QPointF(17, 17));
        p.drawLine(QPointF(17, 7), QPointF(7, 17));
        break;
    case 9: // search across
        letter(p, QRectF(0, 0, 24, 12), QStringLiteral("?"), 11);
        arrow(p, {2, 17}, {22, 17});
        break;
    case 10: // search down
        letter(p, QRectF(0, 0, 12, 24), QStringLiteral("?"), 11);
        arrow(p, {17, 2}, {17, 22});
        break;
    case 11: // search cross
        p.setPen(QPen(ink, 2));
        p.drawLine(QPointF(2, 12), QPointF(22, 12));
        p.drawLine(QPointF(12, 2), QPointF(12, 22));
        p.setBrush(QColor(255, 210, 0));
        p.drawEllipse(QPointF(12, 12), 4, 4);
        break;
    case 12: // undo
        curvedArrow(p, false);
        break;
    case 13: // redo
        curvedArrow(p, true);
        break;
    default:
        break;
    }
    return pm;
}

QCursor crossCursor(int tool) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(12, 0, 12, 23);
    p.drawLine(0, 12, 23, 12);
    QPixmap mark = drawImage(tool).scaled(12, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.drawPixmap(12, 12, mark);
    return QCursor(pm, 12, 12);
}

} // namespace

QIcon toolbarImage(int index, bool small) {
    const QPixmap large = drawImage(index);
    return QIcon(small ? large.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       : large);
}

QPixmap testPicture(int width, int height) {
    height = std::max(height, 12);
    QPixmap pm(std::max(width, 16), height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(255, 230, 120));
    p.setPen(QPen(QColor(120, 90, 0), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, pm.width() - 1, pm.height() - 1), 4, 4);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setBold(true);
    f.setPixelSize(std::max(6, std::min(height / 2, pm.width() / 4)));
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("TEST"));
    return pm;
}

namespace {
// The picture of each tool, by tool number 0 to 12 (image indexes 1 to 13).
int imageOf(Tool tool) {
    static constexpr std::array<int, 13> Images = {5, 9, 10, 6, 7, 8, 11, 12, 13, 1, 2, 3, 4};
    return Images[static_cast<std::size_t>(tool)];
}
} // namespace

QIcon toolIcon(Tool tool, bool small) {
    return toolbarImage(imageOf(tool), small);
}

QCursor toolPointer(Tool tool) {
    // The picture of the tool's toolbar button.
    return isGridTool(tool) ? crossCursor(imageOf(tool)) : defaultPointer();
}

QCursor defaultPointer() {
    return QCursor(Qt::ArrowCursor);
}

} // namespace korvel
