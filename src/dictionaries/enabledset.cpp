// SPDX-License-Identifier: GPL-3.0-or-later
#include "enabledset.h"

namespace korvel {

void EnabledSet::reset(const DictionaryStore& store) {
    names_.fill({});
    checked_.fill(false);
    for (int n = 1; n <= Count; ++n) {
        const std::string& name = store.DictFileName[static_cast<std::size_t>(n)];
        if (name.empty()) {
            break;
        }
        names_[index(n)] = name;
        checked_[index(n)] = true;
    }
}

std::string EnabledSet::caption(int n) const {
    if (!inRange(n)) {
        return {};
    }
    if (!exists(n)) {
        return std::to_string(n) + "-";
    }
    return "D" + std::to_string(n) + "- " + names_[index(n)];
}

std::string EnabledSet::panelHint(int n) const {
    if (!isChecked(n)) {
        return {};
    }
    const std::string c = caption(n);
    // A caption too short to hold a prefix and an extension gives an empty hint.
    return c.size() > 8 ? c.substr(4, c.size() - 8) : std::string();
}

EnabledSet::Click EnabledSet::click(int n) {
    if (n == 1) {
        return Click::Refused;
    }
    if (!exists(n)) {
        return Click::Ignored;
    }
    checked_[index(n)] = !checked_[index(n)];
    return Click::Toggled;
}

PanelClick panelClickAction(int panel) {
    if (panel == 2) {
        return PanelClick::Abort;
    }
    if (panel == 7 || panel == 8) {
        return PanelClick::ToggleExtended;
    }
    if (panel >= 11 && panel <= 16) {
        return PanelClick::Dictionary;
    }
    return PanelClick::None;
}

} // namespace korvel
