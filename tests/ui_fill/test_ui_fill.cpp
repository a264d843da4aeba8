// SPDX-License-Identifier: GPL-3.0-or-later
// The fill commands in a real main window on the offscreen platform, with
// the scripted desktop and a fake companion library over a small word list:
// every two-letter combination, a few longer words, no X?X and no CA? but CAT.
#include "fillcheck.h"
#include "fillcommands.h"
#include "gridcanvas.h"
#include "gridrows.h"
#include "gridstats.h"
#include "loader.h"
#include "mainwindow.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "uiharness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace korvel;
using korvel::testing::gridOf;
using namespace korvel::uitest;

namespace {

struct Harness : WindowHarness {
    // extra: more files for the dictionaries folder, name and contents.
    explicit Harness(const std::vector<std::pair<QString, QByteArray>>& extra = {}) {
        addFixture(QStringLiteral(KORVEL_FILL_FIXTURES "/fill"));
        for (const auto& [name, bytes] : extra)
            writeFile(dir.filePath(name), bytes);
        start(quickTimings());
        loaded();
    }

    FillCommands& fill() { return *window->fillCommands(); }

    // A grid from rows of letters, "?" and "#" for a black cell; a blank
    // stays a blank byte.
    void grid(const std::vector<std::string>& rows) {
        w().document().openPuzzle(Puzzle{gridOf(rows), {}, {}, {}}, "");
        w().Inizio();
    }
    void click(int r, int c) {
        Peri()->setFocus();
        clickCell(r, c);
    }
    GridCanvas* Peri() { return w().Peri(); }
};

// 2 by 2 white blocks between black lines: 36 blocks of four two-letter
// words on a 17 by 17 grid, 144 cells to fill.
std::vector<std::string> blocks17() {
    std::vector<std::string> rows;
    for (int r = 0; r < 17; ++r) {
        std::string row;
        for (int c = 0; c < 17; ++c)
            row += (r % 3 == 2 || c % 3 == 2) ? '#' : '?';
        rows.push_back(row);
    }
    rows[0][0] = ' '; // an empty cell written as a blank comes back as a blank
    return rows;
}

bool isFilled(const GridModel& g) {
    for (int r = 0; r < g.RowCount; ++r)
        for (int c = 0; c < g.ColumnCount; ++c)
            if (!g.isBlack(r, c) && (g.cell(r, c) < 'A' || g.cell(r, c) > 'Z'))
                return false;
    return true;
}

} // namespace

class FillWindowTest : public QObject {
    Q_OBJECT
private slots:
    void menusAreAddedOffByDefault();
    void fillUndoRedoLargerThanHistory();
    void fillAgainReplacesTheLastFill();
    void fillBoxLeavesTheRestAlone();
    void panelTwoStopsTheFill();
    void noFillSaysWhyAndChangesNothing();
    void checkMarksDeadAndForcedCells();
    void symmetricBlacksOddAndEven();
    void statisticsBox();
    void searchResetStopsTheFillAndKeepsItBusy();
    void checkFollowsTheDictionaries();
    void newGridForgetsTheLastFill();
    void checkKeepsTwoIndexes();
    void saveDuringAFillSaysWhy();
};

void FillWindowTest::menusAreAddedOffByDefault() {
    Harness h;
    QVERIFY(h.item("ControlloRiempimento"));
    QCOMPARE(h.item("ControlloRiempimento")->text(), QStringLiteral("Fill Check"));
    QVERIFY(!h.item("ControlloRiempimento")->isChecked());
    QVERIFY(!h.item("NeriSimmetrici")->isChecked());
    QCOMPARE(h.fill().symmetry(), Symmetry::None);
    QCOMPARE(h.item("Riempi")->text(), QStringLiteral("Fill Grid"));
    QCOMPARE(h.item("RiempiRiquadro")->text(), QStringLiteral("Fill Box"));
    QCOMPARE(h.item("RiempiAncora")->text(), QStringLiteral("Fill Again"));
    QCOMPARE(h.item("Statistiche")->text(), QStringLiteral("Grid Statistics"));
    // The designed items keep their order; the new ones follow them.
    const QList<QAction*> tools =
        h.w().menuBar()->findChild<QMenu*>(QStringLiteral("Strumenti"))->actions();
    QCOMPARE(tools.at(0)->objectName(), QStringLiteral("Accorcia"));
    QVERIFY(tools.indexOf(h.item("FunWord")) < tools.indexOf(h.item("Riempi")));
    // Without a grid nothing can be filled.
    h.w().menuBar()->findChild<QMenu*>(QStringLiteral("Strumenti"))->aboutToShow();
    QVERIFY(!h.item("Riempi")->isEnabled());
    QVERIFY(!h.item("RiempiRiquadro")->isEnabled());
}

void FillWindowTest::fillUndoRedoLargerThanHistory() {
    Harness h;
    h.grid(blocks17());
    const GridModel before = h.w().grid();
    h.item("Riempi")->trigger();
    const GridModel filled = h.w().grid();
    QVERIFY(isFilled(filled));
    QVERIFY(h.desktop.boxes().isEmpty());
    QCOMPARE(h.w().Stb1()->text(2), QStringLiteral(" filled 144 cells "));
    QCOMPARE(h.w().DocumentChanged(), int16_t{1});
    QVERIFY(h.key("a7")->isEnabled());
    QVERIFY(!h.key("a8")->isEnabled());
    QCOMPARE(h.w().history().HistoryLength(), int16_t{0});

    // A change after the fill, then back through both and forward again.
    h.key("a0")->trigger();
    h.click(2, 2);
    QVERIFY(!h.w().grid().isBlack(2, 2));
    const GridModel edited = h.w().grid();
    h.key("a7")->trigger();
    QCOMPARE(h.w().grid().GridRows, filled.GridRows);
    h.key("a7")->trigger();
    QCOMPARE(h.w().grid().GridRows, before.GridRows);
    QCOMPARE(h.w().grid().GridRows[0][0], ' ');
    QCOMPARE(h.w().Stb1()->text(2), QStringLiteral(" Undo n. 1 "));
    QVERIFY(!h.key("a7")->isEnabled());
    QVERIFY(h.key("a8")->isEnabled());
    // The box of the fill's region is drawn, as the restored cell of an undo is.
    QCOMPARE(h.w().editor().lastSelection().LAX, int16_t{17});
    h.key("a8")->trigger();
    QCOMPARE(h.w().grid().GridRows, filled.GridRows);
    QCOMPARE(h.w().Stb1()->text(2), QStringLiteral(" Redo n. 0 "));
    h.key("a8")->trigger();
    QCOMPARE(h.w().grid().GridRows, edited.GridRows);
    QVERIFY(!h.key("a8")->isEnabled());
    QVERIFY(h.desktop.boxes().isEmpty());
}

void FillWindowTest::fillAgainReplacesTheLastFill() {
    Harness h;
    h.grid(blocks17());
    const GridModel before = h.w().grid();
    h.item("Riempi")->trigger();
    const GridModel first = h.w().grid();
    h.w().menuBar()->findChild<QMenu*>(QStringLiteral("Strumenti"))->aboutToShow();
    QVERIFY(h.item("RiempiAncora")->isEnabled());
    h.item("RiempiAncora")->trigger();
    QCOMPARE(h.fill().lastSeed(), uint64_t{2});
    QVERIFY(isFilled(h.w().grid()));
    QVERIFY(h.w().grid().GridRows != first.GridRows);
    // One fill in the history: one Undo goes back to the empty grid.
    QCOMPARE(h.w().document().history().bulkCount(), std::size_t{1});
    h.key("a7")->trigger();
    QCOMPARE(h.w().grid().GridRows, before.GridRows);
}

void FillWindowTest::fillBoxLeavesTheRestAlone() {
    Harness h;
    h.grid({"? ???", "?????", "#####", "??A??"});
    const GridModel before = h.w().grid();
    h.key("a1")->trigger();
    h.click(1, 3);
    QCOMPARE(h.w().editor().lastSelection().cy, int16_t{1});
    QCOMPARE(h.w().editor().lastSelection().LAX, int16_t{5});
    h.w().menuBar()->findChild<QMenu*>(QStringLiteral("Strumenti"))->aboutToShow();
    QVERIFY(h.item("RiempiRiquadro")->isEnabled());
    h.item("RiempiRiquadro")->trigger();
    QVERIFY(h.desktop.boxes().isEmpty());
    const GridModel& after = h.w().grid();
    for (int r = 0; r < 4; ++r)
        if (r != 1)
            QCOMPARE(after.GridRows[static_cast<std::size_t>(r)],
                     before.GridRows[static_cast<std::size_t>(r)]);
    const QString word = QString::fromLatin1(after.GridRows[1].c_str());
    QVERIFY2(QStringList({"APPLE", "BREAD", "CHAIR", "DANCE", "EAGLE"}).contains(word),
             qPrintable(word));
    h.key("a7")->trigger();
    QCOMPARE(h.w().grid().GridRows, before.GridRows);
}

void FillWindowTest::panelTwoStopsTheFill() {
    Harness h;
    h.grid(blocks17());
    const GridModel before = h.w().grid();
    QString during;
    // Runs at the fill's first pass of the event loop: a real click on panel 2.
    QTimer::singleShot(0, [&] {
        during = h.w().Stb1()->text(2);
        QTest::mouseClick(h.w().Stb1()->panel(2), Qt::LeftButton);
    });
    h.item("Riempi")->trigger();
    QCOMPARE(during, QStringLiteral(" Fill 0 s "));
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].title, QStringLiteral("Attention..."));
    QCOMPARE(h.desktop.boxes()[0].text,
             QStringLiteral("The fill was stopped.\r\nThe grid is unchanged."));
    QCOMPARE(h.w().grid().GridRows, before.GridRows);
    QCOMPARE(h.w().flags().BusyCounter, int16_t{0});
    QVERIFY(!h.key("a7")->isEnabled());
    QCOMPARE(h.w().DocumentChanged(), int16_t{0});
}

void FillWindowTest::noFillSaysWhyAndChangesNothing() {
    Harness h;
    h.grid({"X?X", "###", "CA?"});
    const GridModel before = h.w().grid();
    h.item("Riempi")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QVERIFY2(h.desktop.boxes()[0].text.startsWith(
                 QStringLiteral("No fill exists with the enabled dictionaries: ")),
             qPrintable(h.desktop.boxes()[0].text));
    QVERIFY(h.desktop.boxes()[0].text.contains(QStringLiteral("X?X")));
    QVERIFY(h.desktop.boxes()[0].text.endsWith(QStringLiteral("The grid is unchanged.")));
    QCOMPARE(h.w().grid().GridRows, before.GridRows);
    QCOMPARE(h.w().DocumentChanged(), int16_t{0});
}

void FillWindowTest::checkMarksDeadAndForcedCells() {
    Harness h;
    h.grid({"X?X", "###", "CA?"});
    // Off: the picture on the screen is the picture drawn.
    QCOMPARE(h.Peri()->grab().toImage().convertToFormat(QImage::Format_RGB32),
             h.Peri()->image().convertToFormat(QImage::Format_RGB32));
    h.item("ControlloRiempimento")->trigger();
    QVERIFY(h.fill().checkOn());
    QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > 0; }, 5000));
    QCOMPARE(h.fill().overlay().deadCells(), std::vector<int>{1});
    QCOMPARE(h.fill().overlay().forcedCells(), (std::vector<std::pair<int, char>>{{8, 'T'}}));
    // The marks differ from the drawn picture in those two cells only.
    const QImage drawn = h.Peri()->image().convertToFormat(QImage::Format_RGB32);
    const QImage shown = h.Peri()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), drawn.size());
    bool deadMarked = false;
    bool forcedMarked = false;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) == shown.pixel(x, y))
                continue;
            const QPointF u = h.Peri()->toUnits({x + 0.5, y + 0.5});
            const int r = static_cast<int>(u.y());
            const int c = static_cast<int>(u.x());
            QVERIFY2((r == 0 && c == 1) || (r == 2 && c == 2),
                     qPrintable(QStringLiteral("mark in %1,%2").arg(r).arg(c)));
            const QColor colour = QColor::fromRgb(shown.pixel(x, y));
            if (r == 0)
                deadMarked |= colour.red() > colour.green() + 40;
            else
                forcedMarked |= colour.red() == colour.green() && colour.red() < 200;
        }
    }
    QVERIFY(deadMarked);
    QVERIFY(forcedMarked);

    // Typing the forced letter: its mark goes at once, before any new check.
    h.key("a3")->trigger();
    h.click(2, 2);
    QTest::keyClick(h.Peri(), Qt::Key_T);
    QCOMPARE(h.w().grid().cell(2, 2), 'T');
    const QImage typed = h.Peri()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint centre = h.Peri()->toPixel({0.5, 0.5});
    QCOMPARE(typed.pixel(centre), shown.pixel(centre)); // the dead cell still marked
    const int seen = h.fill().checksShown();
    QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > seen; }, 5000));
    QVERIFY(h.fill().overlay().forcedCells().empty());

    // Off again: no marks at all.
    h.item("ControlloRiempimento")->trigger();
    QVERIFY(!h.fill().checkOn());
    QCOMPARE(h.Peri()->grab().toImage().convertToFormat(QImage::Format_RGB32),
             h.Peri()->image().convertToFormat(QImage::Format_RGB32));
}

void FillWindowTest::symmetricBlacksOddAndEven() {
    struct Case {
        int rows, columns;
        const char* option;
        int r, c, pr, pc;
    } cases[] = {{5, 5, "Simmetria180", 0, 1, 4, 3},
                 {5, 5, "Simmetria180", 2, 2, 2, 2},
                 {4, 6, "Simmetria180", 1, 2, 2, 3},
                 {4, 6, "SimmetriaLR", 1, 2, 1, 3},
                 {5, 7, "SimmetriaTB", 0, 6, 4, 6}};
    Harness h;
    for (const Case& k : cases) {
        h.grid(std::vector<std::string>(static_cast<std::size_t>(k.rows),
                                        std::string(static_cast<std::size_t>(k.columns), '?')));
        if (!h.item("NeriSimmetrici")->isChecked())
            h.item("NeriSimmetrici")->trigger();
        h.item(k.option)->trigger();
        const GridModel before = h.w().grid();
        h.key("a0")->trigger();
        h.click(k.r, k.c);
        QVERIFY(h.w().grid().isBlack(k.r, k.c));
        QVERIFY(h.w().grid().isBlack(k.pr, k.pc));
        QCOMPARE(h.w().Stb1()->text(2), QStringLiteral(" blacked "));
        int blacks = 0;
        for (const std::string& row : h.w().grid().GridRows)
            blacks += static_cast<int>(std::count(row.begin(), row.end(), BLACK));
        QCOMPARE(blacks, (k.r == k.pr && k.c == k.pc) ? 1 : 2);
        h.key("a7")->trigger();
        QCOMPARE(h.w().grid().GridRows, before.GridRows);
        QVERIFY(!h.key("a7")->isEnabled());
    }
    // Off again: Black/White changes the clicked cell only.
    h.item("NeriSimmetrici")->trigger();
    h.grid({"???", "???", "???"});
    h.key("a0")->trigger();
    h.click(0, 0);
    QVERIFY(h.w().grid().isBlack(0, 0));
    QVERIFY(!h.w().grid().isBlack(2, 2));
}

void FillWindowTest::statisticsBox() {
    Harness h;
    h.grid({"CAT#", "O?E?", "W#N?"});
    const QString panel2 = h.w().Stb1()->text(2);
    h.item("Statistiche")->trigger();
    // The seconds of the wait for the index do not stay behind.
    QCOMPARE(h.w().Stb1()->text(2), panel2);
    QCOMPARE(h.desktop.boxes().size(), 1);
    const ScriptedDesktop::Shown box = h.desktop.boxes()[0];
    QCOMPARE(box.title, QStringLiteral("Grid Statistics"));
    const QStringList lines = box.text.split(QStringLiteral("\r\n"));
    QVERIFY(lines.contains(QStringLiteral("Words: 7 (3 across, 4 down)")));
    QVERIFY(lines.contains(QStringLiteral("Black cells: 2 (16.7 %)")));
    QVERIFY(lines.contains(QStringLiteral("Unchecked cells (in one word only): 1")));
    QVERIFY(lines.contains(QStringLiteral("  2 letters: 3")));
    QVERIFY(lines.contains(QStringLiteral("Words not in the enabled dictionaries: 1")));
    QVERIFY(lines.contains(QStringLiteral("  4 across (R2 C1) O?E? (no word fits)")));
    // Switching the only dictionary with 4-letter words off changes nothing
    // here, but the grid itself is never touched by the box.
    QCOMPARE(h.w().DocumentChanged(), int16_t{0});
}

// "Search Reset" during a fill stops it, and until the fill has returned
// the window stays busy: no second fill or file command runs inside it.
void FillWindowTest::searchResetStopsTheFillAndKeepsItBusy() {
    Harness h;
    h.grid(blocks17());
    const GridModel before = h.w().grid();
    bool busyAfterReset = false;
    QTimer::singleShot(0, [&] {
        h.w().ResErr_Click();
        busyAfterReset = h.w().busy();
        h.item("Riempi")->trigger(); // refused: the first fill still runs
    });
    h.item("Riempi")->trigger();
    QVERIFY(busyAfterReset);
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text,
             QStringLiteral("The fill was stopped.\r\nThe grid is unchanged."));
    QCOMPARE(h.w().grid().GridRows, before.GridRows);
    QVERIFY(!h.w().busy());
}

// Switching a dictionary off with the check on checks the grid again at
// once: QQ? has its letter only in the second dictionary.
void FillWindowTest::checkFollowsTheDictionaries() {
    Harness h({{QStringLiteral("qq.dic"), QByteArray("QQX\r\n")}});
    h.grid({"QQ?", "###"});
    h.item("ControlloRiempimento")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > 0; }, 5000));
    QCOMPARE(h.fill().overlay().forcedCells(), (std::vector<std::pair<int, char>>{{2, 'X'}}));
    QVERIFY(h.fill().overlay().deadCells().empty());
    const int seen = h.fill().checksShown();
    h.w().dictionaryItemClick(2);
    QVERIFY(!h.w().enabledDictionaries().isChecked(2));
    QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > seen; }, 5000));
    QCOMPARE(h.fill().overlay().deadCells(), std::vector<int>{2});
}

// Fill Box on the last row of a 13 x 13, then New 13 x 13 with the changes
// given up: Fill Again has nothing to repeat on the blank grid.
void FillWindowTest::newGridForgetsTheLastFill() {
    Harness h;
    std::vector<std::string> rows(11, std::string(13, '?'));
    rows.push_back(std::string(13, '#'));
    rows.push_back("?????#???????");
    h.grid(rows);
    h.key("a1")->trigger();
    h.click(12, 2);
    h.item("RiempiRiquadro")->trigger();
    QVERIFY(h.desktop.boxes().isEmpty());
    QVERIFY(h.w().grid().GridRows[12] != rows[12]);
    QCOMPARE(h.w().DocumentChanged(), int16_t{1});
    QMenu* tools = h.w().menuBar()->findChild<QMenu*>(QStringLiteral("Strumenti"));
    tools->aboutToShow();
    QVERIFY(h.item("RiempiAncora")->isEnabled());

    h.desktop.boxAnswers << MsgAnswer::No;
    QVERIFY(h.newGrid(13, 13));
    QCOMPARE(h.desktop.boxes().size(), 1); // the unsaved-change prompt
    const GridModel blank = h.w().grid();
    for (int r = 0; r < 13; ++r)
        QCOMPARE(blank.GridRows[static_cast<std::size_t>(r)], std::string(13, '?'));
    tools->aboutToShow();
    QVERIFY(!h.item("RiempiAncora")->isEnabled());
    h.w().fillCommands()->FillAgain_Click();
    QCOMPARE(h.w().grid().GridRows, blank.GridRows);
    QCOMPARE(h.w().DocumentChanged(), int16_t{0});
    QVERIFY(!h.key("a7")->isEnabled());
    // The same after an opened grid.
    h.grid(rows);
    h.key("a1")->trigger();
    h.click(12, 2);
    h.item("RiempiRiquadro")->trigger();
    h.grid(rows);
    tools->aboutToShow();
    QVERIFY(!h.item("RiempiAncora")->isEnabled());
}

// Clicks on the dictionaries D2 to D4 with the check on: each new selection
// has its index built, the cache keeps two at most, and the indexes of older
// selections are freed (nothing else holds them), so memory does not grow
// with the clicks.
void FillWindowTest::checkKeepsTwoIndexes() {
    Harness h({{QStringLiteral("b.dic"), QByteArray("BAT\r\nBEE\r\n")},
               {QStringLiteral("c.dic"), QByteArray("CAB\r\nCOW\r\n")},
               {QStringLiteral("d.dic"), QByteArray("DOG\r\nDUE\r\n")}});
    QCOMPARE(h.w().store().count, 4);
    h.grid({"??T", "###"});
    h.item("ControlloRiempimento")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > 0; }, 5000));
    const WordIndexCache& cache = h.w().wordIndexes();
    std::vector<std::weak_ptr<const WordIndex>> built;
    built.push_back(cache.cached(dictionarySelection(h.w().enabledDictionaries())));
    QVERIFY(!built.back().expired());
    for (int click = 0; click < 9; ++click) {
        const int seen = h.fill().checksShown();
        h.w().dictionaryItemClick(2 + click % 3);
        QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > seen; }, 5000));
        QVERIFY2(cache.kept() <= 2, qPrintable(QString::number(cache.kept())));
        const auto index = cache.cached(dictionarySelection(h.w().enabledDictionaries()));
        QVERIFY(index);
        built.push_back(index);
    }
    QCOMPARE(cache.kept(), std::size_t{2});
    // Of the ten indexes built (one per selection), only the two kept live.
    int alive = 0;
    for (const auto& index : built)
        alive += index.expired() ? 0 : 1;
    QVERIFY2(alive <= 2, qPrintable(QString::number(alive)));
}

// Save and Save as... while a fill runs do nothing, as before, and panel 3
// says why.
void FillWindowTest::saveDuringAFillSaysWhy() {
    Harness h;
    h.grid(blocks17());
    const QString file = h.path(QStringLiteral("blocks.kvl"));
    h.desktop.fileAnswers << file;
    h.w().Salvacome_Click();
    const QByteArray saved = readAll(file);
    QVERIFY(!saved.isEmpty());
    h.w().Stb1()->setText(3, QStringLiteral(" "));
    QString during;
    int dialogs = 0;
    QTimer::singleShot(0, [&] {
        h.item("Salva")->trigger();
        during = h.w().Stb1()->text(3);
        h.w().Stb1()->setText(3, QStringLiteral(" "));
        h.item("Salvacome")->trigger();
        dialogs = static_cast<int>(h.desktop.shown.size());
    });
    h.item("Riempi")->trigger();
    QVERIFY(isFilled(h.w().grid()));
    const QString notSaved = QStringLiteral(" Not saved: a search or fill is running ");
    QCOMPARE(during, notSaved);
    QCOMPARE(h.w().Stb1()->text(3), notSaved);
    QCOMPARE(dialogs, 1); // no second save dialog
    QCOMPARE(readAll(file), saved);
    QCOMPARE(h.w().DocumentChanged(), int16_t{1});
    // Not busy: Save writes, and leaves panel 3 alone.
    h.item("Salva")->trigger();
    QVERIFY(readAll(file) != saved);
    QCOMPARE(h.w().DocumentChanged(), int16_t{0});
    QCOMPARE(h.w().Stb1()->text(3), notSaved);
}

QTEST_MAIN(FillWindowTest)
#include "test_ui_fill.moc"
