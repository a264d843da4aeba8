// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end tests of the work in the grid: real pointer, key, toolbar,
// button and list events on a main window on the offscreen platform, checked
// against the grid model, the results list, the status panels and the beeps
// the scripted desktop counts.
#include "gridcanvas.h"
#include "griddimensionsdialog.h"
#include "historyaccess.h"
#include "loader.h"
#include "mainwindow.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "uiharness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <functional>
#include <memory>

using namespace korvel;
using namespace korvel::uitest;

namespace {

// A loaded window over a private copy of the "grid" fixture folder. prepare
// may add files to the folder before the window starts.
struct Harness : WindowHarness {
    explicit Harness(const std::function<void(const QString&)>& prepare = {}) {
        addFixture(uiFixture(QStringLiteral("grid")));
        if (prepare)
            prepare(dir.path());
        start(eagerTimings());
    }
};

} // namespace

class TestUiGrid : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutes(); }

    void hoverTakesCellUnderPointer();
    void typingAcrossWraps();
    void writeKeysAndBlackCell();
    void blackWhiteUndoRedo();
    void clearCell();
    void promptPlaceReplaceUndo();
    void stemLineCyclesEndings();
    void freeHeadPlacesPaddedResult();
    void refinementRefusals();
    void dragAcrossBlackCell();
    void promptDownOnBlackCell();
    void crossPromptPlacesLetter();
    void crossPromptVowelsAndRefusals();
    void anagramsCopyToTest();
    void rightClickSwitches_data();
    void rightClickSwitches();
    void listKeepsDisplayOrder();
    void listKeysPlaceLikeClicks();
    void undoAnomaly();
    void abortLongScan();
    void searchReset();
    void searchResetDuringScan();
    void busyGridIgnoresInput();
    void highBytesKeepOneCellEach();
    void loadingYieldsEveryFewLines();
};

// ------------------------------------------------------------ pointer

void TestUiGrid::hoverTakesCellUnderPointer() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4));
    MainWindow& w = h.w();
    h.key("a0")->trigger();
    // Anywhere inside a cell, its left part too, is that cell.
    QTest::mouseMove(w.Peri(), h.at(0.2, 2.1));
    QCOMPARE(w.editor().CurrentColumn(), int16_t{2});
    QCOMPARE(w.editor().CurrentRow(), int16_t{0});
    QTest::mouseClick(w.Peri(), Qt::LeftButton, {}, h.at(0.2, 2.1));
    QCOMPARE(h.cell(0, 2), BLACK);
    QTest::mouseMove(w.Peri(), h.at(2.9, 0.2));
    QCOMPARE(w.editor().CurrentColumn(), int16_t{0});
    QCOMPARE(w.editor().CurrentRow(), int16_t{2});
    QVERIFY(w.Peri()->cursor().shape() != Qt::WaitCursor);

    // With a write tool the cursor box follows the pointer.
    h.key("a3")->trigger();
    QTest::mouseMove(w.Peri(), h.at(1.1, 1.9));
    QCOMPARE(w.editor().lastSelection().cx, int16_t{1});
    QCOMPARE(w.editor().lastSelection().cy, int16_t{1});
    QCOMPARE(w.editor().lastSelection().LAX, int16_t{1});
}

// ------------------------------------------------------------ writing

void TestUiGrid::typingAcrossWraps() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3));
    MainWindow& w = h.w();
    h.key("a3")->trigger();
    h.clickCell(0, 2);
    QCOMPARE(w.editor().CurrentRow(), int16_t{0});
    QCOMPARE(w.editor().CurrentColumn(), int16_t{2});
    QCOMPARE(h.panel(4), QStringLiteral(" R1 C3  "));
    QCOMPARE(w.editor().lastSelection().cx, int16_t{2});

    h.desktop.beeps = 0;
    h.typeKey(Qt::Key_A); // lower case on the keyboard, a capital in the grid
    QCOMPARE(h.cell(0, 2), 'A');
    QCOMPARE(h.desktop.beeps, 1); // the wrap to the next row
    QCOMPARE(w.editor().CurrentRow(), int16_t{1});
    QCOMPARE(w.editor().CurrentColumn(), int16_t{0});
    QCOMPARE(h.panel(2), QStringLiteral(" A "));
    QCOMPARE(h.panel(4), QStringLiteral(" R1 C3 "));
    QCOMPARE(w.editor().lastSelection().cx, int16_t{0});
    QCOMPARE(w.editor().lastSelection().cy, int16_t{1});
    QVERIFY(h.key("a7")->isEnabled());
    QCOMPARE(w.DocumentChanged(), int16_t{1});

    // Shift+Tab goes back over the edge, with its beep, and erases nothing.
    h.typeKey(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(w.editor().CurrentRow(), int16_t{0});
    QCOMPARE(w.editor().CurrentColumn(), int16_t{2});
    QCOMPARE(h.desktop.beeps, 2);
    QCOMPARE(h.cell(0, 2), 'A');
    // Tab forward again; a blank empties the cell it writes on.
    h.typeKey(Qt::Key_Tab);
    QCOMPARE(w.editor().CurrentRow(), int16_t{1});
    h.typeKey(Qt::Key_B);
    h.typeKey(Qt::Key_Left);
    h.typeKey(Qt::Key_Space);
    QCOMPARE(h.cell(1, 0), '?');
    QCOMPARE(h.panel(2), QStringLiteral("   "));
    // Each key is an action of its own: Undo takes back the blank only.
    h.key("a7")->trigger();
    QCOMPARE(h.cell(1, 0), 'B');
    QCOMPARE(h.panel(2), QStringLiteral(" Undo n. 3 "));
    QVERIFY(h.key("a3")->isChecked());
}

void TestUiGrid::writeKeysAndBlackCell() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3, {"??#", "???", "???"}));
    MainWindow& w = h.w();
    h.key("a4")->trigger();
    h.clickCell(2, 2);
    h.desktop.beeps = 0;
    h.typeKey(Qt::Key_Down); // bottom-right: wraps to the top-left
    QCOMPARE(w.editor().CurrentRow(), int16_t{0});
    QCOMPARE(w.editor().CurrentColumn(), int16_t{0});
    QCOMPARE(h.desktop.beeps, 1);
    h.typeKey(Qt::Key_Up); // and back to the bottom-right
    QCOMPARE(w.editor().CurrentRow(), int16_t{2});
    QCOMPARE(w.editor().CurrentColumn(), int16_t{2});
    QCOMPARE(h.desktop.beeps, 2);

    // A letter on a black cell is refused with a beep.
    h.clickCell(0, 2);
    h.desktop.beeps = 0;
    const int16_t length = w.history().HistoryLength();
    h.typeKey(Qt::Key_Z);
    QCOMPARE(h.cell(0, 2), BLACK);
    QCOMPARE(h.desktop.beeps, 1);
    QCOMPARE(w.editor().CurrentRow(), int16_t{0});
    QCOMPARE(w.editor().CurrentColumn(), int16_t{2});
    QCOMPARE(w.history().HistoryLength(), length);

    // The arrows do nothing in the other tools.
    h.key("a0")->trigger();
    h.typeKey(Qt::Key_Right);
    QCOMPARE(w.editor().CurrentColumn(), int16_t{2});
}

// ------------------------------------------------------------ cell commands

void TestUiGrid::blackWhiteUndoRedo() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(4, 4, {"?C??"}));
    MainWindow& w = h.w();
    h.key("a0")->trigger();
    h.clickCell(0, 1);
    QCOMPARE(h.cell(0, 1), BLACK);
    QCOMPARE(h.panel(2), QStringLiteral(" blacked "));
    QCOMPARE(h.panel(4), QStringLiteral(" R1 C2  "));
    QVERIFY(h.key("a7")->isEnabled());
    QVERIFY(!h.key("a8")->isEnabled());
    // Black and white pixels inside the cell: the repaint drew it.
    const QImage& image = w.Peri()->image();
    QCOMPARE(image.pixel(h.centre(0, 1)), qRgb(0, 0, 0));

    h.key("a7")->trigger();
    QCOMPARE(h.cell(0, 1), 'C');
    QCOMPARE(h.panel(2), QStringLiteral(" Undo n. 1 "));
    QVERIFY(!h.key("a7")->isEnabled());
    QVERIFY(h.key("a8")->isEnabled());
    QVERIFY(h.key("a0")->isChecked());
    QCOMPARE(h.panel(1), QStringLiteral(" BLACK / WHITE a Cell "));
    QCOMPARE(w.editor().lastSelection().cx, int16_t{1});
    QCOMPARE(w.editor().lastSelection().cy, int16_t{0});

    h.key("a8")->trigger();
    QCOMPARE(h.cell(0, 1), BLACK);
    QCOMPARE(h.panel(2), QStringLiteral(" Redo n. 1 "));
    QVERIFY(h.key("a7")->isEnabled());
    QVERIFY(!h.key("a8")->isEnabled());

    h.clickCell(0, 1);
    QCOMPARE(h.cell(0, 1), '?');
    QCOMPARE(h.panel(2), QStringLiteral(" whitened "));
}

void TestUiGrid::clearCell() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3, {"A#?"}));
    h.key("a5")->trigger();
    h.desktop.beeps = 0;
    h.clickCell(0, 2);
    QCOMPARE(h.panel(3), QStringLiteral(" it's empty already! "));
    QCOMPARE(h.desktop.beeps, 1);
    QVERIFY(!h.key("a7")->isEnabled());
    h.clickCell(0, 1);
    QCOMPARE(h.cell(0, 1), '?');
    QCOMPARE(h.panel(2), QStringLiteral(" cleared "));
    h.clickCell(0, 0);
    QCOMPARE(h.cell(0, 0), '?');
    QCOMPARE(h.desktop.beeps, 1);
}

// ------------------------------------------------------------ prompts and placement

void TestUiGrid::promptPlaceReplaceUndo() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 6, {"#CAS?#"}));
    MainWindow& w = h.w();
    h.key("a1")->trigger();
    h.clickCell(0, 2);
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("CAS?"));
    QCOMPARE(h.texta()->text(), QStringLiteral("CAS?"));
    QCOMPARE(w.editor().lastSelection().cx, int16_t{1});
    QCOMPARE(w.editor().lastSelection().LAX, int16_t{4});
    QCOMPARE(h.lines(), QStringList({"CAS(AE) -1", "CASA -1", "CASO -1"}));
    QCOMPARE(h.panel(2), QStringLiteral(" =3 "));
    QCOMPARE(h.panel(4), QStringLiteral(" "));
    QCOMPARE(w.Lists()->toolTip(), QStringLiteral("Click for copying to ROW"));
    for (int i = 1; i <= 4; ++i)
        QVERIFY(h.command(i)->isEnabled());

    h.clickLine(QStringLiteral("CASO -1"));
    QCOMPARE(h.row(0).mid(1, 4), QStringLiteral("CASO"));
    QCOMPARE(w.textb()->text(), QStringLiteral("CASO"));
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("CASO"));
    for (int i = 1; i <= 4; ++i)
        QVERIFY(!h.command(i)->isEnabled());
    QCOMPARE(w.document().priclk(), true);
    QCOMPARE(w.history().HistoryLength(), int16_t{3});

    // Another line replaces the first word: one action in the history.
    h.clickLine(QStringLiteral("CASA -1"));
    QCOMPARE(h.row(0).mid(1, 4), QStringLiteral("CASA"));
    QCOMPARE(w.history().HistoryLength(), int16_t{3});
    QCOMPARE(h.panel(3), QStringLiteral(" "));

    h.key("a7")->trigger();
    QCOMPARE(h.row(0).mid(1, 4), QStringLiteral("CAS?"));
    QCOMPARE(h.panel(2), QStringLiteral(" Undo n. 1 "));
    QCOMPARE(w.document().priclk(), false);

    // After a grid click nothing is taken back: the next line just writes.
    h.clickCell(0, 2);
    h.clickLine(QStringLiteral("CASO -1"));
    QCOMPARE(h.cell(0, 4), 'O');
}

void TestUiGrid::stemLineCyclesEndings() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 6, {"#CAS?#"}));
    MainWindow& w = h.w();
    h.key("a1")->trigger();
    h.clickCell(0, 4);
    const char expected[] = {'A', 'E', 'A'};
    for (char letter : expected) {
        h.clickLine(QStringLiteral("CAS(AE) -1"));
        QCOMPARE(h.cell(0, 4), letter);
        QCOMPARE(w.history().HistoryLength(), int16_t{3});
    }
    QCOMPARE(w.textb()->text(), QStringLiteral("CASA"));
}

void TestUiGrid::freeHeadPlacesPaddedResult() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 5, {"???SA"}));
    MainWindow& w = h.w();
    h.key("a1")->trigger();
    h.clickCell(0, 0);
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("???SA"));
    QCOMPARE(h.panel(2), QStringLiteral(" none "));

    QTest::mouseClick(h.command(1), Qt::LeftButton);
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("*SA"));
    QCOMPARE(w.editor().pattern.freedHead, std::string("???"));
    QCOMPARE(h.texta()->text(), QStringLiteral("*SA"));
    QVERIFY(h.lines().contains(QStringLiteral(" ROSA -1")));
    QVERIFY(h.lines().contains(QStringLiteral(" CASA -1")));
    QCOMPARE(h.lines().first(), QStringLiteral(" CASA -1"));
    // The green box marks the freed run.
    QCOMPARE(w.editor().selection.cx, int16_t{0});
    QCOMPARE(w.editor().selection.LAX, int16_t{3});

    layCell(w, 0, 0, 'X'); // a letter under the blank stays
    h.clickLine(QStringLiteral(" ROSA -1"));
    QCOMPARE(h.row(0), QStringLiteral("XROSA"));
    QCOMPARE(w.editor().lastSelection().cx, int16_t{1});
    QCOMPARE(w.editor().lastSelection().LAX, int16_t{4});
    QCOMPARE(w.textb()->text(), QStringLiteral(" ROSA"));
    // Only the cells that changed were recorded.
    QCOMPARE(w.history().HistoryLength(), int16_t{6});
}

void TestUiGrid::refinementRefusals() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 5, {"?AB??"}));
    MainWindow& w = h.w();
    h.item("Accorcia")->trigger(); // no automatic retry
    h.key("a1")->trigger();
    h.clickCell(0, 1);
    h.desktop.beeps = 0;
    QTest::mouseClick(h.command(1), Qt::LeftButton);
    QCOMPARE(h.panel(3), QStringLiteral(" Wrong request! "));
    QCOMPARE(h.desktop.beeps, 1);
    QTest::mouseClick(h.command(4), Qt::LeftButton);
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("?AB*"));
    QCOMPARE(h.panel(2), QStringLiteral(" none "));
    QTest::mouseClick(h.command(3), Qt::LeftButton);
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("?AB"));
    QTest::mouseClick(h.command(2), Qt::LeftButton);
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("AB"));
    QCOMPARE(w.editor().pattern.SlotFirstColumn, int16_t{1});
    h.desktop.beeps = 0;
    QTest::mouseClick(h.command(2), Qt::LeftButton);
    QCOMPARE(h.panel(3), QStringLiteral(" not possible "));
    QCOMPARE(h.desktop.beeps, 1);
}

void TestUiGrid::dragAcrossBlackCell() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 8, {"?C?#????"}));
    MainWindow& w = h.w();
    h.item("Accorcia")->trigger(); // no automatic retry
    QVERIFY(!h.item("Accorcia")->isChecked());
    h.key("a1")->trigger();
    QWidget* peri = w.Peri();
    QTest::mousePress(peri, Qt::LeftButton, {}, h.centre(0, 1));
    for (int c = 2; c <= 5; ++c)
        QTest::mouseMove(peri, h.centre(0, c));
    QCOMPARE(w.editor().drawnDrag().x1, int16_t{1});
    QCOMPARE(w.editor().drawnDrag().x2, int16_t{5});
    // The blue rectangle is on the picture.
    const QImage image = w.Peri()->image();
    const QPoint edge = h.at(0.05, 4.5);
    bool blue = false;
    for (int dy = -1; dy <= 1; ++dy)
        blue = blue || image.pixel(edge + QPoint(0, dy)) == qRgb(0, 0, 255);
    QVERIFY(blue);
    QTest::mouseRelease(peri, Qt::LeftButton, {}, h.centre(0, 5));

    QCOMPARE(w.editor().CurrentColumn(), int16_t{1});
    QCOMPARE(w.editor().pattern.testom, std::string("C?"));
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("C?"));
    QCOMPARE(w.editor().pattern.SlotFirstColumn, int16_t{1});
    QCOMPARE(w.editor().pattern.SlotLastColumn, int16_t{5});
    QCOMPARE(w.editor().lastSelection().cx, int16_t{1});
    QCOMPARE(w.editor().lastSelection().LAX, int16_t{5});
    QCOMPARE(h.panel(2), QStringLiteral(" none "));

    // A drag that leaves the grid stops following the pointer.
    QTest::mousePress(peri, Qt::LeftButton, {}, h.centre(0, 6));
    QTest::mouseMove(peri, h.centre(0, 7));
    QTest::mouseMove(peri, QPoint(peri->width() + 40, h.centre(0, 7).y()));
    QVERIFY(!w.editor().fatrac);
    QCOMPARE(w.editor().drag.x2, int16_t{7});
    QTest::mouseRelease(peri, Qt::LeftButton, {}, h.centre(0, 7));
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("??"));
    QCOMPARE(h.panel(3), QStringLiteral(" Wrong request! "));
}

void TestUiGrid::promptDownOnBlackCell() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(4, 2, {"#?", "R?", "O?", "MA"}));
    MainWindow& w = h.w();
    h.key("a2")->trigger();
    h.clickCell(0, 0);
    QCOMPARE(h.panel(4), QStringLiteral(" R1 C1  "));
    QCOMPARE(w.Lists()->count(), 0);
    QVERIFY(!h.command(1)->isEnabled());
    h.clickCell(2, 1);
    QCOMPARE(w.editor().pattern.CurrentPattern, std::string("???A"));
    QCOMPARE(w.Lists()->toolTip(), QStringLiteral("Click for copying to COLUMN"));
    h.clickLine(QStringLiteral("ROMA -1"));
    QCOMPARE(h.cell(0, 1), 'R');
    QCOMPARE(h.cell(1, 1), 'O');
    QCOMPARE(h.cell(2, 1), 'M');
    QCOMPARE(w.editor().lastSelection().LAY, int16_t{4});
}

// ------------------------------------------------------------ cross prompt

void TestUiGrid::crossPromptPlacesLetter() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(4, 4, {"RAM?", "???R", "???S", "???O"}));
    MainWindow& w = h.w();
    h.key("a6")->trigger();
    h.clickCell(0, 3);
    QCOMPARE(h.panel(1),
             QStringLiteral(" CROSS PROMPT (full search, use Ctrl for vocals limited search) "));
    QCOMPARE(h.lines(), QStringList({"O"}));
    QCOMPARE(h.panel(2), QStringLiteral(" =1 "));
    QCOMPARE(w.Lists()->toolTip(), QStringLiteral("Click to copy to the CROSS"));
    QCOMPARE(w.flags().BusyCounter, int16_t{0});
    h.clickLine(QStringLiteral("O"));
    QCOMPARE(h.cell(0, 3), 'O');
    QCOMPARE(w.textb()->text(), QStringLiteral("O"));
    h.key("a7")->trigger();
    QCOMPARE(h.cell(0, 3), '?');
}

void TestUiGrid::crossPromptVowelsAndRefusals() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(4, 4, {"RAM?", "???R", "???S", "???O"}));
    MainWindow& w = h.w();
    h.key("a6")->trigger();
    h.typeKey(Qt::Key_Control, Qt::ControlModifier);
    QCOMPARE(w.editor().vocali, int16_t{1});
    h.clickCell(0, 3);
    QCOMPARE(h.panel(1), QStringLiteral(" CROSS PROMPT (vocals only, use Alt for full search) "));
    QCOMPARE(h.lines(), QStringList({"O"}));
    h.typeKey(Qt::Key_Alt, Qt::AltModifier);
    QCOMPARE(w.editor().vocali, int16_t{0});

    h.desktop.beeps = 0;
    h.clickCell(0, 0); // a letter
    QCOMPARE(h.panel(3), QStringLiteral(" Wrong request! "));
    QCOMPARE(h.desktop.beeps, 1);
    layCell(w, 1, 3, BLACK);
    h.clickCell(1, 1); // the across word has no letter
    QCOMPARE(h.panel(3), QStringLiteral(" wrong CELL "));
    QCOMPARE(h.desktop.beeps, 2);
}

// ------------------------------------------------------------ anagrams

void TestUiGrid::anagramsCopyToTest() {
    Harness h;
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QVERIFY(h.key("a9")->isEnabled());
    w.textb()->setText(QStringLiteral(" roma "));
    h.key("a9")->trigger();
    QCOMPARE(h.lines(), QStringList({"AMOR", "MORA", "RAMO"}));
    QCOMPARE(h.panel(2), QStringLiteral(" 3 Anagrams "));
    QCOMPARE(h.panel(1), QStringLiteral(" ANAGRAMS of TEST "));
    QCOMPARE(w.flags().BusyCounter, int16_t{0});
    h.clickLine(QStringLiteral("MORA"));
    QCOMPARE(w.textb()->text(), QStringLiteral("MORA"));

    h.desktop.beeps = 0;
    w.textb()->setText(QStringLiteral("QQQ"));
    h.key("a9")->trigger();
    QCOMPARE(h.lines(), QStringList({" ", " no Anagrams "}));
    QCOMPARE(h.panel(2), QStringLiteral(" no Anagrams "));
    QCOMPARE(h.desktop.beeps, 1);
    h.clickLine(QStringLiteral(" no Anagrams "));
    QCOMPARE(w.textb()->text(), QStringLiteral("QQQ"));
}

// ------------------------------------------------------------ tools

void TestUiGrid::rightClickSwitches_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("write across") << "a3"
                                  << "a4";
    QTest::newRow("write down") << "a4"
                                << "a3";
    QTest::newRow("search across") << "a1"
                                   << "a2";
    QTest::newRow("search down") << "a2"
                                 << "a1";
    QTest::newRow("black/white") << "a0"
                                 << "a0";
    QTest::newRow("clear") << "a5"
                           << "a5";
}

void TestUiGrid::rightClickSwitches() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3, {"A??"}));
    MainWindow& w = h.w();
    w.toolButton(from)->trigger();
    w.editor().setCurrentCell(2, 2);
    h.rightClickCell(0, 0);
    QCOMPARE(w.CurrentToolKey(), to);
    QCOMPARE(w.CurrentTool(), int16_t(to.right(1).toInt()));
    QVERIFY(w.toolButton(to)->isChecked());
    // The right button changes no cell, not even the current one.
    QCOMPARE(h.cell(0, 0), 'A');
    QCOMPARE(w.editor().CurrentRow(), int16_t{2});
    QCOMPARE(w.editor().CurrentColumn(), int16_t{2});
}

// ------------------------------------------------------------ results list

void TestUiGrid::listKeepsDisplayOrder() {
    Harness h;
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    for (const char* line : {"b", "Ab", ">x", " none", "=y", "aa", "B"})
        w.searchHost().addListLine(line);
    QCOMPARE(h.lines(), QStringList({" none", "=y", ">x", "aa", "Ab", "b", "B"}));
}

void TestUiGrid::listKeysPlaceLikeClicks() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 6, {"#CAS?#"}));
    MainWindow& w = h.w();
    h.key("a1")->trigger();
    h.clickCell(0, 2);
    h.clickLine(QStringLiteral("CASA -1"));
    QCOMPARE(h.cell(0, 4), 'A');
    QTest::keyClick(w.Lists(), Qt::Key_Down);
    QCOMPARE(w.Lists()->lineText(w.Lists()->currentRow()), QStringLiteral("CASO -1"));
    QCOMPARE(h.cell(0, 4), 'O');
    QCOMPARE(w.history().HistoryLength(), int16_t{3});
    // A key that does not move the current line places nothing.
    QTest::keyClick(w.Lists(), Qt::Key_Down);
    QCOMPARE(h.cell(0, 4), 'O');
    QCOMPARE(w.textb()->text(), QStringLiteral("CASO"));
}

void TestUiGrid::undoAnomaly() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3));
    MainWindow& w = h.w();
    h.key("a0")->trigger();
    h.clickCell(0, 0);
    h.clickCell(1, 1);
    QCOMPARE(w.history().HistoryLength(), int16_t{6});
    // the second record's column lies outside the grid
    HistoryTestAccess::overwriteEntry(w.document(), 4, 99);
    w.Stb1()->setText(2, QStringLiteral(" blacked "));
    h.key("a7")->trigger();
    const QList<ScriptedDesktop::Shown> boxes = h.desktop.boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().title, QStringLiteral("Attention !"));
    QCOMPARE(boxes.first().text,
             QStringLiteral("Probable anomaly in actions history. Possible errors with restore."));
    QCOMPARE(w.history().HistoryLength(), int16_t{6});
    QCOMPARE(h.panel(2), QStringLiteral(" "));
    QVERIFY(h.key("a7")->isEnabled());
    QCOMPARE(h.cell(1, 1), BLACK);
}

// ------------------------------------------------------------ abort and reset

namespace {
constexpr int LongLines = 60000;

// A long list of five-letter words ending in A, in order: every line fits
// ????A.
void writeLongList(const QString& folder) {
    QByteArray text;
    for (int i = 0; i < LongLines; ++i) {
        int n = i;
        char word[6] = {'A', 'A', 'A', 'A', 'A', 0};
        for (int k = 3; k >= 0; --k) {
            word[k] = static_cast<char>('A' + n % 26);
            n /= 26;
        }
        text += word;
        text += "\r\n";
    }
    QFile f(folder + QStringLiteral("/long.dic"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

void TestUiGrid::abortLongScan() {
    Harness h(writeLongList);
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QVERIFY(w.store().DictFileName[2] == "long.dic" || w.store().DictFileName[3] == "long.dic");
    QVERIFY(h.newGrid(2, 5, {"????A"}));
    h.item("Estesa")->trigger(); // no cap of 50
    QVERIFY(w.flags().Estesa);
    w.searchHost().yieldStride = 1;

    // Once the scan of the long list is under way, a click on panel 2.
    bool clicked = false;
    bool busyThen = false;
    int passes = 0;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // Some hundred lines into the long list, which the base dictionary's
        // hit precedes in the list.
        if (clicked || w.Lists()->count() < 1 || w.flags().BusyCounter == 0 || ++passes < 300)
            return;
        clicked = true;
        busyThen = true;
        // Clicks elsewhere are ignored meanwhile.
        h.key("a0")->trigger();
        h.clickCell(0, 0);
        QTest::mouseClick(w.Stb1()->panel(2), Qt::LeftButton);
    });
    poll.start();
    h.key("a1")->trigger();
    h.clickCell(0, 0);
    poll.stop();

    QVERIFY(clicked && busyThen);
    QCOMPARE(w.CurrentTool(), int16_t{1});
    QVERIFY(h.key("a1")->isChecked());
    QVERIFY(!h.key("a0")->isChecked());
    QCOMPARE(h.cell(0, 0), '?');
    QCOMPARE(h.panel(3), QStringLiteral(" Abort! "));
    QCOMPARE(h.panel(4), QStringLiteral(" "));
    // The lines found before the abort stay: ZEBRA and part of the long list.
    QVERIFY(h.lines().contains(QStringLiteral("ZEBRA -1")));
    QVERIFY(w.Lists()->count() > 1);
    QVERIFY(w.Lists()->count() < LongLines + 1);
    QCOMPARE(h.panel(2), QStringLiteral(" =%1 ").arg(w.Lists()->count()));
    QCOMPARE(w.flags().BusyCounter, int16_t{0});
    QCOMPARE(w.flags().abortRequest, int16_t{0});
}

void TestUiGrid::searchReset() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 6, {"#CAS?#"}));
    MainWindow& w = h.w();
    h.key("a1")->trigger();
    h.clickCell(0, 1);
    QCOMPARE(w.Lists()->count(), 3);
    w.flags().BusyCounter = 2; // a search left busy
    w.flags().abortRequest = 1;
    h.item("ResErr")->trigger();
    QCOMPARE(w.flags().BusyCounter, int16_t{0});
    QCOMPARE(w.flags().abortRequest, int16_t{0});
    QCOMPARE(w.Lists()->count(), 0);
    QCOMPARE(w.Lists()->toolTip(), QString());
    for (int i = 1; i <= 4; ++i)
        QVERIFY(!h.command(i)->isEnabled());
    QCOMPARE(h.panel(2), QStringLiteral(" "));
    QCOMPARE(h.panel(3), QStringLiteral(" "));
    QCOMPARE(w.Peri()->cursor().shape(), Qt::ArrowCursor);
    // The grid answers again.
    h.clickCell(0, 1);
    QCOMPARE(w.Lists()->count(), 3);
}

void TestUiGrid::searchResetDuringScan() {
    Harness h(writeLongList);
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QVERIFY(h.newGrid(2, 5, {"????A"}));
    h.item("Estesa")->trigger();
    w.searchHost().yieldStride = 1;
    bool reset = false;
    bool busyAfterReset = false;
    int passes = 0;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (reset || w.flags().BusyCounter == 0 || ++passes < 100)
            return;
        reset = true;
        h.item("ResErr")->trigger();
        QCOMPARE(w.flags().BusyCounter, int16_t{0});
        busyAfterReset = w.busy();
        // Neither a new search nor a tool change starts inside the old one.
        h.clickCell(0, 0);
        h.key("a0")->trigger();
    });
    poll.start();
    h.key("a1")->trigger();
    h.clickCell(0, 0);
    poll.stop();
    QVERIFY(reset);
    QVERIFY(busyAfterReset);
    QVERIFY(!w.busy());
    QCOMPARE(w.CurrentTool(), int16_t{1});
    QCOMPARE(w.flags().abortRequest, int16_t{0});
    QCOMPARE(h.panel(3), QStringLiteral(" Abort! "));
    QVERIFY(w.Lists()->count() < LongLines);
    // The window is at rest: the next click searches in full.
    h.item("Estesa")->trigger();
    h.clickCell(0, 0);
    QCOMPARE(w.Lists()->count(), 50);
}

void TestUiGrid::busyGridIgnoresInput() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 6, {"#CAS?#"}));
    MainWindow& w = h.w();
    h.key("a1")->trigger();
    h.clickCell(0, 2);
    w.flags().BusyCounter = 2;
    h.clickLine(QStringLiteral("CASA -1"));
    QCOMPARE(h.cell(0, 4), '?');
    h.rightClickCell(0, 1);
    QCOMPARE(w.CurrentTool(), int16_t{1});
    h.typeKey(Qt::Key_Control, Qt::ControlModifier);
    w.flags().BusyCounter = 0;
    h.clickLine(QStringLiteral("CASA -1"));
    QCOMPARE(h.cell(0, 4), 'A');
}

// ------------------------------------------------------------ 8-bit text

void TestUiGrid::highBytesKeepOneCellEach() {
    // "CITT\xC0" is five characters in the 8-bit dictionaries; in a UTF-8
    // locale conversion it would come back as more bytes than cells.
    Harness h([](const QString& folder) {
        QFile f(QDir(folder).filePath(QStringLiteral("base.diz")));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray text = f.readAll();
        text.replace("CASO\r\n", "CASO\r\nCITT\xC0\r\n");
        QVERIFY(f.resize(0) && f.seek(0));
        f.write(text);
    });
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 6, {"CITT?#"}));
    MainWindow& w = h.w();
    const QString citta = QStringLiteral("CITT") + QChar(0xC0);
    h.key("a1")->trigger();
    h.clickCell(0, 1);
    QCOMPARE(h.lines().size(), 1);
    QVERIFY2(h.lines().first().startsWith(citta + QLatin1Char(' ')), qPrintable(h.lines().first()));

    h.clickLine(h.lines().first());
    QCOMPARE(w.grid().GridRows[0], std::string("CITT\xC0\x10", 6));
    QCOMPARE(w.grid().GridRows[0].size(), std::size_t{6});
    QCOMPARE(w.textb()->text(), citta);
    QCOMPARE(w.history().HistoryLength(), int16_t{3});

    // The TEST field reaches the anagram search as the same bytes.
    w.textb()->setText(QChar(0xC0) + QStringLiteral("TTIC"));
    h.key("a9")->trigger();
    QVERIFY2(h.lines().contains(citta), qPrintable(h.lines().join(QLatin1Char('|'))));
}

// ------------------------------------------------------------ loading

void TestUiGrid::loadingYieldsEveryFewLines() {
    constexpr int Lines = 6400;
    Harness h([](const QString& folder) {
        QFile f(QDir(folder).filePath(QStringLiteral("big.dic")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < Lines; ++i) {
            const char word[] = {
                'B', char('A' + i / 676 % 26), char('A' + i / 26 % 26), char('A' + i % 26), '\r',
                '\n'};
            f.write(word, sizeof word);
        }
    });
    int yields = 0;
    h.w().searchHost().yieldProbe = [&yields] { ++yields; };
    QVERIFY(h.loaded());
    QVERIFY(!h.desktop.ended);
    const auto& names = h.w().store().DictFileName;
    QVERIFY(std::find(std::begin(names), std::end(names), "big.dic") != std::end(names));
    // Still some passes of the event loop, but not one a line.
    QVERIFY2(yields > 0 && yields < Lines / 8, qPrintable(QString::number(yields)));
}

QTEST_MAIN(TestUiGrid)
#include "test_ui_grid.moc"
