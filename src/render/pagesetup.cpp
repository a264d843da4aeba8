// SPDX-License-Identifier: GPL-3.0-or-later
#include "pagesetup.h"

#include "gridpages.h"

#include <QLocale>

namespace korvel {

namespace {

constexpr double MarginMm = 15;

} // namespace

QPageSize::PageSizeId localePaper() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                              : QPageSize::A4;
}

QPageSize::PageSizeId paperSize(Paper paper) {
    switch (paper) {
    case Paper::A4:
        return QPageSize::A4;
    case Paper::Letter:
        return QPageSize::Letter;
    case Paper::Locale:
        break;
    }
    return localePaper();
}

QPageLayout pageLayoutFor(const GridModel& grid, const PageSetup& setup) {
    const QPageSize size(paperSize(setup.paper));
    const QMarginsF margins(MarginMm, MarginMm, MarginMm, MarginMm);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    if (setup.orientation == PageOrientation::Landscape) {
        orientation = QPageLayout::Landscape;
    } else if (setup.orientation == PageOrientation::Auto && grid.ColumnCount > grid.RowCount) {
        // Only when it helps: a small wide grid already has its largest
        // cells on a portrait page, and keeps the page it always had.
        const QSizeF paper = size.size(QPageSize::Millimeter);
        const QSizeF portrait(paper.width() - 2 * MarginMm, paper.height() - 2 * MarginMm);
        const QSizeF landscape(portrait.height(), portrait.width());
        if (gridCellMm(landscape, grid) > gridCellMm(portrait, grid) + 0.01)
            orientation = QPageLayout::Landscape;
    }
    return QPageLayout(size, orientation, margins, QPageLayout::Millimeter);
}

std::optional<Paper> paperFromName(std::string_view name) {
    if (name == "a4")
        return Paper::A4;
    if (name == "letter")
        return Paper::Letter;
    return std::nullopt;
}

std::optional<PrintLayout> printLayoutFromName(std::string_view name) {
    if (name == "puzzle")
        return PrintLayout::Puzzle;
    if (name == "submission")
        return PrintLayout::Submission;
    return std::nullopt;
}

} // namespace korvel
