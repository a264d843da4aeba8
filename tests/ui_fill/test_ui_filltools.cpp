// SPDX-License-Identifier: GPL-3.0-or-later
// The construction tools beside the fill, in a real main window on the
// offscreen platform with the scripted desktop, over the fill's small word
// list: Clear Fill (typed letters kept through undo, redo and an .ipuz file;
// the box), the slots behind a failed fill (the box, the frames, the search
// it offers), the Fill Check heat map, and Tools > New Pattern....
#include "fillcheck.h"
#include "fillcommands.h"
#include "gridcanvas.h"
#include "gridrows.h"
#include "mainwindow.h"
#include "newpatterndialog.h"
#include "patterndesigner.h"
#include "puzzlefile.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "uiharness.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <set>

using namespace korvel;
using korvel::testing::gridOf;
using namespace korvel::uitest;

namespace {

struct Harness : WindowHarness {
    Harness() {
        addFixture(QStringLiteral(KORVEL_FILL_FIXTURES "/fill"));
        start(quickTimings());
        loaded();
    }
    FillCommands& fill() { return *window->fillCommands(); }
    void grid(const std::vector<std::string>& rows) {
        w().document().openPuzzle(Puzzle{gridOf(rows), {}, {}, {}}, "");
        w().Inizio();
    }
    void click(int r, int c) {
        w().Peri()->setFocus();
        clickCell(r, c);
    }
    void type(int r, int c, Qt::Key key) {
        this->key("a3")->trigger();
        click(r, c);
        QTest::keyClick(w().Peri(), key);
    }
    std::string row(int r) { return w().grid().GridRows[static_cast<std::size_t>(r)]; }
    QImage shown() { return w().Peri()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QImage drawn() { return w().Peri()->image().convertToFormat(QImage::Format_RGB32); }
    // The cells (r * columns + c) where the screen differs from the drawn picture.
    std::set<int> markedCells() {
        const QImage a = drawn();
        const QImage b = shown();
        std::set<int> cells;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    const QPointF u = w().Peri()->toUnits({x + 0.5, y + 0.5});
                    cells.insert(static_cast<int>(u.y()) * w().grid().ColumnCount +
                                 static_cast<int>(u.x()));
                }
        return cells;
    }
};

// Four blocks of 2 x 2 cells: every two-letter word is in the list, so any
// letters typed still leave a fill.
const std::vector<std::string> Blocks = {"??#??", "??#??", "#####", "??#??", "??#??"};

bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

} // namespace

class FillToolsTest : public QObject {
    Q_OBJECT
private slots:
    void clearFillKeepsTypedLetters();
    void clearFillInTheBox();
    void clearFillThroughAnIpuzFile();
    void noFillNamesTheSlotsAndOpensTheWorst();
    void heatMapIsOffUntilSwitchedOn();
    void newPatternIsOneUndoableStep();
};

void FillToolsTest::clearFillKeepsTypedLetters() {
    Harness h;
    h.grid(Blocks);
    QVERIFY(h.item("CancellaRiempimento"));
    QCOMPARE(h.item("CancellaRiempimento")->text(), QStringLiteral("Clear Fill"));
    h.type(0, 0, Qt::Key_Q);
    h.type(4, 4, Qt::Key_Z);
    h.item("Riempi")->trigger();
    const GridModel filled = h.w().grid();
    for (int r : {0, 1, 3, 4})
        for (int c : {0, 1, 3, 4})
            QVERIFY(isLetter(filled.cell(r, c)));
    QCOMPARE(filled.cell(0, 0), 'Q');

    h.item("CancellaRiempimento")->trigger();
    QCOMPARE(h.row(0), std::string("Q?\x10??"));
    QCOMPARE(h.row(1), std::string("??\x10??"));
    QCOMPARE(h.row(4), std::string("??\x10?Z"));
    QCOMPARE(h.panel(2), QStringLiteral(" cleared 14 cells "));
    QVERIFY(h.w().document().isModified());

    // One Undo puts the fill back, one Redo clears it again.
    h.key("a7")->trigger();
    QCOMPARE(h.w().grid().GridRows, filled.GridRows);
    h.key("a8")->trigger();
    QCOMPARE(h.row(0), std::string("Q?\x10??"));
    // Nothing of the fill's left: a beep, and nothing recorded.
    const int beeps = h.desktop.beeps;
    h.item("CancellaRiempimento")->trigger();
    QCOMPARE(h.desktop.beeps, beeps + 1);
    QCOMPARE(h.panel(2), QStringLiteral(" no fill letters to clear "));
    // Undo, then a letter typed over the fill's: that one stays.
    h.key("a7")->trigger();
    h.type(1, 1, Qt::Key_K);
    h.item("CancellaRiempimento")->trigger();
    QCOMPARE(h.row(0), std::string("Q?\x10??"));
    QCOMPARE(h.row(1), std::string("?K\x10??"));
}

void FillToolsTest::clearFillInTheBox() {
    Harness h;
    h.grid(Blocks);
    h.item("Riempi")->trigger();
    const GridModel filled = h.w().grid();
    // A search across on row 3 draws its box over the slot: only it is cleared.
    h.key("a1")->trigger();
    h.click(3, 3);
    QCOMPARE(h.w().editor().lastSelection().cy, int16_t{3});
    h.item("CancellaRiempimento")->trigger();
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            QCOMPARE(h.w().grid().cell(r, c), r == 3 && c >= 3 ? EmptyCell : filled.cell(r, c));
    QCOMPARE(h.panel(2), QStringLiteral(" cleared 2 cells "));
    // With a tool that draws no such box, the whole grid.
    h.key("a0")->trigger();
    h.item("CancellaRiempimento")->trigger();
    for (int r : {0, 1, 3, 4})
        for (int c : {0, 1, 3, 4})
            QCOMPARE(h.w().grid().cell(r, c), EmptyCell);
}

void FillToolsTest::clearFillThroughAnIpuzFile() {
    Harness h;
    h.grid(Blocks);
    h.type(3, 0, Qt::Key_W);
    h.item("Riempi")->trigger();
    const GridModel filled = h.w().grid();
    const QString file = h.path(QStringLiteral("corner.ipuz"));
    std::string error;
    QVERIFY(savePuzzleFile(file.toStdString(), h.w().document().puzzle(), error));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("\"org.korvel:fill\""));

    Harness b;
    b.desktop.fileAnswers << file;
    b.w().menuApri_Click();
    QCOMPARE(b.w().grid().GridRows, filled.GridRows);
    QVERIFY(b.desktop.boxes().isEmpty());
    b.item("CancellaRiempimento")->trigger();
    for (int r : {0, 1, 3, 4})
        for (int c : {0, 1, 3, 4})
            QCOMPARE(b.w().grid().cell(r, c), r == 3 && c == 0 ? 'W' : EmptyCell);
    // One Undo brings the fill's letters back, still the fill's.
    b.key("a7")->trigger();
    QCOMPARE(b.w().grid().GridRows, filled.GridRows);
    QCOMPARE(b.w().document().fillCells().size(), std::size_t{15});
}

void FillToolsTest::noFillNamesTheSlotsAndOpensTheWorst() {
    Harness h;
    h.grid({"X?X", "###", "CA?"});
    h.desktop.boxAnswers << MsgAnswer::Yes;
    std::set<int> framed;
    h.desktop.onShow = [&](const ScriptedDesktop::Shown&) { framed = h.markedCells(); };
    h.item("Riempi")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    const auto box = h.desktop.boxes()[0];
    QCOMPARE(box.buttons, MsgButtons::YesNo);
    QVERIFY2(box.text.startsWith(QStringLiteral("No fill exists with the enabled dictionaries: ")),
             qPrintable(box.text));
    QVERIFY2(box.text.contains(QStringLiteral("1 across (R1 C1) has no fill on its own: X?X")),
             qPrintable(box.text));
    QVERIFY(box.text.contains(QStringLiteral("Open 1 across (R1 C1)")));
    QVERIFY(box.text.endsWith(QStringLiteral("The grid is unchanged.")));
    // While the box is up the slot's cells are framed, and no others.
    QCOMPARE(framed, (std::set<int>{0, 1, 2}));
    QCOMPARE(h.fill().overlay().conflictCells(), (std::vector<int>{0, 1, 2}));
    // Yes: the search across of that slot, as a click on it would run.
    QCOMPARE(h.w().document().grid().cell(0, 1), EmptyCell);
    QCOMPARE(h.key("a1")->isChecked(), true);
    QCOMPARE(h.w().editor().lastSelection().cy, int16_t{0});
    QCOMPARE(h.w().editor().lastSelection().LAX, int16_t{3});
    QCOMPARE(h.w().findChild<QLabel*>(QStringLiteral("texta"))->text(), QStringLiteral("X?X"));
    // A change of the grid takes the frames away.
    h.type(2, 2, Qt::Key_T);
    QVERIFY(h.fill().overlay().conflictCells().empty());
    QVERIFY(QTest::qWaitFor([&] { return h.markedCells().empty(); }, 2000));

    // Answered No, nothing is searched.
    h.grid({"X?X", "###", "CA?"});
    h.key("a0")->trigger();
    h.desktop.boxAnswers << MsgAnswer::No;
    h.item("Riempi")->trigger();
    QVERIFY(h.key("a0")->isChecked());
}

void FillToolsTest::heatMapIsOffUntilSwitchedOn() {
    Harness h;
    h.grid({"X?X", "###", "CA?"});
    QAction* heat = h.item("MappaCandidati");
    QVERIFY(heat);
    QCOMPARE(heat->text(), QStringLiteral("Fill Check Heat Map"));
    QVERIFY(!heat->isChecked());
    QVERIFY(h.markedCells().empty());
    heat->trigger();
    QVERIFY(h.fill().heatOn());
    QVERIFY(!h.fill().checkOn());
    QVERIFY(QTest::qWaitFor([&] { return h.fill().checksShown() > 0; }, 5000));
    // No word for X?X, one for CA? (CAT); the black row shows nothing.
    QCOMPARE(h.fill().overlay().heat(), (std::vector<int64_t>{0, 0, 0, -1, -1, -1, 1, 1, 1}));
    QCOMPARE(h.markedCells(), (std::set<int>{0, 1, 2, 6, 7, 8}));
    // The two bands are told apart: the dead slot redder than the tight one.
    const QImage shown = h.shown();
    const QColor dead = QColor::fromRgb(shown.pixel(h.w().Peri()->toPixel({2.5, 0.5})));
    const QColor tight = QColor::fromRgb(shown.pixel(h.w().Peri()->toPixel({2.5, 2.5})));
    QVERIFY(dead != tight);
    QVERIFY(dead.red() > dead.green() + 40);
    // The Fill Check's own marks stay off with it.
    QVERIFY(!h.fill().overlay().deadCells().empty());
    heat->trigger();
    QVERIFY(h.markedCells().empty());
}

void FillToolsTest::newPatternIsOneUndoableStep() {
    Harness h;
    h.grid({"?????", "?????", "?????", "?????", "?????"});
    h.type(0, 0, Qt::Key_C);
    const GridModel before = h.w().grid();
    std::vector<DesignedPattern> offered;
    PatternRules rules;
    bool keepChecked = false;
    int minLength = 0;
    int listed = -1;
    // Runs inside the dialog's own event loop; it always closes the dialog,
    // and the checks follow once it is closed.
    QTimer::singleShot(0, [&] {
        auto* dialog = h.w().findChild<NewPatternDialog*>();
        if (!dialog)
            return;
        keepChecked = dialog->keepField()->isChecked();
        dialog->styleField()->setCurrentIndex(1); // Italian: entries of 2 letters or more
        minLength = dialog->minLengthField()->value();
        dialog->minWordsField()->setValue(1);
        dialog->maxWordsField()->setValue(25);
        rules = dialog->request().rules;
        QTest::mouseClick(dialog->designButton(), Qt::LeftButton);
        QTest::qWaitFor([&] { return !dialog->designing(); }, 60000);
        offered = dialog->offered();
        listed = dialog->list()->count();
        if (offered.empty()) {
            dialog->reject();
            return;
        }
        dialog->list()->setCurrentRow(static_cast<int>(offered.size()) - 1);
        dialog->accept();
    });
    h.item("Schema")->trigger();
    QVERIFY(keepChecked);
    QCOMPARE(minLength, 2);
    QCOMPARE(listed, static_cast<int>(offered.size()));
    QVERIFY(!offered.empty());
    // Every offered pattern meets the rules, by the checker apart from the
    // designer, and keeps the typed C.
    const PatternKeep keep{before, true};
    for (const DesignedPattern& p : offered) {
        const std::vector<std::string> faults = checkPattern(p.grid, rules, &keep);
        QVERIFY2(faults.empty(), faults.empty() ? "" : faults.front().c_str());
    }
    QCOMPARE(h.w().grid().GridRows, offered.back().grid.GridRows);
    QCOMPARE(h.w().grid().cell(0, 0), 'C');
    h.key("a7")->trigger();
    QCOMPARE(h.w().grid().GridRows, before.GridRows);
    h.key("a8")->trigger();
    QCOMPARE(h.w().grid().GridRows, offered.back().grid.GridRows);

    // Cancelled, nothing changes.
    QTimer::singleShot(0, [&] {
        if (auto* dialog = h.w().findChild<NewPatternDialog*>())
            dialog->reject();
    });
    const GridModel laid = h.w().grid();
    h.item("Schema")->trigger();
    QCOMPARE(h.w().grid().GridRows, laid.GridRows);
}

QTEST_MAIN(FillToolsTest)
#include "test_ui_filltools.moc"
