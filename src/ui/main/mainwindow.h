// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "application.h"
#include "dictionarystore.h"
#include "editorstate.h"
#include "enabledset.h"
#include "exportprint.h"
#include "filecommands.h"
#include "griddocument.h"
#include "helpcommands.h"
#include "mainwindowui.h"
#include "searchcommands.h"
#include "statuspanels.h"
#include "toolbuttons.h"
#include "windowhandlers.h"
#include "windowlayout.h"
#include "windowsearchhost.h"
#include "windowtimings.h"
#include "wordcommands.h"
#include "wordindex.h"

#include <QCursor>
#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QLineEdit;
class QMenu;
class QTimer;
class QToolBar;

namespace korvel {

class ClueCommands;
class Desktop;
class ExportCommands;
class FillCommands;
class GridCanvas;
class GridView;
class ResultsList;
class StatusPanels;
class WindowPlace;
class WordListCommands;
struct CompanionCall;

// The main window Form0g. It owns the document, the editor state beside it,
// the dictionaries and the search flags for the life of the program.
// Handlers keep the names of the design (menuNuovo_Click, selectTool, ...);
// each one gathers its inputs, calls the core and shows the outcome. The
// grid's pointer, keys and click are the grid view's; the fill, the clues,
// the files and the word lists are commands of their own, each given the
// core state it works on. The document is changed only through its edit();
// the grid view draws from its notices and the editor state's.
class MainWindow : public QMainWindow,
                   private DocumentObserver,
                   private FileWindow,
                   private WindowHandlers {
    Q_OBJECT
public:
    // The companion library is made by the factory on the first tick of
    // Timer0, so that a window that never loads needs none.
    using CompanionFactory = std::function<CompanionCall()>;

    MainWindow(Desktop& desktop, CompanionFactory companion, WindowTimings timings = {},
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- start-up and dictionaries
    void Form_Load();
    void Timer0_Timer() override;
    void Timer2_Timer() override;
    void refreshDictPanels() { ui_->refreshDictionaries(enabled_); }
    const EnabledSet& enabledDictionaries() const { return enabled_; }

    // --- what the searches read, the results list and the refinements:
    // the search commands' (SearchCommands)
    void dictionaryItemClick(int n) override { search_->dictionaryItemClick(n); }
    void Stb1_PanelClick(int index) override { search_->Stb1_PanelClick(index); }
    void Estesa_click() override { search_->Estesa_click(); }
    void Accorcia_Click() override { search_->Accorcia_Click(); }
    void ResErr_Click() override { search_->ResErr_Click(); }
    void Lists_Click() override { search_->Lists_Click(); }
    void Command1_Click() override { search_->Command1_Click(); }
    void Command2_Click() override { search_->Command2_Click(); }
    void Command3_Click() override { search_->Command3_Click(); }
    void Command4_Click() override { search_->Command4_Click(); }
    void runAnagrams() { search_->runAnagrams(); }

    // --- toolbar
    void Tlb1_ButtonClick(const QString& key) override;
    void selectTool(const QString& key);

    // --- new layout and display
    void menuNuovo_Click() override; // "New...": a new grid
    void NuovoSchema() override;     // new layout: untick the tools, repaint
    void Inizio();                   // start on a grid: draw it, enable the tools
    void layoutWindow() { layout_->layoutWindow(); }
    // The whole grid drawn again from the model (the marks over it go).
    void rinfresca() { editor_.rinfresca(); }
    void Numerare_Click() override;                  // clue numbers on or off
    void Ingrandisci_Click() override { zoom(1.1); } // zoom in
    void Riduci_Click() override { zoom(0.9); }      // zoom out
    void Originali_click() override;                 // original size
    // Returns true when the key ran a command.
    bool Form_KeyDown(int keyCode, int shift);

    // --- files and exit
    void menuApri_Click() override { files_->open(nullptr); } // "Open..."
    void openRecent(const QString& path) override { files_->open(&path); }
    // A .kvl file named on the command line: opened once the dictionaries
    // are loaded, exactly as "Open..." opens a file chosen in its dialog.
    void setStartFile(const QString& path) { startFile_ = path; }
    bool Salva_Click() override { return files_->save(); } // "Save"
    void Salvacome_Click() override { files_->saveAs(); }  // "Save As..."
    void askSaveChanges() { files_->askSaveChanges(); }
    // Runs the unsaved-change prompt when the grid has changes; true when the
    // grid may now be replaced or the program end (saved, or No), false when
    // the user kept it (Cancel, or a save that failed).
    bool settleUnsavedChanges() { return files_->settleUnsavedChanges(); }
    void menuEsci_Click() override; // "Exit"
    void esciFine();                // the final exit
    // File > Export and File > Print...: the grid for other crossword
    // programs or on paper. Neither changes the grid, the file name or the
    // changed flag.
    void Esporta_Click() override {
        if (!busy() && hasGrid())
            export_->exportAs();
    }
    void Stampa_Click() override {
        if (!busy() && hasGrid())
            export_->print();
    }

    // --- word-processor functions and the dictionary viewer
    void FunWord_click() override {
        word_->FunWord_click(menuItem(QStringLiteral("FunWord")), busy());
    }
    void openWordConnection() { word_->open(); }
    void chiudiword() { word_->close(); } // close the word-processor connection
    void showThesaurus() { word_->thesaurus(ui_->textb); }
    void checkSpelling() { word_->spelling(ui_->textb); }
    void Indirdiz_Click() override { showDictionaryViewer(store_, this); } // the viewer
    // The service behind the word functions: Hunspell and MyThes unless a
    // test has set another. Made on first use.
    WordService& wordService() { return word_->service(); }
    void setWordService(std::unique_ptr<WordService> service) {
        word_->setService(std::move(service));
    }

    // --- help
    void Copyright_Click() override {
        if (!busy())
            showAbout(this);
    }
    void AiutoQuick_Click() override { showShortcuts(desktop_, this); } // quick instructions
    void AiutoF1_Click() override { openHelpPage(desktop_, this, helpPage()); } // online help

    // --- state, for the collaborators and the tests
    const GridModel& grid() const { return doc_.grid(); }
    bool hasGrid() const override { return !doc_.grid().isEmpty(); }
    const DictionaryStore& store() const { return store_; }
    const ActionsHistory& history() const { return doc_.history(); }
    GridDocument& document() { return doc_; }
    const GridDocument& document() const { return doc_; }
    // The tool, the current cell, the selection, the drag, the pattern and
    // what is drawn over the grid.
    EditorState& editor() { return editor_; }
    int16_t DocumentChanged() const { return doc_.DocumentChanged(); }
    SearchFlags& flags() { return flags_; }
    QString CurrentFile() const { return files_->currentFile(); }
    const QString& OpenFolder() const { return files_->openFolder(); }
    int16_t CurrentTool() const { return static_cast<int16_t>(editor_.CurrentTool()); }
    QString CurrentToolKey() const { return QString::fromStdString(editor_.CurrentToolKey()); }
    bool busy() const override { return flags_.busy(); }
    int32_t dimv() const { return layout_->dimv(); }
    int32_t dimo() const { return layout_->dimo(); }
    double dimLet() const { return layout_->metrics().dimLet; }
    double dimNum() const { return layout_->metrics().dimNum; }
    bool Im2() const { return layout_->im2(); }
    // Where letters and numbers sit in a cell, and their sizes.
    const CellMetrics& cellMetrics() const { return layout_->metrics(); }
    QString helpPage() const { return helpPage_.isEmpty() ? defaultHelpPage() : helpPage_; }
    void setHelpPage(const QString& page) { helpPage_ = page; }

    GridCanvas* Peri() const { return ui_->peri; }
    GridView* gridView() const { return view_.get(); }
    StatusPanels* Stb1() const { return ui_->stb1; }
    QToolBar* Tlb1() const { return ui_->tlb1; }
    QAction* toolButton(const QString& key) const { return ui_->tools->button(key); }
    QAction* menuItem(const QString& name) const { return ui_->menuItem(name); }
    QMenu* fileMenu() const { return ui_->fileMenu; }
    ResultsList* Lists() const { return ui_->lists; }
    QLineEdit* textb() const { return ui_->textb; }
    QTimer* Timer0() const { return ui_->timer0; }
    QTimer* Timer2() const { return ui_->timer2; }
    const WordIndexCache& wordIndexes() const { return *indexes_; }
    // The fill commands, the fill check and the symmetric blacks.
    FillCommands* fillCommands() const { return fill_.get(); }
    // View > Clues with its panel, and File > Puzzle Details...
    ClueCommands* clueCommands() const { return clues_.get(); }
    // The fill's word lists: scores, My Words, bans, settings, language.
    WordListCommands* wordLists() const { return lists_.get(); }

    // What the searches and the word tools write to: the status panels, the
    // results list, the pattern label and the TEST field.
    WindowSearchHost& searchHost() { return *host_; }
    // Panel n + 10 shows whether dictionary n takes part.
    bool isPanelEnabled(int panel) const { return ui_->stb1->isPanelEnabled(panel); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The Undo and Redo keys follow the history.
    void documentChanged(const GridDocument& document, const DocumentChange& change) override;
    void Form_Unload(int16_t& Cancel);
    // The window's side of the file commands.
    void releaseTools() override;
    void gridOpened() override;
    void setCaption(const QString& tail) override;
    void setSaveItems(bool save, bool saveAs) override;
    void showNotice(const QString& text) override;
    void setImageA(const QCursor& picture);
    void zoom(double factor);
    // The right button on the grid: the other tool of the pressed pair.
    void switchPairedTool();

    Desktop& desktop_;
    CompanionFactory companion_;
    WindowTimings timings_;

    GridDocument doc_;
    // Beside the document, observing it (so declared after it: it goes
    // first).
    EditorState editor_;
    DictionaryStore store_;
    // Which dictionaries take part in searches; the d items' check marks and
    // panels 11 to 16 show it.
    EnabledSet enabled_;
    SearchFlags flags_;
    // The word indexes of the fill, its check and the statistics.
    std::unique_ptr<WordIndexCache> indexes_;

    QString helpPage_;
    QString startFile_;

    // The controls, the layout in twips and the zoom, the window as the
    // searches see it, and the grid drawn and worked on.
    std::unique_ptr<MainWindowUi> ui_;
    std::unique_ptr<WindowLayout> layout_;
    std::unique_ptr<WindowSearchHost> host_;
    std::unique_ptr<GridView> view_;
    std::unique_ptr<SearchCommands> search_;
    // The window's size and place between runs.
    std::unique_ptr<WindowPlace> place_;

    bool loading_ = false;
    bool ended_ = false;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<WordCommands> word_;
    std::unique_ptr<ExportCommands> export_;
    // Before the document goes: its panel observes the document.
    std::unique_ptr<ClueCommands> clues_;
    // Last, so that it goes (stopping its check thread) before the store.
    std::unique_ptr<FillCommands> fill_;
    // Goes before the fill commands it hands the minimum to.
    std::unique_ptr<WordListCommands> lists_;
};

} // namespace korvel
