// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "crlflines.h"
#include "dictionarystore.h"
#include "editorstate.h"
#include "enabledset.h"
#include "promptstate.h"
#include "searchhost.h"

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace korvel::testing {

// Dictionaries 1 to 6 all taking part, as after loading six of them.
inline EnabledSet allEnabled() {
    EnabledSet set;
    for (int n = 1; n <= EnabledSet::Count; ++n)
        set.setChecked(n, true);
    return set;
}

// Records what a search does to the window, and answers as the test says.
class RecordingHost : public SearchHost {
public:
    std::map<int, std::string> panels;
    std::map<int, std::string> hints;
    std::vector<std::string> list; // in the order the lines were added
    std::string listHint = "unset";
    std::vector<Pointers> pointers;
    int beeps = 0;
    long yields = 0;
    std::function<void()> onYield;
    std::string patternLabel = "unset";
    std::string testText = "unset";
    // What was drawn over the grid (a DrawingRecorder writes it): "repaint",
    // "red x,y,w,h", "green x,y,w,h".
    std::vector<std::string> drawing;
    int buttonsEnabled = -1;

    RecordingHost() { yieldStride = 1; }
    void setPanelText(int panel, std::string_view text) override { panels[panel] = text; }
    void setPanelHint(int panel, std::string_view hint) override { hints[panel] = hint; }
    void clearList() override { list.clear(); }
    void addListLine(std::string line) override { list.push_back(std::move(line)); }
    std::size_t listCount() const override { return list.size(); }
    void setListHint(std::string_view hint) override { listHint = hint; }
    void setPointers(Pointers p) override { pointers.push_back(p); }
    void beep() override { ++beeps; }
    void yield() override {
        ++yields;
        if (onYield) {
            onYield();
        }
    }
    void setPatternLabel(std::string_view text) override { patternLabel = text; }
    void setTestText(std::string_view text) override { testText = text; }
    void setHeadTailButtonsEnabled(bool on) override { buttonsEnabled = on ? 1 : 0; }
};

// Writes what is drawn over the grid through an editor state, in order: a
// whole repaint as "repaint", a box as its colour and geometry.
class DrawingRecorder : public EditorObserver {
public:
    explicit DrawingRecorder(std::vector<std::string>& drawing) : drawing_(drawing) {}
    void editorChanged(const EditorState& editor, const EditorChange& change) override {
        if (change.repainted) {
            drawing_.push_back("repaint");
        }
        const auto& marks = editor.marks();
        for (std::size_t i = marks.size() - change.added; i < marks.size(); ++i) {
            const GridMark& m = marks[i];
            if (m.kind != GridMark::Kind::Box) {
                continue;
            }
            drawing_.push_back((m.colour == MarkColour::Green ? "green " : "red ") +
                               std::to_string(m.x) + "," + std::to_string(m.y) + "," +
                               std::to_string(m.w) + "," + std::to_string(m.h));
        }
    }

private:
    std::vector<std::string>& drawing_;
};

// What a search works on, all dictionaries taking part, with a host and an
// editor state that record what the search writes and draws.
struct SearchState {
    DictionaryStore store;
    EditorState editor;
    PatternState& pattern = editor.pattern;
    Selection& selection = editor.selection;
    SearchFlags flags;
    RecordingHost host;
    DrawingRecorder recorder{host.drawing};
    EnabledSet enabled = allEnabled();

    SearchState() { editor.addObserver(&recorder); }
    SearchState(const SearchState&) = delete;
    SearchState& operator=(const SearchState&) = delete;
};

// Joins lines with CR LF, as a dictionary file holds them.
inline std::string dictText(const std::vector<std::string>& lines, bool finalSeparator = true) {
    std::string t;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        t += lines[i];
        if (i + 1 < lines.size() || finalSeparator) {
            t += "\r\n";
        }
    }
    return t;
}

// Sets dictionary i of the store and its letter index the way the loader
// builds it: the first line of each run of one (trimmed) initial.
inline void putDictionary(DictionaryStore& s, int i, const std::string& name, std::string text) {
    s.DictFileName[i] = name;
    s.setText(i, std::move(text));
    s.LetterStart[i].fill(0);
    const long long DL = static_cast<long long>(s.DictText[i].size());
    std::string prevInitial;
    walkCrlfLines(s.DictText[i], 1, [&](std::string_view text, long long p, long long k) {
        std::string line(text);
        const auto b = line.find_first_not_of(' ');
        line = b == std::string::npos ? "" : line.substr(b, line.find_last_not_of(' ') - b + 1);
        std::string initial = line.substr(0, 1);
        if (initial != prevInitial && initial != "'" && initial != "#" && !initial.empty()) {
            int code = static_cast<unsigned char>(initial[0]) - 64;
            if (code >= 0 && code <= 26) {
                s.LetterStart[i][code] = static_cast<int32_t>(p);
            }
        }
        prevInitial = initial;
        // The start-up walk goes on to a line whose 1-based start lies
        // below the length minus 3, as the loader's does.
        return k + 2 < DL - 3;
    });
    s.count = std::max(s.count, i);
}

} // namespace korvel::testing
