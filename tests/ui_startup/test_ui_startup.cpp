// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start: which dictionaries folder it loads when the
// current directory holds no base.diz, and a .kvl file given on the command
// line, which must leave the window exactly as "Open..." leaves it.
#include "datafolders.h"
#include "loader.h"
#include "mainwindow.h"
#include "scripteddesktop.h"
#include "uiharness.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>

using namespace korvel;
using namespace korvel::uitest;

namespace {

// A start in a folder of its own, with XDG_DATA_HOME pointing at a private
// folder, so that no dictionaries of the machine's user take part.
struct Start : WindowHarness {
    QString userFolder() const { return path(QStringLiteral("data/korvel/dictionaries")); }

    Start() {
        qputenv("XDG_DATA_HOME", path(QStringLiteral("data")).toLocal8Bit());
        QDir().mkpath(path(QStringLiteral("here")));
    }

    void run(const QString& startFile = QString()) {
        start(quickTimings(), path(QStringLiteral("here")));
        window->setStartFile(startFile);
    }
};

// What "Open..." leaves behind, for comparing two windows.
struct OpenedState {
    QString caption;
    std::vector<std::string> rows;
    int rowCount = 0;
    int columnCount = 0;
    int maxSide = 0;
    QString currentFile;
    QString openFolder;
    QString currentPath;
    int documentChanged = -1;
    int historyLength = -1;
    bool save = false;
    bool saveAs = false;
    int tool = -1;
    QString toolKey;
    QList<ScriptedDesktop::Shown> boxes;

    static OpenedState of(Start& s) {
        MainWindow& w = *s.window;
        OpenedState o;
        o.caption = w.windowTitle();
        o.rows.assign(w.grid().GridRows.begin(), w.grid().GridRows.end());
        o.rowCount = w.grid().RowCount;
        o.columnCount = w.grid().ColumnCount;
        o.maxSide = w.grid().MaxSide;
        o.currentFile = w.CurrentFile();
        o.openFolder = w.OpenFolder();
        o.currentPath = QDir::currentPath();
        o.documentChanged = w.DocumentChanged();
        o.historyLength = w.history().HistoryLength();
        o.save = w.menuItem(QStringLiteral("Salva"))->isEnabled();
        o.saveAs = w.menuItem(QStringLiteral("Salvacome"))->isEnabled();
        o.tool = w.CurrentTool();
        o.toolKey = w.CurrentToolKey();
        o.boxes = s.desktop.boxes();
        return o;
    }
};

void compareStates(const OpenedState& a, const OpenedState& b) {
    QCOMPARE(a.caption, b.caption);
    QVERIFY(a.rows == b.rows);
    QCOMPARE(a.rowCount, b.rowCount);
    QCOMPARE(a.columnCount, b.columnCount);
    QCOMPARE(a.maxSide, b.maxSide);
    QCOMPARE(a.currentFile, b.currentFile);
    QCOMPARE(a.openFolder, b.openFolder);
    QCOMPARE(a.currentPath, b.currentPath);
    QCOMPARE(a.documentChanged, b.documentChanged);
    QCOMPARE(a.historyLength, b.historyLength);
    QCOMPARE(a.save, b.save);
    QCOMPARE(a.saveAs, b.saveAs);
    QCOMPARE(a.tool, b.tool);
    QCOMPARE(a.toolKey, b.toolKey);
    QCOMPARE(a.boxes.size(), b.boxes.size());
    for (int i = 0; i < a.boxes.size(); ++i) {
        QCOMPARE(a.boxes[i].title, b.boxes[i].title);
        QCOMPARE(a.boxes[i].text, b.boxes[i].text);
    }
}

} // namespace

class TestUiStartup : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }
    void dictionaryFolder_data();
    void dictionaryFolder();
    void languageSubfolder_data();
    void languageSubfolder();
    void startFileOpensAsOpenDoes_data();
    void startFileOpensAsOpenDoes();
    void startFileAfterFailedLoadIsNotOpened();
    void missingBaseNamesEveryFolder();
};

void TestUiStartup::dictionaryFolder_data() {
    QTest::addColumn<QString>("current");  // fixture in the start folder, or ""
    QTest::addColumn<QString>("user");     // fixture in the per-user folder, or ""
    QTest::addColumn<QString>("expected"); // "here", "user" or "" (missing base.diz)
    QTest::newRow("current folder with base.diz") << "grid"
                                                  << "basic"
                                                  << "here";
    QTest::newRow("no base.diz here: per-user") << "nobase"
                                                << "grid"
                                                << "user";
    QTest::newRow("neither holds base.diz") << "nobase"
                                            << "nobase"
                                            << "";
    QTest::newRow("no per-user folder") << "nobase"
                                        << ""
                                        << "";
}

void TestUiStartup::dictionaryFolder() {
    QFETCH(QString, current);
    QFETCH(QString, user);
    QFETCH(QString, expected);
    Start s;
    copyFiles(uiFixture(current), s.path(QStringLiteral("here")));
    if (!user.isEmpty())
        copyFiles(uiFixture(user), s.userFolder());
    s.run();
    QVERIFY(s.loaded());
    if (expected.isEmpty()) {
        // The start folder is kept, and its missing base.diz ends the program.
        QVERIFY(s.desktop.ended);
        QCOMPARE(s.desktop.boxes().size(), 1);
        QCOMPARE(s.desktop.boxes()[0].text,
                 QStringLiteral("... mandatory dictionary is missing: base.diz !"));
        QCOMPARE(QString::fromStdString(s.window->store().DictFolder),
                 s.path(QStringLiteral("here/")));
        return;
    }
    QVERIFY(!s.desktop.ended);
    const QString folder =
        expected == QLatin1String("here") ? s.path(QStringLiteral("here")) : s.userFolder();
    QCOMPARE(QString::fromStdString(s.window->store().DictFolder), folder + QLatin1Char('/'));
    QCOMPARE(QString::fromStdString(s.library.dictFolder), folder + QLatin1Char('/'));
    // The loaded text is that folder's base.diz.
    QFile base(folder + QStringLiteral("/base.diz"));
    QVERIFY(base.open(QIODevice::ReadOnly));
    QCOMPARE(QByteArray::fromStdString(s.window->store().DictText[1]), base.readAll());
    // The start folder stays the current directory.
    QCOMPARE(QDir::currentPath(), s.path(QStringLiteral("here")));
}

void TestUiStartup::languageSubfolder_data() {
    QTest::addColumn<QByteArray>("remembered"); // the settings file, or null for none
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QString>("expected"); // the subfolder loaded
    QTest::newRow("remembered Italian") << QByteArray("it\n") << QByteArray("en_GB.UTF-8") << "it";
    QTest::newRow("remembered English") << QByteArray("en\n") << QByteArray("it_IT.UTF-8") << "en";
    QTest::newRow("Italian locale") << QByteArray() << QByteArray("it_IT.UTF-8") << "it";
    QTest::newRow("other locale") << QByteArray() << QByteArray("de_DE.UTF-8") << "en";
    QTest::newRow("unknown setting: the locale")
        << QByteArray("fr\n") << QByteArray("it_IT") << "it";
}

// No base.diz here nor in the per-user folder itself: the subfolder of the
// chosen language is loaded, and the scratch document stays in it.
void TestUiStartup::languageSubfolder() {
    QFETCH(QByteArray, remembered);
    QFETCH(QByteArray, lcAll);
    QFETCH(QString, expected);
    Start s;
    qputenv("XDG_CONFIG_HOME", s.path(QStringLiteral("config")).toLocal8Bit());
    // The folder is chosen while the window loads, after run() returns.
    struct LocaleGuard {
        QByteArray old = qgetenv("LC_ALL");
        explicit LocaleGuard(const QByteArray& value) { qputenv("LC_ALL", value); }
        ~LocaleGuard() {
            if (old.isNull())
                qunsetenv("LC_ALL");
            else
                qputenv("LC_ALL", old);
        }
    } locale(lcAll);
    copyFiles(uiFixture(QStringLiteral("nobase")), s.path(QStringLiteral("here")));
    copyFiles(uiFixture(QStringLiteral("nobase")), s.userFolder());
    copyFiles(uiFixture(QStringLiteral("grid")), s.userFolder() + QStringLiteral("/it"));
    copyFiles(uiFixture(QStringLiteral("basic")), s.userFolder() + QStringLiteral("/en"));
    if (!remembered.isNull()) {
        QDir().mkpath(s.path(QStringLiteral("config/korvel")));
        writeFile(s.path(QStringLiteral("config/korvel/language")), remembered);
    }
    s.run();
    QVERIFY(s.loaded());
    QVERIFY(!s.desktop.ended);
    const QString folder = s.userFolder() + QLatin1Char('/') + expected;
    QCOMPARE(QString::fromStdString(s.window->store().DictFolder), folder + QLatin1Char('/'));
    QFile base(folder + QStringLiteral("/base.diz"));
    QVERIFY(base.open(QIODevice::ReadOnly));
    QCOMPARE(QByteArray::fromStdString(s.window->store().DictText[1]), base.readAll());
    // What each choice of language would load from here, whatever is remembered.
    QCOMPARE(QString::fromStdString(startupDictionaryFolder(DictionaryLanguage::Italian)),
             s.userFolder() + QStringLiteral("/it/"));
    QCOMPARE(QString::fromStdString(startupDictionaryFolder(DictionaryLanguage::English)),
             s.userFolder() + QStringLiteral("/en/"));
}

void TestUiStartup::startFileOpensAsOpenDoes_data() {
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::newRow("a grid") << QByteArray("2,3\r\n\"ABC\"\r\n\"D?F\"\r\n");
    QTest::newRow("black cells and 8-bit letters")
        << QByteArray("2,2\r\n\"A\x10\"\r\n\"\xc8?\"\r\n");
    QTest::newRow("rows missing") << QByteArray("5,3\r\n\"ABC\"\r\n");
    QTest::newRow("no such file") << QByteArray();
}

void TestUiStartup::startFileOpensAsOpenDoes() {
    QFETCH(QByteArray, content);
    // Two starts on the same dictionaries: one names the file on the command
    // line, the other opens it through the menu and its dialog.
    OpenedState viaMenu;
    OpenedState viaCommandLine;
    for (bool commandLine : {false, true}) {
        Start s;
        copyFiles(uiFixture(QStringLiteral("grid")), s.path(QStringLiteral("here")));
        // The file lies under the same path in both starts, so that captions
        // and folders compare equal.
        const QString fixed = QDir::tempPath() + QStringLiteral("/korvel-startup-test");
        QDir(fixed).removeRecursively();
        QVERIFY(QDir().mkpath(fixed));
        const QString shown = fixed + QStringLiteral("/puzzle.kvl");
        if (!content.isNull())
            writeFile(shown, content);
        s.run(commandLine ? shown : QString());
        QVERIFY(s.loaded());
        QVERIFY(!s.desktop.ended);
        if (commandLine) {
            for (const auto& d : s.desktop.shown)
                QVERIFY2(d.kind != QLatin1String("open"), "no dialog for a named file");
            viaCommandLine = OpenedState::of(s);
        } else {
            s.desktop.fileAnswers << shown;
            s.window->menuApri_Click();
            viaMenu = OpenedState::of(s);
        }
        QDir(fixed).removeRecursively();
    }
    compareStates(viaCommandLine, viaMenu);
    if (content.startsWith("2,")) {
        QCOMPARE(viaCommandLine.caption, QStringLiteral("  KORVEL   ") + QDir::tempPath() +
                                             QStringLiteral("/korvel-startup-test/puzzle.kvl"));
        QCOMPARE(viaCommandLine.documentChanged, 0);
        QVERIFY(viaCommandLine.boxes.isEmpty());
    } else {
        QCOMPARE(viaCommandLine.boxes.size(), 1);
        QCOMPARE(viaCommandLine.boxes[0].text,
                 QStringLiteral("Errors in Open/Save File. Exit and retry."));
        QCOMPARE(viaCommandLine.caption, QStringLiteral("  KORVEL   "));
        QCOMPARE(viaCommandLine.rowCount, 0);
    }
}

void TestUiStartup::startFileAfterFailedLoadIsNotOpened() {
    Start s;
    copyFiles(uiFixture(QStringLiteral("nobase")), s.path(QStringLiteral("here")));
    const QString file = s.path(QStringLiteral("puzzle.kvl"));
    writeFile(file, QByteArray("2,2\r\n\"AB\"\r\n\"CD\"\r\n"));
    s.run(file);
    QVERIFY(s.loaded());
    QVERIFY(s.desktop.ended);
    QCOMPARE(s.desktop.boxes().size(), 1);
    QCOMPARE(s.window->grid().RowCount, int16_t{0});
    QCOMPARE(s.window->CurrentFile(), QString());
}

// Started where no folder holds base.diz (cd out; korvel grid.kvl): the
// fatal box's details name every folder searched, in order, and how to give
// the program dictionaries.
void TestUiStartup::missingBaseNamesEveryFolder() {
    Start s;
    qputenv("XDG_CONFIG_HOME", s.path(QStringLiteral("config")).toLocal8Bit());
    QDir().mkpath(s.path(QStringLiteral("config/korvel")));
    writeFile(s.path(QStringLiteral("config/korvel/language")), QByteArray("en\n"));
    copyFiles(uiFixture(QStringLiteral("nobase")), s.userFolder());
    const QString here = s.path(QStringLiteral("here"));
    s.run(s.path(QStringLiteral("grid15.kvl")));
    QVERIFY(s.loaded());
    QVERIFY(s.desktop.ended);
    QCOMPARE(s.desktop.boxes().size(), 1);
    const ScriptedDesktop::Shown box = s.desktop.boxes()[0];
    QCOMPARE(box.text, QStringLiteral("... mandatory dictionary is missing: base.diz !"));
    const QStringList lines = box.detail.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(0), QStringLiteral("base.diz is not in ") + here + QLatin1Char('/'));
    const auto installed = [](DictionaryLanguage l) {
        return QString::fromStdString(installedDictionaryFolder(l));
    };
    const QStringList searched = {
        QStringLiteral("Folders searched for base.diz, in order:"),
        QStringLiteral("1. ") + here + QStringLiteral("/ (the current folder): no base.diz in it"),
        QStringLiteral("2. ") + s.userFolder() +
            QStringLiteral("/ (your own lists): no base.diz in it"),
        QStringLiteral("3. ") + s.userFolder() +
            QStringLiteral("/en/ (your own lists in English): no such folder"),
        QStringLiteral("4. ") + installed(DictionaryLanguage::English) +
            QStringLiteral("/ (the installed English set): no such folder"),
        QStringLiteral("5. ") + installed(DictionaryLanguage::Italian) +
            QStringLiteral("/ (the installed Italian set): no such folder"),
    };
    const qsizetype at = lines.indexOf(searched.first());
    QVERIFY2(at > 0, qPrintable(box.detail));
    QCOMPARE(lines.mid(at, searched.size()), searched);
    QVERIFY(box.detail.contains(QStringLiteral("start it in a folder that holds base.diz")));
    QVERIFY(box.detail.contains(QStringLiteral("put your lists, base.diz among them, in ") +
                                s.userFolder() + QLatin1Char('/')));
    QVERIFY(box.detail.contains(QStringLiteral("install Korvel")));
}

QTEST_MAIN(TestUiStartup)
#include "test_ui_startup.moc"
