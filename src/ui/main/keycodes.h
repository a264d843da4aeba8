#pragma once

#include <Qt>

namespace korvel {

// Classic key codes, as the window's key handlers compare them: letters 65 to
// 90, main-keyboard digits 48 to 57, keypad digits 96 to 105, keypad + 107
// and - 109, the +/= key 187, the -/_ key 189, Backspace 8, Tab 9, Enter 13,
// Space 32, arrows 37 to 40. 0 for a key without a code of its own here.
int classicKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// The classic modifier state: 1 for Shift, 2 for Ctrl, 4 for Alt, added.
int classicShift(Qt::KeyboardModifiers modifiers);

} // namespace korvel
