// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"

#include <QPageLayout>
#include <QPageSize>

#include <optional>
#include <string_view>

namespace korvel {

// What the printed pages hold. Puzzle: the puzzle page (with its clues in
// Across and Down columns when the puzzle has clues, flowing onto more pages
// when needed), then the solution page. Submission: what editors ask
// constructors for, the filled grid, the empty grid, then a table of number,
// clue and answer, with the constructor's contact at the top of every page.
enum class PrintLayout { Puzzle, Submission };

// Locale: A4, or Letter where the locale measures in US units.
enum class Paper { Locale, A4, Letter };

// Auto: landscape when the grid is wider than tall and is drawn larger that
// way; portrait otherwise.
enum class PageOrientation { Auto, Portrait, Landscape };

struct PageSetup {
    Paper paper = Paper::Locale;
    PageOrientation orientation = PageOrientation::Auto;
    PrintLayout layout = PrintLayout::Puzzle;
};

// The paper the user's locale expects (LC_MEASUREMENT, then LANG): Letter
// for the US measurement system, A4 for every other.
QPageSize::PageSizeId localePaper();
QPageSize::PageSizeId paperSize(Paper paper);

// The page layout the pages of grid are drawn on: the paper, the orientation
// (Auto decided by the grid's shape) and 15 mm margins.
QPageLayout pageLayoutFor(const GridModel& grid, const PageSetup& setup);

// The names korvel-export's --paper and --layout take: "a4", "letter";
// "puzzle", "submission". Nothing for any other name.
std::optional<Paper> paperFromName(std::string_view name);
std::optional<PrintLayout> printLayoutFromName(std::string_view name);

} // namespace korvel
