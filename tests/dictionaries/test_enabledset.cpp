// SPDX-License-Identifier: GPL-3.0-or-later
#include "enabledset.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {
DictionaryStore storeWith(std::initializer_list<const char*> names) {
    DictionaryStore s;
    int i = 1;
    for (const char* n : names) {
        s.DictFileName[static_cast<std::size_t>(i++)] = n;
    }
    return s;
}
} // namespace

TEST(EnabledSet, AfterLoadingEveryExistingDictionaryIsCheckedWithItsCaptionAndHint) {
    EnabledSet set;
    set.reset(storeWith({"base.diz", "lemmi.diz", "english.dic"}));
    EXPECT_EQ(set.caption(1), "D1- base.diz");
    EXPECT_EQ(set.caption(3), "D3- english.dic");
    EXPECT_EQ(set.caption(4), "4-");
    EXPECT_EQ(set.panelHint(1), "base");
    EXPECT_EQ(set.panelHint(2), "lemmi");
    EXPECT_EQ(set.panelHint(4), "");
    for (int n = 1; n <= 3; ++n) {
        EXPECT_TRUE(set.isPanelEnabled(n)) << n;
    }
    EXPECT_FALSE(set.exists(4));
    EXPECT_FALSE(set.isPanelEnabled(4));
}

TEST(EnabledSet, BaseCannotBeSwitchedOffOthersToggle) {
    EnabledSet set;
    set.reset(storeWith({"base.diz", "a.dic", "words.dic"}));
    EXPECT_EQ(set.click(1), EnabledSet::Click::Refused);
    EXPECT_TRUE(set.isChecked(1));

    EXPECT_EQ(set.click(3), EnabledSet::Click::Toggled);
    EXPECT_FALSE(set.isPanelEnabled(3));
    EXPECT_EQ(set.panelHint(3), "");
    EXPECT_EQ(set.click(3), EnabledSet::Click::Toggled);
    EXPECT_TRUE(set.isPanelEnabled(3));
    EXPECT_EQ(set.panelHint(3), "words");

    // Dictionaries that were not loaded have hidden items: nothing to click.
    EXPECT_EQ(set.click(5), EnabledSet::Click::Ignored);
    EXPECT_EQ(set.click(7), EnabledSet::Click::Ignored);
    EXPECT_FALSE(set.isChecked(5));
}

TEST(EnabledSet, NumberingStopsAtTheFirstMissingName) {
    EnabledSet set;
    DictionaryStore s = storeWith({"base.diz", ""});
    s.DictFileName[3] = "late.dic";
    set.reset(s);
    EXPECT_TRUE(set.exists(1));
    EXPECT_FALSE(set.exists(2));
    EXPECT_FALSE(set.exists(3));
    // A name too short for the "Dn- " prefix and an extension gives no hint.
    set.reset(storeWith({"base.diz", "x"}));
    EXPECT_EQ(set.caption(2), "D2- x");
    EXPECT_EQ(set.panelHint(2), "");
}

TEST(EnabledSet, PanelClicksDispatchByIndex) {
    EXPECT_EQ(panelClickAction(2), PanelClick::Abort);
    EXPECT_EQ(panelClickAction(7), PanelClick::ToggleExtended);
    EXPECT_EQ(panelClickAction(8), PanelClick::ToggleExtended);
    EXPECT_EQ(panelClickAction(11), PanelClick::Dictionary);
    EXPECT_EQ(panelClickAction(16), PanelClick::Dictionary);
    for (int p : {0, 1, 3, 4, 5, 6, 9, 10, 17}) {
        EXPECT_EQ(panelClickAction(p), PanelClick::None) << p;
    }
}
