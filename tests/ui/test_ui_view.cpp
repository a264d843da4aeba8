// SPDX-License-Identifier: GPL-3.0-or-later
// The grid view drawn from the document and the editor state, in a real
// window: the pictures after an Undo of a word, an erased drag and the
// numbers switched off, each against the picture drawn whole and then box
// after box as the program always drew it; the cells and clue rows one key
// repaints; the clue panel following the write cursor; Ctrl+Z from a clue
// just left and from any entry not being edited; the changed flag after an
// Undo that follows a Save.
#include "cluecommands.h"
#include "cluepanel.h"
#include "gridcanvas.h"
#include "gridpainter.h"
#include "uiharness.h"

#include <QAbstractItemModel>
#include <QPaintEvent>
#include <QTableWidget>

#include <set>

using namespace korvel;
using namespace korvel::uitest;

namespace {

struct Harness : WindowHarness {
    Harness() {
        addFixture(uiFixture(QStringLiteral("basic")));
        start(quickTimings());
        loaded();
    }
};

// A grid with black cells and numbers, whose words are empty.
const QStringList Rows = {"??????#??", "???#?????", "??????#??", "#???#????", "?????????"};

// The picture as the program has always drawn it: the document drawn whole
// on a fresh canvas of the same size and scale, then each step drawn over
// it in order. It shares the painter's drawing of one thing, not the view's
// bookkeeping of what to draw where.
class Reference {
public:
    explicit Reference(MainWindow& w) : w_(w), painter_(canvas_) {
        const GridModel& g = w.grid();
        canvas_.setPictureSize(w.Peri()->width(), w.Peri()->height());
        canvas_.setScale(g.ColumnCount, g.RowCount);
        canvas_.setFontName(QStringLiteral("Courier New"));
        painter_.paintCells(g, w.cellMetrics());
        painter_.paintCircles(g, w.document().circles(), GridPainter::all(g));
        painter_.paintNumbers(g, w.document().wordSlots(), w.cellMetrics(), true);
    }
    void box(const Selection& s, const QColor& colour = GridPainter::Red) {
        painter_.drawSelectionBox(s, colour);
    }
    // A drag rectangle's outline from (x1, y) to (x2, y), as the drag draws it.
    void outline(int x1, int x2, int y, const QColor& colour) {
        canvas_.drawBox(x1 + 0.05, y + 0.05, x2 - x1 + 0.9, 0.9, colour);
    }
    void numbers(bool shown) {
        painter_.paintNumbers(w_.grid(), w_.document().wordSlots(), w_.cellMetrics(), shown);
    }
    const QImage& image() const { return canvas_.image(); }

private:
    MainWindow& w_;
    GridCanvas canvas_;
    GridPainter painter_;
};

// The first pixel where two pictures differ, for the failure message.
QString firstDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return QStringLiteral("sizes differ");
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("first difference at %1,%2").arg(x).arg(y);
    return QStringLiteral("same");
}

// The view's picture equals the reference, and the view drawn whole from
// its state gives it again.
bool sameAsReference(MainWindow& w, const Reference& ref, QString& why) {
    const QImage shown = w.Peri()->image().convertToFormat(QImage::Format_RGB32);
    const QImage want = ref.image().convertToFormat(QImage::Format_RGB32);
    if (shown != want) {
        why = QStringLiteral("against the reference: ") + firstDifference(shown, want);
        return false;
    }
    w.Peri()->invalidateAll();
    const QImage whole = w.Peri()->image().convertToFormat(QImage::Format_RGB32);
    if (whole != shown) {
        why = QStringLiteral("against the whole picture: ") + firstDifference(whole, shown);
        return false;
    }
    return true;
}

// Counts the cells whose centre a paint of the grid picture covered.
class PaintedCells : public QObject {
public:
    PaintedCells(MainWindow& w) : w_(w) { w.Peri()->installEventFilter(this); }
    ~PaintedCells() override { w_.Peri()->removeEventFilter(this); }
    std::set<std::pair<int, int>> cells;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const QRegion region = static_cast<QPaintEvent*>(event)->region();
            const GridModel& g = w_.grid();
            for (int r = 0; r < g.RowCount; ++r)
                for (int c = 0; c < g.ColumnCount; ++c)
                    if (region.contains(w_.Peri()->cellRect(r, c).center()))
                        cells.insert({r, c});
        }
        return false;
    }

private:
    MainWindow& w_;
};

} // namespace

class TestUiView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void undoOfAWordBoxesEveryCell();
    void dragErasedInWhite();
    void numbersSwitchedOff();
    void oneKeyRepaintsTwoCellsAndTwoRows();
    void cluePanelFollowsTheWriteCursor();
    void undoFromAClueJustLeft();
    void undoFromAClueCellNotEdited();
    void undoAfterSaveAsksOnClose();
};

// Undo of a five-letter word placed as one action: the grid drawn whole,
// then the red box on each restored cell, last-changed first, each box left
// on the picture.
void TestUiView::undoOfAWordBoxesEveryCell() {
    Harness h;
    QVERIFY(h.newGrid(5, 9, Rows));
    MainWindow& w = h.w();
    w.document().edit([](DocumentEdit& e) {
        e.beginAction();
        for (int16_t i = 0; i < 5; ++i)
            e.aggior(4, static_cast<int16_t>(2 + i), "CANTO"[i]);
    });
    h.key("a7")->trigger();
    QCOMPARE(h.row(4), QStringLiteral("?????????"));
    QCOMPARE(h.panel(2), QStringLiteral(" Undo n. 1 "));
    QCOMPARE(w.editor().CurrentColumn(), int16_t{2});
    Reference ref(w);
    for (int16_t c = 6; c >= 2; --c)
        ref.box(Selection{c, 4, 1, 1});
    QString why;
    QVERIFY2(sameAsReference(w, ref, why), qPrintable(why));
}

// A drag along a row: each move erases the rectangle drawn last in white and
// draws the new one in blue, over what is there; the white stays where it
// covered a box.
void TestUiView::dragErasedInWhite() {
    Harness h;
    QVERIFY(h.newGrid(5, 9, Rows));
    MainWindow& w = h.w();
    h.key("a3")->trigger();
    h.clickCell(2, 3); // the write cursor's box, which the drag's white crosses
    h.key("a1")->trigger();
    QWidget* peri = w.Peri();
    QTest::mousePress(peri, Qt::LeftButton, {}, h.centre(2, 1));
    QTest::mouseMove(peri, h.centre(2, 5));
    QTest::mouseMove(peri, h.centre(2, 2));
    Reference ref(w);
    ref.box(Selection{3, 2, 1, 1});
    ref.outline(0, 0, 0, GridPainter::White); // no rectangle was drawn before
    ref.outline(1, 5, 2, GridPainter::Blue);
    ref.outline(1, 5, 2, GridPainter::White);
    ref.outline(1, 2, 2, GridPainter::Blue);
    QString why;
    QVERIFY2(sameAsReference(w, ref, why), qPrintable(why));
    QTest::mouseRelease(peri, Qt::LeftButton, {}, h.centre(2, 2));
}

// Show Clue Numbers unticked prints the numbers again in white over the
// picture as it is, boxes included; ticked again, in red.
void TestUiView::numbersSwitchedOff() {
    Harness h;
    QVERIFY(h.newGrid(5, 9, Rows));
    MainWindow& w = h.w();
    h.key("a0")->trigger();
    h.clickCell(0, 1); // a black cell: the numbers after it change
    h.item("Numerare")->trigger();
    Reference ref(w);
    ref.box(Selection{1, 0, 1, 1});
    ref.numbers(false);
    QString why;
    QVERIFY2(sameAsReference(w, ref, why), qPrintable(why));
    h.item("Numerare")->trigger();
    ref.numbers(true);
    QVERIFY2(sameAsReference(w, ref, why), qPrintable(why));
    // A grid drawn whole draws the numbers as the item says.
    h.item("Numerare")->trigger();
    w.rinfresca();
    Reference hidden(w);
    hidden.numbers(false);
    QVERIFY2(sameAsReference(w, hidden, why), qPrintable(why));
}

// One key typed in Write Across on the largest grid, the clue panel shown
// and the Fill Check off: the cell written and the next one are painted
// again, and the entries of the two words through the written cell.
void TestUiView::oneKeyRepaintsTwoCellsAndTwoRows() {
    Harness h;
    QVERIFY(h.newGrid(25, 35));
    MainWindow& w = h.w();
    h.item("Definizioni")->trigger();
    QTest::qWait(20);
    CluePanel* panel = w.clueCommands()->panel();
    QVERIFY(panel->isVisible());
    h.key("a3")->trigger();
    // A cell in view with the next one: the key scrolls nothing.
    h.clickCell(2, 3);
    QCoreApplication::processEvents();

    std::set<std::pair<QTableWidget*, int>> rows;
    for (QTableWidget* t : {panel->acrossList(), panel->downList()})
        QObject::connect(t->model(), &QAbstractItemModel::dataChanged, t,
                         [&rows, t](const QModelIndex& from, const QModelIndex& to) {
                             for (int r = from.row(); r <= to.row(); ++r)
                                 rows.insert({t, r});
                         });
    PaintedCells painted(w);
    h.typeKey(Qt::Key_E);
    QCoreApplication::processEvents();
    QCOMPARE(h.cell(2, 3), 'E');
    QString seen;
    for (const auto& [r, c] : painted.cells)
        seen += QStringLiteral(" %1,%2").arg(r).arg(c);
    QVERIFY2(painted.cells == (std::set<std::pair<int, int>>{{2, 3}, {2, 4}}),
             qPrintable(QStringLiteral("painted:") + seen));
    QCOMPARE(rows.size(), std::size_t{2});
    QCOMPARE(panel->acrossList()->item(2, CluePanel::AnswerColumn)->text(),
             QString(3, u'?') + QStringLiteral("E") + QString(31, u'?'));
}

// While typing, the panel's current entry is the word of the write cursor:
// across, into the next row's word; down, with Write Down.
void TestUiView::cluePanelFollowsTheWriteCursor() {
    Harness h;
    QVERIFY(h.newGrid(5, 9, Rows));
    MainWindow& w = h.w();
    h.item("Definizioni")->trigger();
    QTest::qWait(20);
    CluePanel* panel = w.clueCommands()->panel();
    h.key("a3")->trigger();
    h.clickCell(0, 7);
    QCOMPARE(panel->acrossList()->currentRow(), 1); // 7 across: (0,7)-(0,8)
    h.typeKey(Qt::Key_O);
    QCOMPARE(panel->acrossList()->currentRow(), 1);
    h.typeKey(Qt::Key_N); // past the row's end: the next row's first word
    QCOMPARE(w.editor().CurrentRow(), int16_t{1});
    QCOMPARE(w.editor().CurrentColumn(), int16_t{0});
    QCOMPARE(panel->acrossList()->currentRow(), 2);
    // The pointer passing over the grid moves the cursor, not the entry.
    QTest::mouseMove(w.Peri(), h.centre(4, 4));
    QCOMPARE(panel->acrossList()->currentRow(), 2);
    h.key("a4")->trigger();
    h.clickCell(1, 1);
    h.typeKey(Qt::Key_A);
    QCOMPARE(panel->acrossList()->currentRow(), -1);
    QCOMPARE(panel->downList()->currentRow(), 1); // 2 down from (0,1)
}

// Ctrl+Z straight after Enter or Tab in a clue takes the clue back: the next
// entry's editor, untouched, leaves the key to the window.
void TestUiView::undoFromAClueJustLeft() {
    Harness h;
    QVERIFY(h.newGrid(5, 9, Rows));
    MainWindow& w = h.w();
    h.item("Definizioni")->trigger();
    QTest::qWait(20);
    QTableWidget* across = w.clueCommands()->panel()->acrossList();
    across->setFocus();
    across->setCurrentCell(0, CluePanel::ClueColumn);
    across->editItem(across->item(0, CluePanel::ClueColumn));
    QLineEdit* first = across->findChild<QLineEdit*>(QStringLiteral("ClueEditor"));
    QVERIFY(first);
    QTest::keyClicks(first, QStringLiteral("Pets"));
    QTest::keyClick(first, Qt::Key_Tab);
    QCoreApplication::processEvents();
    const Slot one = w.document().wordSlots().across()[0];
    QVERIFY(w.document().clues().placedOn(one));
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QVERIFY(!w.document().clues().placedOn(one));
    // Typed into, the editor takes the key for its own text.
    focus = QApplication::focusWidget();
    QTest::keyClicks(focus, QStringLiteral("Ab"));
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!w.document().clues().placedOn(one));
    QVERIFY(h.key("a8")->isEnabled());
}

// Ctrl+Z and Ctrl+Y on any entry of the lists that is not being edited, its
// number, answer or clue, are the window's Undo and Redo.
void TestUiView::undoFromAClueCellNotEdited() {
    Harness h;
    QVERIFY(h.newGrid(5, 9, Rows));
    MainWindow& w = h.w();
    h.item("Definizioni")->trigger();
    QTest::qWait(20);
    const Slot one = w.document().wordSlots().across()[0];
    const Slot down = w.document().wordSlots().down()[1];
    w.document().edit([&](DocumentEdit& e) { e.setClue(one, "Pets"); });
    w.document().edit([&](DocumentEdit& e) { e.setClue(down, "Up"); });
    CluePanel* panel = w.clueCommands()->panel();
    for (QTableWidget* t : {panel->acrossList(), panel->downList()})
        for (int column : {int(CluePanel::NumberColumn), int(CluePanel::AnswerColumn),
                           int(CluePanel::ClueColumn)}) {
            t->setFocus();
            t->setCurrentCell(0, column);
            QVERIFY(!t->findChild<QLineEdit*>(QStringLiteral("ClueEditor")));
            QTest::keyClick(t, Qt::Key_Z, Qt::ControlModifier);
            QCoreApplication::processEvents();
            QVERIFY2(!w.document().clues().placedOn(down), qPrintable(t->objectName()));
            QVERIFY(w.document().clues().placedOn(one));
            QTest::keyClick(t, Qt::Key_Y, Qt::ControlModifier);
            QCoreApplication::processEvents();
            QVERIFY(w.document().clues().placedOn(down));
        }
}

// After a save, an Undo that changes a cell is a change: closing asks, and
// so does Redo after another save.
void TestUiView::undoAfterSaveAsksOnClose() {
    Harness h;
    QVERIFY(h.newGrid(5, 9, Rows));
    MainWindow& w = h.w();
    h.key("a3")->trigger();
    h.clickCell(0, 0);
    h.typeKey(Qt::Key_A);
    h.desktop.fileAnswers << h.path(QStringLiteral("one.kvl"));
    w.Salvacome_Click();
    QCOMPARE(w.DocumentChanged(), int16_t{0});
    h.key("a7")->trigger();
    QCOMPARE(h.cell(0, 0), EmptyCell);
    QCOMPARE(w.DocumentChanged(), int16_t{1});
    h.desktop.clear();
    h.desktop.boxAnswers << MsgAnswer::Cancel;
    QVERIFY(!w.close());
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].title, QStringLiteral("ATTENTION !"));

    w.Salva_Click();
    QCOMPARE(w.DocumentChanged(), int16_t{0});
    h.key("a8")->trigger();
    QCOMPARE(h.cell(0, 0), 'A');
    QCOMPARE(w.DocumentChanged(), int16_t{1});
    // A Redo with nothing to put back leaves the flag as it is.
    w.Salva_Click();
    h.key("a8")->trigger();
    QCOMPARE(w.DocumentChanged(), int16_t{0});
}

QTEST_MAIN(TestUiView)
#include "test_ui_view.moc"
