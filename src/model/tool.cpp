// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool.h"

namespace korvel {

std::optional<Tool> toolOfKey(std::string_view key) {
    if (key.size() < 2 || key.size() > 3 || key[0] != 'a')
        return std::nullopt;
    int n = 0;
    for (char c : key.substr(1)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    // "a00" or "a07" name no button.
    if (key.size() == 3 && key[1] == '0')
        return std::nullopt;
    if (n > static_cast<int>(Tool::NotAvailable))
        return std::nullopt;
    return static_cast<Tool>(n);
}

std::string toolKey(Tool tool) {
    return "a" + std::to_string(static_cast<int>(tool));
}

std::optional<Tool> pairedTool(Tool tool) {
    switch (tool) {
    case Tool::WriteAcross:
        return Tool::WriteDown;
    case Tool::WriteDown:
        return Tool::WriteAcross;
    case Tool::PromptAcross:
        return Tool::PromptDown;
    case Tool::PromptDown:
        return Tool::PromptAcross;
    default:
        return std::nullopt;
    }
}

} // namespace korvel
