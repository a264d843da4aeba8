// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>

namespace korvel {

// The classic key code of a Qt key (the names are KeyCode's, in tool.h);
// 0 for a key without a code of its own here.
int classicKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// The classic modifier state: ShiftKey, CtrlKey and AltKey, added.
int classicShift(Qt::KeyboardModifiers modifiers);

} // namespace korvel
