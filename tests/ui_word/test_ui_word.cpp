// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's word-processor functions and dictionary viewer command,
// end to end on the offscreen platform with the scripted desktop.

#include "datafolders.h"
#include "dictviewer.h"
#include "hunspellwordservice.h"
#include "loader.h"
#include "mainwindow.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "uiharness.h"
#include "wordqueries.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

using namespace korvel;
using namespace korvel::uitest;

namespace {

const QString FailureText =
    QStringLiteral("This program cannot use MS Word directly.\r\n"
                   "It might happen when MS Word is opened already. If so, exit the program,\r\n"
                   "close MS Word, and then call this program again.");

// What the code under test writes to standard error, caught in a file.
class StderrCapture {
public:
    StderrCapture() {
        file_.open();
        std::fflush(stderr);
        saved_ = dup(2);
        dup2(file_.handle(), 2);
    }
    ~StderrCapture() { restore(); }
    QByteArray text() {
        restore();
        file_.seek(0);
        return file_.readAll();
    }

private:
    void restore() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
        }
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

// Sets an environment variable for the life of the object (unset: nullptr).
class EnvSetting {
public:
    EnvSetting(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        had_ = std::getenv(name) != nullptr;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvSetting() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

bool dictionariesInstalled() {
    return WordDictionaryPaths{}.firstMissing().empty();
}

} // namespace

class TestWordTools : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder;
    ScriptedDesktop desktop;
    std::unique_ptr<MainWindow> window;
    HunspellWordService* service = nullptr;

    void makeWindow(WordDictionaryPaths paths = {}) {
        QDir::setCurrent(folder.path());
        desktop.clear();
        window = std::make_unique<MainWindow>(desktop, [] { return CompanionCall{}; });
        // The tools need no dictionaries of their own; the loading never starts.
        window->Timer0()->stop();
        auto owned = std::make_unique<HunspellWordService>(std::move(paths));
        service = owned.get();
        window->setWordService(std::move(owned));
    }

    QAction* funWord() const { return window->menuItem(QStringLiteral("FunWord")); }
    bool toolsEnabled() const {
        return window->toolButton(QStringLiteral("a10"))->isEnabled() &&
               window->toolButton(QStringLiteral("a11"))->isEnabled();
    }
    bool toolsDisabled() const {
        return !window->toolButton(QStringLiteral("a10"))->isEnabled() &&
               !window->toolButton(QStringLiteral("a11"))->isEnabled();
    }
    QString panel(int i) const { return window->Stb1()->text(i); }
    void runTool(const QString& key, const QString& test) {
        window->textb()->setText(test);
        window->selectTool(key);
    }
    // Clicks the line of the results list that reads text, as the user would.
    bool clickLine(const QString& text) { return clickListLine(window->Lists(), text); }
    void requireDictionaries() {
        if (!dictionariesInstalled())
            QSKIP("hunspell-en-gb or mythes-en-us not installed (scripts/setup installs them)");
    }

private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }
    void cleanup() {
        window.reset();
        service = nullptr;
    }

    void connectionFailureShowsTheMessage() {
        WordDictionaryPaths missing;
        missing.spellingWords = "/nonexistent/en_GB.dic";
        makeWindow(missing);
        funWord()->trigger();

        const QList<ScriptedDesktop::Shown> boxes = desktop.boxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.front().title, QStringLiteral("Attention!"));
        QCOMPARE(boxes.front().text, FailureText);
        QCOMPARE(boxes.front().buttons, MsgButtons::Ok);
        // The check mark stays as set; the tools stay disabled.
        QVERIFY(funWord()->isChecked());
        QVERIFY(toolsDisabled());

        // Switching off closes nothing and says nothing.
        funWord()->trigger();
        QVERIFY(!funWord()->isChecked());
        QCOMPARE(desktop.boxes().size(), 1);
    }

    void switchingOnAndOffTwice() {
        requireDictionaries();
        makeWindow();
        const QString scratch = QDir(folder.path()).filePath(QStringLiteral("~ravor.doc"));
        for (int round = 0; round < 2; ++round) {
            funWord()->trigger();
            QVERIFY(funWord()->isChecked());
            QVERIFY(toolsEnabled());
            QVERIFY(service->isRunning());
            QVERIFY(QFileInfo::exists(scratch));

            funWord()->trigger();
            QVERIFY(!funWord()->isChecked());
            QVERIFY(toolsDisabled());
            QVERIFY(!service->isRunning());
            QVERIFY(QFileInfo::exists(scratch));
        }
        QVERIFY(desktop.boxes().isEmpty());
    }

    void busyWindowIgnoresTheSwitch() {
        makeWindow();
        window->flags().BusyCounter = 2;
        funWord()->trigger();
        QVERIFY(!funWord()->isChecked());
        QVERIFY(toolsDisabled());
        window->flags().BusyCounter = 0;
    }

    void exitClosesTheConnection() {
        requireDictionaries();
        makeWindow();
        funWord()->trigger();
        QVERIFY(service->isRunning());
        window->chiudiword();
        QVERIFY(!service->isRunning());
        QVERIFY(toolsDisabled());
        // Without a connection closing only disables the buttons, silently.
        window->chiudiword();
        QVERIFY(desktop.boxes().isEmpty());
    }

    // The scratch document cannot be made (a folder stands under its name):
    // the box keeps its fixed text, and its details and standard error say
    // what went wrong, with the file's name.
    void scratchFailureNamesTheCause() {
        requireDictionaries();
        makeWindow();
        QDir here(folder.path());
        QFile::remove(here.filePath(QStringLiteral("~ravor.doc")));
        QVERIFY(here.mkpath(QStringLiteral("~ravor.doc/inside")));
        StderrCapture err;
        funWord()->trigger();
        const QByteArray said = err.text();
        QVERIFY(QDir(here.filePath(QStringLiteral("~ravor.doc"))).removeRecursively());

        const QList<ScriptedDesktop::Shown> boxes = desktop.boxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.front().title, QStringLiteral("Attention!"));
        QCOMPARE(boxes.front().text, FailureText);
        QVERIFY2(boxes.front().detail.contains(QStringLiteral("~ravor.doc: Is a directory")),
                 qPrintable(boxes.front().detail));
        QVERIFY2(said.contains("korvel: the word functions cannot start: cannot write"),
                 said.constData());
        QVERIFY2(said.contains("~ravor.doc: Is a directory"), said.constData());
        QVERIFY(toolsDisabled());
        QVERIFY(!service->isRunning());
    }

    // With the installed dictionaries the scratch document goes to the
    // per-user folder; what keeps it from there is named.
    void scratchFolderProblemIsNamed() {
        const std::string installed = installedDictionaryFolder(DictionaryLanguage::English);
        QVERIFY(!installed.empty());
        const QString file = QDir(folder.path()).filePath(QStringLiteral("plain-file"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        std::string problem;
        {
            const QByteArray under = QFile::encodeName(file + QStringLiteral("/data"));
            EnvSetting xdg("XDG_DATA_HOME", under.constData());
            const std::string chosen = scratchDocumentFolder(installed, &problem);
            QCOMPARE(QByteArray::fromStdString(chosen), under + "/korvel/");
            QVERIFY2(problem.find("cannot make the folder " + under.toStdString() + "/korvel: ") ==
                         0,
                     problem.c_str());
        }
        {
            EnvSetting xdg("XDG_DATA_HOME", nullptr);
            EnvSetting home("HOME", nullptr);
            scratchDocumentFolder(installed, &problem);
            QVERIFY2(problem.find("neither XDG_DATA_HOME nor HOME") == 0, problem.c_str());
        }
        // A folder of one's own has nothing in the way.
        scratchDocumentFolder(QFile::encodeName(folder.path()).toStdString(), &problem);
        QCOMPARE(QString::fromStdString(problem), QString());
        QFile::remove(file);
    }

    void thesaurus() {
        requireDictionaries();
        makeWindow();
        funWord()->trigger();
        runTool(QStringLiteral("a10"), QStringLiteral("HAPPY"));
        QCOMPARE(window->CurrentTool(), int16_t(10));
        QCOMPARE(panel(1), QStringLiteral(" THESAURUS of TEST "));
        const QStringList lines = listLines(window->Lists());
        QVERIFY(lines.contains(QStringLiteral("=         synonyms         =")));
        QVERIFY(lines.contains(QStringLiteral(">         antonyms          <")));
        QVERIFY(lines.contains(QStringLiteral("=BLESSED")));
        QVERIFY(lines.contains(QStringLiteral(">UNHAPPY")));
        QCOMPARE(panel(2), QStringLiteral(" %1 Syn./Ant.").arg(lines.size() - 2));
        QCOMPARE(panel(3), QStringLiteral(" "));
        QCOMPARE(desktop.beeps, 0);

        runTool(QStringLiteral("a10"), QStringLiteral("XYZZY"));
        QCOMPARE(listLines(window->Lists()), (QStringList{" ", " no Syn./Ant. "}));
        QCOMPARE(panel(2), QStringLiteral(" no Syn./Ant. "));
        QCOMPARE(desktop.beeps, 1);
    }

    void clickCopiesTheWordIntoTest() {
        requireDictionaries();
        makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        funWord()->trigger();

        runTool(QStringLiteral("a10"), QStringLiteral("HAPPY"));
        QVERIFY(clickLine(QStringLiteral("=BLESSED")));
        QCOMPARE(window->textb()->text(), QStringLiteral("BLESSED"));
        QVERIFY(clickLine(QStringLiteral(">UNHAPPY")));
        QCOMPARE(window->textb()->text(), QStringLiteral("UNHAPPY"));
        // The headers stand for no word.
        QVERIFY(clickLine(QStringLiteral("=         synonyms         =")));
        QVERIFY(clickLine(QStringLiteral(">         antonyms          <")));
        QCOMPARE(window->textb()->text(), QStringLiteral("UNHAPPY"));

        runTool(QStringLiteral("a11"), QStringLiteral("RECIEVE"));
        QVERIFY(clickLine(QStringLiteral("RECEIVE")));
        QCOMPARE(window->textb()->text(), QStringLiteral("RECEIVE"));
        runTool(QStringLiteral("a11"), QStringLiteral("RECEIVE"));
        QVERIFY(clickLine(QStringLiteral(" OK Spelling ")));
        QCOMPARE(window->textb()->text(), QStringLiteral("RECEIVE"));
        // The grid is never touched by these tools.
        QCOMPARE(window->history().HistoryLength(), int16_t(0));
    }

    void spelling_data() {
        QTest::addColumn<QString>("test");
        QTest::addColumn<QString>("panel2");
        QTest::addColumn<QStringList>("someLines");
        QTest::newRow("correct") << "COLOUR"
                                 << " OK Spelling " << QStringList{" ", " OK Spelling "};
        QTest::newRow("misspelled") << "RECIEVE"
                                    << " ERR. Spelling " << QStringList{"RECEIVE"};
        // Suggestions beyond ASCII reach the list intact.
        QTest::newRow("accented suggestion")
            << "NAIVETTE"
            << " ERR. Spelling " << QStringList{QStringLiteral("NAIVET\u00C9")};
        QTest::newRow("question mark") << "REC?EVE"
                                       << " not valid " << QStringList{};
        QTest::newRow("star") << "REC*"
                              << " not valid " << QStringList{};
    }

    void spelling() {
        QFETCH(QString, test);
        QFETCH(QString, panel2);
        QFETCH(QStringList, someLines);
        requireDictionaries();
        makeWindow();
        funWord()->trigger();
        runTool(QStringLiteral("a11"), test);
        QCOMPARE(panel(1), QStringLiteral(" SPELLING of TEST "));
        QCOMPARE(panel(2), panel2);
        QCOMPARE(panel(3), QStringLiteral(" "));
        const QStringList lines = listLines(window->Lists());
        for (const QString& line : someLines)
            QVERIFY2(lines.contains(line), qPrintable(line));
        if (someLines.isEmpty()) {
            QVERIFY(lines.isEmpty());
        }
        QCOMPARE(desktop.beeps, 0);
    }

    void emptyTestDoesNothing() {
        makeWindow();
        for (const QString& key : {QStringLiteral("a10"), QStringLiteral("a11")}) {
            runTool(key, QStringLiteral(" "));
            QCOMPARE(panel(2), QStringLiteral(" "));
            QVERIFY(listLines(window->Lists()).isEmpty());
        }
        QCOMPARE(desktop.beeps, 0);
    }

    void viewerOpensOnTheStore() {
        makeWindow();
        QAction* indirdiz = window->menuItem(QStringLiteral("Indirdiz"));
        QVERIFY(indirdiz);
        window->flags().BusyCounter = 2; // the viewer opens even during a search
        QString caption;
        QTimer::singleShot(0, [&] {
            auto* viewer = qobject_cast<DictionaryViewer*>(QApplication::activeModalWidget());
            if (viewer) {
                caption = viewer->windowTitle();
                viewer->command1()->click();
            }
        });
        indirdiz->trigger();
        window->flags().BusyCounter = 0;
        QCOMPARE(caption, QStringLiteral("  DICTIONARIES VERIFICATION"));
    }
};

QTEST_MAIN(TestWordTools)
#include "test_ui_word.moc"
