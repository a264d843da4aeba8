// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop.h"
#include "dictionarystore.h"
#include "editshown.h"
#include "enabledset.h"
#include "exportprint.h"
#include "filecommands.h"
#include "griddocument.h"
#include "gridedit.h"
#include "gridmodel.h"
#include "helpcommands.h"
#include "mainwindowui.h"
#include "promptstate.h"
#include "refinements.h"
#include "resultslist.h"
#include "searchcontext.h"
#include "searchhost.h"
#include "tool.h"
#include "windowhandlers.h"
#include "windowlayout.h"
#include "windowsearchhost.h"
#include "windowtimings.h"
#include "wordcommands.h"
#include "wordindex.h"
#include "wordservice.h"

#include <QCursor>
#include <QFile>
#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QTimer;
class QToolBar;

namespace korvel {

class ClueCommands;
class Desktop;
class FillCommands;
class GridCanvas;
class GridPainter;
class StatusPanels;
class WindowPlace;
class WordListCommands;
struct CompanionCall;

// Maps the classic font names the windows ask for to installed fonts of the
// same metrics. Call once after the application object exists.
void installFontSubstitutes();

// What the program sets on the application object before its first window:
// the application's name (the title of boxes that have none of their own)
// and the font substitutes.
void setUpApplication();

// The main window Form0g. It owns the document, the dictionaries, the tool
// and the search state for the life of the program. Handlers keep the names
// of the design (menuNuovo_Click, rinfresca, ...); each one gathers its
// inputs, calls the core and shows the outcome. The document is changed only
// through its edit(); the window repaints from its change notices.
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
    void refreshDictPanels();
    // Puts a set loaded in the background (the other language's) in place
    // of the loaded one; false, leaving loaded as it is, while a search, a
    // fill or the fill check reads the set in place.
    bool installDictionaries(DictionaryStore& loaded);
    void dictionaryItemClick(int n) override; // d1_Click to d6_Click
    void Stb1_PanelClick(int index) override;
    const EnabledSet& enabledDictionaries() const { return enabled_; }
    void Estesa_click() override;   // "Extended Search" toggled
    void Accorcia_Click() override; // "Free Cue" toggled
    void ResErr_Click() override;   // "Search Reset"

    // --- the grid's pointer and keys, and its click (gridinput.cpp)
    // X and Y are in cells; shift is the classic modifier state (1 Shift,
    // 2 Ctrl, 4 Alt).
    void Peri_MouseDown(Qt::MouseButton button, int shift, double X, double Y) override;
    void Peri_MouseMove(Qt::MouseButtons buttons, int shift, double X, double Y) override;
    void Peri_MouseUp(Qt::MouseButton button, int shift, double X, double Y) override;
    void Peri_KeyDown(int keyCode, int shift) override;
    void Peri_Click() override;

    // --- results list and refinements (gridinput.cpp)
    void Lists_Click() override;
    void Command1_Click() override { refine(freeHeadRun); }  // "Free HEAD"
    void Command2_Click() override { refine(trimHeadCell); } // "Trim HEAD"
    void Command3_Click() override { refine(trimCueCell); }  // "Trim CUE"
    void Command4_Click() override { refine(freeCueRun); }   // "Free CUE"
    void runAnagrams();

    // --- toolbar
    void Tlb1_ButtonClick(const QString& key) override;
    void selectTool(const QString& key);

    // --- new layout and display
    void menuNuovo_Click() override; // "New...": a new grid
    void NuovoSchema() override;     // new layout: untick the tools, repaint
    void Inizio();                   // start on a grid: draw it, enable the tools
    void layoutWindow() { layout_->layoutWindow(); }
    void rinfresca(); // repaint the grid from the model
    void drawNumbers();
    // The message boxes, the repaint, the boxes and the Undo and Redo keys of
    // an edit, in that order, the same for every edit handler.
    void showEdit(const EditShown& shown);
    void drawSelection(); // the red box around the selection
    void drawGreenBox();
    void Numerare_Click() override;                  // clue numbers on or off
    void Ingrandisci_Click() override { zoom(1.1); } // zoom in
    void Riduci_Click() override { zoom(0.9); }      // zoom out
    void Originali_click() override;                 // original size
    // View > Fit Grid to Window: the whole grid in the window while checked;
    // the zoom commands uncheck it.
    void FitGrid_Click() override;
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
    void Esporta_Click() override; // export
    void Stampa_Click() override;  // print

    // --- word-processor functions and the dictionary viewer
    void FunWord_click() override;
    void openWordConnection() { word_->open(); }
    void chiudiword() { word_->close(); } // close the word-processor connection
    void showThesaurus() { word_->thesaurus(ui_->textb); }
    void checkSpelling() { word_->spelling(ui_->textb); }
    void Indirdiz_Click() override; // open the dictionary viewer
    // The service behind the word functions: Hunspell and MyThes unless a
    // test has set another. Made on first use.
    WordService& wordService() { return word_->service(); }
    void setWordService(std::unique_ptr<WordService> service) {
        word_->setService(std::move(service));
    }

    // --- help
    void Copyright_Click() override;
    void AiutoQuick_Click() override { showShortcuts(desktop_, this); } // quick instructions
    void AiutoF1_Click() override { openHelpPage(desktop_, this, helpPage()); } // online help

    // --- state, read-only, for the collaborators and the tests
    const GridModel& grid() const { return doc_.grid(); }
    bool hasGrid() const override { return !doc_.grid().isEmpty(); }
    const DictionaryStore& store() const { return store_; }
    const ActionsHistory& history() const { return doc_.history(); }
    GridDocument& document() { return doc_; }
    const GridDocument& document() const { return doc_; }
    int16_t DocumentChanged() const { return doc_.DocumentChanged(); }
    SearchFlags& flags() { return flags_; }
    QString CurrentFile() const { return files_->currentFile(); }
    const QString& OpenFolder() const { return files_->openFolder(); }
    int16_t CurrentTool() const { return static_cast<int16_t>(currentTool_); }
    Tool tool() const { return currentTool_; }
    const QString& CurrentToolKey() const { return currentToolKey_; }
    bool busy() const override { return windowBusy(flags_, scanDepth_); }
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
    StatusPanels* Stb1() const { return ui_->stb1; }
    QToolBar* Tlb1() const { return ui_->tlb1; }
    QAction* toolButton(const QString& key) const;
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
    // results list, the pattern label, the TEST field and the grid.
    WindowSearchHost& searchHost() { return *host_; }
    // Panel n + 10 shows whether dictionary n takes part.
    bool isPanelEnabled(int panel) const;

    const Selection& selection() const { return selection_; }
    void setSelection(const Selection& s) { selection_ = s; }
    const PatternState& pattern() const { return pattern_; }
    int16_t CurrentRow() const { return currentRow_; }
    int16_t CurrentColumn() const { return currentColumn_; }
    void setCurrentCell(int16_t row, int16_t column) {
        currentRow_ = row;
        currentColumn_ = column;
    }
    // 1 after a result was placed: the next list click takes it back first.
    int16_t priclk() const { return doc_.priclk() ? 1 : 0; }
    int16_t vocali() const { return vocali_; }
    // The box drawSelection drew last (cxo, cyo, LAXo, LAYo).
    const Selection& lastSelection() const { return lastSelection_; }
    const DragRect& drag() const { return drag_; }
    const DragRect& drawnDrag() const { return drawnDrag_; }
    bool fatrac() const { return fatrac_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void documentChanged(const GridDocument& document, const DocumentChange& change) override;
    void Form_Unload(int16_t& Cancel);
    // The window's side of the file commands.
    void releaseTools() override;
    void gridOpened() override;
    void setCaption(const QString& tail) override;
    void setSaveItems(bool save, bool saveAs) override;
    void showNotice(const QString& text) override;
    void setImageA(const QCursor& picture);
    // Sizes Peri to the grid at the present cell size and sets its scale.
    // Returns false when there is no grid or the size cannot be shown.
    bool sizePeri() { return layout_->sizePeri(doc_.grid().RowCount, doc_.grid().ColumnCount); }
    // Scrolls the grid so that the current cell is in view.
    void showCursorCell() { layout_->showCell(currentRow_, currentColumn_); }
    void zoom(double factor);
    void setPressedTools(const QString& key);
    SearchContext searchContext() {
        return SearchContext{store_, enabled_, pattern_, selection_, flags_, *host_, currentTool_};
    }
    // The Undo and Redo buttons follow the history's enabled states.
    void showHistoryButtons();
    void showHistoryCleared();
    void selectCell(int16_t row, int16_t column) { selection_ = Selection{column, row, 1, 1}; }
    void hover(double X, double Y);
    bool gridBusyPointer() const;
    void refine(void (*refinement)(SearchContext&));

    Desktop& desktop_;
    CompanionFactory companion_;
    WindowTimings timings_;

    GridDocument doc_;
    DictionaryStore store_;
    // Which dictionaries take part in searches; the d items' check marks and
    // panels 11 to 16 show it.
    EnabledSet enabled_;
    SearchFlags flags_;
    // The word indexes of the fill, its check and the statistics.
    std::unique_ptr<WordIndexCache> indexes_;

    Tool currentTool_ = Tool::Anagrams;
    QString currentToolKey_ = QStringLiteral("a9");
    Selection selection_;
    PatternState pattern_;
    int16_t currentRow_ = 0;
    int16_t currentColumn_ = 0;
    std::string carr_;
    std::string carm_;
    int16_t vocali_ = 0;
    Selection lastSelection_;
    // The drag rectangle of the prompt tools (x1, y1, x2, y2), the one drawn
    // last (x1o, y1o, x2o, y2o), and whether a drag follows the pointer.
    DragRect drag_;
    DragRect drawnDrag_;
    bool fatrac_ = false;
    // Step of the write cursor, kept between keys.
    int16_t incr_ = 0;
    int16_t incc_ = 0;

    QString helpPage_;
    QString startFile_;

    // The controls, the layout in twips and the zoom, the grid's drawing,
    // and the window as the searches see it.
    std::unique_ptr<MainWindowUi> ui_;
    std::unique_ptr<WindowLayout> layout_;
    std::unique_ptr<GridPainter> painter_;
    std::unique_ptr<WindowSearchHost> host_;
    // The window's size and place between runs.
    std::unique_ptr<WindowPlace> place_;

    QCursor imageA_;
    QCursor imageV_;

    // The document changed since the grid was last painted.
    bool gridDirty_ = false;
    bool loading_ = false;
    bool ended_ = false;
    // Scans started by the window's handlers and still on the stack.
    int scanDepth_ = 0;
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
