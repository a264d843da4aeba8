// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-export: a crossword file, or another program's .puz or .ipuz puzzle,
// exported as the window's File > Export does it, through the same code.
//
//   korvel-export [--format ipuz|puz|pdf|svg] [--paper a4|letter]
//                 [--layout puzzle|submission] IN OUT
//
// Exit status: 0 written, 1 IN cannot be read or is not a crossword file (or
// a puzzle Korvel cannot hold), 2 usage error (OUT is IN too), 3 the format
// cannot hold the grid, 4 OUT cannot be written. What a reader changed to
// open a .puz or .ipuz goes to standard error, with status 0.

#include "exportfiles.h"
#include "exportformat.h"
#include "kvlfile.h"
#include "pagesetup.h"
#include "printable.h"
#include "puzzle.h"
#include "puzzlefile.h"
#include "regularfile.h"
#include "scratchfiles.h"

#include <QGuiApplication>
#include <QHashSeed>

#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace korvel;

namespace {

const char* const Usage = "usage: korvel-export [--format ipuz|puz|pdf|svg] IN.kvl OUT\n"
                          "       korvel-export [--format ipuz|puz|pdf|svg] IN.puz|IN.ipuz OUT\n"
                          "       korvel-export --format pdf [--paper a4|letter]\n"
                          "                     [--layout puzzle|submission] IN OUT\n"
                          "       korvel-export --help | --version\n";

const char* const Help =
    "Exports a Korvel crossword file (.kvl), or a puzzle of another program\n"
    "(.puz, .ipuz) with its clues and details, for crossword programs or print.\n"
    "\n"
    "  --format FORMAT  ipuz  the open JSON crossword format (.ipuz)\n"
    "                   puz   the Across Lite format (.puz); every white cell\n"
    "                         must hold its letter\n"
    "                   pdf   the blank puzzle with its clue numbers, then\n"
    "                         the solution; landscape for a wide grid\n"
    "                   svg   the blank puzzle to OUT and the solution to\n"
    "                         OUT-solution.svg (OUT without its .svg)\n"
    "                   Without --format the extension of OUT decides.\n"
    "  --paper PAPER    a4 or letter, for pdf; without it the locale decides\n"
    "                   (letter where it measures in US units)\n"
    "  --layout LAYOUT  puzzle      the puzzle page, then the solution (default)\n"
    "                   submission  for an editor: the filled grid, the empty\n"
    "                               grid, then a table of number, clue and\n"
    "                               answer\n"
    "  --help           this text\n"
    "  --version        the program's version\n"
    "\n"
    "A .kvl file holds no clues: their texts are left empty. What the reading\n"
    "of a .puz or .ipuz changed (a scrambled solution, rebus squares cut to a\n"
    "letter, wrong checksums) is told on standard error.\n"
    "Exit status: 0 written, 1 IN cannot be read or is not a crossword file (or\n"
    "a puzzle Korvel cannot hold), 2 usage error (or OUT is IN), 3 the format\n"
    "cannot hold the grid, 4 OUT cannot be written.\n";

// Qt's own remarks (a missing runtime folder, font fallbacks) say nothing
// about the export; only its failures reach standard error.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << "korvel-export: " << printable(message.toLocal8Bit().toStdString()) << "\n";
    }
}

int usage(const std::string& why) {
    std::cerr << "korvel-export: " << printable(why) << "\n" << Usage;
    return 2;
}

// Whether the two names lead to one file (the same one, a link to it, a hard
// link of it).
bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// The puzzle in IN, or nothing once the cause is on standard error. A .puz
// or .ipuz goes through the puzzle readers, and what they changed to open
// it is told; any other name is a crossword file (.kvl), read as it always
// was.
std::optional<Puzzle> readInput(const std::string& in) {
    const std::optional<PuzzleFileFormat> kind = puzzleFormatFromPath(in);
    if (kind && *kind != PuzzleFileFormat::Kvl) {
        PuzzleReadResult read = loadPuzzleFile(in);
        if (!read.puzzle) {
            std::cerr << "korvel-export: " << printable(read.error) << "\n";
            return std::nullopt;
        }
        for (const std::string& warning : read.warnings) {
            std::cerr << "korvel-export: " << printable(in) << ": " << printable(warning) << "\n";
        }
        return std::move(read.puzzle);
    }
    std::string bytes;
    const FileReadResult input = readRegularFile(AT_FDCWD, in, MaxKvlBytes, bytes);
    if (!input.ok()) {
        std::cerr << "korvel-export: " << printable(in) << ": "
                  << (input.status == FileReadStatus::NotRegular ? "not a regular file"
                                                                 : printable(input.cause))
                  << "\n";
        return std::nullopt;
    }
    KvlReadResult kvl = readKvl(bytes);
    if (!kvl.grid) {
        std::cerr << "korvel-export: " << printable(in)
                  << ": not a crossword file: " << printableLatin1(kvl.error) << "\n";
        return std::nullopt;
    }
    Puzzle puzzle;
    puzzle.grid = std::move(*kvl.grid);
    return puzzle;
}

} // namespace

int main(int argc, char** argv) {
    removeScratchFilesOnSignals();
    std::optional<ExportFormat> format;
    PageSetup setup;
    bool pageOptions = false;
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (onlyOperands || a.empty() || a[0] != '-' || a == "-") {
            operands.push_back(a);
        } else if (a == "--") {
            onlyOperands = true;
        } else if (a == "--help" || a == "-h") {
            std::cout << Usage << "\n" << Help;
            return 0;
        } else if (a == "--version") {
            std::cout << "korvel-export " << KORVEL_VERSION << "\n";
            return 0;
        } else if (a == "--format" || a.rfind("--format=", 0) == 0) {
            std::string name;
            if (a == "--format") {
                if (++i == argc) {
                    return usage("--format needs a value");
                }
                name = argv[i];
            } else {
                name = a.substr(9);
            }
            format = formatFromName(name);
            if (!format) {
                return usage("unknown format " + name);
            }
        } else if (a == "--paper" || a.rfind("--paper=", 0) == 0 || a == "--layout" ||
                   a.rfind("--layout=", 0) == 0) {
            const bool paper = a.rfind("--paper", 0) == 0;
            const std::string option = paper ? "--paper" : "--layout";
            std::string name;
            if (a == option) {
                if (++i == argc) {
                    return usage(option + " needs a value");
                }
                name = argv[i];
            } else {
                name = a.substr(option.size() + 1);
            }
            if (paper) {
                const std::optional<Paper> p = paperFromName(name);
                if (!p) {
                    return usage("unknown paper " + name);
                }
                setup.paper = *p;
            } else {
                const std::optional<PrintLayout> l = printLayoutFromName(name);
                if (!l) {
                    return usage("unknown layout " + name);
                }
                setup.layout = *l;
            }
            pageOptions = true;
        } else {
            return usage("unknown option " + a);
        }
    }
    if (operands.size() != 2) {
        return usage("IN.kvl and OUT are needed");
    }
    const std::string& in = operands[0];
    const std::string& out = operands[1];
    if (!format) {
        format = formatFromPath(out);
        if (!format) {
            return usage("give --format, or end OUT in .ipuz, .puz, .pdf or .svg");
        }
    }
    if (pageOptions && *format != ExportFormat::Pdf) {
        return usage("--paper and --layout are for pdf only");
    }

    std::optional<Puzzle> puzzle = readInput(in);
    if (!puzzle) {
        return 1;
    }
    // Names are bytes, used as given: a name that is not UTF-8 is written
    // under that very name.
    std::vector<std::string> outputs{out};
    if (*format == ExportFormat::Svg) {
        outputs.push_back(solutionSvgPath(out));
    }
    for (const std::string& o : outputs) {
        if (sameFile(in, o)) {
            std::cerr << "korvel-export: " << printable(o) << " is the crossword file "
                      << printable(in) << " itself; give another name\n";
            return 2;
        }
    }
    puzzle->grid.normalizeBlacks();

    // The PDF pages need fonts, and so a GUI application; it never shows a
    // window, so it needs no display either.
    std::optional<QGuiApplication> app;
    if (*format == ExportFormat::Pdf) {
        // A fixed hash seed fixes the order in which the fonts are written,
        // so the same grid gives the same bytes every run (but the date).
        QHashSeed::setDeterministicGlobalSeed();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietQt);
        static int qtArgc = 1;
        static char* qtArgv[] = {argv[0], nullptr};
        app.emplace(qtArgc, qtArgv);
    }
    // Without a title of its own (a .kvl file has none) the puzzle takes
    // the one its name gives.
    if (puzzle->details.title.empty()) {
        puzzle->details.title = QString::fromLocal8Bit(titleFromPath(in).c_str()).toStdString();
    }
    const ExportOutcome outcome = exportPuzzleToPath(*puzzle, *format, out, setup);
    if (!outcome.ok) {
        if (!outcome.failedPath.empty()) {
            std::cerr << "korvel-export: " << printable(outcome.failedPath)
                      << " could not be written: " << printable(outcome.cause) << "\n";
        } else {
            std::cerr << "korvel-export: " << printable(outcome.error.toLocal8Bit().toStdString())
                      << "\n";
        }
        return outcome.refused ? 3 : 4;
    }
    return 0;
}
