// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace korvel {

class Desktop;
struct DictionaryStore;

// Help > Copyright: the about box.
void showAbout(QWidget* parent);

// Tools > Dictionaries > see content...: the dictionary viewer.
void showDictionaryViewer(const DictionaryStore& store, QWidget* parent);

// Help > Quick Instructions: the shortcut list in a box.
void showShortcuts(Desktop& desktop, QWidget* parent);

// The help page F1 opens: beside the programs' folder in a build tree, in the
// data folder once installed.
QString defaultHelpPage();

// Help > On line Help (F1): page in the desktop's browser. When no browser
// can be started, a box names the page's file, for opening by hand.
void openHelpPage(Desktop& desktop, QWidget* parent, const QString& page);

} // namespace korvel
