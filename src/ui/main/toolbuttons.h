// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tool.h"

#include <QHash>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QActionGroup;
class QToolBar;

namespace korvel {

// What the toolbar shows of a tool besides its picture (toolIcon): its
// tooltip, and the text and hint of status panel 1 while it is the current
// tool.
struct ToolTexts {
    const char* tooltip;
    const char* panelText; // nullptr: choosing the tool leaves panel 1
    const char* panelHint; // nullptr: panel 1's tooltip stays
};
const ToolTexts& toolTexts(Tool tool);

// The tool buttons of the toolbar, one per tool, named by their keys ("a0"
// to "a12"). The grid tools stay pressed, one at a time.
class ToolButtons {
public:
    ToolButtons(QToolBar& bar, QActionGroup& group) : bar_(bar), group_(group) {}

    // Adds the tool's button at the end of the bar; a click calls clicked
    // with the tool's key.
    void add(Tool tool, bool smallPictures, const std::function<void(const QString&)>& clicked);
    QAction* button(const QString& key) const { return buttons_.value(key); }
    QAction* button(Tool tool) const;

    // Presses the grid tool of key and releases the others; the key of any
    // other tool releases them all.
    void setPressed(const QString& key);
    void releaseAll();
    // The grid tool whose button is pressed, if any.
    std::optional<Tool> pressedTool() const;
    void enableAll(bool enabled);
    // The grid tools and the history's two buttons.
    void enableGridTools();
    // Undo and Redo follow the history.
    void showHistory(bool undoEnabled, bool redoEnabled);

private:
    QToolBar& bar_;
    QActionGroup& group_;
    QHash<QString, QAction*> buttons_;
};

} // namespace korvel
