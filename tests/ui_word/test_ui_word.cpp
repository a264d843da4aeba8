// The main window's word-processor functions and dictionary viewer command,
// end to end on the offscreen platform with the scripted desktop.

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
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace korvel;
using namespace korvel::uitest;

namespace {

const QString FailureText =
    QStringLiteral("This program cannot use MS Word directly.\r\n"
                   "It might happen when MS Word is opened already. If so, exit the program,\r\n"
                   "close MS Word, and then call this program again.");

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
