// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvel {

// The toolbar's tools, by the number of their key ("a0" to "a12"): the
// number is what the window's CurrentTool holds. 0 to 6 work in the grid;
// 7 and 8 are the history's commands; 9 to 11 work on the TEST word.
enum class Tool : int16_t {
    BlackWhite = 0,
    PromptAcross = 1,
    PromptDown = 2,
    WriteAcross = 3,
    WriteDown = 4,
    ClearCell = 5,
    PromptCross = 6,
    Undo = 7,
    Redo = 8,
    Anagrams = 9,
    Thesaurus = 10,
    Spelling = 11,
    NotAvailable = 12,
};

// The tool of a toolbar key: "a" and a number 0 to 12 without leading
// zeros; none for any other text.
std::optional<Tool> toolOfKey(std::string_view key);
// The key of a tool: "a" and its number.
std::string toolKey(Tool tool);

inline bool isPromptTool(Tool t) {
    return t == Tool::PromptAcross || t == Tool::PromptDown;
}
inline bool isWriteTool(Tool t) {
    return t == Tool::WriteAcross || t == Tool::WriteDown;
}
// The tools that stay pressed on the toolbar and work on grid clicks.
inline bool isGridTool(Tool t) {
    return static_cast<int16_t>(t) >= 0 && static_cast<int16_t>(t) <= 6;
}

// A right click on the grid switches between the two tools of a pair: Write
// Across and Write Down, Search Across and Search Down. Other tools have no
// partner.
std::optional<Tool> pairedTool(Tool tool);

// Modifier bits of a key event, added: the handlers' shift argument.
inline constexpr int ShiftKey = 1;
inline constexpr int CtrlKey = 2;
inline constexpr int AltKey = 4;

// Key codes as the window's key handlers and the grid's key rule compare
// them. Letters are LetterA to LetterZ in order, the main keyboard's digits
// Digit0 upward and the keypad's Keypad0 upward.
namespace KeyCode {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Alt = 18;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Delete = 46;
inline constexpr int Digit0 = 48;
inline constexpr int LetterA = 65;
inline constexpr int LetterZ = 90;
inline constexpr int Keypad0 = 96;
inline constexpr int KeypadMultiply = 106;
inline constexpr int KeypadPlus = 107;
inline constexpr int KeypadMinus = 109;
inline constexpr int KeypadDivide = 111;
inline constexpr int F1 = 112;
inline constexpr int Plus = 187;  // the +/= key
inline constexpr int Minus = 189; // the -/_ key
inline constexpr int Slash = 191;
} // namespace KeyCode

} // namespace korvel
