// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolbuttons.h"

#include "toolpictures.h"

#include <QAction>
#include <QActionGroup>
#include <QToolBar>

#include <array>

namespace korvel {

namespace {

QString keyOf(Tool tool) {
    return QString::fromStdString(toolKey(tool));
}

// By tool number, 0 to 12.
const std::array<ToolTexts, 13> Texts = {{
    {"Black or White Cell", " BLACK / WHITE a Cell ", "Click that Cell"},
    {"Search Across", " PROMPT ACROSS (select a Row or its piece) ",
     "Click a Row or drag-Across as you want"},
    {"Search Down", " PROMPT DOWN (select a Column or its piece) ",
     "Click a Column or drag-Down as you want"},
    {"Write Across", " WRITE ACROSS one or more Cells ", "Click the first Cell and write Across"},
    {"Write Down", " WRITE DOWN one or more Cells ", "Click the first Cell and write Down"},
    {"Clear Cell", " CLEAR CELL (select that Cell)", "Click that Cell"},
    {"Search Cross", " PROMPT CROSS (select a Cell and use Ctrl for only volcals test)",
     "Click that Cell"},
    {"Undo last action", nullptr, nullptr},
    {"Resume last undo", nullptr, nullptr},
    {"Anagrams of TEST", " ANAGRAMS of TEST ", nullptr},
    {"Thesaurus of TEST", " THESAURUS of TEST ", nullptr},
    {"Spelling of TEST", " SPELLING of TEST ", nullptr},
    {"Not available", nullptr, nullptr},
}};

constexpr Tool GridTools[] = {Tool::BlackWhite,  Tool::PromptAcross, Tool::PromptDown,
                              Tool::WriteAcross, Tool::WriteDown,    Tool::ClearCell,
                              Tool::PromptCross};

} // namespace

const ToolTexts& toolTexts(Tool tool) {
    return Texts[static_cast<std::size_t>(tool)];
}

void ToolButtons::add(Tool tool, bool smallPictures,
                      const std::function<void(const QString&)>& clicked) {
    const ToolTexts& texts = toolTexts(tool);
    const QString key = keyOf(tool);
    const QString tooltip = QString::fromLatin1(texts.tooltip);
    QAction* action = bar_.addAction(toolIcon(tool, smallPictures), tooltip);
    action->setObjectName(key);
    action->setToolTip(tooltip);
    if (isGridTool(tool)) {
        action->setCheckable(true);
        group_.addAction(action);
    }
    if (QWidget* widget = bar_.widgetForAction(action))
        widget->setObjectName(key + QStringLiteral("Button"));
    buttons_.insert(key, action);
    QObject::connect(action, &QAction::triggered, action, [clicked, key] { clicked(key); });
}

QAction* ToolButtons::button(Tool tool) const {
    return buttons_.value(keyOf(tool));
}

void ToolButtons::setPressed(const QString& key) {
    for (const Tool t : GridTools)
        button(t)->setChecked(keyOf(t) == key);
}

void ToolButtons::releaseAll() {
    for (QAction* b : buttons_)
        b->setChecked(false);
}

std::optional<Tool> ToolButtons::pressedTool() const {
    for (const Tool t : GridTools)
        if (button(t)->isChecked())
            return t;
    return std::nullopt;
}

void ToolButtons::enableAll(bool enabled) {
    for (QAction* b : buttons_)
        b->setEnabled(enabled);
}

void ToolButtons::enableGridTools() {
    for (const Tool t : GridTools)
        button(t)->setEnabled(true);
    button(Tool::Undo)->setEnabled(true);
    button(Tool::Redo)->setEnabled(true);
}

void ToolButtons::showHistory(bool undoEnabled, bool redoEnabled) {
    button(Tool::Undo)->setEnabled(undoEnabled);
    button(Tool::Redo)->setEnabled(redoEnabled);
}

} // namespace korvel
