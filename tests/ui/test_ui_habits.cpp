// SPDX-License-Identifier: GPL-3.0-or-later
// The window's desktop habits, end to end on the offscreen platform: boxes
// that fit the screen and give the focus back, F1 without a browser, the
// File menu's keys, where the file dialogs start and what they propose,
// what Export and Print report, File > Recent and the window's place.
#include "gridcanvas.h"
#include "mainwindow.h"
#include "qtdesktop.h"
#include "recentfiles.h"
#include "scripteddesktop.h"
#include "startfolder.h"
#include "statuspanels.h"
#include "uiharness.h"
#include "windowplace.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <functional>
#include <memory>

using namespace korvel;
using namespace korvel::uitest;

namespace {

const QString Product = QStringLiteral("  KORVEL   ");
const QStringList SmallRows = {QStringLiteral("CATS"), QStringLiteral("A#O#"),
                               QStringLiteral("BOYS")};

// Runs check on the first modal widget that shows, then closes it.
void onModal(const std::function<void(QWidget*)>& check) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, check] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll->stop();
        poll->deleteLater();
        check(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    poll->start();
}

// The scripted desktop, whose boxes (and, when asked, print dialogs) are the
// real ones of the Qt desktop: each is looked at by onReal and then closed.
class RealBoxes : public ScriptedDesktop {
public:
    MsgAnswer messageBoxWithDetail(QWidget* owner, const QString& title, const QString& text,
                                   const QString& detail, MsgIcon icon,
                                   MsgButtons buttons) override {
        ScriptedDesktop::messageBoxWithDetail(owner, title, text, detail, icon, buttons);
        onModal(look());
        return real.messageBoxWithDetail(owner, title, text, detail, icon, buttons);
    }
    void showText(QWidget* owner, const QString& title, const QString& text) override {
        ScriptedDesktop::showText(owner, title, text);
        onModal(look());
        real.showText(owner, title, text);
    }
    bool choosePrinter(QWidget* owner, QPrinter& printer) override {
        if (!realPrinter)
            return ScriptedDesktop::choosePrinter(owner, printer);
        onModal(look());
        return real.choosePrinter(owner, printer);
    }
    std::function<void(QWidget*)> look() {
        return [this](QWidget* modal) {
            if (onReal)
                onReal(modal);
        };
    }

    QtDesktop real;
    bool realPrinter = false;
    std::function<void(QWidget*)> onReal;
};

// A window over the "grid" fixture with the real boxes.
struct RealHarness {
    QTemporaryDir dir;
    QTemporaryDir temp;
    QTemporaryDir settings;
    RealBoxes desktop;
    FakeLibrary library;
    std::unique_ptr<MainWindow> window;

    RealHarness() {
        useSettingsFolder(settings.path());
        copyFiles(uiFixture(QStringLiteral("grid")), dir.path());
        library.tempFolder = temp.path();
        QDir::setCurrent(dir.path());
        window = std::make_unique<MainWindow>(
            desktop, [this] { return library.call(); }, quickTimings());
    }
    MainWindow& w() { return *window; }
    bool loaded() {
        return QTest::qWaitFor([this] { return w().fileMenu()->menuAction()->isEnabled(); }, 10000);
    }
};

struct Harness : WindowHarness {
    // settingsFolder: the settings another start left there, instead of
    // fresh ones.
    explicit Harness(int timer0Ms = 5, const QString& settingsFolder = {}) {
        if (!settingsFolder.isEmpty())
            useSettingsFolder(settingsFolder);
        addFixture(uiFixture(QStringLiteral("grid")));
        start(quickTimings(timer0Ms));
    }
    // A menu item chosen as a user does: its menu opens first.
    void choose(const char* name) {
        emit w().fileMenu()->aboutToShow();
        item(name)->trigger();
    }
    void exportAs(const QString& name, int filter) {
        desktop.fileAnswers << name;
        desktop.exportFilterAnswers << filter;
        choose("Esporta");
    }
    const ScriptedDesktop::Shown* last(const char* kind) const {
        for (auto it = desktop.shown.crbegin(); it != desktop.shown.crend(); ++it)
            if (it->kind == QLatin1String(kind))
                return &*it;
        return nullptr;
    }
    bool activate() {
        w().activateWindow();
        return QTest::qWaitForWindowActive(&w());
    }
    QStringList recentCaptions() {
        emit w().fileMenu()->aboutToShow();
        QStringList out;
        auto* recent = w().fileMenu()->findChild<QMenu*>(QStringLiteral("Recenti"));
        if (!recent || !w().fileMenu()->actions().contains(recent->menuAction()))
            return out;
        for (QAction* a : recent->actions())
            out << a->text();
        return out;
    }
};

// Sets an environment variable for a test's time, and puts it back.
class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~EnvGuard() {
        if (old_.isNull())
            qunsetenv(name_);
        else
            qputenv(name_, old_);
    }

private:
    const char* name_;
    QByteArray old_;
};

// A home of the test's own with a Documents folder, so that the documents
// folder the dialogs fall back to is known.
struct PrivateHome {
    QTemporaryDir root;
    EnvGuard home{"HOME", root.filePath(QStringLiteral("home")).toLocal8Bit()};
    EnvGuard config{"XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit()};
    PrivateHome() { QDir().mkpath(documents()); }
    QString documents() const { return root.filePath(QStringLiteral("home/Documents")); }
};

// The folder's mode for a test's time, then writable again so that it can
// be removed.
struct ModeGuard {
    QString path;
    ModeGuard(const QString& folder, mode_t mode) : path(folder) {
        ::chmod(QFile::encodeName(path).constData(), mode);
    }
    ~ModeGuard() { ::chmod(QFile::encodeName(path).constData(), 0700); }
};

// Answers the dimensions dialog that the next command opens.
void answerDimensions(const QString& rows, const QString& columns) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, rows, columns] {
        auto* d = qobject_cast<GridDimensionsDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll->stop();
        poll->deleteLater();
        d->rowsField()->setText(rows);
        d->columnsField()->setText(columns);
        d->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    poll->start();
}

bool within(const QRect& inner, const QRect& outer) {
    return outer.contains(inner.topLeft()) && outer.contains(inner.bottomRight());
}

} // namespace

class TestUiHabits : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(); }
    void settingsArePrivate();
    void longStatisticsFitTheScreen();
    void focusComesBackAfterABox();
    void helpWithoutBrowserNamesTheFile();
    void fileKeys();
    void fileKeysNeverType();
    void exportAndPrintSayWhere();
    void dialogsStartInAPlaceForFiles();
    void namedFolderKeptWhereWritable();
    void gridNameProposed();
    void printDialogShowsTheProposal();
    void recentFiles();
    void windowPlaceRemembered();
};

void TestUiHabits::settingsArePrivate() {
    QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1366, 768));
    // Before any harness, the whole process has a private folder already.
    QVERIFY(processSettingsArePrivate);
    QVERIFY(QSettings().fileName().startsWith(QDir::tempPath()));
    Harness h;
    QVERIFY(QSettings().fileName().startsWith(h.settings.path()));
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("korvel"));
}

// A filled 25 x 35 grid whose entries are no words: a report of about 250
// lines, in a dialog that fits the screen, OK in view and the text scrolling.
void TestUiHabits::longStatisticsFitTheScreen() {
    RealHarness h;
    QVERIFY(h.loaded());
    QVERIFY(answerNewGrid(h.w(), QStringLiteral("25"), QStringLiteral("35")));
    for (int r = 0; r < 25; ++r)
        for (int c = 0; c < 35; ++c)
            layCell(h.w(), r, c, c % 4 == 3 || r % 4 == 3 ? BLACK : 'Q');
    h.w().rinfresca();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QRect shown;
    QRect okButton;
    int scrollRange = -1;
    QString text;
    h.desktop.onReal = [&](QWidget* modal) {
        QTest::qWait(20);
        shown = modal->frameGeometry();
        for (QPushButton* b : modal->findChildren<QPushButton*>())
            if (b->isVisible())
                okButton = QRect(b->mapToGlobal(QPoint(0, 0)), b->size());
        if (auto* area = modal->findChild<QScrollArea*>())
            scrollRange = area->verticalScrollBar()->maximum();
        for (QLabel* l : modal->findChildren<QLabel*>())
            if (l->text().contains(QStringLiteral("Words not in")))
                text = l->text();
    };
    h.w().menuItem(QStringLiteral("Statistiche"))->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].title, QStringLiteral("Grid Statistics"));
    const int lines = static_cast<int>(h.desktop.boxes()[0].text.count(QStringLiteral("\r\n")));
    QVERIFY2(lines > 240, qPrintable(QString::number(lines)));
    QVERIFY2(within(shown, screen), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                   .arg(shown.x())
                                                   .arg(shown.y())
                                                   .arg(shown.width())
                                                   .arg(shown.height())));
    QVERIFY(!okButton.isEmpty());
    QVERIFY(within(okButton, screen));
    QVERIFY(scrollRange > 0);
    // The whole report is there, as the box had it.
    QCOMPARE(
        text,
        QString(h.desktop.boxes()[0].text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// Without a window manager nothing activates the window again when a box
// closes: the box gives the focus back, so Ctrl+Z works at once.
void TestUiHabits::focusComesBackAfterABox() {
    RealHarness h;
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QVERIFY(answerNewGrid(w, QStringLiteral("3"), QStringLiteral("3")));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.toolButton(QStringLiteral("a3"))->trigger();
    QTest::mouseClick(w.Peri(), Qt::LeftButton, {}, w.Peri()->toPixel(QPointF(0.5, 0.5)));
    w.Peri()->setFocus();
    QTest::keyClick(w.Peri(), Qt::Key_A);
    QCOMPARE(w.grid().cell(0, 0), 'A');
    w.AiutoQuick_Click();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&w));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Peri()));
    QTest::keyClick(w.Peri(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.grid().cell(0, 0), '?');
    QTest::keyClick(w.Peri(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w.grid().cell(0, 0), 'A');
    // The TEST field keeps the focus it had.
    w.textb()->setFocus();
    w.AiutoQuick_Click();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.textb()));
}

void TestUiHabits::helpWithoutBrowserNamesTheFile() {
    Harness h;
    QVERIFY(h.loaded());
    h.desktop.openSucceeds = false;
    h.item("AiutoF1")->trigger();
    QCOMPARE(h.desktop.opened.size(), 1);
    QCOMPARE(h.desktop.boxes().size(), 1);
    const ScriptedDesktop::Shown box = h.desktop.boxes()[0];
    QCOMPARE(box.title, QStringLiteral("Help"));
    QVERIFY2(box.text.endsWith(QDir::toNativeSeparators(h.w().helpPage())), qPrintable(box.text));
    QVERIFY(box.text.contains(QStringLiteral("No browser")));
    // With a browser, no box.
    h.desktop.openSucceeds = true;
    h.desktop.clear();
    h.item("AiutoF1")->trigger();
    QCOMPARE(h.desktop.opened.size(), 1);
    QVERIFY(h.desktop.boxes().isEmpty());
}

void TestUiHabits::fileKeys() {
    // Before the dictionaries are loaded the keys do nothing.
    {
        Harness early(60000);
        early.activate();
        QVERIFY(early.item("menuNuovo")->shortcut().isEmpty());
        QTest::keyClick(&early.w(), Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(&early.w(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(early.desktop.shown.isEmpty());
        QCOMPARE(early.w().grid().RowCount, int16_t{0});
    }
    Harness h;
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    const std::pair<const char*, QKeySequence> keys[] = {
        {"menuNuovo", QKeySequence(QStringLiteral("Ctrl+N"))},
        {"menuApri", QKeySequence(QStringLiteral("Ctrl+O"))},
        {"Salva", QKeySequence(QStringLiteral("Ctrl+S"))},
        {"Salvacome", QKeySequence(QStringLiteral("Ctrl+Shift+S"))},
        {"Stampa", QKeySequence(QStringLiteral("Ctrl+P"))},
        {"menuEsci", QKeySequence(QStringLiteral("Ctrl+Q"))},
    };
    for (const auto& [name, key] : keys)
        QCOMPARE(h.item(name)->shortcut(), key);
    QVERIFY(h.activate());
    // No grid: Save and Save as... are both off, and Ctrl+S does nothing.
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(h.desktop.shown.isEmpty());

    // Ctrl+N: the New dialog and a new grid.
    answerDimensions(QStringLiteral("3"), QStringLiteral("4"));
    QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(w.grid().RowCount, int16_t{3});
    // The dialog gave the focus back to the window.
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&w));
    QCOMPARE(w.grid().ColumnCount, int16_t{4});
    h.setRows(SmallRows);
    // Ctrl+P with no menu opened: the print dialog.
    QTest::keyClick(w.Peri(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(h.last("print"));
    // Ctrl+S on a new grid: Save stays off, and the key opens Save as...;
    // cancelled, it leaves the grid as Save as... always did.
    h.desktop.clear();
    QVERIFY(!h.item("Salva")->isEnabled());
    QTest::keyClick(w.Peri(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(h.desktop.shown.size(), 1);
    QCOMPARE(h.desktop.shown[0].kind, QStringLiteral("save"));
    QCOMPARE(h.desktop.shown[0].title, QStringLiteral("Select the file to save"));
    QVERIFY(!h.item("Salva")->isEnabled());
    QCOMPARE(w.CurrentFile(), QStringLiteral(".kvl"));
    QCOMPARE(w.DocumentChanged(), int16_t{0});
    h.desktop.clear();
    // Ctrl+Shift+S: Save as...
    const QString file = h.path(QStringLiteral("keys.kvl"));
    h.desktop.fileAnswers << file;
    QTest::keyClick(w.Peri(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(h.desktop.shown.size(), 1);
    QCOMPARE(h.desktop.shown[0].kind, QStringLiteral("save"));
    QCOMPARE(w.CurrentFile(), file);
    QVERIFY(h.item("Salva")->isEnabled());
    // Ctrl+S: Save, without a dialog.
    h.change(0, 0, 'Z');
    QTest::keyClick(w.Peri(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(h.desktop.shown.size(), 1);
    QVERIFY(readAll(file).contains("\"ZATS\""));
    QCOMPARE(w.DocumentChanged(), int16_t{0});
    // Ctrl+O: the open dialog (cancelled).
    QTest::keyClick(w.Peri(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(h.desktop.shown.size(), 2);
    QCOMPARE(h.desktop.shown[1].kind, QStringLiteral("open"));
    // Ctrl+Q: Exit, which asks about changes first.
    h.change(0, 0, 'Y');
    h.desktop.boxAnswers << MsgAnswer::Cancel;
    QTest::keyClick(w.Peri(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(h.desktop.boxes().size(), 1);
    QVERIFY(!h.desktop.ended);
    h.desktop.boxAnswers << MsgAnswer::No;
    QTest::keyClick(w.Peri(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(h.desktop.ended);
}

void TestUiHabits::fileKeysNeverType() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3));
    MainWindow& w = h.w();
    QVERIFY(h.activate());
    h.key("a3")->trigger();
    h.clickCell(0, 0);
    // Save as... is cancelled, Save and Print do nothing or are cancelled,
    // Open is cancelled: no key of them types a letter.
    for (Qt::KeyboardModifiers m :
         {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::ShiftModifier})
        for (Qt::Key k : {Qt::Key_S, Qt::Key_P, Qt::Key_O})
            QTest::keyClick(w.Peri(), k, m);
    QCOMPARE(h.row(0), QStringLiteral("???"));
    QCOMPARE(w.DocumentChanged(), int16_t{0});
    QTest::keyClick(w.Peri(), Qt::Key_S);
    QCOMPARE(h.cell(0, 0), 'S');
}

void TestUiHabits::exportAndPrintSayWhere() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    const QString ipuz = h.path(QStringLiteral("small.ipuz"));
    h.exportAs(ipuz, 0);
    QVERIFY(QFile::exists(ipuz));
    QCOMPARE(h.panel(2), QStringLiteral(" exported to ") + ipuz + QLatin1Char(' '));
    QCOMPARE(h.w().Stb1()->hint(2), ipuz);

    h.exportAs(h.path(QStringLiteral("pictures")), 3);
    QCOMPARE(h.panel(2), QStringLiteral(" exported to ") + h.path(QStringLiteral("pictures.svg")) +
                             QStringLiteral(" and pictures-solution.svg "));

    // A long path shows its start and its end; the hint has all of it.
    const QString deep = h.path(QString(60, u'd'));
    QVERIFY(QDir().mkpath(deep));
    const QString far = deep + QStringLiteral("/far.puz");
    h.exportAs(far, 1);
    QVERIFY(QFile::exists(far));
    QVERIFY(h.panel(2).startsWith(QStringLiteral(" exported to ") + far.left(20) +
                                  QStringLiteral("...")));
    QVERIFY(h.panel(2).endsWith(QStringLiteral("/far.puz ")));
    QVERIFY(h.panel(2).size() < 90);
    QCOMPARE(h.w().Stb1()->hint(2), far);

    const QString paper = h.path(QStringLiteral("paper.pdf"));
    h.desktop.printAnswers << paper;
    h.choose("Stampa");
    QVERIFY(QFile::exists(paper));
    QCOMPARE(h.panel(2), QStringLiteral(" printed to ") + paper + QLatin1Char(' '));
    // A cancelled print says nothing new.
    h.w().Stb1()->setText(2, QStringLiteral(" "));
    h.choose("Stampa");
    QCOMPARE(h.panel(2), QStringLiteral(" "));
    QVERIFY(h.desktop.boxes().isEmpty());
}

// Dictionaries in a read-only folder (as the installed ones are): Open, Save
// as, Export and a print to a file start in the documents folder, and a
// folder chosen in any of them is remembered for the next start.
void TestUiHabits::dialogsStartInAPlaceForFiles() {
    PrivateHome home;
    const QString documents = home.documents();
    const QString remembered = documents + QStringLiteral("/grids");
    QTemporaryDir settings;
    {
        Harness h(60000, settings.path());
        const ModeGuard readOnly(h.dir.path(), 0555);
        h.w().Timer0()->start(1);
        QVERIFY(h.loaded());
        QVERIFY(!h.desktop.ended);
        QVERIFY(!isPlaceForFiles(h.dir.path()));
        QVERIFY(h.newGrid(3, 4, SmallRows));
        // New makes the dictionaries folder the one Open names.
        QCOMPARE(h.w().OpenFolder(), QString::fromStdString(h.w().store().DictFolder));
        h.choose("menuApri");
        QCOMPARE(h.last("open")->folder, documents);
        h.choose("Salvacome");
        QCOMPARE(h.last("save")->folder, documents);
        QCOMPARE(h.last("save")->proposal, QStringLiteral(".kvl"));
        h.choose("Esporta");
        QCOMPARE(h.last("export")->folder, documents);
        QCOMPARE(h.last("export")->proposal, QStringLiteral("crossword.ipuz"));
        h.choose("Stampa");
        QCOMPARE(h.last("print")->proposal, documents + QStringLiteral("/crossword.pdf"));

        // A folder chosen is remembered.
        QVERIFY(QDir().mkpath(remembered));
        h.desktop.fileAnswers << remembered + QStringLiteral("/first.kvl");
        h.choose("Salvacome");
        QVERIFY(QFile::exists(remembered + QStringLiteral("/first.kvl")));
    }
    // The next start, in the same read-only folder, starts where the last
    // choice was made.
    Harness again(60000, settings.path());
    const ModeGuard readOnly(again.dir.path(), 0555);
    again.w().Timer0()->start(1);
    QVERIFY(again.loaded());
    QVERIFY(again.newGrid(2, 2));
    again.choose("Salvacome");
    QCOMPARE(again.last("save")->folder, remembered);
    again.choose("menuApri");
    QCOMPARE(again.last("open")->folder, remembered);
    // A remembered folder that is gone: the documents folder again.
    QVERIFY(QDir(remembered).removeRecursively());
    again.choose("Esporta");
    QCOMPARE(again.last("export")->folder, documents);
}

void TestUiHabits::namedFolderKeptWhereWritable() {
    PrivateHome home;
    const QString documents = home.documents();
    // A build folder (it holds CMakeFiles, as build/dictionaries does) is
    // no place for grids, however writable.
    {
        Harness h(60000);
        QVERIFY(QDir(h.dir.path()).mkdir(QStringLiteral("CMakeFiles")));
        h.w().Timer0()->start(1);
        QVERIFY(h.loaded());
        QVERIFY(h.newGrid(2, 2));
        h.choose("Salvacome");
        QCOMPARE(h.last("save")->folder, documents);
    }
    // A file opened from a read-only folder: Save as proposes its name in a
    // place for files; Export and Print propose the grid's name there.
    {
        Harness h;
        QVERIFY(h.loaded());
        const QString folder = h.path(QStringLiteral("shelf"));
        QVERIFY(QDir().mkpath(folder));
        writeFile(folder + QStringLiteral("/spring.kvl"),
                  QByteArray("2,2\r\n\"AB\"\r\n\"CD\"\r\n"));
        const ModeGuard readOnly(folder, 0555);
        h.desktop.fileAnswers << folder + QStringLiteral("/spring.kvl");
        h.choose("menuApri");
        QCOMPARE(h.w().CurrentFile(), folder + QStringLiteral("/spring.kvl"));
        // The current folder is the file's, read-only: the remembered one
        // (the folder of this very choice) is no place either.
        h.choose("Salvacome");
        QCOMPARE(h.last("save")->folder, documents);
        QCOMPARE(h.last("save")->proposal, QStringLiteral("spring.kvl"));
        QCOMPARE(h.w().CurrentFile(), folder + QStringLiteral("/spring.kvl"));
        h.choose("Esporta");
        QCOMPARE(h.last("export")->folder, documents);
        QCOMPARE(h.last("export")->proposal, QStringLiteral("spring.ipuz"));
        h.choose("Stampa");
        QCOMPARE(h.last("print")->proposal, documents + QStringLiteral("/spring.pdf"));
        QCOMPARE(h.last("print")->title, QStringLiteral("spring"));
    }
    // The installed data is no place for files, even where it may be written
    // (as root may).
    QTemporaryDir data;
    const QString installed = data.filePath(QStringLiteral("share/korvel"));
    QVERIFY(QDir().mkpath(installed + QStringLiteral("/dictionaries/it")));
    QVERIFY(QDir().mkpath(data.filePath(QStringLiteral("grids"))));
    QVERIFY(!isPlaceForFiles(installed + QStringLiteral("/dictionaries/it"), installed));
    QVERIFY(!isPlaceForFiles(installed, installed));
    QVERIFY(isPlaceForFiles(data.filePath(QStringLiteral("grids")), installed));
    QVERIFY(isPlaceForFiles(data.filePath(QStringLiteral("share")), installed));
    QVERIFY(!isPlaceForFiles(data.filePath(QStringLiteral("missing")), installed));
    // Nor is a build tree: scripts/run --english starts in build/dictionaries/en.
    QVERIFY(QDir().mkpath(data.filePath(QStringLiteral("repo/build/dictionaries/en"))));
    writeFile(data.filePath(QStringLiteral("repo/build/CMakeCache.txt")), QByteArray("# cache\n"));
    QVERIFY(
        !isPlaceForFiles(data.filePath(QStringLiteral("repo/build/dictionaries/en")), installed));
    QVERIFY(!isPlaceForFiles(data.filePath(QStringLiteral("repo/build")), installed));
    QVERIFY(isPlaceForFiles(data.filePath(QStringLiteral("repo")), installed));
}

void TestUiHabits::gridNameProposed() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    PuzzleDetails details;
    details.title = "Spring/Song\x01 ";
    h.w().document().edit([&](DocumentEdit& e) { e.setDetails(details); });
    h.choose("Esporta");
    QCOMPARE(h.last("export")->proposal, QStringLiteral("Spring Song.ipuz"));
    QCOMPARE(h.last("export")->folder, QDir::currentPath());
    h.choose("Stampa");
    QCOMPARE(h.last("print")->proposal, h.path(QStringLiteral("Spring Song.pdf")));
    // A saved grid proposes its file's name, in its folder.
    QDir().mkpath(h.path(QStringLiteral("sub")));
    h.desktop.fileAnswers << h.path(QStringLiteral("sub/autumn.kvl"));
    h.choose("Salvacome");
    QDir::setCurrent(h.dir.path());
    h.choose("Esporta");
    QCOMPARE(h.last("export")->proposal, QStringLiteral("autumn.ipuz"));
    QCOMPARE(h.last("export")->folder, h.path(QStringLiteral("sub")));
    h.choose("Stampa");
    QCOMPARE(h.last("print")->proposal, h.path(QStringLiteral("sub/autumn.pdf")));
}

// The real print dialog shows the proposal as the file to print to.
void TestUiHabits::printDialogShowsTheProposal() {
    RealHarness h;
    QVERIFY(h.loaded());
    h.desktop.realPrinter = true;
    QVERIFY(answerNewGrid(h.w(), QStringLiteral("3"), QStringLiteral("4")));
    QString fileField;
    bool printDialog = false;
    h.desktop.onReal = [&](QWidget* modal) {
        printDialog = qobject_cast<QPrintDialog*>(modal) != nullptr;
        if (auto* field = modal->findChild<QLineEdit*>(QStringLiteral("filename")))
            fileField = field->text();
    };
    h.w().Stampa_Click();
    QVERIFY(printDialog);
    QCOMPARE(fileField, h.dir.filePath(QStringLiteral("crossword.pdf")));
    QVERIFY(!QFile::exists(h.dir.filePath(QStringLiteral("crossword.pdf"))));
}

void TestUiHabits::recentFiles() {
    Harness h;
    QVERIFY(h.loaded());
    // Nothing opened yet: no Recent item at all.
    QVERIFY(h.recentCaptions().isEmpty());
    QStringList files;
    for (int i = 0; i < 12; ++i) {
        files << h.path(QStringLiteral("g%1.kvl").arg(i));
        writeFile(files.last(), QByteArray("2,2\r\n\"AB\"\r\n\"CD\"\r\n"));
    }
    h.desktop.fileAnswers << files[0] << files[1];
    h.choose("menuApri");
    h.choose("menuApri");
    QCOMPARE(h.recentCaptions(), (QStringList{files[1], files[0]}));
    // Save as puts its file first; the submenu sits after Save as...
    h.desktop.fileAnswers << h.path(QStringLiteral("saved"));
    h.choose("Salvacome");
    const QString saved = h.path(QStringLiteral("saved.kvl"));
    QCOMPARE(h.recentCaptions(), (QStringList{saved, files[1], files[0]}));
    const QList<QAction*> items = h.w().fileMenu()->actions();
    QCOMPARE(items.indexOf(h.item("Salvacome")) + 1,
             items.indexOf(
                 h.w().fileMenu()->findChild<QMenu*>(QStringLiteral("Recenti"))->menuAction()));
    QCOMPARE(h.w().fileMenu()->findChild<QMenu*>(QStringLiteral("Recenti"))->title(),
             QStringLiteral("Recent"));
    // Ten at most, the newest first; opening one again moves it up.
    for (int i = 2; i < 12; ++i) {
        h.desktop.fileAnswers << files[i];
        h.choose("menuApri");
    }
    QStringList expected;
    for (int i = 11; i >= 2; --i)
        expected << files[i];
    QCOMPARE(h.recentCaptions(), expected);
    // Choosing one opens it as Open... does.
    h.recentCaptions();
    h.w().fileMenu()->findChild<QAction*>(QStringLiteral("Recente3"))->trigger();
    QCOMPARE(h.w().CurrentFile(), files[9]);
    QCOMPARE(h.w().windowTitle(), Product + files[9]);
    QCOMPARE(h.recentCaptions().first(), files[9]);
    // A file that is gone: the usual error, and it leaves the list.
    QVERIFY(QFile::remove(files[5]));
    h.desktop.clear();
    h.recentCaptions();
    const int gone = static_cast<int>(h.recentCaptions().indexOf(files[5]));
    QVERIFY(gone >= 0);
    h.w().fileMenu()->findChild<QAction*>(QStringLiteral("Recente%1").arg(gone + 1))->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text,
             QStringLiteral("Errors in Open/Save File. Exit and retry."));
    QCOMPARE(h.w().CurrentFile(), files[9]);
    QVERIFY(!h.recentCaptions().contains(files[5]));
    const QStringList left = h.recentCaptions();

    // The next start lists the same files.
    Harness next(5, h.settings.path());
    QVERIFY(next.loaded());
    QCOMPARE(next.recentCaptions(), left);
}

// The window starts maximised; un-maximised and moved, its place is
// remembered and the next start shows it there. Maximised again, it is
// forgotten. The zoom is not remembered: a new grid starts at the original
// size.
void TestUiHabits::windowPlaceRemembered() {
    QTemporaryDir settings;
    QRect left;
    int32_t startCell = 0;
    {
        Harness h(5, settings.path());
        QVERIFY(h.loaded());
        QVERIFY(h.w().isMaximized());
        QVERIFY(h.newGrid(5, 5));
        startCell = h.w().dimv();
        h.w().Ingrandisci_Click();
        QVERIFY(h.w().dimv() > startCell);
        QTest::qWait(600);
        QVERIFY(!QSettings().contains(WindowPlace::settingsKey()));
        h.w().showNormal();
        h.w().setGeometry(40, 50, 1000, 600);
        QTRY_VERIFY(QSettings().contains(WindowPlace::settingsKey()));
        QCOMPARE(h.w().geometry(), QRect(40, 50, 1000, 600));
        // Moved again just before the end: the last place is written.
        h.w().move(60, 70);
        QTest::qWait(10);
        left = h.w().geometry();
        QCOMPARE(h.w().pos(), QPoint(60, 70));
    }
    {
        Harness h(5, settings.path());
        QVERIFY(h.loaded());
        QVERIFY(!h.w().isMaximized());
        QCOMPARE(h.w().geometry(), left);
        // The zoom of the last run is not kept: a new grid starts at the
        // original size.
        QVERIFY(h.newGrid(5, 5));
        QCOMPARE(h.w().dimv(), startCell);
        // Maximised again: forgotten.
        h.w().showMaximized();
        QTRY_VERIFY(!QSettings().contains(WindowPlace::settingsKey()));
    }
    Harness h(5, settings.path());
    QVERIFY(h.loaded());
    QVERIFY(h.w().isMaximized());
}

QTEST_MAIN(TestUiHabits)
#include "test_ui_habits.moc"
