// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "searchhost.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace korvel {

// A window without a screen: it keeps the panel texts and the list lines a
// search writes (in the order they come) and ignores the drawing. The
// command-line tools and the benchmarks run the searches through it.
class MemoryHost : public SearchHost {
public:
    std::map<int, std::string> panels;
    std::vector<std::string> list;

    void setPanelText(int panel, std::string_view text) override { panels[panel] = text; }
    void setPanelHint(int, std::string_view) override {}
    void clearList() override { list.clear(); }
    void addListLine(std::string line) override { list.push_back(std::move(line)); }
    std::size_t listCount() const override { return list.size(); }
    void setListHint(std::string_view) override {}
    void setPointers(Pointers) override {}
    void beep() override {}
    void yield() override {}
    void setPatternLabel(std::string_view) override {}
    void setTestText(std::string_view) override {}
    void setHeadTailButtonsEnabled(bool) override {}
};

} // namespace korvel
