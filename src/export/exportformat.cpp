#include "exportformat.h"

#include <array>
#include <cctype>

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

bool endsWithNoCase(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size()) {
        return false;
    }
    const std::string_view end = s.substr(s.size() - tail.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(end[i])) !=
            std::tolower(static_cast<unsigned char>(tail[i]))) {
            return false;
        }
    }
    return true;
}

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
