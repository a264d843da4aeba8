// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editorstate.h"
#include "griddocument.h"
#include "refinements.h"
#include "searchcontext.h"

#include <QObject>

class QWidget;

namespace korvel {

class Desktop;
class EnabledSet;
class MainWindowUi;
class WindowSearchHost;
struct DictionaryStore;

// What the search commands work with; all outlive them.
struct SearchCommandsContext {
    GridDocument& doc;
    EditorState& editor;
    const DictionaryStore& store;
    EnabledSet& enabled;
    SearchFlags& flags;
    WindowSearchHost& host;
    // The results list, the TEST field, the status panels and the items of
    // the search flags and the dictionaries.
    MainWindowUi& ui;
    Desktop& desktop;
    QWidget* parent; // of the message boxes
};

// The searches' side of the window: a click on a line of the results list
// (Lists_Click), the head and tail buttons, the anagrams of the TEST word,
// "Search Reset", and the items and panels that set what the searches read
// ("Extended Search", "Free Cue", the dictionaries D1 to D6, the abort on
// panel 2). Each gathers its inputs, runs the core and shows the outcome.
class SearchCommands : public QObject {
    Q_OBJECT
public:
    explicit SearchCommands(SearchCommandsContext context) : c_(context) {}

    void Lists_Click();
    void Command1_Click() { refine(freeHeadRun); }  // "Free HEAD"
    void Command2_Click() { refine(trimHeadCell); } // "Trim HEAD"
    void Command3_Click() { refine(trimCueCell); }  // "Trim CUE"
    void Command4_Click() { refine(freeCueRun); }   // "Free CUE"
    void runAnagrams();
    void ResErr_Click(); // "Search Reset"

    void Estesa_click();             // "Extended Search" toggled
    void Accorcia_Click();           // "Free Cue" toggled
    void dictionaryItemClick(int n); // d1_Click to d6_Click
    void Stb1_PanelClick(int index);

signals:
    // Another set of dictionaries takes part.
    void dictionariesChanged();

private:
    SearchContext context();
    void refine(void (*refinement)(SearchContext&));

    SearchCommandsContext c_;
};

} // namespace korvel
