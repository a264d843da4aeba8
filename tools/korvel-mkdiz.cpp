// korvel-mkdiz: builds a Korvel dictionary (.diz or plain .dic) from word
// lists, or prints the plain list of a .diz file.
//
//   korvel-mkdiz [--sort] [--fold] [--stems] -o OUT INPUT...
//   korvel-mkdiz --decode IN.diz

#include "dictionarystore.h"
#include "dizformat.h"
#include "loader.h"
#include "printable.h"
#include "regularfile.h"
#include "replacefile.h"

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
    "usage: korvel-mkdiz [--sort] [--fold] [--stems] -o OUT.diz|OUT.dic INPUT...\n"
    "       korvel-mkdiz --decode IN.diz\n";

constexpr std::string_view Help =
    "Builds a Korvel dictionary from plain word lists, or prints a .diz as a plain list.\n"
    "\n"
    "options:\n"
    "  -o OUT            write OUT: a compressed dictionary when it ends in .diz,\n"
    "                    a plain CR LF list when it ends in .dic\n"
    "  --sort            sort the lines in byte order and drop duplicates\n"
    "  --fold            read UTF-8, fold accents, upper-case, drop entries with\n"
    "                    anything outside A to Z (implies --sort)\n"
    "  --stems           merge words differing only in a final A, E, I or O into\n"
    "                    the stem and its ending code (implies --sort)\n"
    "  --decode IN.diz   print the plain list of IN.diz on standard output\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, 2 on a\n"
    "usage error.\n";

// A word list or a dictionary, read whole: regular files only, and no
// larger than the loader would take. On failure error says why.
bool readFile(const std::string& path, std::string& bytes, std::string& error) {
    const korvel::FileReadResult r =
        korvel::readRegularFile(AT_FDCWD, path, korvel::MaxDictionaryBytes, bytes);
    error = r.cause;
    return r.ok();
}

// Lines end at LF; one CR before it belongs to the line end. A last line
// without LF still counts, an empty rest after the last LF does not.
void splitLines(std::string_view text, std::vector<std::string>& lines) {
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t k = text.find('\n', p);
        const std::size_t end = k == std::string_view::npos ? text.size() : k;
        std::string_view line = text.substr(p, end - p);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        if (k == std::string_view::npos) {
            break;
        }
        p = k + 1;
    }
}

// Code points of a line read as UTF-8; a line that is not valid UTF-8 is
// taken as Latin-1, one byte one character.
std::vector<char32_t> decodeUtf8(std::string_view s) {
    std::vector<char32_t> cps;
    cps.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        int extra = 0;
        char32_t cp = 0;
        if (b0 < 0x80) {
            cp = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2;
            cp = b0 & 0x0F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3;
            cp = b0 & 0x07;
        } else {
            extra = -1;
        }
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            ok = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (ok && extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) {
            ok = false;
        }
        if (ok && extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) {
            ok = false;
        }
        if (!ok) {
            cps.assign(s.begin(), s.end());
            for (char32_t& c : cps) {
                c &= 0xFF;
            }
            return cps;
        }
        cps.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return cps;
}

// Base letters of U+00C0 to U+00FF and U+0100 to U+017F, upper case; '?' for
// characters that are no Latin letter with a plain base, '*' for ligatures
// handled apart.
constexpr std::string_view Latin1Letters = "AAAAAA*CEEEEIIII"  // C0-CF
                                           "?NOOOOO?OUUUUY??"  // D0-DF
                                           "AAAAAA*CEEEEIIII"  // E0-EF
                                           "?NOOOOO?OUUUUY?Y"; // F0-FF
constexpr std::string_view ExtendedALetters = "AAAAAACCCCCCCCDDDD"
                                              "EEEEEEEEEEGGGGGGGGHHHH"
                                              "IIIIIIIIII**JJKKK"
                                              "LLLLLLLLLLNNNNNN???"
                                              "OOOOOO**RRRRRRSSSSSSSS"
                                              "TTTTTTUUUUUUUUUUUUWWYYY"
                                              "ZZZZZZS";
static_assert(Latin1Letters.size() == 64);
static_assert(ExtendedALetters.size() == 128);

// Folds one entry to upper-case A to Z; nothing when something else remains.
std::optional<std::string> fold(std::string_view line) {
    std::string out;
    for (char32_t cp : decodeUtf8(line)) {
        if (cp >= 'a' && cp <= 'z') {
            out += static_cast<char>(cp - 'a' + 'A');
        } else if (cp >= 'A' && cp <= 'Z') {
            out += static_cast<char>(cp);
        } else if (cp == 0xDF) {
            out += "SS";
        } else if (cp == 0xC6 || cp == 0xE6) {
            out += "AE";
        } else if (cp == 0x132 || cp == 0x133) {
            out += "IJ";
        } else if (cp == 0x152 || cp == 0x153) {
            out += "OE";
        } else if (cp >= 0xC0 && cp <= 0xFF && Latin1Letters[cp - 0xC0] != '?') {
            out += Latin1Letters[cp - 0xC0];
        } else if (cp >= 0x100 && cp <= 0x17F && ExtendedALetters[cp - 0x100] != '?') {
            out += ExtendedALetters[cp - 0x100];
        } else {
            return std::nullopt;
        }
    }
    if (out.empty()) {
        return std::nullopt;
    }
    return out;
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

} // namespace

int main(int argc, char** argv) {
    korvel::removeScratchFilesOnSignals();
    bool sort = false;
    bool doFold = false;
    bool stems = false;
    std::string outPath;
    std::vector<std::string> inputs;
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
        } else if (a.size() > 1 && a[0] == '-') {
            std::cerr << "korvel-mkdiz: unknown option " << korvel::printable(a) << "\n" << Usage;
            return 2;
        } else {
            inputs.push_back(a);
        }
    }
    const bool toDiz = outPath.size() > 4 && outPath.ends_with(".diz");
    const bool toDic = outPath.size() > 4 && outPath.ends_with(".dic");
    if (inputs.empty() || (!toDiz && !toDic)) {
        std::cerr << Usage;
        return 2;
    }

    std::vector<std::string> lines;
    for (const std::string& in : inputs) {
        std::string text;
        std::string error;
        if (!readFile(in, text, error)) {
            std::cerr << "korvel-mkdiz: cannot read " << korvel::printable(in) << ": "
                      << korvel::printable(error) << "\n";
            return 1;
        }
        splitLines(text, lines);
    }
    if (doFold) {
        std::vector<std::string> folded;
        folded.reserve(lines.size());
        for (const std::string& l : lines) {
            if (auto f = fold(l)) {
                folded.push_back(std::move(*f));
            }
        }
        lines = std::move(folded);
    }
    if (sort) {
        // An empty entry has no initial to index; sorted lists never keep one.
        std::erase_if(lines, [](const std::string& l) { return l.empty(); });
        sortUnique(lines);
    }
    if (stems) {
        lines = mergeStems(lines);
    }

    std::string plain;
    for (const std::string& l : lines) {
        plain += l;
        plain += "\r\n";
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
