// SPDX-License-Identifier: GPL-3.0-or-later
// The fill's word lists in a real main window: the score lists of the
// dictionaries folder, the minimum score of Fill Settings, My Words and the
// banned words, theme entries, and the language of the default lists. Each
// window has private settings and data folders (the harness's).
#include "datafolders.h"
#include "fallback.h"
#include "fillcheck.h"
#include "fillcommands.h"
#include "fillsettingsdialog.h"
#include "gridrows.h"
#include "mainwindow.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "uiharness.h"
#include "wordlistcommands.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <sys/stat.h>
#include <thread>

using namespace korvel;
using korvel::testing::gridOf;
using namespace korvel::uitest;

namespace {

// Five words, sorted, as a plain base.diz; their scores in base.scores.
const QByteArray Words("CAT\r\nCOT\r\nNET\r\nTAN\r\nTEN\r\n");
const QByteArray Scores("CAT;90\nCOT;20\nNET;10\nTAN;70\nTEN;80\n");

struct Harness : WindowHarness {
    explicit Harness(bool withScores = true, const QByteArray& mine = {}) {
        writeFile(dir.filePath(QStringLiteral("base.diz")), Words);
        if (withScores)
            writeFile(dir.filePath(QStringLiteral("base.scores")), Scores);
        if (!mine.isEmpty())
            writeFile(dir.filePath(QStringLiteral("mine.scores")), mine);
        startWindow();
    }
    // A window (again, as after a restart) over the same folders.
    void startWindow() {
        window.reset();
        start(quickTimings());
        QVERIFY(loaded());
        QVERIFY(!desktop.ended);
    }
    FillCommands& fill() { return *w().fillCommands(); }
    void grid(const std::vector<std::string>& rows) {
        w().document().openPuzzle(Puzzle{gridOf(rows), {}, {}, {}}, "");
        w().Inizio();
    }
    // The word through (r, c) across, selected as a user does: Write Across
    // and a click on the cell.
    void selectAcross(int r, int c) {
        key("a3")->trigger();
        w().Peri()->setFocus();
        clickCell(r, c);
    }
    QString listFile(const char* name) const {
        return dataFolder() + QStringLiteral("/korvel/") + QString::fromLatin1(name);
    }
    // The items follow the grid when the menu opens.
    void openTools() {
        w().menuBar()->findChild<QMenu*>(QStringLiteral("Strumenti"))->aboutToShow();
    }
    void trigger(const char* name) {
        openTools();
        QVERIFY(item(name)->isEnabled());
        item(name)->trigger();
    }
    QString statistics() {
        desktop.clear();
        item("Statistiche")->trigger();
        return desktop.boxes().isEmpty() ? QString() : desktop.boxes().back().text;
    }
};

// Sets the minimum in Tools > Fill Settings..., as a user does: the dialog
// is answered once it shows.
void chooseMinimum(Harness& h, int minimum) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<FillSettingsDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll.stop();
        seen = true;
        d->minScoreField()->setValue(minimum);
        d->accept();
    });
    poll.start();
    h.item("ImpostaRiempimento")->trigger();
    QVERIFY(seen);
}

// A folder as the default sets are: words, scores, kinds and a ban list.
// CAT scores best and is banned; CUT is the best of the rest, under 50.
const QByteArray SetWords("CAT\r\nCOT\r\nCUT\r\nNET\r\nTAN\r\nTEN\r\n");
const QByteArray SetScores("CAT;90\nCOT;20\nCUT;45\nNET;10\nTAN;70\nTEN;80\n");
const QByteArray SetKinds("TAN;name\nNET;abbreviation\n");
const QByteArray SetBans("# kept out of fills\ncat\n");

struct SetHarness : Harness {
    SetHarness() : Harness(false) {
        writeFile(dir.filePath(QStringLiteral("base.diz")), SetWords);
        writeFile(dir.filePath(QStringLiteral("base.scores")), SetScores);
        writeFile(dir.filePath(QStringLiteral("base.kinds")), SetKinds);
        writeFile(dir.filePath(QStringLiteral("base.bans")), SetBans);
        startWindow();
    }
};

// Answers Fill Settings once it shows: the minimum, the switch, and what
// the table said once the words were counted (at the minimum and switch it
// opened with, then as answered).
struct SettingsAnswer {
    int minimum = -1;
    int switchTo = -1; // 0 off, 1 on, -1 as it is
    bool switchEnabled = false;
    bool switchShown = false;
    QString countsBefore;
    QString countsAfter;
};
void answerSettings(Harness& h, SettingsAnswer& a) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<FillSettingsDialog*>(QApplication::activeModalWidget());
        if (!d || d->wordCountsText() == QStringLiteral("Counting the words..."))
            return;
        poll.stop();
        seen = true;
        a.countsBefore = d->wordCountsText();
        a.switchShown = d->shippedBansField()->isChecked();
        a.switchEnabled = d->shippedBansField()->isEnabled();
        if (a.minimum >= 0)
            d->minScoreField()->setValue(a.minimum);
        if (a.switchTo >= 0)
            d->shippedBansField()->setChecked(a.switchTo == 1);
        a.countsAfter = d->wordCountsText();
        d->accept();
    });
    poll.start();
    h.item("ImpostaRiempimento")->trigger();
    QVERIFY(seen);
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

} // namespace

class FillWordsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }
    void itemsAreAddedAndLanguageHidden();
    void minimumReachesTheFillTheCheckAndTheStatistics();
    void statisticsWithoutScoresHaveNoScoreLines();
    void scoreListsOfTheFolderCount();
    void themeEntryIsKept();
    void myWordsTakeEffectWithoutARestart();
    void bannedWordIsNeverPlaced();
    void overlongLineIsNoWordOfMyList();
    void selectedWordMustBeWhole();
    void languageChoiceSurvivesARestart();
    void defaultFillKeepsShippedBansOutAndStepsDown();
    void settingsShowWhatTheMinimumKeeps();
    void statisticsTellWhyAnEntryIsWeak();
    void languageSwitchLeavesTheWindowUsable();
    void languageOfTheBuildsSets();
};

void FillWordsTest::itemsAreAddedAndLanguageHidden() {
    Harness h;
    QCOMPARE(h.item("ImpostaRiempimento")->text(), QStringLiteral("Fill Settings..."));
    QCOMPARE(h.item("MieParole")->text(), QStringLiteral("Add to My Words"));
    QCOMPARE(h.item("VietaParola")->text(), QStringLiteral("Ban Word"));
    // After the items that were there.
    const QList<QAction*> tools =
        h.w().menuBar()->findChild<QMenu*>(QStringLiteral("Strumenti"))->actions();
    QVERIFY(tools.indexOf(h.item("Statistiche")) < tools.indexOf(h.item("ImpostaRiempimento")));
    // Started in a folder with base.diz: the language chooses nothing.
    QVERIFY(!h.w().wordLists()->languageItemsShown());
    QVERIFY(!h.item("ListeItaliane")->isVisible());
    QVERIFY(!h.item("ListeInglesi")->isVisible());
    QVERIFY(!h.item("SepLingua")->isVisible());
    // A new user's minimum: the words a constructor would publish. The
    // scores were read.
    QCOMPARE(h.fill().minScore(), DefaultMinScore);
    QCOMPARE(DefaultMinScore, 50);
    QVERIFY(h.w().wordLists()->scores());
    QCOMPARE(h.w().wordLists()->scores()->score("COT"), std::optional<int>(20));
    // Nothing was written for the user.
    QVERIFY(!QFileInfo::exists(h.dataFolder()));
    QVERIFY(!QFileInfo::exists(h.configFolder()));
}

void FillWordsTest::minimumReachesTheFillTheCheckAndTheStatistics() {
    Harness h;
    chooseMinimum(h, 0);
    h.grid({"N?T"});
    h.item("ControlloRiempimento")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > 0; }, 5000));
    QCOMPARE(h.fill().overlay().forcedCells(), (std::vector<std::pair<int, char>>{{1, 'E'}}));

    // NET scores 10: at 50 the check finds no letter for the cell.
    int seen = h.fill().checksShown();
    chooseMinimum(h, 50);
    QCOMPARE(h.fill().minScore(), 50);
    QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > seen; }, 5000));
    QCOMPARE(h.fill().overlay().deadCells(), std::vector<int>{1});
    QVERIFY(h.fill().overlay().forcedCells().empty());

    h.desktop.clear();
    h.item("Riempi")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QVERIFY2(h.desktop.boxes()[0].text.contains(
                 QStringLiteral("(no word the fill may place, at score 50 or more)")),
             qPrintable(h.desktop.boxes()[0].text));
    QCOMPARE(h.row(0), QStringLiteral("N?T"));

    // C?T: COT scores 20, so every fill is CAT.
    h.grid({"C?T"});
    for (int k = 0; k < 4; ++k) {
        h.desktop.clear();
        h.item(k == 0 ? "Riempi" : "RiempiAncora")->trigger();
        QVERIFY(h.desktop.boxes().isEmpty());
        QCOMPARE(h.row(0), QStringLiteral("CAT"));
    }

    // The statistics give the mean, the weakest and what is under the minimum.
    h.grid({"CAT", "O#E", "TAN"});
    const QStringList lines = h.statistics().split(QStringLiteral("\r\n"));
    QVERIFY(lines.contains(QStringLiteral("Mean score: 65.0 (4 complete words)")));
    QVERIFY(lines.contains(QStringLiteral("Under the minimum score of 50: 1")));
    QVERIFY(lines.contains(QStringLiteral("Weakest entries:")));
    QVERIFY(lines.contains(QStringLiteral("  1 down (R1 C1) COT 20 (rare)")));
    QVERIFY(lines.indexOf(QStringLiteral("  1 down (R1 C1) COT 20 (rare)")) <
            lines.indexOf(QStringLiteral("  1 across (R1 C1) CAT 90")));

    // Remembered: a new window starts at 50; the file is the user's alone.
    QCOMPARE(QSettings(WordListCommands::settingsFile(), QSettings::IniFormat)
                 .value(QStringLiteral("fill/minScore"))
                 .toInt(),
             50);
    h.startWindow();
    QCOMPARE(h.fill().minScore(), 50);
    chooseMinimum(h, 0);
    h.grid({"N?T"});
    h.item("Riempi")->trigger();
    QCOMPARE(h.row(0), QStringLiteral("NET"));
    h.startWindow();
    QCOMPARE(h.fill().minScore(), 0);
}

void FillWordsTest::statisticsWithoutScoresHaveNoScoreLines() {
    Harness h(false);
    QVERIFY(h.w().wordLists()->scores()->empty());
    h.grid({"CAT", "O#E", "TAN"});
    const QString text = h.statistics();
    QVERIFY(text.contains(QStringLiteral("Every word fits the enabled dictionaries.")));
    QVERIFY(!text.contains(QStringLiteral("score")));
    QVERIFY(!text.contains(QStringLiteral("Weakest")));
}

// A list beside base.scores overrides it; its faulty lines are reported
// once it is read, and the rest of it counts.
void FillWordsTest::scoreListsOfTheFolderCount() {
    Harness h(true, QByteArray("COT;95\nTEN;lots\n"));
    QVERIFY(QTest::qWaitFor([&] { return !h.desktop.boxes().isEmpty(); }, 5000));
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].title, QStringLiteral("Attention..."));
    QVERIFY2(h.desktop.boxes()[0].text.contains(QStringLiteral("mine.scores")),
             qPrintable(h.desktop.boxes()[0].text));
    QCOMPARE(h.w().wordLists()->scores()->score("COT"), std::optional<int>(95));
    QCOMPARE(h.w().wordLists()->scores()->score("TEN"), std::optional<int>(80));
    chooseMinimum(h, 90);
    h.grid({"C?T"});
    h.item("Riempi")->trigger();
    QCOMPARE(h.row(0), QStringLiteral("COT"));
}

// A complete entry no list holds is kept: no reason for "no fill", and the
// statistics still name it.
void FillWordsTest::themeEntryIsKept() {
    Harness h;
    h.grid({"ZQX#", "####", "C?T#"});
    h.item("Riempi")->trigger();
    QVERIFY(h.desktop.boxes().isEmpty());
    QCOMPARE(h.row(0), QStringLiteral("ZQX") + QChar(BLACK));
    QVERIFY(h.row(2) == QStringLiteral("CAT") + QChar(BLACK) ||
            h.row(2) == QStringLiteral("COT") + QChar(BLACK));
    QVERIFY(h.statistics().contains(QStringLiteral("1 across (R1 C1) ZQX (no such word)")));
}

// A grid whose only fill needs ZQX, which no list holds: no fill, then Add to
// My Words, and the next fill places it, in the same window.
void FillWordsTest::myWordsTakeEffectWithoutARestart() {
    Harness h;
    h.grid({"ZQ?"});
    h.item("Riempi")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QVERIFY(h.desktop.boxes()[0].text.startsWith(QStringLiteral("No fill exists")));

    h.grid({"ZQX"});
    h.selectAcross(0, 1);
    h.desktop.clear();
    h.trigger("MieParole");
    QVERIFY(h.desktop.boxes().isEmpty());
    QCOMPARE(h.panel(2), QStringLiteral(" ZQX added to My Words "));
    QCOMPARE(readAll(h.listFile("my-words.txt")), QByteArray("ZQX\n"));
    QCOMPARE(modeOf(h.listFile("my-words.txt")), mode_t{0600});
    QCOMPARE(modeOf(h.dataFolder() + QStringLiteral("/korvel")), mode_t{0700});
    // Twice: the list stays as it is.
    h.trigger("MieParole");
    QCOMPARE(h.panel(2), QStringLiteral(" ZQX is in My Words already "));
    QCOMPARE(readAll(h.listFile("my-words.txt")), QByteArray("ZQX\n"));

    h.grid({"ZQ?"});
    h.desktop.clear();
    h.item("Riempi")->trigger();
    QVERIFY(h.desktop.boxes().isEmpty());
    QCOMPARE(h.row(0), QStringLiteral("ZQX"));
    // The statistics count it as a word of the lists, with the top score.
    const QString stats = h.statistics();
    QVERIFY(stats.contains(QStringLiteral("Every word fits the enabled dictionaries.")));
    QVERIFY(stats.contains(QStringLiteral("1 across (R1 C1) ZQX 100")));
    // The searches do not see it.
    QCOMPARE(h.w().store().DictText[1], std::string(Words.constData()));

    // A new window finds it too.
    h.startWindow();
    h.grid({"ZQ?"});
    h.item("Riempi")->trigger();
    QCOMPARE(h.row(0), QStringLiteral("ZQX"));
}

void FillWordsTest::bannedWordIsNeverPlaced() {
    Harness h;
    // Two copies of the program: the other one has banned a word already.
    QDir().mkpath(h.dataFolder() + QStringLiteral("/korvel"));
    writeFile(h.listFile("banned-words.txt"), QByteArray("# mine\ncot\n"));
    h.startWindow();
    h.grid({"C?T"});
    for (int k = 0; k < 6; ++k) {
        h.item(k == 0 ? "Riempi" : "RiempiAncora")->trigger();
        QCOMPARE(h.row(0), QStringLiteral("CAT"));
    }
    // Ban the word the fill placed: nothing is left for C?T.
    h.selectAcross(0, 0);
    h.trigger("VietaParola");
    QCOMPARE(h.panel(2), QStringLiteral(" CAT banned from the fill "));
    QCOMPARE(readAll(h.listFile("banned-words.txt")), QByteArray("# mine\ncot\nCAT\n"));
    h.grid({"C?T"});
    h.desktop.clear();
    h.item("Riempi")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QVERIFY(h.desktop.boxes()[0].text.startsWith(QStringLiteral("No fill exists")));
    QCOMPARE(h.row(0), QStringLiteral("C?T"));
    // The check agrees.
    h.item("ControlloRiempimento")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > 0; }, 5000));
    QCOMPARE(h.fill().overlay().deadCells(), std::vector<int>{1});

    // My Words takes COT off the banned list, and the fill may place it.
    h.grid({"COT"});
    h.selectAcross(0, 2);
    h.trigger("MieParole");
    QCOMPARE(h.panel(2), QStringLiteral(" COT added to My Words, no longer banned "));
    QCOMPARE(readAll(h.listFile("banned-words.txt")), QByteArray("# mine\nCAT\n"));
    h.grid({"C?T"});
    h.item("Riempi")->trigger();
    QCOMPARE(h.row(0), QStringLiteral("COT"));
}

// A line of millions of letters in My Words used to become a word of the
// fill's index; now it is skipped as no word, as a line of other characters
// is, and an addition keeps it in the file as it was.
void FillWordsTest::overlongLineIsNoWordOfMyList() {
    Harness h;
    QDir().mkpath(h.dataFolder() + QStringLiteral("/korvel"));
    const QByteArray huge(15'000'000, 'Q');
    const QByteArray list = "ZQX\n" + huge + "\n" + QByteArray(36, 'Y') + "\n";
    writeFile(h.listFile("my-words.txt"), list);
    h.startWindow();
    QCOMPARE(h.w().wordIndexes().additions()->ownWords, std::vector<std::string>{"ZQX"});

    h.grid({"COT"});
    h.selectAcross(0, 1);
    h.trigger("MieParole");
    QCOMPARE(h.panel(2), QStringLiteral(" COT added to My Words "));
    QCOMPARE(readAll(h.listFile("my-words.txt")), list + "COT\n");
    QCOMPARE(h.w().wordIndexes().additions()->ownWords, (std::vector<std::string>{"COT", "ZQX"}));
}

void FillWordsTest::selectedWordMustBeWhole() {
    Harness h;
    h.grid({"C?T"});
    h.selectAcross(0, 0);
    h.desktop.clear();
    h.trigger("MieParole");
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].title, QStringLiteral("Add to My Words"));
    QVERIFY2(h.desktop.boxes()[0].text.startsWith(QStringLiteral("1 across (R1 C1) reads C?T")),
             qPrintable(h.desktop.boxes()[0].text));
    QVERIFY(!QFileInfo::exists(h.listFile("my-words.txt")));

    // After a search across, the red box is the word taken.
    h.grid({"TEN", "###", "CAT"});
    h.key("a1")->trigger();
    h.clickCell(2, 1);
    QCOMPARE(h.w().editor().lastSelection().cy, int16_t{2});
    h.trigger("VietaParola");
    QCOMPARE(h.panel(2), QStringLiteral(" CAT banned from the fill "));

    // A list that cannot be written: nothing changes, and the box says why.
    QFile::setPermissions(h.listFile("banned-words.txt"), QFileDevice::ReadOwner);
    h.grid({"TEN"});
    h.selectAcross(0, 0);
    h.desktop.clear();
    h.trigger("VietaParola");
    QCOMPARE(h.desktop.boxes().size(), 1);
    QVERIFY2(h.desktop.boxes()[0].text.startsWith(QStringLiteral("TEN was not added: ")),
             qPrintable(h.desktop.boxes()[0].text));
    QCOMPARE(readAll(h.listFile("banned-words.txt")), QByteArray("CAT\n"));
}

// The per-user folder holds no base.diz, its subfolders "it" and "en" do: the
// language chooses, the items show, and the choice holds at the next start.
void FillWordsTest::languageChoiceSurvivesARestart() {
    struct LocaleGuard {
        QByteArray old = qgetenv("LC_ALL");
        LocaleGuard() { qputenv("LC_ALL", "it_IT.UTF-8"); }
        ~LocaleGuard() {
            if (old.isNull())
                qunsetenv("LC_ALL");
            else
                qputenv("LC_ALL", old);
        }
    } locale;
    WindowHarness h;
    const QString user = h.dataFolder() + QStringLiteral("/korvel/dictionaries");
    QDir().mkpath(user + QStringLiteral("/it"));
    QDir().mkpath(user + QStringLiteral("/en"));
    writeFile(user + QStringLiteral("/it/base.diz"), QByteArray("CASA\r\n"));
    writeFile(user + QStringLiteral("/en/base.diz"), QByteArray("HOUSE\r\n"));
    const QString here = h.path(QStringLiteral("here"));
    QDir().mkpath(here);

    h.start(quickTimings(), here);
    QVERIFY(h.loaded());
    QCOMPARE(QString::fromStdString(h.w().store().DictFolder), user + QStringLiteral("/it/"));
    QVERIFY(h.w().wordLists()->languageItemsShown());
    QVERIFY(h.item("ListeItaliane")->isVisible());
    QVERIFY(h.item("ListeItaliane")->isChecked());
    QVERIFY(!h.item("ListeInglesi")->isChecked());

    // The English lists load beside the window and take the Italian ones'
    // place, without a restart.
    h.item("ListeInglesi")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return !h.w().wordLists()->switching(); }, 10000));
    QVERIFY2(h.desktop.boxes().isEmpty(), qPrintable(h.desktop.boxes().value(0).text));
    QCOMPARE(QString::fromStdString(h.w().store().DictFolder), user + QStringLiteral("/en/"));
    QCOMPARE(h.w().store().DictText[1], std::string("HOUSE\r\n"));
    QCOMPARE(h.panel(2), QStringLiteral(" The English lists are loaded "));
    QVERIFY(h.item("ListeInglesi")->isChecked());
    QCOMPARE(readAll(h.configFolder() + QStringLiteral("/korvel/language")), QByteArray("en\n"));

    // The restart: the English lists, chosen.
    h.window.reset();
    h.desktop.clear();
    h.start(quickTimings(), here);
    QVERIFY(h.loaded());
    QCOMPARE(QString::fromStdString(h.w().store().DictFolder), user + QStringLiteral("/en/"));
    QCOMPARE(h.w().store().DictText[1], std::string("HOUSE\r\n"));
    QVERIFY(h.item("ListeInglesi")->isChecked());
    QVERIFY(!h.item("ListeItaliane")->isChecked());
    QVERIFY(h.desktop.boxes().isEmpty());
}

// A new user's fill: the default minimum and the shipped ban list. Where
// they leave no fill the window says so and offers the steps under the
// minimum; Yes fills at the first step with a fill, naming each step, No
// leaves the grid. A banned word is never placed, at any step.
void FillWordsTest::defaultFillKeepsShippedBansOutAndStepsDown() {
    SetHarness h;
    QCOMPARE(h.fill().minScore(), 50);
    QVERIFY(h.w().wordLists()->hasShippedBans());
    QVERIFY(h.w().wordLists()->shippedBansOn());
    h.grid({"C?T"});

    h.desktop.clear();
    h.desktop.boxAnswers = {MsgAnswer::No};
    h.item("Riempi")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    const auto ask = h.desktop.boxes()[0];
    QCOMPARE(ask.buttons, MsgButtons::YesNo);
    QCOMPARE(ask.text,
             QStringLiteral("No fill exists with the words scoring 50 or more: no word fits 1 "
                            "across (R1 C1): C?T (no word the fill may place, at score 50 or "
                            "more).\r\nFill with weaker words, lowering the minimum score step "
                            "by step (40, 30, 20 and 1)?"));
    QCOMPARE(h.row(0), QStringLiteral("C?T"));
    QCOMPARE(h.panel(2), QStringLiteral(" the grid is unchanged "));

    for (int k = 0; k < 4; ++k) {
        h.desktop.clear();
        h.desktop.boxAnswers = {MsgAnswer::Yes};
        h.item(k == 0 ? "Riempi" : "RiempiAncora")->trigger();
        QCOMPARE(h.desktop.boxes().size(), 2);
        // CUT (45) is the first word at or above a step: 40.
        QCOMPARE(h.row(0), QStringLiteral("CUT"));
        QCOMPARE(h.panel(2), QStringLiteral(" filled 1 cell at minimum score 40 "));
        QCOMPARE(h.desktop.boxes()[1].text,
                 QStringLiteral("The grid is filled at minimum score 40.\r\nminimum score 50: no "
                                "fill (no word fits 1 across (R1 C1): C?T (no word the fill may "
                                "place, at score 50 or more))"));
    }
    // One Undo takes the stepped fill back, as any fill.
    h.key("a7")->trigger();
    QCOMPARE(h.row(0), QStringLiteral("C?T"));

    // At minimum 0 the scores still order the words: CUT before COT, every
    // seed; CAT stays out.
    chooseMinimum(h, 0);
    for (int k = 0; k < 5; ++k) {
        h.desktop.clear();
        h.item(k == 0 ? "Riempi" : "RiempiAncora")->trigger();
        QVERIFY(h.desktop.boxes().isEmpty());
        QCOMPARE(h.row(0), QStringLiteral("CUT"));
    }

    // Nothing to step down to when no word fits at all: the one box says so
    // and, naming the slot no word fits, offers it to the pattern search.
    chooseMinimum(h, 50);
    h.grid({"Z?T"});
    h.desktop.clear();
    h.item("Riempi")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].buttons, MsgButtons::YesNo);
    QVERIFY(h.desktop.boxes()[0].text.startsWith(QStringLiteral("No fill exists")));
    QVERIFY2(h.desktop.boxes()[0].text.contains(QStringLiteral("in the pattern search?")),
             qPrintable(h.desktop.boxes()[0].text));
    QCOMPARE(h.row(0), QStringLiteral("Z?T"));

    // Switched off in Fill Settings (and remembered), the shipped list keeps
    // nothing out: CAT, scoring 90, fills at once.
    SettingsAnswer off;
    off.switchTo = 0;
    answerSettings(h, off);
    QVERIFY(off.switchShown);
    QVERIFY(off.switchEnabled);
    QVERIFY(!h.w().wordLists()->shippedBansOn());
    QCOMPARE(QSettings(WordListCommands::settingsFile(), QSettings::IniFormat)
                 .value(QStringLiteral("fill/shippedBans"))
                 .toBool(),
             false);
    h.grid({"C?T"});
    h.desktop.clear();
    h.item("Riempi")->trigger();
    QVERIFY(h.desktop.boxes().isEmpty());
    QCOMPARE(h.row(0), QStringLiteral("CAT"));
    h.startWindow();
    QVERIFY(!h.w().wordLists()->shippedBansOn());
    SettingsAnswer on;
    on.switchTo = 1;
    answerSettings(h, on);
    QVERIFY(!on.switchShown);
    QVERIFY(h.w().wordLists()->shippedBansOn());
    h.grid({"C?T"});
    h.desktop.clear();
    h.desktop.boxAnswers = {MsgAnswer::Yes};
    h.item("Riempi")->trigger();
    QCOMPARE(h.row(0), QStringLiteral("CUT"));

    // Without a ban list in the folder the switch cannot be changed.
    Harness plain;
    QVERIFY(!plain.w().wordLists()->hasShippedBans());
    SettingsAnswer none;
    answerSettings(plain, none);
    QVERIFY(!none.switchEnabled);
    QVERIFY(!none.switchShown);
}

// Fill Settings shows the words of each length the minimum keeps, counted
// off the window's thread, and follows the minimum and the switch.
void FillWordsTest::settingsShowWhatTheMinimumKeeps() {
    SetHarness h;
    SettingsAnswer a;
    a.minimum = 0;
    a.switchTo = 0;
    answerSettings(h, a);
    // At 50 with CAT banned: TAN and TEN; at 0 with nothing banned, all six.
    QVERIFY2(a.countsBefore.startsWith(
                 QStringLiteral("Words the fill may place, by letters (2 in all):")),
             qPrintable(a.countsBefore));
    QVERIFY2(a.countsBefore.contains(QStringLiteral(" 3:       2")), qPrintable(a.countsBefore));
    QVERIFY2(a.countsBefore.contains(QStringLiteral(" 2:       0")), qPrintable(a.countsBefore));
    QVERIFY2(a.countsAfter.contains(QStringLiteral("(6 in all)")), qPrintable(a.countsAfter));
    QVERIFY2(a.countsAfter.contains(QStringLiteral(" 3:       6")), qPrintable(a.countsAfter));
    QVERIFY2(a.countsAfter.contains(QStringLiteral("16+:      0")), qPrintable(a.countsAfter));
    QCOMPARE(h.fill().minScore(), 0);
}

// Grid Statistics name why each weak entry is weak: which list bans it,
// what base.kinds knows it as, or its low score.
void FillWordsTest::statisticsTellWhyAnEntryIsWeak() {
    SetHarness h;
    h.grid({"CAT", "O#E", "TAN", "###", "NET"});
    h.selectAcross(4, 0);
    h.trigger("VietaParola");
    QCOMPARE(h.panel(2), QStringLiteral(" NET banned from the fill "));
    const QStringList lines = h.statistics().split(QStringLiteral("\r\n"));
    for (const QString& line :
         {QStringLiteral("Weak entries: banned by your list 1, banned by the shipped list 1, "
                         "name 1, rare 1"),
          QStringLiteral("  1 across (R1 C1) CAT 90 (banned by the shipped list)"),
          QStringLiteral("  4 across (R5 C1) NET 10 (banned by your list)"),
          QStringLiteral("  1 down (R1 C1) COT 20 (rare)"),
          QStringLiteral("  3 across (R3 C1) TAN 70 (name)"),
          QStringLiteral("  2 down (R1 C3) TEN 80")}) {
        QVERIFY2(lines.contains(line), qPrintable(line + QStringLiteral("\n") + lines.join('\n')));
    }
}

// While the other set loads, the window goes on with the one it has (a new
// grid, a search), the progress shows in panel 2, and a click on the other
// language changes nothing; the set takes over once loaded, with its
// dictionaries in the panels and its words in the searches.
void FillWordsTest::languageSwitchLeavesTheWindowUsable() {
    struct LocaleGuard {
        QByteArray old = qgetenv("LC_ALL");
        LocaleGuard() { qputenv("LC_ALL", "it_IT.UTF-8"); }
        ~LocaleGuard() {
            if (old.isNull())
                qunsetenv("LC_ALL");
            else
                qputenv("LC_ALL", old);
        }
    } locale;
    WindowHarness h;
    const QString user = h.dataFolder() + QStringLiteral("/korvel/dictionaries");
    QDir().mkpath(user + QStringLiteral("/it"));
    QDir().mkpath(user + QStringLiteral("/en"));
    writeFile(user + QStringLiteral("/it/base.diz"), QByteArray("CASA\r\nMARE\r\n"));
    writeFile(user + QStringLiteral("/en/base.diz"), QByteArray("HOUSE\r\nSAIL\r\n"));
    writeFile(user + QStringLiteral("/en/extra.dic"), QByteArray("WAVE\r\n"));
    const QString here = h.path(QStringLiteral("here"));
    QDir().mkpath(here);
    // The companion library of the switch waits until the test lets it go,
    // and lets it go when the test ends early, so that the window can close.
    std::atomic<bool> hold{false};
    struct Release {
        std::atomic<bool>& hold;
        ~Release() { hold = false; }
    };
    QDir::setCurrent(here);
    h.window = std::make_unique<MainWindow>(
        h.desktop,
        [&] {
            CompanionCall call = h.library.call();
            call.MYFUNC = [&hold, inner = call.MYFUNC](int16_t i) {
                while (hold.load())
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                return inner(i);
            };
            return call;
        },
        quickTimings());
    const Release release{hold};
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QCOMPARE(w.store().DictText[1], std::string("CASA\r\nMARE\r\n"));
    QVERIFY(!w.isPanelEnabled(12));

    hold = true;
    h.item("ListeInglesi")->trigger();
    QVERIFY(w.wordLists()->switching());
    QTest::qWait(150);
    QVERIFY2(h.panel(2).startsWith(QStringLiteral(" Loading the English lists: ")),
             qPrintable(h.panel(2)));
    // The window answers meanwhile, on the Italian set.
    QVERIFY(answerNewGrid(w, QStringLiteral("2"), QStringLiteral("4")));
    QCOMPARE(w.grid().RowCount, int16_t{2});
    layCell(w, 0, 0, 'C');
    h.key("a1")->trigger();
    h.clickCell(0, 0);
    // A line is the word and the dictionary it comes from.
    const auto listed = [&](const QString& word) {
        for (const QString& line : listLines(w.Lists()))
            if (line.split(u' ').constFirst() == word)
                return true;
        return false;
    };
    QVERIFY2(listed(QStringLiteral("CASA")), qPrintable(listLines(w.Lists()).join(u',')));
    // A click on Italian while English loads keeps English coming.
    h.item("ListeItaliane")->trigger();
    QVERIFY(h.item("ListeInglesi")->isChecked());
    QCOMPARE(w.store().DictText[1], std::string("CASA\r\nMARE\r\n"));

    hold = false;
    QVERIFY(QTest::qWaitFor([&] { return !w.wordLists()->switching(); }, 10000));
    QCOMPARE(w.store().DictText[1], std::string("HOUSE\r\nSAIL\r\n"));
    QCOMPARE(w.store().count, 2);
    QVERIFY(w.isPanelEnabled(12));
    QVERIFY(w.Lists()->count() == 0);
    QCOMPARE(readAll(h.configFolder() + QStringLiteral("/korvel/language")), QByteArray("en\n"));
    // The searches read the English words now.
    layCell(w, 0, 0, 'S');
    h.clickCell(0, 0);
    QVERIFY2(listed(QStringLiteral("SAIL")), qPrintable(listLines(w.Lists()).join(u',')));

    // And back, without a restart either.
    h.item("ListeItaliane")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return !w.wordLists()->switching(); }, 10000));
    QCOMPARE(w.store().DictText[1], std::string("CASA\r\nMARE\r\n"));
    QVERIFY(h.item("ListeItaliane")->isChecked());
}

// Started in the sets a build makes (scripts/run --english starts in the
// English one), the choice is offered between them; in a folder of the
// user's own it is not.
void FillWordsTest::languageOfTheBuildsSets() {
    const QString build = QString::fromStdString(buildDictionaryFolder());
    if (!QFileInfo::exists(build + QStringLiteral("/base.diz")) ||
        !QFileInfo::exists(build + QStringLiteral("/en/base.diz")))
        QSKIP("the build made no default sets");
    const LanguageSets own = ownLanguageSets((build + QStringLiteral("/en")).toStdString());
    QVERIFY(own.offered());
    QCOMPARE(own.loaded, std::optional<DictionaryLanguage>(DictionaryLanguage::English));
    QCOMPARE(QString::fromStdString(own.folder(DictionaryLanguage::Italian)),
             QDir(build).canonicalPath() + QLatin1Char('/'));
    Harness h;
    QVERIFY(!ownLanguageSets(h.w().store().DictFolder).loaded);
}

QTEST_MAIN(FillWordsTest)
#include "test_ui_fillwords.moc"
