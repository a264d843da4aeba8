#include "gridpages.h"

#include "gridentries.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace korvel {

namespace {

constexpr double MmPerInch = 25.4;
constexpr double MaxCellMm = 12;
constexpr double TitleMm = 6;
constexpr double GapMm = 6;

const QString FontFamily = QStringLiteral("Liberation Sans");

QFont sizedFont(double pixels, bool bold) {
    QFont font(FontFamily);
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    font.setBold(bold);
    return font;
}

} // namespace

void paintGridPage(QPainter& p, const QRectF& area, double dpi, const GridModel& grid,
                   const QString& heading, bool solution) {
    const double mm = dpi / MmPerInch;
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;

    p.setPen(Qt::black);
    p.setFont(sizedFont(TitleMm * mm * 0.8, true));
    p.drawText(QRectF(area.left(), area.top(), area.width(), TitleMm * mm),
               Qt::AlignLeft | Qt::AlignVCenter, heading);

    const double top = area.top() + (TitleMm + GapMm) * mm;
    const double cell = std::min({area.width() / C, (area.bottom() - top) / R, MaxCellMm * mm});
    const double left = area.left() + (area.width() - cell * C) / 2;
    const auto at = [&](int r, int c) { return QPointF(left + c * cell, top + r * cell); };

    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            if (grid.isBlack(r, c)) {
                p.fillRect(QRectF(at(r, c), QSizeF(cell, cell)), Qt::black);
            }
        }
    }

    QPen thin(Qt::black, 0.25 * mm);
    thin.setCapStyle(Qt::SquareCap);
    p.setPen(thin);
    for (int i = 1; i < R; ++i) {
        p.drawLine(at(i, 0), at(i, C));
    }
    for (int j = 1; j < C; ++j) {
        p.drawLine(at(0, j), at(R, j));
    }
    QPen frame(Qt::black, 0.6 * mm);
    frame.setJoinStyle(Qt::MiterJoin);
    p.setPen(frame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(at(0, 0), at(R, C)));

    const std::vector<int> numbers = clueNumbers(grid);
    p.setPen(Qt::black);
    p.setFont(sizedFont(cell * 0.27, false));
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            const int n = numbers[static_cast<std::size_t>(r * C + c)];
            if (n > 0) {
                const QPointF corner = at(r, c) + QPointF(cell * 0.06, cell * 0.03);
                p.drawText(QRectF(corner, QSizeF(cell * 0.9, cell * 0.4)),
                           Qt::AlignLeft | Qt::AlignTop, QString::number(n));
            }
        }
    }
    if (!solution) {
        return;
    }
    p.setFont(sizedFont(cell * 0.55, true));
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            if (grid.isBlack(r, c)) {
                continue;
            }
            if (const auto letter = cellLetter(grid.cell(r, c))) {
                // Below the number, centred in what is left of the cell.
                const QRectF box(at(r, c) + QPointF(0, cell * 0.2), QSizeF(cell, cell * 0.8));
                p.drawText(box, Qt::AlignCenter, QString::fromUtf8(*letter));
            }
        }
    }
}

bool paintGridPages(QPagedPaintDevice& device, const GridModel& grid, const QString& title) {
    if (grid.isEmpty()) {
        return false;
    }
    QPainter p;
    if (!p.begin(&device)) {
        return false;
    }
    const double dpi = device.logicalDpiX();
    const QRectF area = device.pageLayout().paintRectPixels(static_cast<int>(dpi));
    // The painter's origin is already the paintable area's corner.
    const QRectF local(QPointF(0, 0), area.size());
    paintGridPage(p, local, dpi, grid, title, false);
    if (!device.newPage()) {
        p.end();
        return false;
    }
    paintGridPage(
        p, local, dpi, grid,
        title.isEmpty() ? QStringLiteral("Solution") : title + QStringLiteral(" (solution)"), true);
    return p.end();
}

QByteArray gridPdf(const GridModel& grid, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return {};
    }
    bool ok = false;
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Korvel"));
        pdf.setTitle(title);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        ok = paintGridPages(pdf, grid, title);
    }
    buffer.close();
    return ok ? bytes : QByteArray();
}

} // namespace korvel
