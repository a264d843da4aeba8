// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "bytetext.h"
#include "cluecommands.h"
#include "datafolders.h"
#include "desktop.h"
#include "fillcommands.h"
#include "gridcanvas.h"
#include "griddimensionsdialog.h"
#include "gridview.h"
#include "historyboxes.h"
#include "keycodes.h"
#include "resultslist.h"
#include "settingsfile.h"
#include "statuspanels.h"
#include "toolbuttons.h"
#include "toolpictures.h"
#include "windowloadobserver.h"
#include "windowplace.h"
#include "wordlistcommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QTimer>

namespace korvel {

static const QString Product = QStringLiteral("  KORVEL   ");

// ---------------------------------------------------------------- start-up

MainWindow::MainWindow(Desktop& desktop, CompanionFactory companion, WindowTimings timings,
                       QWidget* parent)
    : QMainWindow(parent), desktop_(desktop), companion_(std::move(companion)), timings_(timings),
      indexes_(std::make_unique<WordIndexCache>(store_)), ui_(std::make_unique<MainWindowUi>()) {
    setObjectName(QStringLiteral("Form0g"));
    // Before the first settings object: a FIFO there would hang the start.
    if (const std::optional<QString> settings = boundSettingsFile())
        desktop_.messageBox(this, QStringLiteral("Settings"), *settings, MsgIcon::Exclamation,
                            MsgButtons::Ok);
    WindowHandlers& handlers = *this;
    ui_->setupUi(*this, handlers, timings_);
    MainWindowUi& u = *ui_;
    layout_ = std::make_unique<WindowLayout>(u.layoutControls());
    host_ = std::make_unique<WindowSearchHost>(
        desktop_, SearchHostControls{u.stb1, u.lists, u.peri, u.texta, nullptr, u.command},
        timings_.yieldMs);
    // The editor state hears of a change first: the picture is drawn whole
    // again before anything is drawn over it.
    doc_.addObserver(&editor_);
    view_ =
        std::make_unique<GridView>(GridViewContext{doc_, editor_, store_, enabled_, flags_, *host_,
                                                   desktop_, this, layout_->metrics(), *u.peri});
    connect(view_.get(), &GridView::pairSwitchRequested, this, [this] { switchPairedTool(); });
    search_ = std::make_unique<SearchCommands>(
        SearchCommandsContext{doc_, editor_, store_, enabled_, flags_, *host_, u, desktop_, this});
    fill_ = std::make_unique<FillCommands>(FillContext{
        doc_, editor_, *indexes_, enabled_, flags_, *host_, *u.stb1, *u.peri, layout_->metrics(),
        desktop_, this, [this](int16_t r, int16_t c, bool across) {
            // As a click on the cell with Search Across or Down.
            const QString key =
                QString::fromStdString(toolKey(across ? Tool::PromptAcross : Tool::PromptDown));
            selectTool(key);
            ui_->tools->setPressed(key);
            editor_.setCurrentCell(r, c);
            editor_.drag.x1 = editor_.drag.x2 = c;
            editor_.drag.y1 = editor_.drag.y2 = r;
            view_->Peri_Click();
        }});
    u.addMenuItems(fill_->addMenuItems(u.viewMenu, u.toolsMenu));
    connect(search_.get(), &SearchCommands::dictionariesChanged, fill_.get(),
            &FillCommands::dictionariesChanged);
    clues_ = std::make_unique<ClueCommands>(
        ClueContext{doc_, editor_, *u.peri, flags_, desktop_, this, store_.DictFolder});
    u.addMenuItems(
        clues_->addMenuItems(u.fileMenu, u.menuItem("sepEsporta"), u.viewMenu, u.toolsMenu));
    lists_ = std::make_unique<WordListCommands>(
        WordListContext{desktop_, this, store_, *indexes_, *fill_, doc_, *u.stb1, flags_, editor_,
                        [this] { return companion_ ? companion_() : CompanionCall{}; },
                        [this](DictionaryStore& loaded) { return installDictionaries(loaded); }});
    u.addMenuItems(lists_->addMenuItems(u.toolsMenu));
    FileWindow& fileWindow = *this;
    files_ = std::make_unique<FileCommands>(desktop_, doc_, fileWindow, this);
    export_ = std::make_unique<ExportCommands>(desktop_, doc_, this, *u.stb1);
    doc_.addObserver(this);
    qApp->installEventFilter(this);
    Form_Load();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    doc_.removeObserver(this);
    doc_.removeObserver(&editor_);
}

void MainWindow::documentChanged(const GridDocument& doc, const DocumentChange& change) {
    if (change.history)
        ui_->tools->showHistory(doc.history().undoEnabled(), doc.history().redoEnabled());
}

void MainWindow::Form_Load() {
    layout_->chooseScreenClass();
    WindowHandlers& handlers = *this;
    ui_->setupToolbar(handlers, layout_->im2());
    host_->setTestField(ui_->textb);
    word_ = std::make_unique<WordCommands>(desktop_, this, *host_, *ui_->tools);
    place_ = std::make_unique<WindowPlace>(*this);
    place_->showAtStart();
    ui_->tools->enableAll(false);
    setImageA(defaultPointer());
    setWindowTitle(Product);
    Estesa_click();
    editor_.setTool(Tool::Anagrams, "a9");
    flags_.BusyCounter = 0;
    doc_.edit([](DocumentEdit& e) { e.clearPriclk(); });
    layoutWindow();
    ui_->stb1->setText(2, QStringLiteral(" Wait ...") + QString(28, u' '));
    setCursor(Qt::WaitCursor);
    ui_->timer0->start();
    // A current directory without base.diz (a start from the desktop's menu)
    // falls back to the per-user or the installed dictionaries.
    if (store_.DictFolder.empty())
        store_.DictFolder = startupDictionaryFolder();
    std::string problem;
    const QString folder =
        QFile::decodeName(scratchDocumentFolder(store_.DictFolder, &problem).c_str());
    word_->setScratchDocument(folder + QStringLiteral("~ravor.doc"), std::move(problem));
}

void MainWindow::Timer2_Timer() {
    ui_->secCar->setVisible(true);
    ui_->secCar->setText(QString::number(ui_->secCar->text().toLongLong() + 1));
}

void MainWindow::Timer0_Timer() {
    ui_->timer0->stop();
    ui_->timer2->start();
    loading_ = true;

    // The loader starts the store afresh and completes the folder's name.
    const std::string folder = store_.DictFolder;

    const CompanionCall companion = companion_ ? companion_() : CompanionCall{};
    WindowLoadObserver observer(desktop_, this);
    // The loading passes every line through the same countdown as the
    // searches, so that most lines cost no clock read.
    const LoadResult result = loadDictionaries(
        store_, folder, companion, [this] { host_->lineTick(); }, observer);
    loading_ = false;
    if (result != LoadResult::Ok) {
        ui_->timer2->stop();
        ended_ = true;
        desktop_.endProcess(1);
        return;
    }

    enabled_.reset(store_);
    ui_->showDictionaries(enabled_);
    refreshDictPanels();
    lists_->dictionariesLoaded();

    ui_->stb1->setText(2, QStringLiteral(" Open a CROSSWORD from File menu or work with TEST and "
                                         "enabled buttons on its left "));
    ui_->enableFileMenu();
    ui_->timer2->stop();
    ui_->secCar->hide();
    ui_->label0->hide();
    unsetCursor();
    ui_->tools->button(Tool::Anagrams)->setEnabled(true);
    ui_->textb->setEnabled(true);
    ui_->picture1->show();
    if (!startFile_.isEmpty())
        files_->open(&startFile_);
}

// ---------------------------------------------------------------- dictionaries

bool MainWindow::installDictionaries(DictionaryStore& loaded) {
    // A search, a fill or the fill check reads the set in place.
    if (busy() || loading_ || !fill_->checkIdle())
        return false;
    store_ = std::move(loaded);
    enabled_.reset(store_);
    ui_->showDictionaries(enabled_);
    refreshDictPanels();
    // Results of the other set's words would place words it may not hold.
    host_->clearList();
    std::string problem;
    const QString folder =
        QFile::decodeName(scratchDocumentFolder(store_.DictFolder, &problem).c_str());
    word_->setScratchDocument(folder + QStringLiteral("~ravor.doc"), std::move(problem));
    return true;
}

// ---------------------------------------------------------------- toolbar

void MainWindow::Tlb1_ButtonClick(const QString& key) {
    if (busy()) {
        // The click toggled the button; the tool has not changed.
        ui_->tools->setPressed(CurrentToolKey());
        return;
    }
    selectTool(key);
}

void MainWindow::switchPairedTool() {
    // The pressed button decides: a new grid leaves the tool but no button
    // pressed, and then the click does nothing.
    if (const std::optional<Tool> pressed = ui_->tools->pressedTool())
        if (const std::optional<Tool> other = pairedTool(*pressed))
            selectTool(QString::fromStdString(toolKey(*other)));
}

void MainWindow::selectTool(const QString& key) {
    if (busy())
        return;
    for (int i : {2, 3, 4})
        ui_->stb1->setText(i, QStringLiteral(" "));
    host_->setHeadTailButtonsEnabled(false);
    host_->clearList();
    host_->setListHint("");
    ui_->stb1->setHint(2, QString());
    if (doc_.edit([](DocumentEdit& e) { return e.clearIfFull(); }))
        showHistoryBoxes(desktop_, this, false, true);

    bool anomaly = false;
    const std::optional<Tool> tool = toolOfKey(key.toStdString());
    const ToolTexts* texts = tool ? &toolTexts(*tool) : nullptr;
    if (tool && isGridTool(*tool)) {
        editor_.setTool(*tool, key.toStdString());
        setImageA(toolPointer(*tool));
        ui_->texta->setText(QString());
        ui_->stb1->setText(1, QString::fromLatin1(texts->panelText));
        ui_->stb1->setHint(1, QString::fromLatin1(texts->panelHint));
    } else if (tool == Tool::Undo || tool == Tool::Redo) {
        anomaly = view_->undoRedo(*tool);
    } else if (tool == Tool::Anagrams || tool == Tool::Thesaurus || tool == Tool::Spelling) {
        editor_.setTool(*tool, key.toStdString());
        ui_->stb1->setText(1, QString::fromLatin1(texts->panelText));
        if (tool == Tool::Anagrams)
            runAnagrams();
        else if (tool == Tool::Thesaurus)
            showThesaurus();
        else
            checkSpelling();
        setImageA(defaultPointer());
    }
    if (!anomaly)
        ui_->tools->setPressed(CurrentToolKey());
}

// ---------------------------------------------------------------- new layout

void MainWindow::menuNuovo_Click() {
    if (busy())
        return;
    const FileCommands::Replacement replacing = files_->settleBeforeReplacing();
    if (!replacing.allowed)
        return;
    GridDimensionsDialog dialog(desktop_, this);
    if (dialog.exec() != QDialog::Accepted) {
        files_->keepGivenUpChanges(replacing);
    } else {
        doc_.newGrid(static_cast<int16_t>(dialog.rows()), static_cast<int16_t>(dialog.columns()));
        NuovoSchema();
        setCaption(QStringLiteral("(new file)"));
        setSaveItems(false, true);
        Inizio();
    }
    host_->clearList();
    host_->setListHint("");
    ui_->texta->setText(QString());
    ui_->textb->setText(QString());
    files_->setOpenFolder(QFile::decodeName(store_.DictFolder.c_str()));
}

void MainWindow::NuovoSchema() {
    ui_->tools->releaseAll();
    if (doc_.grid().RowCount != 0 || doc_.grid().ColumnCount != 0) {
        rinfresca();
        setImageA(defaultPointer());
    }
}

void MainWindow::Inizio() {
    layoutWindow();
    ui_->menuItem(QStringLiteral("Numerare"))->setChecked(true);
    editor_.setNumbersShown(true);
    ui_->tools->enableGridTools();
    ui_->periArea->show();
    ui_->peri->show();
    layout_->sizePeri(doc_.grid().RowCount, doc_.grid().ColumnCount);
    layout_->fitLetters();
    if (ui_->menuItem(QStringLiteral("FitGrid"))->isChecked())
        layout_->fitToRoom(doc_.grid().RowCount, doc_.grid().ColumnCount);
    rinfresca();
    // The document emptied its history with the new or opened grid.
    ui_->tools->showHistory(false, false);
    ui_->stb1->setText(
        1, QStringLiteral(" To work into the Grid enable a corresponding top-Buttons "));
    for (int i : {2, 3, 4})
        ui_->stb1->setText(i, QStringLiteral(" "));
}

// ---------------------------------------------------------------- display

void MainWindow::Numerare_Click() {
    if (busy())
        return;
    QAction* numerare = ui_->menuItem(QStringLiteral("Numerare"));
    numerare->setChecked(!numerare->isChecked());
    // The numbers printed again in their new colour, over what is there.
    editor_.drawNumbers(numerare->isChecked());
}

void MainWindow::zoom(double factor) {
    ui_->menuItem(QStringLiteral("FitGrid"))->setChecked(false);
    if (layout_->zoom(factor, doc_.grid().RowCount, doc_.grid().ColumnCount))
        rinfresca();
}

void MainWindow::FitGrid_Click() {
    QAction* fit = ui_->menuItem(QStringLiteral("FitGrid"));
    fit->setChecked(!fit->isChecked());
    if (fit->isChecked() && layout_->fitToRoom(doc_.grid().RowCount, doc_.grid().ColumnCount))
        rinfresca();
}

void MainWindow::Originali_click() {
    ui_->menuItem(QStringLiteral("FitGrid"))->setChecked(false);
    if (layout_->original(doc_.grid().RowCount, doc_.grid().ColumnCount))
        rinfresca();
}

bool MainWindow::Form_KeyDown(int keyCode, int shift) {
    if (shift != CtrlKey)
        return false;
    switch (keyCode) {
    case KeyCode::Digit0:
    case KeyCode::Keypad0:
        Originali_click();
        return true;
    case KeyCode::Plus:
    case KeyCode::KeypadPlus:
        Ingrandisci_Click();
        return true;
    case KeyCode::Minus:
    case KeyCode::KeypadMinus:
        Riduci_Click();
        return true;
    default:
        return false;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && ui_->clientArea &&
        watched == ui_->clientArea->viewport() && !doc_.grid().isEmpty()) {
        if (ui_->menuItem(QStringLiteral("FitGrid"))->isChecked() &&
            layout_->fitToRoom(doc_.grid().RowCount, doc_.grid().ColumnCount))
            rinfresca();
        else
            layout_->fitClientArea();
    }
    // The window sees keys before the focused control does.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (Form_KeyDown(classicKeyCode(key->key(), key->modifiers()),
                         classicShift(key->modifiers())))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- files

void MainWindow::setCaption(const QString& tail) {
    setWindowTitle(Product + tail);
}

void MainWindow::setImageA(const QCursor& picture) {
    host_->setToolPointer(picture);
    view_->setToolPointer(picture);
    ui_->peri->setCursor(picture);
}

void MainWindow::documentSaved() {
    clues_->puzzleSaved();
}

void MainWindow::releaseTools() {
    ui_->tools->releaseAll();
}

void MainWindow::gridOpened() {
    Inizio();
    setCaption(CurrentFile());
    setSaveItems(true, true);
    host_->clearList();
    host_->setListHint("");
    ui_->texta->setText(QString());
    ui_->textb->setText(QString());
    editor_.setTool(Tool::Anagrams, "a9");
    setImageA(defaultPointer());
}

void MainWindow::setSaveItems(bool save, bool saveAs) {
    ui_->setSaveItems(save, saveAs, hasGrid());
}

void MainWindow::showNotice(const QString& text) {
    ui_->stb1->setText(3, text);
}

void MainWindow::menuEsci_Click() {
    if (busy())
        return;
    if (settleUnsavedChanges())
        esciFine();
}

void MainWindow::Form_Unload(int16_t& Cancel) {
    if (busy()) {
        Cancel = 1;
        return;
    }
    if (!settleUnsavedChanges())
        Cancel = 1;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    int16_t Cancel = 0;
    Form_Unload(Cancel);
    if (Cancel) {
        event->ignore();
        return;
    }
    event->accept();
    // Closed while the dictionaries load: the loading would only go on for a
    // window that is gone, so the process ends with its last window now.
    if (loading_) {
        ended_ = true;
        desktop_.endProcess(0);
    }
}

void MainWindow::esciFine() {
    ui_->peri->setCursor(Qt::WaitCursor);
    ui_->lists->setCursor(Qt::WaitCursor);
    chiudiword();
    place_->save();
    ended_ = true;
    desktop_.endProcess(0);
}

} // namespace korvel
