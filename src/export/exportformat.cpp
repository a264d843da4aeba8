// SPDX-License-Identifier: GPL-3.0-or-later
#include "exportformat.h"

#include "blanks.h"

#include <array>

namespace korvel {

namespace {

struct FormatRow {
    ExportFormat format;
    std::string_view name;
    std::string_view extension;
};

constexpr std::array<FormatRow, 4> Formats = {{
    {ExportFormat::Ipuz, "ipuz", ".ipuz"},
    {ExportFormat::Puz, "puz", ".puz"},
    {ExportFormat::Svg, "svg", ".svg"},
    {ExportFormat::Pdf, "pdf", ".pdf"},
}};

} // namespace

std::string_view formatName(ExportFormat format) {
    for (const FormatRow& row : Formats) {
        if (row.format == format) {
            return row.name;
        }
    }
    return {};
}

std::string_view formatExtension(ExportFormat format) {
    for (const FormatRow& row : Formats) {
        if (row.format == format) {
            return row.extension;
        }
    }
    return {};
}

std::optional<ExportFormat> formatFromName(std::string_view name) {
    for (const FormatRow& row : Formats) {
        if (row.name == name) {
            return row.format;
        }
    }
    return std::nullopt;
}

std::optional<ExportFormat> formatFromPath(std::string_view path) {
    for (const FormatRow& row : Formats) {
        if (endsWithNoCase(path, row.extension)) {
            return row.format;
        }
    }
    return std::nullopt;
}

std::string exportPath(std::string_view chosen, ExportFormat format) {
    std::string path(chosen);
    if (!endsWithNoCase(path, formatExtension(format))) {
        path += formatExtension(format);
    }
    return path;
}

std::string solutionSvgPath(std::string_view svgPath) {
    std::string_view stem = svgPath;
    if (endsWithNoCase(stem, ".svg")) {
        stem.remove_suffix(4);
    }
    return std::string(stem) + "-solution.svg";
}

std::string titleFromPath(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0) {
        name = name.substr(0, dot);
    }
    return std::string(name);
}

std::string exportTitle(std::string_view path) {
    std::string title = titleFromPath(path);
    return title.size() == 4 && endsWithNoCase(title, ".kvl") ? std::string() : title;
}

} // namespace korvel
