// SPDX-License-Identifier: GPL-3.0-or-later
#include "placement.h"

#include "griddocument.h"

#include <algorithm>

namespace korvel {

std::string Placement::stripDictionarySuffix(std::string_view text) {
    // The engine appends " -" and the dictionary number.
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] >= '0' && text[end - 1] <= '9') {
        --end;
    }
    if (end < text.size() && end >= 2 && text[end - 1] == '-' && text[end - 2] == ' ') {
        return std::string(text.substr(0, end - 2));
    }
    return std::string(text);
}

std::string Placement::Prepara(std::string& text, PlacementContext& ctx, bool& anomaly) {
    std::string panel3;
    const std::size_t p1 = text.find('(');
    const std::size_t p2 = text.find(')');
    if (p1 == std::string::npos || p2 == std::string::npos) {
        lastStemEntry.clear();
        cyclePosition = 0;
    } else {
        if (text != lastStemEntry) {
            lastStemEntry = text;
            stem = text.substr(0, p1);
            // A ")" before the "(" gives an empty set: the stem alone.
            vowelSet = p2 > p1 ? text.substr(p1 + 1, p2 - p1 - 1) : std::string();
            cyclePosition = 0;
        }
        ++cyclePosition;
        if (cyclePosition > static_cast<int16_t>(vowelSet.size())) {
            cyclePosition = 1;
        }
        text = stem;
        if (!vowelSet.empty()) {
            text.push_back(vowelSet[static_cast<std::size_t>(cyclePosition) - 1]);
        }
    }
    if (priclk) {
        panel3.assign(1, ' ');
        // Only the previous placement's own action is taken back: one that
        // changed no cell, or that a later change has buried, stays.
        if (placedCells_ > 0 && ctx.edit.history().HistoryLength() == placedEnd_ &&
            !ctx.edit.lastBulkInForce()) {
            if (!ctx.edit.takeBackLastAction()) {
                anomaly = true;
            }
        }
        placedCells_ = 0;
        placedEnd_ = -1;
    }
    ctx.edit.beginAction();
    return panel3;
}

ListClickResult Placement::Lists_Click(std::string_view line, PlacementContext& ctx) {
    ListClickResult res;
    std::string text(line);
    const Tool tool = ctx.CurrentTool;

    if (tool == Tool::PromptCross) {
        text = text.substr(0, 1);
    }
    if (tool == Tool::Anagrams && text == " no Anagrams ") {
        return res;
    }
    if (tool == Tool::Thesaurus) {
        if (text == " no Syn./Ant. ") {
            return res;
        }
        if (!text.empty() && (text.back() == '=' || text.back() == '<')) {
            return res;
        }
        if (!text.empty()) {
            text.erase(0, 1);
        }
    }
    if (tool == Tool::Spelling && text == " OK Spelling ") {
        return res;
    }
    res.handled = true;
    text = stripDictionarySuffix(text);
    res.panel3 = Prepara(text, ctx, res.anomaly);
    if (text.empty()) {
        return res;
    }
    ctx.CurrentRow = ctx.selection.cy;
    ctx.CurrentColumn = ctx.selection.cx;
    res.hasTestText = true;
    res.testText = text;
    if (tool != Tool::PromptAcross && tool != Tool::PromptDown && tool != Tool::PromptCross) {
        return res;
    }
    ctx.pattern.CurrentPattern = text;

    int recorded = 0;
    auto write = [&](char ch) {
        const AggiorResult a = ctx.edit.aggior(ctx.CurrentRow, ctx.CurrentColumn, ch);
        res.historyCleared = res.historyCleared || a.historyCleared;
        if (a.historyCleared) {
            recorded = 0;
        }
        if (a.recorded) {
            ++recorded;
        }
    };

    if (tool == Tool::PromptCross) {
        write(text[0]);
    } else {
        int16_t blanks = 0;
        const bool across = tool == Tool::PromptAcross;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto offset = static_cast<int16_t>(i);
            if (across) {
                ctx.CurrentColumn = static_cast<int16_t>(ctx.pattern.SlotFirstColumn + offset);
            } else {
                ctx.CurrentRow = static_cast<int16_t>(ctx.pattern.SlotFirstRow + offset);
            }
            if (text[i] != ' ') {
                write(text[i]);
            } else {
                ++blanks;
            }
        }
        const std::size_t b = text.find_first_not_of(' ');
        const std::size_t e = text.find_last_not_of(' ');
        const auto trimmed = static_cast<int16_t>(b == std::string::npos ? 0 : e - b + 1);
        if (across) {
            ctx.selection.cx = static_cast<int16_t>(ctx.pattern.SlotFirstColumn + blanks);
            ctx.selection.LAX = trimmed;
            ctx.selection.LAY = 1;
        } else {
            ctx.selection.cy = static_cast<int16_t>(ctx.pattern.SlotFirstRow + blanks);
            ctx.selection.LAX = 1;
            ctx.selection.LAY = trimmed;
        }
    }
    placedCells_ = recorded;
    placedEnd_ = ctx.edit.history().HistoryLength();
    priclk = true;
    res.placed = true;
    return res;
}

} // namespace korvel
