// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionarystore.h"

#include <array>
#include <string>
#include <string_view>

namespace korvel {

// Which of dictionaries 1 to 6 take part in the searches. The check mark of
// each dictionary's menu item is the master state; the status panels n + 10
// copy it (enabled, and the file name without extension as their hint), and
// the searches read it through their context. Dictionary 1 cannot be switched off.
class EnabledSet {
public:
    static constexpr int Count = SearchedDictionaries;
    static constexpr std::string_view BaseRefusalTitle = "Attention...";
    static constexpr std::string_view BaseRefusalText =
        "... the base.diz dictionary can't be disabled!";

    // After loading: dictionaries 1 to 6 up to the first without a name exist,
    // and each existing one is checked.
    void reset(const DictionaryStore& store);

    bool exists(int n) const { return inRange(n) && !names_[index(n)].empty(); }
    bool isChecked(int n) const { return inRange(n) && checked_[index(n)]; }
    // Panel n + 10 is enabled exactly when item n is checked.
    bool isPanelEnabled(int n) const { return isChecked(n); }
    // Sets item n's state as it is, without the click's refusal of
    // dictionary 1: for the command-line tools and the tests, which choose
    // any set of dictionaries.
    void setChecked(int n, bool on) {
        if (inRange(n))
            checked_[index(n)] = on;
    }

    // The menu item's caption: "D1- base.diz" once loaded, "1-" as designed.
    std::string caption(int n) const;
    // Panel n + 10's hint: the caption from its 5th character, less its last
    // 4 (so "D2- words.dic" gives "words"); "" while the item is unchecked.
    std::string panelHint(int n) const;

    enum class Click { Refused, Toggled, Ignored };
    // A click on item n (or its panel): dictionary 1 is refused (show
    // BaseRefusalText under BaseRefusalTitle), 2 to 6 are switched, others
    // (or dictionaries that do not exist) are ignored.
    Click click(int n);

private:
    static bool inRange(int n) { return n >= 1 && n <= Count; }
    static std::size_t index(int n) { return static_cast<std::size_t>(n); }

    std::array<std::string, Count + 1> names_{};
    std::array<bool, Count + 1> checked_{};
};

// What a click on a status bar panel asks for.
enum class PanelClick { None, Abort, ToggleExtended, Dictionary };
// Panel 2 requests the abort (only while a search runs, which the caller
// knows), 7 and 8 toggle Extended Search, 11 to 16 click dictionaries 1 to 6.
PanelClick panelClickAction(int panel);

} // namespace korvel
