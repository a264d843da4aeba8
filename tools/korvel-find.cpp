// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-find: the searches of the window, run from the command line on a
// dictionaries folder loaded exactly as the program loads it.
//
//   korvel-find [options] pattern SLOT [REFINEMENT ...]
//   korvel-find [options] cross ACROSS DOWN
//   korvel-find [options] anagram WORD
//   korvel-find [options] --batch
//
// Standard output: the results list in display order, one line each.
// Standard error: warnings, then the texts of status panels 2 and 3.
// Exit status: 0 (also when nothing is found), 1 when loading fails, 2 on a
// usage error.
//
// With --batch the dictionaries are loaded once and every line of standard
// input is a query (the words of a command line, options included); each
// answer is its results, a line with the panel texts and an empty line.

#include "anagrams.h"
#include "companioncall.h"
#include "crossprompt.h"
#include "datafolders.h"
#include "enabledset.h"
#include "loader.h"
#include "memoryhost.h"
#include "patternsearch.h"
#include "printable.h"
#include "refinements.h"
#include "resultorder.h"
#include "scratchfiles.h"
#include "toolcommon.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace korvel;

namespace {

const char* const Usage =
    "usage: korvel-find [options] pattern SLOT [free-head|trim-head|trim-cue|free-cue ...]\n"
    "       korvel-find [options] cross ACROSS DOWN\n"
    "       korvel-find [options] anagram WORD\n"
    "       korvel-find [options] --batch    (one query a line on standard input)\n"
    "options:\n"
    "  --dir DIR         dictionaries folder (default: the current directory when\n"
    "                    it holds base.diz, else the per-user folder\n"
    "                    $XDG_DATA_HOME/korvel/dictionaries when it does, else its\n"
    "                    subfolder it/ or en/ for the chosen language, else the\n"
    "                    installed set of that language)\n"
    "  --extended        Extended Search on (no cap of 50 results)\n"
    "  --free-cue        Free Cue on (retry an empty search with a free end)\n"
    "  --disable N[,N]   switch dictionaries 2 to 6 off\n"
    "  --vowels          cross: try the vowels only\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "ACROSS and DOWN are the words through the cell: letters, \"?\" for empty\n"
    "cells and one \"#\" at the cell. WORD is the TEST field's text.\n";

struct Options {
    std::string dir;
    bool extended = false;
    bool freeCue = false;
    bool vowels = false;
    bool batch = false;
    DisabledList disabled{};
    std::string info;              // "--help" or "--version": print it and do nothing else
    std::vector<std::string> args; // command and its operands
};

EditorState promptAcrossEditor() {
    EditorState e;
    e.setTool(Tool::PromptAcross, "a1");
    return e;
}

// Everything a command needs: the loaded store and the window's search state.
// A session is made afresh for every query.
struct Session {
    const DictionaryStore& store;
    // The pattern, the selection and the tool, as a prompt across leaves them.
    EditorState editor;
    SearchFlags flags;
    MemoryHost host;
    Options options;
    EnabledSet enabled;

    SearchContext context() { return {store, enabled, editor, flags, host}; }
};

using Command = std::function<int(Session&)>;

// Reads the words of a command line (without the program's name) into o.
// A query of --batch takes no --dir and no --batch.
bool parseOptions(const std::vector<std::string>& argv, Options& o, bool query = false) {
    const std::size_t argc = argv.size();
    for (std::size_t i = 0; i < argc; ++i) {
        const std::string& a = argv[i];
        if ((a == "--help" || a == "--version") && !query) {
            o.info = a;
            return true;
        } else if (a == "--dir" && i + 1 < argc && !query) {
            o.dir = argv[++i];
        } else if (a == "--batch" && !query) {
            o.batch = true;
        } else if (a == "--extended") {
            o.extended = true;
        } else if (a == "--free-cue") {
            o.freeCue = true;
        } else if (a == "--vowels") {
            o.vowels = true;
        } else if (a == "--disable" && i + 1 < argc) {
            if (!parseDisabledList(argv[++i], o.disabled)) {
                std::cerr << "korvel-find: --disable takes dictionaries 2 to 6\n";
                return false;
            }
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            std::cerr << "korvel-find: unknown option " << printable(a) << "\n";
            return false;
        } else {
            o.args.push_back(a);
        }
    }
    return o.batch ? o.args.empty() : !o.args.empty();
}

// The words of a query line: separated by blanks or tabs; a word in single
// or double quotes may hold blanks (an anagram's TEST word). Returns false on
// an unclosed quote.
bool splitWords(const std::string& line, std::vector<std::string>& words) {
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        std::string word;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            const char q = line[i];
            if (q == '\'' || q == '"') {
                const std::size_t close = line.find(q, i + 1);
                if (close == std::string::npos) {
                    return false;
                }
                word.append(line, i + 1, close - i - 1);
                i = close + 1;
            } else {
                word += q;
                ++i;
            }
        }
        words.push_back(word);
    }
    return true;
}

// Pattern search on SLOT, then each refinement as its button does it.
int runPattern(Session& s) {
    const auto& args = s.options.args;
    if (args.size() < 2) {
        return 2;
    }
    const std::string& slot = args[1];
    if (slot.empty() ||
        slot.find_first_not_of("?ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos) {
        std::cerr << "korvel-find: SLOT holds letters A to Z and \"?\" only\n";
        return 2;
    }
    static const std::map<std::string, void (*)(SearchContext&)> refinements = {
        {"free-head", freeHeadRun},
        {"trim-head", trimHeadCell},
        {"trim-cue", trimCueCell},
        {"free-cue", freeCueRun},
    };
    std::vector<void (*)(SearchContext&)> steps;
    for (std::size_t i = 2; i < args.size(); ++i) {
        auto it = refinements.find(args[i]);
        if (it == refinements.end()) {
            std::cerr << "korvel-find: unknown refinement " << printable(args[i]) << "\n";
            return 2;
        }
        steps.push_back(it->second);
    }
    // A prompt across on the first row: the slot starts in the first column.
    PatternState& pattern = s.editor.pattern;
    pattern.CurrentPattern = slot;
    pattern.SlotPattern = slot;
    pattern.testom = slot;
    pattern.SlotFirstRow = pattern.SlotLastRow = 0;
    pattern.SlotFirstColumn = 0;
    pattern.SlotLastColumn = static_cast<int16_t>(slot.size() - 1);
    s.editor.selection = {0, 0, static_cast<int16_t>(slot.size()), 1};
    auto ctx = s.context();
    searchPattern(ctx);
    for (auto step : steps) {
        step(ctx);
    }
    return 0;
}

// Cross prompt on the cell marked "#" in both words.
int runCross(Session& s) {
    const auto& args = s.options.args;
    if (args.size() != 3) {
        return 2;
    }
    for (std::size_t i = 1; i <= 2; ++i) {
        const std::string& w = args[i];
        if (w.empty() || w.find_first_not_of("?#ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos ||
            std::count(w.begin(), w.end(), '#') != 1) {
            std::cerr << "korvel-find: ACROSS and DOWN hold letters A to Z, \"?\" and one \"#\"\n";
            return 2;
        }
    }
    s.editor.setTool(Tool::PromptCross, "a6");
    CrossContext ctx = s.context();
    runCrossPrompt(args[1], static_cast<int>(args[1].find('#')), args[2],
                   static_cast<int>(args[2].find('#')), s.options.vowels, ctx);
    return 0;
}

// Anagrams of the TEST word.
int runAnagram(Session& s) {
    const auto& args = s.options.args;
    if (args.size() != 2) {
        return 2;
    }
    s.editor.setTool(Tool::Anagrams, "a9");
    findAnagrams(args[1], s.store, s.host, s.flags);
    return 0;
}

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"pattern", runPattern},
        {"cross", runCross},
        {"anagram", runAnagram},
    };
    return table;
}

// One query on the loaded store, from the state a fresh korvel-find has.
// Returns 0, or 2 on a usage error.
int answer(const DictionaryStore& store, const Options& options, std::vector<std::string>& lines,
           std::string& panel2, std::string& panel3) {
    lines.clear();
    panel2.clear();
    panel3.clear();
    const auto cmd = commands().find(options.args[0]);
    if (cmd == commands().end()) {
        return 2;
    }
    Session s{store, promptAcrossEditor(), {}, {}, {}, {}};
    s.options = options;
    s.enabled = enabledWithout(store, options.disabled);
    s.flags.Estesa = options.extended;
    s.flags.Accorcia = options.freeCue;

    const int status = cmd->second(s);
    if (status == 2) {
        return 2;
    }
    lines = std::move(s.host.list);
    sortListLines(lines);
    panel2 = s.host.panels[2];
    panel3 = s.host.panels[3];
    return status;
}

// The dictionaries' lines are 8-bit text: a control byte in one is shown
// escaped, never sent to the terminal.
void writeLines(const std::vector<std::string>& lines) {
    for (const auto& raw : lines) {
        const std::string line = printableLatin1(raw);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
}

// Answers every line of standard input. The frame of an answer: its result
// lines (never empty), one line holding the texts of panels 2 and 3 each in
// double quotes with a blank between them, and an empty line. A query that
// is no query gets an empty frame ("" "") and a message on standard error.
int runBatch(const DictionaryStore& store, const Options& global) {
    int status = 0;
    std::string input;
    std::vector<std::string> words;
    std::vector<std::string> lines;
    std::string panel2;
    std::string panel3;
    for (long long lineNo = 1; std::getline(std::cin, input); ++lineNo) {
        // Each query starts from the options of the command line.
        Options o = global;
        o.batch = false;
        o.args.clear();
        int st = 2;
        if (splitWords(input, words) && parseOptions(words, o, true)) {
            st = answer(store, o, lines, panel2, panel3);
        }
        if (st == 2) {
            lines.clear();
            panel2.clear();
            panel3.clear();
            std::cerr << "korvel-find: line " << lineNo << ": not a query: " << printable(input)
                      << "\n";
            status = 2;
        }
        writeLines(lines);
        std::printf("\"%s\" \"%s\"\n\n", printableLatin1(panel2).c_str(),
                    printableLatin1(panel3).c_str());
        // A script that talks with the program line by line gets each
        // answer as soon as it is ready.
        std::fflush(stdout);
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    removeScratchFilesOnSignals();
    Options options;
    if (!parseOptions(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::cerr << Usage;
        return 2;
    }
    if (options.info == "--help") {
        std::cout << Usage;
        return 0;
    }
    if (options.info == "--version") {
        std::cout << "korvel-find " KORVEL_VERSION "\n";
        return 0;
    }
    if (!options.batch && commands().find(options.args[0]) == commands().end()) {
        std::cerr << Usage;
        return 2;
    }

    // Without --dir the folder is chosen as the window chooses it, so that an
    // installed korvel-find works from any folder.
    const std::string folder = options.dir.empty() ? startupDictionaryFolder() : options.dir;
    DictionaryStore store;
    std::unique_ptr<CompanionLibrary> library;
    const CompanionCall call = openCompanion(library);
    StderrObserver observer;
    if (loadDictionaries(
            store, folder, call, [] {}, observer) != LoadResult::Ok) {
        return 1;
    }

    if (options.batch) {
        return runBatch(store, options);
    }
    std::vector<std::string> lines;
    std::string panel2;
    std::string panel3;
    if (answer(store, options, lines, panel2, panel3) == 2) {
        std::cerr << Usage;
        return 2;
    }
    writeLines(lines);
    std::cerr << "panel 2: \"" << printableLatin1(panel2) << "\"\n";
    std::cerr << "panel 3: \"" << printableLatin1(panel3) << "\"\n";
    return 0;
}
