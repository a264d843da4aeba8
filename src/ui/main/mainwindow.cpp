// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "aboutbox.h"
#include "bytetext.h"
#include "cluecommands.h"
#include "datafolders.h"
#include "desktop.h"
#include "dictviewer.h"
#include "exportprint.h"
#include "fillcommands.h"
#include "gridcanvas.h"
#include "griddimensionsdialog.h"
#include "gridpainter.h"
#include "helpcommands.h"
#include "keycodes.h"
#include "refinements.h"
#include "resultslist.h"
#include "settingsfile.h"
#include "statuspanels.h"
#include "toolbuttons.h"
#include "toolpictures.h"
#include "windowloadobserver.h"
#include "windowplace.h"
#include "wordcommands.h"
#include "wordlistcommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTimer>

namespace korvel {

namespace {

const QString Product = QStringLiteral("  KORVEL   ");

} // namespace

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
    imageV_ = defaultPointer();
    imageA_ = imageV_;
    WindowHandlers& handlers = *this;
    ui_->setupUi(*this, handlers, timings_);
    MainWindowUi& u = *ui_;
    layout_ = std::make_unique<WindowLayout>(u.layoutControls());
    painter_ = std::make_unique<GridPainter>(*u.peri);
    host_ = std::make_unique<WindowSearchHost>(
        desktop_,
        SearchHostControls{u.stb1, u.lists, u.peri, u.texta, nullptr, u.command,
                           [this] { rinfresca(); }, [this] { drawSelection(); },
                           [this] { drawGreenBox(); }},
        timings_.yieldMs);
    fill_ = std::make_unique<FillCommands>(
        FillContext{doc_, *indexes_, enabled_, flags_, scanDepth_, *host_, *u.stb1, *u.peri,
                    layout_->metrics(), desktop_, this, [this](const EditShown& s) { showEdit(s); },
                    [this] { return lastSelection_; }, [this] { return currentTool_; }});
    u.addMenuItems(fill_->addMenuItems(u.viewMenu, u.toolsMenu));
    clues_ = std::make_unique<ClueCommands>(ClueContext{
        doc_, this, [this](const EditShown& s) { showEdit(s); },
        [this](int16_t r, int16_t c) { layout_->showCell(r, c); }, [this] { return busy(); }});
    u.addMenuItems(clues_->addMenuItems(u.fileMenu, u.menuItem("sepEsporta"), u.viewMenu));
    lists_ = std::make_unique<WordListCommands>(WordListContext{
        desktop_, this, store_, *indexes_, *fill_, doc_, *u.stb1, [this] { return busy(); },
        [this] { return lastSelection_; }, [this] { return currentTool_; },
        [this] { return std::pair<int, int>(currentRow_, currentColumn_); }});
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
}

void MainWindow::documentChanged(const GridDocument&, const DocumentChange& change) {
    if ((change.cells.empty() && !change.reset) || gridDirty_)
        return;
    gridDirty_ = true;
    // The handler that made the change repaints at its end (showEdit); a
    // change made anywhere else is painted once the event loop comes round.
    QTimer::singleShot(0, this, [this] {
        if (gridDirty_)
            rinfresca();
    });
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
    setImageA(imageV_);
    setWindowTitle(Product);
    Estesa_click();
    currentToolKey_ = QStringLiteral("a9");
    currentTool_ = Tool::Anagrams;
    flags_.BusyCounter = 0;
    doc_.clearPriclk();
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

void MainWindow::refreshDictPanels() {
    ui_->refreshDictionaries(enabled_);
}

void MainWindow::dictionaryItemClick(int n) {
    if (enabled_.click(n) == EnabledSet::Click::Refused)
        desktop_.messageBox(this, fromBytes(EnabledSet::BaseRefusalTitle),
                            fromBytes(EnabledSet::BaseRefusalText), MsgIcon::None, MsgButtons::Ok);
    // Also after a refusal: the item's check mark shows the set again.
    refreshDictPanels();
    // The fill check follows the dictionaries as well as the grid.
    if (fill_)
        fill_->dictionariesChanged();
}

void MainWindow::Stb1_PanelClick(int index) {
    switch (panelClickAction(index)) {
    case PanelClick::Abort:
        if (busy())
            flags_.abortRequest = 1;
        break;
    case PanelClick::ToggleExtended:
        Estesa_click();
        break;
    case PanelClick::Dictionary:
        dictionaryItemClick(index - 10);
        break;
    case PanelClick::None:
        break;
    }
}

void MainWindow::Estesa_click() {
    QAction* estesa = ui_->menuItem(QStringLiteral("Estesa"));
    if (!busy())
        estesa->setChecked(!estesa->isChecked());
    flags_.Estesa = estesa->isChecked();
    ui_->stb1->setPanelVisible(7, !flags_.Estesa);
    ui_->stb1->setPanelVisible(8, flags_.Estesa);
}

void MainWindow::Accorcia_Click() {
    QAction* accorcia = ui_->menuItem(QStringLiteral("Accorcia"));
    if (!busy())
        accorcia->setChecked(!accorcia->isChecked());
    flags_.Accorcia = accorcia->isChecked();
}

void MainWindow::ResErr_Click() {
    SearchContext ctx = searchContext();
    resetSearch(ctx);
    // A scan still running under this handler would go on filling the list
    // it has just emptied, and a search started meanwhile would run inside
    // it: it is asked to stop at its next line instead.
    if (scanDepth_ > 0)
        flags_.abortRequest = 1;
}

// ---------------------------------------------------------------- toolbar

void MainWindow::Tlb1_ButtonClick(const QString& key) {
    if (busy()) {
        // The click toggled the button; the tool has not changed.
        setPressedTools(currentToolKey_);
        return;
    }
    selectTool(key);
}

void MainWindow::setPressedTools(const QString& key) {
    ui_->tools->setPressed(key);
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
        showHistoryCleared();

    bool anomaly = false;
    const std::optional<Tool> tool = toolOfKey(key.toStdString());
    const ToolTexts* texts = tool ? &toolTexts(*tool) : nullptr;
    if (tool && isGridTool(*tool)) {
        currentToolKey_ = key;
        currentTool_ = *tool;
        setImageA(toolPointer(currentTool_));
        ui_->texta->setText(QString());
        ui_->stb1->setText(1, QString::fromLatin1(texts->panelText));
        ui_->stb1->setHint(1, QString::fromLatin1(texts->panelHint));
    } else if (tool == Tool::Undo || tool == Tool::Redo) {
        // A bulk change (a fill) is taken back or put back whole.
        const RestoreResult r = doc_.edit([&](DocumentEdit& e) {
            return tool == Tool::Undo ? e.undo(currentRow_, currentColumn_)
                                      : e.redo(currentRow_, currentColumn_);
        });
        doc_.clearPriclk();
        anomaly = r.anomaly;
        if (!r.anomaly) {
            ui_->stb1->setText(2, fromBytes(r.statusText));
            ui_->stb1->setText(3, QStringLiteral(" "));
            ui_->stb1->setText(4, QStringLiteral(" "));
        }
        EditShown shown;
        shown.anomaly = r.anomaly;
        const RestoredCells& cells = doc_.history().restored();
        for (int16_t i = 0; i < cells.count; ++i)
            shown.boxes.push_back({cells.columns[i], cells.rows[i], 1, 1});
        if (r.bulk && !r.anomaly && r.box.LAX > 0)
            shown.boxes.push_back(r.box);
        showEdit(shown);
    } else if (tool == Tool::Anagrams || tool == Tool::Thesaurus || tool == Tool::Spelling) {
        currentToolKey_ = key;
        currentTool_ = *tool;
        ui_->stb1->setText(1, QString::fromLatin1(texts->panelText));
        if (tool == Tool::Anagrams)
            runAnagrams();
        else if (tool == Tool::Thesaurus)
            showThesaurus();
        else
            checkSpelling();
        setImageA(imageV_);
    }
    if (!anomaly)
        setPressedTools(currentToolKey_);
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
        setImageA(imageV_);
    }
}

void MainWindow::Inizio() {
    layoutWindow();
    ui_->menuItem(QStringLiteral("Numerare"))->setChecked(true);
    ui_->tools->enableGridTools();
    ui_->periArea->show();
    ui_->peri->show();
    sizePeri();
    layout_->fitLetters();
    rinfresca();
    // The document emptied its history with the new or opened grid.
    ui_->tools->showHistory(false, false);
    ui_->stb1->setText(
        1, QStringLiteral(" To work into the Grid enable a corresponding top-Buttons "));
    for (int i : {2, 3, 4})
        ui_->stb1->setText(i, QStringLiteral(" "));
}

// ---------------------------------------------------------------- display

void MainWindow::rinfresca() {
    if (doc_.grid().isEmpty())
        return;
    gridDirty_ = false;
    painter_->paintCells(doc_.grid(), layout_->metrics());
    painter_->paintCircles(doc_.grid(), doc_.circles());
    drawNumbers();
    // The fill items follow the grid.
    if (fill_)
        fill_->updateMenu();
}

void MainWindow::drawNumbers() {
    if (doc_.grid().isEmpty())
        return;
    painter_->paintNumbers(doc_.grid(), doc_.wordSlots(), layout_->metrics(),
                           ui_->menuItem(QStringLiteral("Numerare"))->isChecked());
}

void MainWindow::drawSelection() {
    if (doc_.grid().isEmpty())
        return;
    painter_->drawSelectionBox(selection_, GridPainter::Red);
    ui_->peri->update();
    lastSelection_ = selection_;
}

void MainWindow::drawGreenBox() {
    if (doc_.grid().isEmpty())
        return;
    painter_->drawSelectionBox(selection_, GridPainter::Green);
}

void MainWindow::Numerare_Click() {
    if (busy())
        return;
    QAction* numerare = ui_->menuItem(QStringLiteral("Numerare"));
    numerare->setChecked(!numerare->isChecked());
    drawNumbers();
}

void MainWindow::zoom(double factor) {
    if (layout_->zoom(factor, doc_.grid().RowCount, doc_.grid().ColumnCount))
        rinfresca();
}

void MainWindow::Originali_click() {
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
        watched == ui_->clientArea->viewport() && !doc_.grid().isEmpty())
        layout_->fitClientArea();
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
    imageA_ = picture;
    host_->setToolPointer(imageA_);
    ui_->peri->setCursor(imageA_);
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
    currentToolKey_ = QStringLiteral("a9");
    currentTool_ = Tool::Anagrams;
    setImageA(imageV_);
}

void MainWindow::setSaveItems(bool save, bool saveAs) {
    ui_->setSaveItems(save, saveAs, hasGrid());
}

void MainWindow::showNotice(const QString& text) {
    ui_->stb1->setText(3, text);
}

void MainWindow::Esporta_Click() {
    if (!busy() && !doc_.grid().isEmpty())
        export_->exportAs();
}

void MainWindow::Stampa_Click() {
    if (!busy() && !doc_.grid().isEmpty())
        export_->print();
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

// ---------------------------------------------------------------- word functions

void MainWindow::FunWord_click() {
    if (busy())
        return;
    QAction* funWord = ui_->menuItem(QStringLiteral("FunWord"));
    funWord->setChecked(!funWord->isChecked());
    if (funWord->isChecked())
        openWordConnection();
    else
        chiudiword();
}

void MainWindow::Indirdiz_Click() {
    DictionaryViewer viewer(store_, this);
    viewer.exec();
}

// ---------------------------------------------------------------- help

void MainWindow::Copyright_Click() {
    if (busy())
        return;
    AboutBox box(this);
    box.exec();
}

QAction* MainWindow::toolButton(const QString& key) const {
    return ui_->tools->button(key);
}

bool MainWindow::isPanelEnabled(int panel) const {
    return ui_->stb1->isPanelEnabled(panel);
}

} // namespace korvel
