// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridpages.h"

#include "celltext.h"
#include "clueset.h"
#include "pagedrawing.h"
#include "puzzle.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>

namespace korvel {

namespace pages {

namespace {

const QString SansFamily = QStringLiteral("Liberation Sans");
const QString MonoFamily = QStringLiteral("Liberation Mono");

// A heading that does not fit is first drawn smaller, down to this part of
// its size, and wrapped at the smallest.
constexpr double SmallestHeading = 0.6;
constexpr double BylineMm = 3.8;    // the author under the title
constexpr double CopyrightMm = 2.8; // the copyright at the foot of a page

QString fromUtf8(const std::string& s) {
    const std::string text = validUtf8(s);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).simplified();
}

// A copyright as printed: with its sign, unless it has one or says so.
QString copyrightLine(const QString& text) {
    if (text.isEmpty())
        return {};
    static const QString Sign = QStringLiteral("\u00A9");
    const bool has = text.contains(Sign) ||
                     text.startsWith(QLatin1String("(c)"), Qt::CaseInsensitive) ||
                     text.startsWith(QLatin1String("copyright"), Qt::CaseInsensitive);
    return has ? text : Sign + QLatin1Char(' ') + text;
}

} // namespace

const PageWords& pageWords(const std::string& language) {
    static const PageWords English{QStringLiteral("Across"),   QStringLiteral("Down"),
                                   QStringLiteral("Solution"), QStringLiteral(" (solution)"),
                                   QStringLiteral("Clues"),    QStringLiteral(" (clues)"),
                                   QStringLiteral("By ")};
    static const PageWords Italian{QStringLiteral("Orizzontali"), QStringLiteral("Verticali"),
                                   QStringLiteral("Soluzione"),   QStringLiteral(" (soluzione)"),
                                   QStringLiteral("Definizioni"), QStringLiteral(" (definizioni)"),
                                   QStringLiteral("di ")};
    const bool italian = language.size() >= 2 && (language[0] | 0x20) == 'i' &&
                         (language[1] | 0x20) == 't' &&
                         (language.size() == 2 || language[2] == '-' || language[2] == '_');
    return italian ? Italian : English;
}

PageText pageTextOf(const Puzzle& puzzle, const Slots& wordSlots) {
    PageText t;
    t.words = pageWords(puzzle.details.language);
    const QString author = fromUtf8(puzzle.details.author);
    if (!author.isEmpty())
        t.byline = t.words.byPrefix + author;
    t.copyright = copyrightLine(fromUtf8(puzzle.details.copyright));
    for (const std::string& m : cellMarks(puzzle, wordSlots))
        t.marks.push_back(fromUtf8(m));
    return t;
}

double copyrightHeight(const QPaintDevice* device, double mm, const QString& copyright) {
    if (copyright.isEmpty())
        return 0;
    return QFontMetricsF(sansFont(CopyrightMm * mm, false), device).lineSpacing() + GapMm * mm / 2;
}

void paintCopyright(QPainter& p, const QRectF& area, double mm, const QString& copyright) {
    if (copyright.isEmpty())
        return;
    const QFont font = sansFont(CopyrightMm * mm, false);
    const double line = QFontMetricsF(font, p.device()).lineSpacing();
    p.setPen(Qt::black);
    p.setFont(font);
    // A copyright wider than the page is shown whole, smaller lines not
    // being worth a layout of their own: it is elided only in the middle.
    const QString shown =
        QFontMetricsF(font, p.device()).elidedText(copyright, Qt::ElideMiddle, area.width());
    p.drawText(QRectF(area.left(), area.bottom() - line, area.width(), line),
               Qt::AlignLeft | Qt::AlignBottom, shown);
}

double paintByline(QPainter& p, const QRectF& area, double top, double mm, const QString& byline) {
    if (byline.isEmpty())
        return 0;
    const QFont font = sansFont(BylineMm * mm, false);
    QTextLayout layout(byline, font, p.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    p.setPen(Qt::black);
    layout.draw(&p, QPointF(area.left(), top));
    return height / mm;
}

QFont sansFont(double pixels, bool bold) {
    QFont font(SansFamily);
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    font.setBold(bold);
    return font;
}

QFont monoFont(double pixels) {
    QFont font(MonoFamily);
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    return font;
}

double paintHeading(QPainter& p, const QRectF& area, double mm, const QString& heading) {
    p.setPen(Qt::black);
    const double full = TitleMm * mm * 0.8;
    for (double part = 1; part > SmallestHeading - 0.01; part -= 0.1) {
        const QFont font = sansFont(full * part, true);
        if (QFontMetricsF(font, p.device()).horizontalAdvance(heading) > area.width())
            continue;
        p.setFont(font);
        p.drawText(QRectF(area.left(), area.top(), area.width(), TitleMm * mm),
                   Qt::AlignLeft | Qt::AlignVCenter, heading);
        return TitleMm;
    }
    // Wrapped at word ends, or anywhere inside a word longer than the line.
    QTextLayout layout(heading, sansFont(full * SmallestHeading, true), p.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    layout.draw(&p, area.topLeft());
    return std::max(TitleMm, height / mm);
}

void paintGrid(QPainter& p, const QPointF& origin, double cell, double mm, const GridModel& grid,
               const std::vector<QString>& marks, bool solution) {
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    const auto at = [&](int r, int c) {
        return QPointF(origin.x() + c * cell, origin.y() + r * cell);
    };

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

    p.setPen(Qt::black);
    p.setFont(sansFont(cell * 0.27, false));
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            const std::size_t i = static_cast<std::size_t>(r) * C + c;
            if (i < marks.size() && !marks[i].isEmpty() && !grid.isBlack(r, c)) {
                const QPointF corner = at(r, c) + QPointF(cell * 0.06, cell * 0.03);
                p.drawText(QRectF(corner, QSizeF(cell * 0.9, cell * 0.4)),
                           Qt::AlignLeft | Qt::AlignTop, marks[i]);
            }
        }
    }
    if (!solution) {
        return;
    }
    p.setFont(sansFont(cell * 0.55, true));
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

QString solutionHeading(const QString& title, const PageWords& words) {
    return title.isEmpty() ? words.solution : title + words.solutionSuffix;
}

void paintGridArea(QPainter& p, const QRectF& area, double dpi, const GridModel& grid,
                   const std::vector<QString>& marks, const QString& heading, bool solution,
                   const QString& byline) {
    const double mm = dpi / MmPerInch;
    double band = paintHeading(p, area, mm, heading);
    band += paintByline(p, area, area.top() + band * mm, mm, byline);
    const double top = area.top() + (band + GapMm) * mm;
    const double cell = std::min(
        {area.width() / grid.ColumnCount, (area.bottom() - top) / grid.RowCount, MaxCellMm * mm});
    const double left = area.left() + (area.width() - cell * grid.ColumnCount) / 2;
    paintGrid(p, QPointF(left, top), cell, mm, grid, marks, solution);
}

} // namespace pages

using namespace pages;

namespace {

// The paintable area of the device's page, in device units from the
// painter's origin, which is already that area's corner.
QRectF paintArea(QPagedPaintDevice& device, double dpi) {
    return QRectF(QPointF(0, 0), device.pageLayout().paintRectPixels(static_cast<int>(dpi)).size());
}

} // namespace

void paintGridPage(QPainter& p, const QRectF& area, double dpi, const GridModel& grid,
                   const QString& heading, bool solution) {
    Puzzle puzzle;
    puzzle.grid = grid;
    const Slots wordSlots = Slots::of(grid);
    paintGridArea(p, area, dpi, grid, pageTextOf(puzzle, wordSlots).marks, heading, solution);
}

double gridCellMm(const QSizeF& areaMm, const GridModel& grid) {
    if (grid.isEmpty())
        return 0;
    return std::min({areaMm.width() / grid.ColumnCount,
                     (areaMm.height() - TitleMm - GapMm) / grid.RowCount, MaxCellMm});
}

bool paintPuzzlePages(QPagedPaintDevice& device, const Puzzle& puzzle, PrintLayout layout) {
    const GridModel& grid = puzzle.grid;
    if (grid.isEmpty()) {
        return false;
    }
    QPainter p;
    if (!p.begin(&device)) {
        return false;
    }
    const double dpi = device.logicalDpiX();
    const QRectF area = paintArea(device, dpi);
    const Slots wordSlots = Slots::of(grid);
    const QString title = QString::fromStdString(validUtf8(puzzle.details.title));
    const PageText text = pageTextOf(puzzle, wordSlots);
    bool ok = true;
    if (layout == PrintLayout::Submission) {
        ok = paintSubmission(p, device, area, dpi, puzzle, wordSlots, title, text);
    } else {
        // The copyright stands at the foot of every page, under what the
        // page holds.
        const QRectF body =
            area.adjusted(0, 0, 0, -copyrightHeight(&device, dpi / MmPerInch, text.copyright));
        const auto foot = [&] { paintCopyright(p, area, dpi / MmPerInch, text.copyright); };
        if (puzzle.clues.empty()) {
            paintGridArea(p, body, dpi, grid, text.marks, title, false, text.byline);
            foot();
        } else {
            // Each page the clues flow onto gets its foot as it starts.
            ok = paintCluePuzzle(p, device, body, dpi, puzzle, wordSlots, title, text, foot);
        }
        ok = ok && device.newPage();
        if (ok) {
            paintGridArea(p, body, dpi, grid, text.marks, solutionHeading(title, text.words), true);
            foot();
        }
    }
    return p.end() && ok;
}

bool paintGridPages(QPagedPaintDevice& device, const GridModel& grid, const QString& title) {
    Puzzle puzzle;
    puzzle.grid = grid;
    puzzle.details.title = title.toStdString();
    return paintPuzzlePages(device, puzzle, PrintLayout::Puzzle);
}

QByteArray puzzlePdf(const Puzzle& puzzle, const PageSetup& setup) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return {};
    }
    bool ok = false;
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Korvel"));
        pdf.setTitle(QString::fromStdString(validUtf8(puzzle.details.title)));
        pdf.setPageLayout(pageLayoutFor(puzzle.grid, setup));
        ok = paintPuzzlePages(pdf, puzzle, setup.layout);
    }
    buffer.close();
    return ok ? bytes : QByteArray();
}

QByteArray gridPdf(const GridModel& grid, const QString& title) {
    Puzzle puzzle;
    puzzle.grid = grid;
    puzzle.details.title = title.toStdString();
    return puzzlePdf(puzzle, PageSetup{});
}

} // namespace korvel
