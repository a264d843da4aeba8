#include "mainwindow.h"

#include "aboutbox.h"
#include "bytetext.h"
#include "datafolders.h"
#include "desktop.h"
#include "fillcommands.h"
#include "gridcanvas.h"
#include "griddimensionsdialog.h"
#include "gridpainter.h"
#include "keycodes.h"
#include "kvlfile.h"
#include "loader.h"
#include "refinements.h"
#include "resultslist.h"
#include "statuspanels.h"
#include "toolbuttons.h"
#include "toolpictures.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <optional>

#ifndef KORVEL_HELP_DIR
#define KORVEL_HELP_DIR "../help"
#endif

namespace korvel {

namespace {

const QString Product = QStringLiteral("  KORVEL   ");

const char* const ShortcutLines[] = {
    "Mouse left-click     = Select Row or Column",
    "Mouse right-click   = Switch between Across/Down",
    "Mouse left-drag    = Select those Cells (Across or Down)",
    "Ctrl +                    = Increase Grid size +10%",
    "Ctrl -                      = Reduce Grid size -10%",
    "Ctrl 0                     = Reset original Grid size",
    "F1                          = Show online Help",
};

// What the loader has to say goes to message boxes over the window.
class WindowLoadObserver : public LoadObserver {
public:
    WindowLoadObserver(Desktop& desktop, QWidget* owner) : desktop_(desktop), owner_(owner) {}
    void outOfSequence(const std::string& message) override {
        desktop_.messageBox(owner_, fromBytes(OutOfSequenceTitle), fromBytes(message),
                            MsgIcon::None, MsgButtons::Ok);
    }
    void warning(const std::string& message) override {
        desktop_.messageBox(owner_, fromBytes(OutOfSequenceTitle), fromBytes(message),
                            MsgIcon::Exclamation, MsgButtons::Ok);
    }
    void fatal(const std::string& title, const std::string& message) override {
        desktop_.messageBox(owner_, fromBytes(title), fromBytes(message), MsgIcon::Critical,
                            MsgButtons::Ok);
    }
    // The box keeps its fixed text; the file and the cause go to its details.
    void fatalWithDetail(const std::string& title, const std::string& message,
                         const std::string& detail) override {
        desktop_.messageBoxWithDetail(owner_, fromBytes(title), fromBytes(message),
                                      fromBytes(detail), MsgIcon::Critical, MsgButtons::Ok);
    }

private:
    Desktop& desktop_;
    QWidget* owner_;
};

} // namespace

// ---------------------------------------------------------------- start-up

void installFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Courier"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Serif"), QStringLiteral("Liberation Serif"));
}

void setUpApplication() {
    // The name only: a display name would make the window system append
    // " — Korvel" to every window's caption.
    QApplication::setApplicationName(QStringLiteral("Korvel"));
    installFontSubstitutes();
}

MainWindow::MainWindow(Desktop& desktop, CompanionFactory companion, WindowTimings timings,
                       QWidget* parent)
    : QMainWindow(parent), desktop_(desktop), companion_(std::move(companion)), timings_(timings) {
    setObjectName(QStringLiteral("Form0g"));
    imageV_ = defaultPointer();
    imageA_ = imageV_;
    buildMenus();
    buildControls();
    fill_ = std::make_unique<FillCommands>(*this, desktop_);
    for (QAction* a :
         fill_->addMenuItems(menuBar()->findChild<QMenu*>(QStringLiteral("Visualizza")),
                             menuBar()->findChild<QMenu*>(QStringLiteral("Strumenti"))))
        menuItems_.insert(a->objectName(), a);
    qApp->installEventFilter(this);
    Form_Load();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
}

QAction* MainWindow::addMenuItem(QMenu* menu, const QString& name, const QString& caption) {
    auto* action = menu->addAction(caption);
    action->setObjectName(name);
    menuItems_.insert(name, action);
    return action;
}

void MainWindow::addSeparator(QMenu* menu, const QString& name) {
    QAction* sep = menu->addSeparator();
    sep->setObjectName(name);
    menuItems_.insert(name, sep);
}

void MainWindow::buildMenus() {
    // A checkable item's handler inverts the check itself (or refuses to), so
    // the toggle Qt makes on a click is taken back first.
    auto handle = [this](QAction* action, std::function<void()> handler) {
        connect(action, &QAction::triggered, this, [action, handler] {
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            handler();
        });
    };

    fileMenu_ = menuBar()->addMenu(QStringLiteral("File"));
    fileMenu_->setObjectName(QStringLiteral("File"));
    fileMenu_->menuAction()->setObjectName(QStringLiteral("FileMenu"));
    fileMenu_->menuAction()->setEnabled(false);
    handle(addMenuItem(fileMenu_, QStringLiteral("menuNuovo"), QStringLiteral("New...")),
           [this] { menuNuovo_Click(); });
    handle(addMenuItem(fileMenu_, QStringLiteral("menuApri"), QStringLiteral("Open...")),
           [this] { menuApri_Click(); });
    QAction* salva = addMenuItem(fileMenu_, QStringLiteral("Salva"), QStringLiteral("Save"));
    salva->setEnabled(false);
    handle(salva, [this] { Salva_Click(); });
    QAction* salvacome =
        addMenuItem(fileMenu_, QStringLiteral("Salvacome"), QStringLiteral("Save as..."));
    salvacome->setEnabled(false);
    handle(salvacome, [this] { Salvacome_Click(); });
    // Export and print come after the file items; they need a grid.
    addSeparator(fileMenu_, QStringLiteral("sepEsporta"));
    QAction* esporta = addMenuItem(fileMenu_, QStringLiteral("Esporta"), QStringLiteral("Export"));
    handle(esporta, [this] { Esporta_Click(); });
    QAction* stampa = addMenuItem(fileMenu_, QStringLiteral("Stampa"), QStringLiteral("Print..."));
    handle(stampa, [this] { Stampa_Click(); });
    esporta->setEnabled(false);
    stampa->setEnabled(false);
    connect(fileMenu_, &QMenu::aboutToShow, this, [this, esporta, stampa] {
        esporta->setEnabled(!doc_.grid().isEmpty());
        stampa->setEnabled(!doc_.grid().isEmpty());
    });
    addSeparator(fileMenu_, QStringLiteral("sep00"));
    handle(addMenuItem(fileMenu_, QStringLiteral("menuEsci"), QStringLiteral("Exit")),
           [this] { menuEsci_Click(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    view->setObjectName(QStringLiteral("Visualizza"));
    QAction* numerare =
        addMenuItem(view, QStringLiteral("Numerare"), QStringLiteral("Show Clue Numbers"));
    numerare->setCheckable(true);
    numerare->setChecked(true);
    handle(numerare, [this] { Numerare_Click(); });
    addSeparator(view, QStringLiteral("SepW"));
    handle(addMenuItem(view, QStringLiteral("Riduci"),
                       QStringLiteral("Shrink the Grid") + QString(22, u' ') +
                           QStringLiteral("Ctrl -")),
           [this] { Riduci_Click(); });
    handle(addMenuItem(view, QStringLiteral("Ingrandisci"),
                       QStringLiteral("Enlarge the Grid") + QString(20, u' ') +
                           QStringLiteral("Ctrl +")),
           [this] { Ingrandisci_Click(); });
    handle(addMenuItem(view, QStringLiteral("Originali"),
                       QStringLiteral("Original Grid dimensions") + QString(8, u' ') +
                           QStringLiteral("Ctrl 0")),
           [this] { Originali_click(); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("Strumenti"));
    QAction* accorcia = addMenuItem(tools, QStringLiteral("Accorcia"), QStringLiteral("Free Cue"));
    accorcia->setCheckable(true);
    accorcia->setChecked(true);
    handle(accorcia, [this] { Accorcia_Click(); });
    QAction* estesa =
        addMenuItem(tools, QStringLiteral("Estesa"), QStringLiteral("Extended Search"));
    estesa->setCheckable(true);
    estesa->setChecked(true);
    handle(estesa, [this] { Estesa_click(); });
    handle(addMenuItem(tools, QStringLiteral("ResErr"), QStringLiteral("Search Reset")),
           [this] { ResErr_Click(); });
    addSeparator(tools, QStringLiteral("sep4"));
    QMenu* dizper = tools->addMenu(QStringLiteral("Dictionaries"));
    dizper->setObjectName(QStringLiteral("Dizper"));
    QMenu* attivadiz = dizper->addMenu(QStringLiteral("Enable/Disable"));
    attivadiz->setObjectName(QStringLiteral("Attivadiz"));
    for (int n = 1; n <= SearchedDictionaries; ++n) {
        QAction* d =
            addMenuItem(attivadiz, QStringLiteral("d%1").arg(n), QStringLiteral("%1-").arg(n));
        d->setCheckable(true);
        d->setVisible(n == 1);
        handle(d, [this, n] { dictionaryItemClick(n); });
    }
    handle(addMenuItem(dizper, QStringLiteral("Indirdiz"), QStringLiteral("see content...")),
           [this] { Indirdiz_Click(); });
    addSeparator(tools, QStringLiteral("Sep5"));
    QAction* funWord =
        addMenuItem(tools, QStringLiteral("FunWord"), QStringLiteral("Enable MS Word functions"));
    funWord->setCheckable(true);
    funWord->setChecked(false);
    handle(funWord, [this] { FunWord_click(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("menuAiuto"));
    QAction* f1 = addMenuItem(help, QStringLiteral("AiutoF1"), QStringLiteral("On line Help"));
    f1->setShortcut(QKeySequence(Qt::Key_F1));
    f1->setShortcutContext(Qt::WindowShortcut);
    handle(f1, [this] { AiutoF1_Click(); });
    handle(addMenuItem(help, QStringLiteral("AiutoQuick"), QStringLiteral("Quick Instructions")),
           [this] { AiutoQuick_Click(); });
    handle(addMenuItem(help, QStringLiteral("Copyright"), QStringLiteral("Copyright")),
           [this] { Copyright_Click(); });
}

void MainWindow::buildControls() {
    // The client area keeps the layout's proportions of the screen; where a
    // smaller window cannot show all of it, it scrolls.
    clientArea_ = new QScrollArea(this);
    clientArea_->setObjectName(QStringLiteral("Form0gScroll"));
    clientArea_->setFrameShape(QFrame::NoFrame);
    clientArea_->setWidgetResizable(true);
    central_ = new QWidget;
    central_->setObjectName(QStringLiteral("Form0gClient"));
    clientArea_->setWidget(central_);
    setCentralWidget(clientArea_);

    tlb1_ = new QToolBar(this);
    tlb1_->setObjectName(QStringLiteral("Tlb1"));
    tlb1_->setMovable(false);
    tlb1_->setFloatable(false);
    tlb1_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, tlb1_);
    toolGroup_ = new QActionGroup(this);
    toolGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    tools_ = std::make_unique<ToolButtons>(*tlb1_, *toolGroup_);

    stb1_ = new StatusPanels(this);
    setStatusBar(stb1_);
    stb1_->setText(1, QStringLiteral("      WELCOME !"));
    stb1_->setHint(1, QStringLiteral("      WELCOME !"));
    const QString welcome2 =
        QStringLiteral("  Open a Crossword from File menu or work with TEST functions ");
    stb1_->setText(2, welcome2);
    stb1_->setHint(2, welcome2);
    stb1_->setText(3, QStringLiteral(" "));
    stb1_->setText(4, QStringLiteral(" "));
    for (int i : {7, 8}) {
        stb1_->setText(i, QStringLiteral("Src.  "));
        stb1_->setHint(i, QStringLiteral("Standard/Extended search"));
    }
    // Extended Search is ticked at design: its panel shows, the standard one not.
    stb1_->panel(8)->setBevel(StatusPanel::Bevel::Raised);
    stb1_->setPanelVisible(7, false);
    for (int n = 1; n <= SearchedDictionaries; ++n) {
        stb1_->setText(n + 10, QStringLiteral("D%1").arg(n));
        stb1_->setHint(n + 10, QStringLiteral("Enable/Disable"));
    }
    connect(stb1_, &StatusPanels::panelClicked, this, &MainWindow::Stb1_PanelClick);

    // The grid picture keeps its size in its own scrolling area, which ends
    // at the client area's edges: a grid larger than the room left for it
    // scrolls, every cell within reach.
    periArea_ = new QScrollArea(central_);
    periArea_->setObjectName(QStringLiteral("PeriScroll"));
    periArea_->setFrameShape(QFrame::NoFrame);
    periArea_->setWidgetResizable(false);
    periArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    peri_ = new GridCanvas;
    periArea_->setWidget(peri_);
    peri_->hide();
    periArea_->hide();

    lists_ = new ResultsList(central_);
    lists_->setListingTest([this] { return busy(); });
    // Design position: where the layout puts it, so that the first layout
    // gives it the same height as every later one.
    lists_->move(0, twipsToPixels(screenHeightTw() * 0.19));

    label0_ = new QLabel(QStringLiteral(" Wait until the dictionaries are loaded ..."), central_);
    label0_->setObjectName(QStringLiteral("Label0"));
    label0_->adjustSize();
    secCar_ = new QLabel(QStringLiteral("0"), central_);
    secCar_->setObjectName(QStringLiteral("SecCar"));
    secCar_->setMinimumWidth(twipsToPixels(600));
    secCar_->hide();
    label1_ = new QLabel(QStringLiteral("SEARCH    SUBJECT"), central_);
    label1_->setObjectName(QStringLiteral("Label1"));
    label3_ = new QLabel(QStringLiteral("SEARCH  RESULTS"), central_);
    label3_->setObjectName(QStringLiteral("Label3"));
    texta_ = new QLabel(central_);
    texta_->setObjectName(QStringLiteral("texta"));
    texta_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    texta_->setTextFormat(Qt::PlainText);
    QFont pattern(QStringLiteral("Courier New"));
    pattern.setBold(true);
    texta_->setFont(pattern);
    const char* captions[] = {"", "Free HEAD", "Trim HEAD", "Trim CUE", "Free CUE"};
    for (int i = 1; i <= 4; ++i) {
        command_[i] = new QPushButton(QString::fromLatin1(captions[i]), central_);
        command_[i]->setObjectName(QStringLiteral("Command%1").arg(i));
        command_[i]->setEnabled(false);
    }
    // Design widths: the labels fit their captions in the wider of their fonts.
    for (QLabel* label : {label1_, label3_}) {
        label->setFont(QFont(QStringLiteral("MS Sans Serif")));
        label->adjustSize();
        label->resize(label->width() + twipsToPixels(60), label->height());
    }
    for (int i = 1; i <= 4; ++i)
        command_[i]->resize(twipsToPixels(1100), twipsToPixels(375));
    texta_->resize(twipsToPixels(4400), twipsToPixels(375));

    timer0_ = new QTimer(this);
    timer0_->setObjectName(QStringLiteral("Timer0"));
    timer0_->setSingleShot(true);
    timer0_->setInterval(timings_.timer0Ms);
    connect(timer0_, &QTimer::timeout, this, &MainWindow::Timer0_Timer);
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setInterval(timings_.timer2Ms);
    connect(timer2_, &QTimer::timeout, this, &MainWindow::Timer2_Timer);

    connect(peri_, &GridCanvas::mousePressed, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPointF at) {
                Peri_MouseDown(b, classicShift(m), at.x(), at.y());
            });
    connect(peri_, &GridCanvas::mouseMoved, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, QPointF at) {
                Peri_MouseMove(b, classicShift(m), at.x(), at.y());
            });
    connect(peri_, &GridCanvas::mouseReleased, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPointF at) {
                Peri_MouseUp(b, classicShift(m), at.x(), at.y());
            });
    connect(peri_, &GridCanvas::clicked, this, &MainWindow::Peri_Click);
    connect(peri_, &GridCanvas::keyPressed, this, [this](QKeyEvent* key) {
        // A modifier key going down counts as held, whatever the platform
        // reports for the moment of the press.
        int shift = classicShift(key->modifiers());
        if (key->key() == Qt::Key_Shift)
            shift |= ShiftKey;
        else if (key->key() == Qt::Key_Control)
            shift |= CtrlKey;
        else if (key->key() == Qt::Key_Alt)
            shift |= AltKey;
        Peri_KeyDown(classicKeyCode(key->key(), key->modifiers()), shift);
    });
    connect(lists_, &QListView::clicked, this, [this] { Lists_Click(); });
    connect(lists_, &ResultsList::chosenByKey, this, &MainWindow::Lists_Click);
    connect(command_[1], &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(command_[2], &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(command_[3], &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(command_[4], &QPushButton::clicked, this, &MainWindow::Command4_Click);

    LayoutControls placed{clientArea_, central_, periArea_, peri_,   lists_,
                          label0_,     secCar_,  label1_,   label3_, texta_};
    std::copy(std::begin(command_), std::end(command_), placed.command);
    layout_ = std::make_unique<WindowLayout>(placed);
    painter_ = std::make_unique<GridPainter>(*peri_);
    SearchHostControls written{stb1_,
                               lists_,
                               peri_,
                               texta_,
                               nullptr,
                               command_,
                               [this] { rinfresca(); },
                               [this] { drawSelection(); },
                               [this] { drawGreenBox(); }};
    host_ = std::make_unique<WindowSearchHost>(desktop_, std::move(written), timings_.yieldMs);
}

void MainWindow::buildToolbar() {
    const int iconSide = layout_->im2() ? 16 : 24;
    tlb1_->setIconSize(QSize(iconSide, iconSide));
    const int placeholderHeight = iconSide + 10;

    auto addButton = [this](Tool tool) {
        tools_->add(tool, layout_->im2(), [this](const QString& key) { Tlb1_ButtonClick(key); });
    };
    auto addPlaceholder = [this, placeholderHeight](const QString& name, int widthTw) {
        auto* holder = new QWidget(tlb1_);
        holder->setObjectName(name);
        holder->setFixedSize(twipsToPixels(widthTw), placeholderHeight);
        tlb1_->addWidget(holder);
        return holder;
    };

    tlb1_->addSeparator();
    for (Tool t : {Tool::Anagrams, Tool::Thesaurus, Tool::Spelling, Tool::NotAvailable})
        addButton(t);
    tlb1_->addSeparator();
    QWidget* pictureHolder = addPlaceholder(QStringLiteral("picture1"), 500);
    picture1_ = new QLabel(pictureHolder);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setPixmap(
        testPicture(pictureHolder->width(), placeholderHeight - twipsToPixels(100)));
    picture1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture1_->hide();
    {
        const int top = layout_->im2() ? -twipsToPixels(30) : twipsToPixels(50);
        picture1_->setGeometry(0, top, pictureHolder->width(), placeholderHeight);
    }

    QWidget* textHolder = addPlaceholder(QStringLiteral("textbHolder"), 2000);
    textb_ = new QLineEdit(textHolder);
    textb_->setObjectName(QStringLiteral("textb"));
    textb_->setEnabled(false);
    host_->setTestField(textb_);
    if (layout_->im2())
        textb_->setGeometry(0, 0, textHolder->width(), static_cast<int>(0.9 * placeholderHeight));
    else
        textb_->setGeometry(0, twipsToPixels(150), textHolder->width(),
                            textb_->sizeHint().height());
    textHolder->setFixedHeight(std::max(placeholderHeight, textb_->geometry().bottom() + 1));

    addPlaceholder(QStringLiteral("spacer"), 700);
    for (Tool t : {Tool::BlackWhite, Tool::WriteAcross, Tool::WriteDown, Tool::ClearCell,
                   Tool::PromptAcross, Tool::PromptDown, Tool::PromptCross})
        addButton(t);
    tlb1_->addSeparator();
    addButton(Tool::Undo);
    addButton(Tool::Redo);
    tlb1_->addSeparator();
    // The editors' keys for Undo and Redo. A text field that has the focus
    // keeps them for its own text.
    tools_->button(Tool::Undo)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    tools_->button(Tool::Redo)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
}

void MainWindow::Form_Load() {
    layout_->chooseScreenClass();
    buildToolbar();
    // The window covers the screen; without a window manager to maximise it
    // (a bare X server) the geometry must be asked for.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    showMaximized();
    tools_->enableAll(false);
    setImageA(imageV_);
    setWindowTitle(Product);
    Estesa_click();
    currentToolKey_ = QStringLiteral("a9");
    currentTool_ = Tool::Anagrams;
    flags_.BusyCounter = 0;
    doc_.clearPriclk();
    layoutWindow();
    stb1_->setText(2, QStringLiteral(" Wait ...") + QString(28, u' '));
    setCursor(Qt::WaitCursor);
    timer0_->start();
    // A current directory without base.diz (a start from the desktop's menu)
    // falls back to the per-user or the installed dictionaries.
    if (store_.DictFolder.empty())
        store_.DictFolder = startupDictionaryFolder();
    ravorPath_ =
        QFile::decodeName(scratchDocumentFolder(store_.DictFolder, &ravorProblem_).c_str()) +
        QStringLiteral("~ravor.doc");
}

void MainWindow::Timer2_Timer() {
    secCar_->setVisible(true);
    secCar_->setText(QString::number(secCar_->text().toLongLong() + 1));
}

void MainWindow::Timer0_Timer() {
    timer0_->stop();
    timer2_->start();
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
        timer2_->stop();
        ended_ = true;
        desktop_.endProcess(1);
        return;
    }

    enabled_.reset(store_);
    for (int j = 1; j <= SearchedDictionaries; ++j) {
        QAction* d = menuItems_.value(QStringLiteral("d%1").arg(j));
        d->setText(QFile::decodeName(enabled_.caption(j).c_str()));
        // Item 1 stays in the menu, as designed.
        d->setVisible(j == 1 || enabled_.exists(j));
        stb1_->setPanelVisible(j + 10, j == 1 || enabled_.exists(j));
    }
    refreshDictPanels();

    stb1_->setText(2, QStringLiteral(" Open a CROSSWORD from File menu or work with TEST and "
                                     "enabled buttons on its left "));
    fileMenu_->menuAction()->setEnabled(true);
    timer2_->stop();
    secCar_->hide();
    label0_->hide();
    unsetCursor();
    tools_->button(Tool::Anagrams)->setEnabled(true);
    textb_->setEnabled(true);
    picture1_->show();
    if (!startFile_.isEmpty())
        openGrid(&startFile_);
}

// ---------------------------------------------------------------- dictionaries

void MainWindow::refreshDictPanels() {
    for (int n = 1; n <= SearchedDictionaries; ++n) {
        menuItems_.value(QStringLiteral("d%1").arg(n))->setChecked(enabled_.isChecked(n));
        stb1_->setPanelEnabled(n + 10, enabled_.isPanelEnabled(n));
        stb1_->setHint(n + 10, QFile::decodeName(enabled_.panelHint(n).c_str()));
    }
}

void MainWindow::dictionaryItemClick(int n) {
    if (enabled_.click(n) == EnabledSet::Click::Refused)
        desktop_.messageBox(this, fromBytes(EnabledSet::BaseRefusalTitle),
                            fromBytes(EnabledSet::BaseRefusalText), MsgIcon::None, MsgButtons::Ok);
    // Also after a refusal: the item's check mark shows the set again.
    refreshDictPanels();
    // The fill check follows the dictionaries as well as the grid.
    if (fill_)
        fill_->gridPainted();
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
    QAction* estesa = menuItems_.value(QStringLiteral("Estesa"));
    if (!busy())
        estesa->setChecked(!estesa->isChecked());
    flags_.Estesa = estesa->isChecked();
    stb1_->setPanelVisible(7, !flags_.Estesa);
    stb1_->setPanelVisible(8, flags_.Estesa);
}

void MainWindow::Accorcia_Click() {
    QAction* accorcia = menuItems_.value(QStringLiteral("Accorcia"));
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
    tools_->setPressed(key);
}

void MainWindow::selectTool(const QString& key) {
    if (busy())
        return;
    for (int i : {2, 3, 4})
        stb1_->setText(i, QStringLiteral(" "));
    host_->setHeadTailButtonsEnabled(false);
    host_->clearList();
    host_->setListHint("");
    stb1_->setHint(2, QString());
    if (doc_.history().clearIfFull())
        showHistoryCleared();

    bool anomaly = false;
    const std::optional<Tool> tool = toolOfKey(key.toStdString());
    const ToolTexts* texts = tool ? &toolTexts(*tool) : nullptr;
    if (tool && isGridTool(*tool)) {
        currentToolKey_ = key;
        currentTool_ = *tool;
        setImageA(toolPointer(currentTool_));
        texta_->setText(QString());
        stb1_->setText(1, QString::fromLatin1(texts->panelText));
        stb1_->setHint(1, QString::fromLatin1(texts->panelHint));
    } else if (tool == Tool::Undo || tool == Tool::Redo) {
        // A fill is taken back or put back whole, beside the history.
        const FillHistory::Restore restore = tool == Tool::Undo ? fill_->undo() : fill_->redo();
        const RestoreResult& r = restore.result;
        doc_.clearPriclk();
        anomaly = r.anomaly;
        if (!r.anomaly) {
            stb1_->setText(2, fromBytes(r.statusText));
            stb1_->setText(3, QStringLiteral(" "));
            stb1_->setText(4, QStringLiteral(" "));
        }
        EditShown shown;
        shown.anomaly = r.anomaly;
        const RestoredCells& cells = doc_.history().restored();
        for (int16_t i = 0; i < cells.count; ++i)
            shown.boxes.push_back({cells.columns[i], cells.rows[i], 1, 1});
        if (restore.fill && !r.anomaly)
            shown.boxes.push_back(restore.box);
        showEdit(shown);
    } else if (tool == Tool::Anagrams || tool == Tool::Thesaurus || tool == Tool::Spelling) {
        currentToolKey_ = key;
        currentTool_ = *tool;
        stb1_->setText(1, QString::fromLatin1(texts->panelText));
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
    const Replacement replacing = settleBeforeReplacing();
    if (!replacing.allowed)
        return;
    GridDimensionsDialog dialog(desktop_, this);
    if (dialog.exec() != QDialog::Accepted) {
        keepGivenUpChanges(replacing);
    } else {
        doc_.newGrid(static_cast<int16_t>(dialog.rows()), static_cast<int16_t>(dialog.columns()));
        NuovoSchema();
        setCaption(QStringLiteral("(new file)"));
        menuItems_.value(QStringLiteral("Salva"))->setEnabled(false);
        menuItems_.value(QStringLiteral("Salvacome"))->setEnabled(true);
        Inizio();
    }
    host_->clearList();
    host_->setListHint("");
    texta_->setText(QString());
    textb_->setText(QString());
    openFolder_ = QFile::decodeName(store_.DictFolder.c_str());
}

void MainWindow::NuovoSchema() {
    tools_->releaseAll();
    if (doc_.grid().RowCount != 0 || doc_.grid().ColumnCount != 0) {
        rinfresca();
        setImageA(imageV_);
    }
}

void MainWindow::Inizio() {
    layoutWindow();
    menuItems_.value(QStringLiteral("Numerare"))->setChecked(true);
    tools_->enableGridTools();
    periArea_->show();
    peri_->show();
    sizePeri();
    layout_->fitLetters();
    rinfresca();
    doc_.history().reset(doc_.grid().MaxSide);
    tools_->showHistory(false, false);
    stb1_->setText(1, QStringLiteral(" To work into the Grid enable a corresponding top-Buttons "));
    for (int i : {2, 3, 4})
        stb1_->setText(i, QStringLiteral(" "));
}

// ---------------------------------------------------------------- display

void MainWindow::layoutWindow() {
    layout_->layoutWindow();
}

bool MainWindow::sizePeri() {
    return layout_->sizePeri(doc_.grid().RowCount, doc_.grid().ColumnCount);
}

void MainWindow::showCursorCell() {
    layout_->showCell(CurrentRow, CurrentColumn);
}

void MainWindow::rinfresca() {
    if (doc_.grid().isEmpty())
        return;
    doc_.grid().normalizeBlacks();
    painter_->paintCells(doc_.grid(), layout_->metrics());
    drawNumbers();
    if (fill_)
        fill_->gridPainted();
}

void MainWindow::drawNumbers() {
    if (doc_.grid().isEmpty())
        return;
    painter_->paintNumbers(doc_.grid(), layout_->metrics(),
                           menuItems_.value(QStringLiteral("Numerare"))->isChecked());
}

void MainWindow::drawSelection() {
    if (doc_.grid().isEmpty())
        return;
    painter_->drawSelectionBox(selection, GridPainter::Red);
    peri_->update();
    lastSelection = selection;
}

void MainWindow::drawGreenBox() {
    if (doc_.grid().isEmpty())
        return;
    painter_->drawSelectionBox(selection, GridPainter::Green);
}

void MainWindow::Numerare_Click() {
    if (busy())
        return;
    QAction* numerare = menuItems_.value(QStringLiteral("Numerare"));
    numerare->setChecked(!numerare->isChecked());
    drawNumbers();
}

void MainWindow::zoom(double factor) {
    if (layout_->zoom(factor, doc_.grid().RowCount, doc_.grid().ColumnCount))
        rinfresca();
}

void MainWindow::Ingrandisci_Click() {
    zoom(1.1);
}

void MainWindow::Riduci_Click() {
    zoom(0.9);
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
    if (event->type() == QEvent::Resize && clientArea_ && watched == clientArea_->viewport() &&
        !doc_.grid().isEmpty())
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
    peri_->setCursor(imageA_);
}

void MainWindow::showOpenSaveError() {
    desktop_.messageBox(this, QGuiApplication::applicationDisplayName(),
                        fromBytes(OpenSaveErrorText), MsgIcon::None, MsgButtons::Ok);
}

QString MainWindow::chooseFile(bool save, const QString& title, const QString& filter,
                               const QString& proposal) {
    const QString start = QDir::currentPath();
    QString chosen = save ? desktop_.chooseFileToSave(this, title, filter, start, proposal)
                          : desktop_.chooseFileToOpen(this, title, filter, start);
    chosen.remove(QChar(u'\0'));
    chosen = chosen.trimmed();
    // A later dialog starts where this one ended.
    if (!chosen.isEmpty())
        QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return chosen;
}

void MainWindow::menuApri_Click() {
    openGrid(nullptr);
}

void MainWindow::openGrid(const QString* given) {
    if (busy())
        return;
    const Replacement replacing = settleBeforeReplacing();
    if (!replacing.allowed)
        return;
    auto keepChanges = [&] { keepGivenUpChanges(replacing); };
    tools_->releaseAll();

    if (openFolder_.isEmpty())
        openFolder_ = QDir::currentPath();
    if (!QDir::setCurrent(openFolder_)) {
        keepChanges();
        showOpenSaveError();
        return;
    }
    QString chosen;
    if (given) {
        // The named file stands for the dialog's answer, and like a choice in
        // the dialog it makes its folder the current directory.
        chosen = given->trimmed();
        if (!chosen.isEmpty())
            QDir::setCurrent(QFileInfo(chosen).absolutePath());
    } else {
        chosen = chooseFile(false, QStringLiteral("Select the file to open"),
                            QStringLiteral("File Korvel(*.kvl;*.KVL) (*.kvl *.KVL)"), QString());
    }
    if (chosen.isEmpty()) {
        keepChanges();
        return;
    }
    openFolder_ = QDir::currentPath();
    NuovoSchema();

    // The whole file is read and checked before the grid is replaced, so a
    // failed open leaves the previous grid, and its file name, as they were:
    // a later "Save" must not write the old grid over the file that failed.
    // Regular files only, and only up to a size no crossword file reaches: a
    // FIFO or /dev/zero must not hang the window.
    std::string error;
    if (!doc_.open(QFile::encodeName(chosen).toStdString(), error)) {
        keepChanges();
        showOpenSaveError();
        return;
    }
    Inizio();
    setCaption(currentFile());
    menuItems_.value(QStringLiteral("Salva"))->setEnabled(true);
    menuItems_.value(QStringLiteral("Salvacome"))->setEnabled(true);
    host_->clearList();
    host_->setListHint("");
    texta_->setText(QString());
    textb_->setText(QString());
    currentToolKey_ = QStringLiteral("a9");
    currentTool_ = Tool::Anagrams;
    setImageA(imageV_);
}

bool MainWindow::Salva_Click() {
    if (busy())
        return false;
    // Every step of the write is checked; a failure leaves the old file as it
    // was (QSaveFile would rename a short file into place on a full disk).
    std::string error;
    if (!doc_.save(error)) {
        showOpenSaveError();
        return false;
    }
    menuItems_.value(QStringLiteral("Salva"))->setEnabled(true);
    menuItems_.value(QStringLiteral("Salvacome"))->setEnabled(true);
    return true;
}

static void applyExtensionRule(QString& name) {
    name = QFile::decodeName(
        QByteArray::fromStdString(withKvlExtension(QFile::encodeName(name).toStdString())));
}

void MainWindow::Salvacome_Click() {
    if (busy())
        return;
    QString name = currentFile();
    applyExtensionRule(name);
    previousFile_ = name;
    name = chooseFile(true, QStringLiteral("Select the file to save"),
                      QStringLiteral("File Korvel *.kvl (*.kvl)"), previousFile_);
    if (name.isEmpty()) {
        setCurrentFile(previousFile_);
        return;
    }
    applyExtensionRule(name);
    setCurrentFile(name);
    if (!Salva_Click())
        return;
    setCaption(currentFile());
}

void MainWindow::askSaveChanges() {
    const QString text = QString::fromStdString(unsavedChangeMessage(currentFile().toStdString()));
    const MsgAnswer answer = desktop_.messageBox(this, fromBytes(UnsavedChangeTitle), text,
                                                 MsgIcon::Critical, MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::Yes)
        Salvacome_Click();
    else if (answer == MsgAnswer::No) {
        doc_.markSaved();
        changesGivenUp_ = true;
    }
}

bool MainWindow::settleUnsavedChanges() {
    if (doc_.isModified())
        askSaveChanges();
    return !doc_.isModified();
}

MainWindow::Replacement MainWindow::settleBeforeReplacing() {
    changesGivenUp_ = false;
    const bool allowed = settleUnsavedChanges();
    return {allowed, changesGivenUp_};
}

void MainWindow::keepGivenUpChanges(const Replacement& replacing) {
    if (replacing.changesGivenUp)
        doc_.markChanged();
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
    peri_->setCursor(Qt::WaitCursor);
    lists_->setCursor(Qt::WaitCursor);
    chiudiword();
    ended_ = true;
    desktop_.endProcess(0);
}

// ---------------------------------------------------------------- help

void MainWindow::Copyright_Click() {
    if (busy())
        return;
    AboutBox box(this);
    box.exec();
}

void MainWindow::AiutoQuick_Click() {
    QStringList lines;
    for (const char* line : ShortcutLines)
        lines << QString::fromLatin1(line);
    desktop_.messageBox(this, QStringLiteral("    KORVEL V.8    SHORTCUTS"),
                        lines.join(QStringLiteral("\r\n")), MsgIcon::None, MsgButtons::Ok);
}

QString MainWindow::helpPage() const {
    if (!helpPage_.isEmpty())
        return helpPage_;
    const QString page = QStringLiteral("/voduzeze/KORVELH8.HTM");
    const QString beside =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/") +
                        QStringLiteral(KORVEL_HELP_DIR) + page);
    // Installed, the page lies in the data folder rather than beside the
    // programs' folder as in a build tree.
    const QString installed =
        QFile::decodeName(installedDataFolder().c_str()) + QStringLiteral("/help") + page;
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside;
}

void MainWindow::AiutoF1_Click() {
    desktop_.openDocument(helpPage());
}

QAction* MainWindow::toolButton(const QString& key) const {
    return tools_->button(key);
}

bool MainWindow::isPanelEnabled(int panel) const {
    return stb1_->isPanelEnabled(panel);
}

} // namespace korvel
