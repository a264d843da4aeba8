// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls, menus and toolbar: what a form designer would
// generate. Every handler they call is the window's.

#include "mainwindowui.h"

#include "enabledset.h"
#include "gridcanvas.h"
#include "keycodes.h"
#include "recentfiles.h"
#include "resultslist.h"
#include "statuspanels.h"
#include "toolbuttons.h"
#include "toolpictures.h"
#include "windowhandlers.h"
#include "windowlayout.h"
#include "windowtimings.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <utility>

namespace korvel {

MainWindowUi::MainWindowUi() = default;
MainWindowUi::~MainWindowUi() = default;

void MainWindowUi::setupUi(QMainWindow& form, WindowHandlers& w, const WindowTimings& timings) {
    buildMenus(form, w);
    buildControls(form, w, timings);
}

LayoutControls MainWindowUi::layoutControls() const {
    LayoutControls placed{clientArea, central, periArea, peri,   lists,
                          label0,     secCar,  label1,   label3, texta};
    std::copy(std::begin(command), std::end(command), placed.command);
    return placed;
}

void MainWindowUi::showDictionaries(const EnabledSet& enabled) {
    for (int j = 1; j <= SearchedDictionaries; ++j) {
        QAction* d = menuItem(QStringLiteral("d%1").arg(j));
        d->setText(QFile::decodeName(enabled.caption(j).c_str()));
        // Item 1 stays in the menu, as designed.
        d->setVisible(j == 1 || enabled.exists(j));
        stb1->setPanelVisible(j + 10, j == 1 || enabled.exists(j));
    }
}

void MainWindowUi::refreshDictionaries(const EnabledSet& enabled) {
    for (int n = 1; n <= SearchedDictionaries; ++n) {
        menuItem(QStringLiteral("d%1").arg(n))->setChecked(enabled.isChecked(n));
        stb1->setPanelEnabled(n + 10, enabled.isPanelEnabled(n));
        stb1->setHint(n + 10, QFile::decodeName(enabled.panelHint(n).c_str()));
    }
}

void MainWindowUi::addMenuItems(const QList<QAction*>& actions) {
    for (QAction* a : actions)
        menuItems.insert(a->objectName(), a);
}

void MainWindowUi::enableFileMenu() {
    fileMenu->menuAction()->setEnabled(true);
    const std::pair<const char*, QKeySequence> keys[] = {
        {"menuNuovo", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"menuApri", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"Salva", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"Salvacome", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"Stampa", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"menuEsci", QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const auto& [name, key] : keys)
        menuItem(QString::fromLatin1(name))->setShortcut(key);
}

void MainWindowUi::setSaveItems(bool save, bool saveAs, bool grid) {
    menuItem(QStringLiteral("Salva"))->setEnabled(save);
    menuItem(QStringLiteral("Salvacome"))->setEnabled(saveAs);
    // Kept up to date outside the menu too, so that Ctrl+P reaches Print.
    menuItem(QStringLiteral("Esporta"))->setEnabled(grid);
    menuItem(QStringLiteral("Stampa"))->setEnabled(grid);
}

QAction* MainWindowUi::addMenuItem(QMenu* menu, const QString& name, const QString& caption) {
    auto* action = menu->addAction(caption);
    action->setObjectName(name);
    menuItems.insert(name, action);
    return action;
}

void MainWindowUi::addSeparator(QMenu* menu, const QString& name) {
    QAction* sep = menu->addSeparator();
    sep->setObjectName(name);
    menuItems.insert(name, sep);
}

void MainWindowUi::buildMenus(QMainWindow& form, WindowHandlers& w) {
    // A checkable item's handler inverts the check itself (or refuses to), so
    // the toggle Qt makes on a click is taken back first.
    auto handle = [&form](QAction* action, std::function<void()> handler) {
        QObject::connect(action, &QAction::triggered, &form, [action, handler] {
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            handler();
        });
    };

    fileMenu = form.menuBar()->addMenu(QStringLiteral("File"));
    fileMenu->setObjectName(QStringLiteral("File"));
    fileMenu->menuAction()->setObjectName(QStringLiteral("FileMenu"));
    fileMenu->menuAction()->setEnabled(false);
    handle(addMenuItem(fileMenu, QStringLiteral("menuNuovo"), QStringLiteral("New...")),
           [&w] { w.menuNuovo_Click(); });
    handle(addMenuItem(fileMenu, QStringLiteral("menuApri"), QStringLiteral("Open...")),
           [&w] { w.menuApri_Click(); });
    QAction* salva = addMenuItem(fileMenu, QStringLiteral("Salva"), QStringLiteral("Save"));
    salva->setEnabled(false);
    handle(salva, [&w] { w.Salva_Click(); });
    QAction* salvacome =
        addMenuItem(fileMenu, QStringLiteral("Salvacome"), QStringLiteral("Save as..."));
    salvacome->setEnabled(false);
    handle(salvacome, [&w] { w.Salvacome_Click(); });
    // Export and print come after the file items; they need a grid.
    addSeparator(fileMenu, QStringLiteral("sepEsporta"));
    recent = new RecentMenu(*fileMenu, salvacome,
                            [&w](const QString& file) { w.openRecent(file); });
    QAction* esporta = addMenuItem(fileMenu, QStringLiteral("Esporta"), QStringLiteral("Export"));
    handle(esporta, [&w] { w.Esporta_Click(); });
    QAction* stampa = addMenuItem(fileMenu, QStringLiteral("Stampa"), QStringLiteral("Print..."));
    handle(stampa, [&w] { w.Stampa_Click(); });
    esporta->setEnabled(false);
    stampa->setEnabled(false);
    QObject::connect(fileMenu, &QMenu::aboutToShow, &form, [&w, esporta, stampa] {
        esporta->setEnabled(w.hasGrid());
        stampa->setEnabled(w.hasGrid());
    });
    addSeparator(fileMenu, QStringLiteral("sep00"));
    handle(addMenuItem(fileMenu, QStringLiteral("menuEsci"), QStringLiteral("Exit")),
           [&w] { w.menuEsci_Click(); });

    viewMenu = form.menuBar()->addMenu(QStringLiteral("View"));
    viewMenu->setObjectName(QStringLiteral("Visualizza"));
    QAction* numerare =
        addMenuItem(viewMenu, QStringLiteral("Numerare"), QStringLiteral("Show Clue Numbers"));
    numerare->setCheckable(true);
    numerare->setChecked(true);
    handle(numerare, [&w] { w.Numerare_Click(); });
    addSeparator(viewMenu, QStringLiteral("SepW"));
    handle(addMenuItem(viewMenu, QStringLiteral("Riduci"),
                       QStringLiteral("Shrink the Grid") + QString(22, u' ') +
                           QStringLiteral("Ctrl -")),
           [&w] { w.Riduci_Click(); });
    handle(addMenuItem(viewMenu, QStringLiteral("Ingrandisci"),
                       QStringLiteral("Enlarge the Grid") + QString(20, u' ') +
                           QStringLiteral("Ctrl +")),
           [&w] { w.Ingrandisci_Click(); });
    handle(addMenuItem(viewMenu, QStringLiteral("Originali"),
                       QStringLiteral("Original Grid dimensions") + QString(8, u' ') +
                           QStringLiteral("Ctrl 0")),
           [&w] { w.Originali_click(); });

    toolsMenu = form.menuBar()->addMenu(QStringLiteral("Tools"));
    toolsMenu->setObjectName(QStringLiteral("Strumenti"));
    QAction* accorcia =
        addMenuItem(toolsMenu, QStringLiteral("Accorcia"), QStringLiteral("Free Cue"));
    accorcia->setCheckable(true);
    accorcia->setChecked(true);
    handle(accorcia, [&w] { w.Accorcia_Click(); });
    QAction* estesa =
        addMenuItem(toolsMenu, QStringLiteral("Estesa"), QStringLiteral("Extended Search"));
    estesa->setCheckable(true);
    estesa->setChecked(true);
    handle(estesa, [&w] { w.Estesa_click(); });
    handle(addMenuItem(toolsMenu, QStringLiteral("ResErr"), QStringLiteral("Search Reset")),
           [&w] { w.ResErr_Click(); });
    addSeparator(toolsMenu, QStringLiteral("sep4"));
    QMenu* dizper = toolsMenu->addMenu(QStringLiteral("Dictionaries"));
    dizper->setObjectName(QStringLiteral("Dizper"));
    QMenu* attivadiz = dizper->addMenu(QStringLiteral("Enable/Disable"));
    attivadiz->setObjectName(QStringLiteral("Attivadiz"));
    for (int n = 1; n <= SearchedDictionaries; ++n) {
        QAction* d =
            addMenuItem(attivadiz, QStringLiteral("d%1").arg(n), QStringLiteral("%1-").arg(n));
        d->setCheckable(true);
        d->setVisible(n == 1);
        handle(d, [&w, n] { w.dictionaryItemClick(n); });
    }
    handle(addMenuItem(dizper, QStringLiteral("Indirdiz"), QStringLiteral("see content...")),
           [&w] { w.Indirdiz_Click(); });
    addSeparator(toolsMenu, QStringLiteral("Sep5"));
    QAction* funWord = addMenuItem(toolsMenu, QStringLiteral("FunWord"),
                                   QStringLiteral("Enable MS Word functions"));
    funWord->setCheckable(true);
    funWord->setChecked(false);
    handle(funWord, [&w] { w.FunWord_click(); });

    QMenu* help = form.menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("menuAiuto"));
    QAction* f1 = addMenuItem(help, QStringLiteral("AiutoF1"), QStringLiteral("On line Help"));
    f1->setShortcut(QKeySequence(Qt::Key_F1));
    f1->setShortcutContext(Qt::WindowShortcut);
    handle(f1, [&w] { w.AiutoF1_Click(); });
    handle(addMenuItem(help, QStringLiteral("AiutoQuick"), QStringLiteral("Quick Instructions")),
           [&w] { w.AiutoQuick_Click(); });
    handle(addMenuItem(help, QStringLiteral("Copyright"), QStringLiteral("Copyright")),
           [&w] { w.Copyright_Click(); });
}

void MainWindowUi::buildControls(QMainWindow& form, WindowHandlers& w,
                                 const WindowTimings& timings) {
    // The client area keeps the layout's proportions of the screen; where a
    // smaller window cannot show all of it, it scrolls.
    clientArea = new QScrollArea(&form);
    clientArea->setObjectName(QStringLiteral("Form0gScroll"));
    clientArea->setFrameShape(QFrame::NoFrame);
    clientArea->setWidgetResizable(true);
    central = new QWidget;
    central->setObjectName(QStringLiteral("Form0gClient"));
    clientArea->setWidget(central);
    form.setCentralWidget(clientArea);

    tlb1 = new QToolBar(&form);
    tlb1->setObjectName(QStringLiteral("Tlb1"));
    tlb1->setMovable(false);
    tlb1->setFloatable(false);
    tlb1->setContextMenuPolicy(Qt::PreventContextMenu);
    form.addToolBar(Qt::TopToolBarArea, tlb1);
    toolGroup = new QActionGroup(&form);
    toolGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    tools = std::make_unique<ToolButtons>(*tlb1, *toolGroup);

    stb1 = new StatusPanels(&form);
    form.setStatusBar(stb1);
    stb1->setText(1, QStringLiteral("      WELCOME !"));
    stb1->setHint(1, QStringLiteral("      WELCOME !"));
    const QString welcome2 =
        QStringLiteral("  Open a Crossword from File menu or work with TEST functions ");
    stb1->setText(2, welcome2);
    stb1->setHint(2, welcome2);
    stb1->setText(3, QStringLiteral(" "));
    stb1->setText(4, QStringLiteral(" "));
    for (int i : {7, 8}) {
        stb1->setText(i, QStringLiteral("Src.  "));
        stb1->setHint(i, QStringLiteral("Standard/Extended search"));
    }
    // Extended Search is ticked at design: its panel shows, the standard one not.
    stb1->panel(8)->setBevel(StatusPanel::Bevel::Raised);
    stb1->setPanelVisible(7, false);
    for (int n = 1; n <= SearchedDictionaries; ++n) {
        stb1->setText(n + 10, QStringLiteral("D%1").arg(n));
        stb1->setHint(n + 10, QStringLiteral("Enable/Disable"));
    }
    QObject::connect(stb1, &StatusPanels::panelClicked, &form,
                     [&w](int index) { w.Stb1_PanelClick(index); });

    // The grid picture keeps its size in its own scrolling area, which ends
    // at the client area's edges: a grid larger than the room left for it
    // scrolls, every cell within reach.
    periArea = new QScrollArea(central);
    periArea->setObjectName(QStringLiteral("PeriScroll"));
    periArea->setFrameShape(QFrame::NoFrame);
    periArea->setWidgetResizable(false);
    periArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    peri = new GridCanvas;
    periArea->setWidget(peri);
    peri->hide();
    periArea->hide();

    lists = new ResultsList(central);
    lists->setListingTest([&w] { return w.busy(); });
    // Design position: where the layout puts it, so that the first layout
    // gives it the same height as every later one.
    lists->move(0, twipsToPixels(screenHeightTw() * 0.19));

    label0 = new QLabel(QStringLiteral(" Wait until the dictionaries are loaded ..."), central);
    label0->setObjectName(QStringLiteral("Label0"));
    label0->adjustSize();
    secCar = new QLabel(QStringLiteral("0"), central);
    secCar->setObjectName(QStringLiteral("SecCar"));
    secCar->setMinimumWidth(twipsToPixels(600));
    secCar->hide();
    label1 = new QLabel(QStringLiteral("SEARCH    SUBJECT"), central);
    label1->setObjectName(QStringLiteral("Label1"));
    label3 = new QLabel(QStringLiteral("SEARCH  RESULTS"), central);
    label3->setObjectName(QStringLiteral("Label3"));
    texta = new QLabel(central);
    texta->setObjectName(QStringLiteral("texta"));
    texta->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    texta->setTextFormat(Qt::PlainText);
    QFont pattern(QStringLiteral("Courier New"));
    pattern.setBold(true);
    texta->setFont(pattern);
    const char* captions[] = {"", "Free HEAD", "Trim HEAD", "Trim CUE", "Free CUE"};
    for (int i = 1; i <= 4; ++i) {
        command[i] = new QPushButton(QString::fromLatin1(captions[i]), central);
        command[i]->setObjectName(QStringLiteral("Command%1").arg(i));
        command[i]->setEnabled(false);
    }
    // Design widths: the labels fit their captions in the wider of their fonts.
    for (QLabel* label : {label1, label3}) {
        label->setFont(QFont(QStringLiteral("MS Sans Serif")));
        label->adjustSize();
        label->resize(label->width() + twipsToPixels(60), label->height());
    }
    for (int i = 1; i <= 4; ++i)
        command[i]->resize(twipsToPixels(1100), twipsToPixels(375));
    texta->resize(twipsToPixels(4400), twipsToPixels(375));

    timer0 = new QTimer(&form);
    timer0->setObjectName(QStringLiteral("Timer0"));
    timer0->setSingleShot(true);
    timer0->setInterval(timings.timer0Ms);
    QObject::connect(timer0, &QTimer::timeout, &form, [&w] { w.Timer0_Timer(); });
    timer2 = new QTimer(&form);
    timer2->setObjectName(QStringLiteral("Timer2"));
    timer2->setInterval(timings.timer2Ms);
    QObject::connect(timer2, &QTimer::timeout, &form, [&w] { w.Timer2_Timer(); });

    QObject::connect(lists, &QListView::clicked, &form, [&w] { w.Lists_Click(); });
    QObject::connect(lists, &ResultsList::chosenByKey, &form, [&w] { w.Lists_Click(); });
    QObject::connect(command[1], &QPushButton::clicked, &form, [&w] { w.Command1_Click(); });
    QObject::connect(command[2], &QPushButton::clicked, &form, [&w] { w.Command2_Click(); });
    QObject::connect(command[3], &QPushButton::clicked, &form, [&w] { w.Command3_Click(); });
    QObject::connect(command[4], &QPushButton::clicked, &form, [&w] { w.Command4_Click(); });
}

void MainWindowUi::setupToolbar(WindowHandlers& w, bool smallPictures) {
    const int iconSide = smallPictures ? 16 : 24;
    tlb1->setIconSize(QSize(iconSide, iconSide));
    const int placeholderHeight = iconSide + 10;

    auto addButton = [this, &w, smallPictures](Tool tool) {
        tools->add(tool, smallPictures, [&w](const QString& key) { w.Tlb1_ButtonClick(key); });
    };
    auto addPlaceholder = [this, placeholderHeight](const QString& name, int widthTw) {
        auto* holder = new QWidget(tlb1);
        holder->setObjectName(name);
        holder->setFixedSize(twipsToPixels(widthTw), placeholderHeight);
        tlb1->addWidget(holder);
        return holder;
    };

    tlb1->addSeparator();
    for (Tool t : {Tool::Anagrams, Tool::Thesaurus, Tool::Spelling, Tool::NotAvailable})
        addButton(t);
    tlb1->addSeparator();
    QWidget* pictureHolder = addPlaceholder(QStringLiteral("picture1"), 500);
    picture1 = new QLabel(pictureHolder);
    picture1->setObjectName(QStringLiteral("Picture1"));
    picture1->setPixmap(
        testPicture(pictureHolder->width(), placeholderHeight - twipsToPixels(100)));
    picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture1->hide();
    {
        const int top = smallPictures ? -twipsToPixels(30) : twipsToPixels(50);
        picture1->setGeometry(0, top, pictureHolder->width(), placeholderHeight);
    }

    QWidget* textHolder = addPlaceholder(QStringLiteral("textbHolder"), 2000);
    textb = new QLineEdit(textHolder);
    textb->setObjectName(QStringLiteral("textb"));
    textb->setEnabled(false);
    if (smallPictures)
        textb->setGeometry(0, 0, textHolder->width(), static_cast<int>(0.9 * placeholderHeight));
    else
        textb->setGeometry(0, twipsToPixels(150), textHolder->width(), textb->sizeHint().height());
    textHolder->setFixedHeight(std::max(placeholderHeight, textb->geometry().bottom() + 1));

    addPlaceholder(QStringLiteral("spacer"), 700);
    for (Tool t : {Tool::BlackWhite, Tool::WriteAcross, Tool::WriteDown, Tool::ClearCell,
                   Tool::PromptAcross, Tool::PromptDown, Tool::PromptCross})
        addButton(t);
    tlb1->addSeparator();
    addButton(Tool::Undo);
    addButton(Tool::Redo);
    tlb1->addSeparator();
    // The editors' keys for Undo and Redo. A text field that has the focus
    // keeps them for its own text.
    tools->button(Tool::Undo)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    tools->button(Tool::Redo)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
}

} // namespace korvel
