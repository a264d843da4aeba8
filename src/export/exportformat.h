// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvel {

// The formats a grid can be exported to. The first three are written by the
// core; PDF is rendered on the desktop side.
enum class ExportFormat { Ipuz, Puz, Svg, Pdf };

// "ipuz", "puz", "svg", "pdf": the name korvel-export's --format takes.
std::string_view formatName(ExportFormat format);
std::optional<ExportFormat> formatFromName(std::string_view name);
// The file extension with its dot: ".ipuz", ...
std::string_view formatExtension(ExportFormat format);

// The format a file name asks for by its extension (case ignored), or
// nothing when it ends in none of the four.
std::optional<ExportFormat> formatFromPath(std::string_view path);

// The name the export writes for a chosen name and format: the name as it is
// when its extension already names the format, otherwise with the format's
// extension appended (as "Save as..." does with ".kvl").
std::string exportPath(std::string_view chosen, ExportFormat format);

// The second file of an SVG export, the solution: "grid.svg" gives
// "grid-solution.svg" beside it; a name without ".svg" gets "-solution.svg".
std::string solutionSvgPath(std::string_view svgPath);

// The title of an exported grid: the file name of path without its folder
// and its last extension ("/a/b/Spring.kvl" gives "Spring").
std::string titleFromPath(std::string_view path);

// The title a grid's file gives its exports: titleFromPath, or none for a
// grid without a file and for the bare ".kvl" (in any case) that a
// cancelled "Save as..." leaves on a new grid.
std::string exportTitle(std::string_view path);

} // namespace korvel
