// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-mkdiz: builds a Korvel dictionary (.diz or plain .dic) or a score
// list (.scores) from word lists, or prints the plain list of a .diz file.
//
//   korvel-mkdiz [--sort] [--fold] [--stems] [--case C] -o OUT INPUT...
//   korvel-mkdiz -o OUT.scores [--case C] --score N INPUT... [--score N INPUT...]
//   korvel-mkdiz --decode IN.diz

#include "dictionarystore.h"
#include "dizformat.h"
#include "linereader.h"
#include "loader.h"
#include "printable.h"
#include "regularfile.h"
#include "replacefile.h"
#include "wordfold.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_view_literals;

constexpr std::string_view Usage =
    "usage: korvel-mkdiz [--sort] [--fold] [--stems] [--case C] -o OUT.diz|OUT.dic INPUT...\n"
    "       korvel-mkdiz -o OUT.scores [--case C] --score N INPUT... [--score N INPUT...]...\n"
    "       korvel-mkdiz --decode IN.diz\n";

constexpr std::string_view Help =
    "Builds a Korvel dictionary or score list from plain word lists, or prints a\n"
    ".diz as a plain list.\n"
    "\n"
    "options:\n"
    "  -o OUT            write OUT: a compressed dictionary when it ends in .diz,\n"
    "                    a plain CR LF list when it ends in .dic, a score list\n"
    "                    of WORD;SCORE lines when it ends in .scores\n"
    "  --sort            sort the lines in byte order and drop duplicates\n"
    "  --fold            read UTF-8, fold accents, upper-case, drop entries with\n"
    "                    anything outside A to Z (implies --sort)\n"
    "  --stems           merge words differing only in a final A, E, I or O into\n"
    "                    the stem and its ending code (implies --sort)\n"
    "  --case C          take from the inputs after it only the entries written in\n"
    "                    case C: lower (first letter lower case), title (first\n"
    "                    letter upper case, a later one lower), upper (every\n"
    "                    letter upper case) or any (the default)\n"
    "  --score N         for a .scores OUT: the entries of the inputs after it\n"
    "                    score N (0 to 100); entries are folded as by --fold, and\n"
    "                    a word given more than one score keeps the highest\n"
    "  --decode IN.diz   print the plain list of IN.diz on standard output\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, 2 on a\n"
    "usage error.\n";

// A dictionary to decode, read whole: regular files only, and no larger than
// the loader would take. On failure error says why.
bool readFile(const std::string& path, std::string& bytes, std::string& error) {
    const korvel::FileReadResult r =
        korvel::readRegularFile(AT_FDCWD, path, korvel::MaxDictionaryBytes, bytes);
    error = r.cause;
    return r.ok();
}

// The word lists are converted, not loaded, so they may be of any length
// (unmunch writes more than the loader's cap). They are read a line at a
// time; a line longer than the loader's cap could never be part of a
// dictionary it loads, and stops the read.
constexpr uint64_t MaxLineBytes = korvel::MaxDictionaryBytes;

// The encoder's refusal, said as soon as the list as given outgrows it.
std::string tooLargeForDiz() {
    return "the plain list is larger than " + std::to_string(korvel::diz::MaxPlainSize) + " bytes";
}

void sortUnique(std::vector<std::string>& lines) {
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
}

int vowelBit(char c) {
    switch (c) {
    case 'A':
        return 1;
    case 'E':
        return 2;
    case 'I':
        return 4;
    case 'O':
        return 8;
    default:
        return 0;
    }
}

// The EndingCode whose vowel set is the given set of bits.
char endingCodeFor(int mask) {
    for (char code : "!#$%&()=+-@"sv) {
        int m = 0;
        for (char v : korvel::endingVowels(code)) {
            m |= vowelBit(v);
        }
        if (m == mask) {
            return code;
        }
    }
    return 0;
}

// Words that differ only in a final A, E, I or O, two or more of them, become
// their stem plus the EndingCode of those vowels. The input is sorted and
// unique; so is the result (codes sort below "A", so a stem line can move
// before longer words on the same stem, hence the new sort).
std::vector<std::string> mergeStems(const std::vector<std::string>& words) {
    std::map<std::string_view, int> masks;
    for (const std::string& w : words) {
        if (w.size() >= 2 && vowelBit(w.back()) != 0) {
            masks[std::string_view(w).substr(0, w.size() - 1)] |= vowelBit(w.back());
        }
    }
    std::vector<std::string> out;
    out.reserve(words.size());
    for (const std::string& w : words) {
        if (w.size() >= 2 && vowelBit(w.back()) != 0) {
            const std::string_view stem = std::string_view(w).substr(0, w.size() - 1);
            const int mask = masks[stem];
            if ((mask & (mask - 1)) != 0) {
                out.push_back(std::string(stem) + endingCodeFor(mask));
                continue;
            }
        }
        out.push_back(w);
    }
    sortUnique(out);
    return out;
}

int decodeCommand(const std::string& path) {
    std::string file;
    std::string error;
    if (!readFile(path, file, error)) {
        std::cerr << "korvel-mkdiz: cannot read " << korvel::printable(path) << ": "
                  << korvel::printable(error) << "\n";
        return 1;
    }
    std::string plain;
    if (!korvel::diz::decode(file, plain, error)) {
        std::cerr << "korvel-mkdiz: " << korvel::printable(path) << ": " << korvel::printable(error)
                  << "\n";
        return 1;
    }
    // The list itself, byte for byte, as a file's content: meant for a file
    // or a pipe, it is not escaped.
    std::cout.write(plain.data(), static_cast<std::streamsize>(plain.size()));
    std::cout.flush();
    return std::cout ? 0 : 1;
}

// One input file with what applies to it.
struct Input {
    std::string path;
    std::optional<korvel::LetterCase> only; // nothing: every entry
    int score = -1;                         // -1: no --score before it
};

std::optional<korvel::LetterCase> caseFilter(std::string_view name, bool& ok) {
    ok = true;
    if (name == "lower") {
        return korvel::LetterCase::Lower;
    }
    if (name == "title") {
        return korvel::LetterCase::Title;
    }
    if (name == "upper") {
        return korvel::LetterCase::Upper;
    }
    ok = name == "any";
    return std::nullopt;
}

std::optional<int> scoreArgument(std::string_view s) {
    if (s.empty() || s.size() > 3) {
        return std::nullopt;
    }
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = n * 10 + (c - '0');
    }
    return n <= 100 ? std::optional<int>(n) : std::nullopt;
}

// The score list of the entries: folded words in byte order, one a line
// with its highest score, LF line ends.
std::string scoreList(const std::vector<std::pair<std::string, int>>& scored) {
    std::map<std::string, int> best;
    for (const auto& [entry, score] : scored) {
        if (auto w = korvel::foldWord(entry)) {
            auto [it, added] = best.emplace(std::move(*w), score);
            if (!added) {
                it->second = std::max(it->second, score);
            }
        }
    }
    std::string out;
    for (const auto& [word, score] : best) {
        out += word;
        out += ';';
        out += std::to_string(score);
        out += '\n';
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    korvel::removeScratchFilesOnSignals();
    bool sort = false;
    bool doFold = false;
    bool stems = false;
    bool anyScore = false;
    std::string outPath;
    std::vector<Input> inputs;
    std::optional<korvel::LetterCase> only;
    int score = -1;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "--help") {
            std::cout << Usage << "\n" << Help;
            return 0;
        }
        if (a == "--version") {
            std::cout << "korvel-mkdiz " KORVEL_VERSION "\n";
            return 0;
        }
    }
    if (args.size() == 2 && args[0] == "--decode") {
        return decodeCommand(args[1]);
    }
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (a == "--sort") {
            sort = true;
        } else if (a == "--fold") {
            doFold = sort = true;
        } else if (a == "--stems") {
            stems = sort = true;
        } else if (a == "-o" && k + 1 < args.size()) {
            outPath = args[++k];
        } else if (a == "--case" && k + 1 < args.size()) {
            bool ok = false;
            only = caseFilter(args[++k], ok);
            if (!ok) {
                std::cerr << "korvel-mkdiz: --case takes lower, title, upper or any\n" << Usage;
                return 2;
            }
        } else if (a == "--score" && k + 1 < args.size()) {
            const std::optional<int> n = scoreArgument(args[++k]);
            if (!n) {
                std::cerr << "korvel-mkdiz: --score takes a whole number from 0 to 100\n" << Usage;
                return 2;
            }
            score = *n;
            anyScore = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::cerr << "korvel-mkdiz: unknown option " << korvel::printable(a) << "\n" << Usage;
            return 2;
        } else {
            inputs.push_back(Input{a, only, score});
        }
    }
    const bool toDiz = outPath.size() > 4 && outPath.ends_with(".diz");
    const bool toDic = outPath.size() > 4 && outPath.ends_with(".dic");
    const bool toScores = outPath.size() > 7 && outPath.ends_with(".scores");
    if (inputs.empty() || (!toDiz && !toDic && !toScores)) {
        std::cerr << Usage;
        return 2;
    }
    if (toScores && (stems || inputs.front().score < 0)) {
        std::cerr << "korvel-mkdiz: a .scores list needs --score before its first input and "
                     "takes no --stems\n"
                  << Usage;
        return 2;
    }
    if (!toScores && anyScore) {
        std::cerr << "korvel-mkdiz: --score is for a .scores list\n" << Usage;
        return 2;
    }

    // As given, each line goes straight to the plain list. Sorted, the
    // entries are sorted and thinned out whenever they have doubled, so the
    // memory follows the distinct entries, not the length of the inputs.
    std::string plain;
    std::vector<std::string> entries;
    std::vector<std::pair<std::string, int>> scored;
    std::size_t compacted = 0;
    for (const Input& in : inputs) {
        korvel::LineReader reader(MaxLineBytes);
        reader.open(AT_FDCWD, in.path);
        std::string_view line;
        while (reader.next(line)) {
            // Lines end at LF; one CR before it belongs to the line end.
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            if (in.only && korvel::letterCase(line) != *in.only) {
                continue;
            }
            if (toScores) {
                scored.emplace_back(std::string(line), in.score);
                continue;
            }
            if (!sort) {
                plain += line;
                plain += "\r\n";
                if (toDiz && plain.size() > korvel::diz::MaxPlainSize) {
                    std::cerr << "korvel-mkdiz: " << tooLargeForDiz() << "\n";
                    return 1;
                }
                continue;
            }
            if (doFold) {
                if (auto f = korvel::foldWord(line)) {
                    entries.push_back(std::move(*f));
                }
            } else if (!line.empty()) {
                // An empty entry has no initial to index; sorted lists never keep one.
                entries.emplace_back(line);
            }
            if (entries.size() >= 2 * compacted + 65536) {
                sortUnique(entries);
                compacted = entries.size();
            }
        }
        if (!reader.status().ok()) {
            std::cerr << "korvel-mkdiz: cannot read " << korvel::printable(in.path) << ": "
                      << korvel::printable(reader.status().cause) << "\n";
            return 1;
        }
    }
    if (toScores) {
        std::string error;
        if (!korvel::replaceFile(outPath, scoreList(scored), error)) {
            std::cerr << "korvel-mkdiz: cannot write " << korvel::printable(outPath) << ": "
                      << korvel::printable(error) << "\n";
            return 1;
        }
        return 0;
    }
    if (sort) {
        sortUnique(entries);
        if (stems) {
            entries = mergeStems(entries);
        }
        for (const std::string& e : entries) {
            plain += e;
            plain += "\r\n";
        }
    }
    std::string bytes;
    if (toDiz) {
        std::string error;
        if (!korvel::diz::encode(plain, bytes, error)) {
            std::cerr << "korvel-mkdiz: " << korvel::printable(error) << "\n";
            return 1;
        }
    } else {
        bytes = std::move(plain);
    }
    // The old output stays as it was unless the new one is whole on disk.
    std::string error;
    if (!korvel::replaceFile(outPath, bytes, error)) {
        std::cerr << "korvel-mkdiz: cannot write " << korvel::printable(outPath) << ": "
                  << korvel::printable(error) << "\n";
        return 1;
    }
    return 0;
}
