// SPDX-License-Identifier: GPL-3.0-or-later
#include "keycodes.h"

#include "tool.h"

namespace korvel {

int classicKeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return (keypad ? KeyCode::Keypad0 : KeyCode::Digit0) + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return KeyCode::LetterA + (qtKey - Qt::Key_A);
    switch (qtKey) {
    case Qt::Key_Plus:
        return keypad ? KeyCode::KeypadPlus : KeyCode::Plus;
    case Qt::Key_Equal:
        return KeyCode::Plus;
    case Qt::Key_Minus:
        return keypad ? KeyCode::KeypadMinus : KeyCode::Minus;
    case Qt::Key_Underscore:
        return KeyCode::Minus;
    case Qt::Key_Asterisk:
        return keypad ? KeyCode::KeypadMultiply : 0;
    case Qt::Key_Slash:
        return keypad ? KeyCode::KeypadDivide : KeyCode::Slash;
    case Qt::Key_Backspace:
        return KeyCode::Backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return KeyCode::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyCode::Enter;
    case Qt::Key_Shift:
        return KeyCode::Shift;
    case Qt::Key_Control:
        return KeyCode::Control;
    case Qt::Key_Alt:
        return KeyCode::Alt;
    case Qt::Key_Escape:
        return KeyCode::Escape;
    case Qt::Key_Space:
        return KeyCode::Space;
    case Qt::Key_Left:
        return KeyCode::Left;
    case Qt::Key_Up:
        return KeyCode::Up;
    case Qt::Key_Right:
        return KeyCode::Right;
    case Qt::Key_Down:
        return KeyCode::Down;
    case Qt::Key_Delete:
        return KeyCode::Delete;
    default:
        break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return KeyCode::F1 + (qtKey - Qt::Key_F1);
    return 0;
}

int classicShift(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        shift |= ShiftKey;
    if (modifiers.testFlag(Qt::ControlModifier))
        shift |= CtrlKey;
    if (modifiers.testFlag(Qt::AltModifier))
        shift |= AltKey;
    return shift;
}

} // namespace korvel
