// SPDX-License-Identifier: GPL-3.0-or-later
// Clues, details and other programs' puzzles in a real window and through
// korvel-export: clues typed in the panel, the .ipuz round trip between two
// windows, Undo and Redo, a clue that loses its word to a black cell, the
// prompts that must see clue edits, each .puz and .ipuz shape with what its
// reading tells (a box, or standard error), circles in the grid, refusals.
#include "cluecommands.h"
#include "cluepanel.h"
#include "detailsdialog.h"
#include "ipuzfile.h"
#include "puzfile.h"
#include "puzzlefile.h"
#include "uiharness.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>

using namespace korvel;
using namespace korvel::uitest;

namespace {

const QString Product = QStringLiteral("  KORVEL   ");
const Direction A = Direction::Across;
const Direction D = Direction::Down;
// CATS / A#O# / BOYS: 1 and 3 across, 1 and 2 down.
const QStringList SmallRows = {"CATS", "A#O#", "BOYS"};
const QByteArray SmallKvl("3,4\r\n\"CATS\"\r\n\"A\x10O\x10\"\r\n\"BOYS\"\r\n");

struct Window : WindowHarness {
    Window() {
        addFixture(uiFixture(QStringLiteral("grid")));
        start(eagerTimings());
        loaded();
    }
    CluePanel* showClues() {
        item("Definizioni")->trigger();
        QTest::qWait(20);
        return w().clueCommands()->panel();
    }
    QTableWidget* across() { return w().clueCommands()->panel()->acrossList(); }
    QTableWidget* down() { return w().clueCommands()->panel()->downList(); }
    const Clue* clue(int16_t row, int16_t column, Direction d) {
        return w().document().clues().find(ClueKey{row, column, d});
    }
    void open(const QString& file) {
        desktop.fileAnswers << file;
        w().menuApri_Click();
    }
};

// The clue editor open in table, or nullptr.
QLineEdit* editor(QTableWidget* table) {
    for (QLineEdit* e : table->findChildren<QLineEdit*>(QStringLiteral("ClueEditor")))
        if (e->isVisible())
            return e;
    return nullptr;
}

// Types text over the clue of row, as after a click on it, and ends with key.
void typeClue(QTableWidget* table, int row, const QString& text, Qt::Key end = Qt::Key_Return) {
    table->setFocus();
    table->setCurrentCell(row, CluePanel::ClueColumn);
    table->editItem(table->item(row, CluePanel::ClueColumn));
    QLineEdit* e = editor(table);
    QVERIFY(e);
    e->selectAll();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, end);
    QCoreApplication::processEvents();
}

QString rowText(QTableWidget* t, int row) {
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c)
        out << (t->item(row, c) ? t->item(row, c)->text() : QString());
    return out.join(u'|');
}

// File > Puzzle Details... answered: fill sets the fields, then OK.
bool answerDetails(Window& h, const std::function<void(DetailsDialog&)>& fill) {
    bool appeared = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<DetailsDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            appeared = true;
            fill(*d);
            d->accept();
        }
    });
    poll.start(5);
    emit h.w().fileMenu()->aboutToShow();
    h.item("Dettagli")->trigger();
    return appeared;
}

// The small puzzle every shape starts from, with every detail a .puz holds.
Puzzle smallPuzzle(std::vector<int> circles = {}) {
    Puzzle p;
    p.grid = GridModel::make(3, 4);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            p.grid.setCell(r, c, SmallKvl[6 + r * 8 + c]);
    p.clues = {{{0, 0, A}, 4, "Pets", {}, {}},
               {{0, 0, D}, 3, "Taxi", {}, {}},
               {{0, 2, D}, 3, "Plaything", {}, {}},
               {{2, 0, A}, 4, "Lads", {}, {}}};
    p.details = {"Small", "Me", "(c) Me", "Notes", {}, {}, {}};
    p.circles = std::move(circles);
    return p;
}

QByteArray bytesOf(const std::string& s) {
    return QByteArray::fromStdString(s);
}

struct ToolRun {
    int status = -1;
    QByteArray err;
};

ToolRun runExport(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KORVEL_EXPORT_TOOL), args);
    ToolRun r;
    if (p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit)
        r.status = p.exitCode();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

class TestUiClues : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void panelFollowsGridAndTakesClues();
    void clueRoundTripThroughIpuz();
    void undoRedoOfClueAndDetails();
    void blackCellKeepsClueUnplaced();
    void kvlSavePromptOffersIpuz_data();
    void kvlSavePromptOffersIpuz();
    void failedIpuzSaveKeepsFile();
    void shapesOpenInWindowAndTool_data();
    void shapesOpenInWindowAndTool();
    void refusalKeepsGrid_data();
    void refusalKeepsGrid();
    void circlesShowInTheGrid();
};

void TestUiClues::panelFollowsGridAndTakesClues() {
    Window h;
    QVERIFY(h.newGrid(3, 4, SmallRows));
    // Off at start, and not made until asked for.
    QVERIFY(!h.item("Definizioni")->isChecked() && !h.w().clueCommands()->dock());
    QVERIFY(h.showClues()->isVisible());
    QCOMPARE(rowText(h.across(), 1), QStringLiteral("3|BOYS|4|"));
    QCOMPARE(rowText(h.down(), 1), QStringLiteral("2|TOY|3|"));
    h.change(2, 1, EmptyCell);
    QCOMPARE(rowText(h.across(), 1), QStringLiteral("3|B?YS|4|"));

    // A click with a writing tool chooses the entry of its word; choosing an
    // entry boxes its word.
    h.key("a4")->trigger();
    h.clickCell(1, 2);
    QCOMPARE(h.down()->currentRow(), 1);
    QCOMPARE(h.across()->currentRow(), -1);
    h.down()->setCurrentCell(0, CluePanel::ClueColumn);
    const Selection box = h.w().editor().lastSelection();
    QCOMPARE(QList<int>({box.cx, box.cy, box.LAX, box.LAY}), QList<int>({0, 0, 1, 3}));

    // Enter and Tab move on to the next entry, from Across into Down.
    typeClue(h.across(), 0, QStringLiteral("Pets that purr"));
    QCOMPARE(h.across()->currentRow(), 1);
    QTest::keyClicks(editor(h.across()), QStringLiteral("Young men"));
    QTest::keyClick(editor(h.across()), Qt::Key_Tab);
    QCOMPARE(h.down()->currentRow(), 0);
    QTest::keyClick(editor(h.down()), Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(h.clue(0, 0, A)->text, std::string("Pets that purr"));
    QCOMPARE(h.clue(2, 0, A)->text, std::string("Young men"));
    QCOMPARE(h.w().document().clues().size(), std::size_t{2});
    QCOMPARE(rowText(h.across(), 1), QStringLiteral("3|B?YS|4|Young men"));
    QVERIFY(h.key("a7")->isEnabled());

    // Hidden, the panel catches up when shown again.
    h.item("Definizioni")->trigger();
    h.change(0, 0, 'H');
    h.item("Definizioni")->trigger();
    QTest::qWait(20);
    QCOMPARE(rowText(h.across(), 0), QStringLiteral("1|HATS|4|Pets that purr"));
}

void TestUiClues::clueRoundTripThroughIpuz() {
    Window a;
    QVERIFY(a.newGrid(3, 4, SmallRows));
    a.showClues();
    typeClue(a.down(), 1, QStringLiteral("Plaything"));

    // Save as offers the grid file first and the ipuz type, and starts on
    // the ipuz one for a puzzle with clues.
    const QString saved = a.path(QStringLiteral("small.ipuz"));
    a.desktop.fileAnswers << a.path(QStringLiteral("small"));
    a.item("Salvacome")->trigger();
    const auto dialog = a.desktop.shown.last();
    QCOMPARE(dialog.filters,
             (QStringList{"File Korvel *.kvl (*.kvl)", "ipuz crossword *.ipuz (*.ipuz)"}));
    QCOMPARE(dialog.text, dialog.filters[1]);
    QCOMPARE(a.w().windowTitle(), Product + saved);
    QCOMPARE(a.w().DocumentChanged(), int16_t{0});
    const QByteArray bytes = readAll(saved);
    QCOMPARE(bytes, bytesOf(writeIpuz(a.w().document().puzzle(), "small")));

    // Another window opens it, the grid file still the first filter: the
    // clue is there; saved again, the file keeps its bytes.
    Window b;
    b.open(saved);
    QCOMPARE(b.desktop.shown.last().text, QStringLiteral("File Korvel(*.kvl;*.KVL) (*.kvl *.KVL)"));
    QVERIFY(b.desktop.shown.last().filters.join(u' ').contains(QStringLiteral("*.puz *.ipuz")));
    QVERIFY(b.desktop.boxes().isEmpty());
    b.showClues();
    QCOMPARE(rowText(b.down(), 1), QStringLiteral("2|TOY|3|Plaything"));
    b.item("Salva")->trigger();
    QCOMPARE(readAll(saved), bytes);
}

void TestUiClues::undoRedoOfClueAndDetails() {
    Window h;
    QVERIFY(h.newGrid(3, 4, SmallRows));
    h.showClues();
    typeClue(h.down(), 0, QStringLiteral("Taxi"));
    h.key("a7")->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!h.clue(0, 0, D));
    QCOMPARE(rowText(h.down(), 0), QStringLiteral("1|CAB|3|"));
    h.key("a8")->trigger();
    QCOMPARE(rowText(h.down(), 0), QStringLiteral("1|CAB|3|Taxi"));

    QVERIFY(answerDetails(h, [](DetailsDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("DetailsTitle"))->setText(QStringLiteral("Spring"));
        d.findChild<QPlainTextEdit*>(QStringLiteral("DetailsContactAddress"))
            ->setPlainText(QStringLiteral("Via Roma 1\n00100 Roma"));
    }));
    QCOMPARE(h.w().document().details().title, std::string("Spring"));
    QCOMPARE(h.w().document().details().contactAddress, std::string("Via Roma 1\n00100 Roma"));
    h.key("a7")->trigger();
    QVERIFY(h.w().document().details().empty());
    QVERIFY(h.clue(0, 0, D));
    h.key("a8")->trigger();
    QCOMPARE(h.w().document().details().title, std::string("Spring"));
}

void TestUiClues::blackCellKeepsClueUnplaced() {
    Window h;
    QVERIFY(h.newGrid(3, 4, SmallRows));
    CluePanel* p = h.showClues();
    typeClue(h.across(), 0, QStringLiteral("Pets that purr"));

    // A black cell makes 1 across three letters long: the clue, written for
    // four, is kept without a word, and offered in grey where it was.
    h.key("a0")->trigger();
    h.clickCell(0, 3);
    QCoreApplication::processEvents();
    QVERIFY(p->unplacedList()->isVisible());
    QCOMPARE(rowText(p->unplacedList(), 0),
             QStringLiteral("Across, row 1 column 1, 4 letters|Pets that purr"));
    QCOMPARE(rowText(h.across(), 0), QStringLiteral("1|CAT|3|Pets that purr"));
    QVERIFY(h.across()->item(0, CluePanel::ClueColumn)->font().italic());

    // Undo puts the clue back on its word.
    h.key("a7")->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!p->unplacedList()->isVisible());
    QVERIFY(h.w().document().clues().placedOn(h.w().document().wordSlots().across()[0]));

    // Placed on the shorter word by hand, or deleted; Undo takes either back.
    h.key("a8")->trigger();
    QCoreApplication::processEvents();
    p->unplacedList()->setCurrentCell(0, 1);
    p->placeButton()->click();
    QCOMPARE(h.clue(0, 0, A)->length, int16_t{3});
    h.key("a7")->trigger();
    QCoreApplication::processEvents();
    p->unplacedList()->setCurrentCell(0, 1);
    p->deleteButton()->click();
    QVERIFY(!h.clue(0, 0, A));
    h.key("a7")->trigger();
    QCOMPARE(h.clue(0, 0, A)->length, int16_t{4});
}

void TestUiClues::kvlSavePromptOffersIpuz_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("yes: save as .ipuz") << MsgAnswer::Yes;
    QTest::newRow("no: the grid alone") << MsgAnswer::No;
    QTest::newRow("cancel") << MsgAnswer::Cancel;
}

void TestUiClues::kvlSavePromptOffersIpuz() {
    QFETCH(MsgAnswer, answer);
    Window h;
    const QString file = h.path(QStringLiteral("small.kvl"));
    writeFile(file, SmallKvl);
    h.open(file);
    h.showClues();
    typeClue(h.down(), 1, QStringLiteral("Plaything"));
    h.change(0, 0, 'H');
    // The unsaved-change prompt of Exit sees the clue.
    h.desktop.boxAnswers << MsgAnswer::Cancel;
    h.w().menuEsci_Click();
    QCOMPARE(h.desktop.boxes().size(), 1);

    h.desktop.clear();
    h.desktop.boxAnswers << answer;
    const QString ipuz = h.path(QStringLiteral("small.ipuz"));
    h.desktop.fileAnswers << ipuz;
    h.item("Salva")->trigger();
    const auto box = h.desktop.boxes().value(0);
    QCOMPARE(box.title, QStringLiteral("Attention..."));
    QCOMPARE(box.buttons, MsgButtons::YesNoCancel);
    QVERIFY(box.text.startsWith(file + QStringLiteral(" keeps the grid alone")));
    QVERIFY(box.text.contains(QStringLiteral("Save the puzzle as .ipuz instead?")));
    QCOMPARE(QFile::exists(ipuz), answer == MsgAnswer::Yes);
    QCOMPARE(readAll(file), answer == MsgAnswer::No
                                ? QByteArray("3,4\r\n\"HATS\"\r\n\"A\x10O\x10\"\r\n\"BOYS\"\r\n")
                                : SmallKvl);
    QCOMPARE(h.w().DocumentChanged(), int16_t(answer == MsgAnswer::Cancel ? 1 : 0));
    if (answer == MsgAnswer::Yes) {
        QCOMPARE(h.desktop.shown.last().proposal, ipuz);
        QCOMPARE(h.w().windowTitle(), Product + ipuz);
        const Puzzle back = *loadPuzzleFile(ipuz.toStdString()).puzzle;
        QCOMPARE(back.grid.GridRows[0], std::string("HATS"));
        QCOMPARE(back.clues.front().text, std::string("Plaything"));
    }
}

// A puzzle file marked read-only is not replaced by Save: a box names the
// file and the cause, the file stays, the grid stays changed.
void TestUiClues::failedIpuzSaveKeepsFile() {
    Window h;
    const QString file = h.path(QStringLiteral("kept.ipuz"));
    writeFile(file, bytesOf(writeIpuz(smallPuzzle(), "")));
    h.open(file);
    h.showClues();
    typeClue(h.across(), 0, QStringLiteral("Felines"));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    h.desktop.clear();
    h.item("Salva")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QVERIFY(h.desktop.boxes()[0].text.startsWith(file + QStringLiteral(" was not saved: ")));
    QVERIFY(h.desktop.boxes()[0].text.contains(QStringLiteral("read-only")));
    QCOMPARE(readAll(file), bytesOf(writeIpuz(smallPuzzle(), "")));
    QCOMPARE(h.w().DocumentChanged(), int16_t{1});
}

void TestUiClues::shapesOpenInWindowAndTool_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("warning"); // what the box and standard error say; "" nothing

    const QString small = QStringLiteral("CATS A\x10O\x10 BOYS");
    const PuzPuzzle puz = *readPuz(writePuz(smallPuzzle()).bytes).puzzle;
    QTest::newRow("puz") << "small.puz" << bytesOf(writePuz(smallPuzzle()).bytes) << small << "";
    QTest::newRow("puz with circles")
        << "circled.puz" << bytesOf(writePuz(smallPuzzle({0, 10})).bytes) << small << "";
    // The flag alone: its checksums no longer match either, which is told too.
    std::string scrambled = encodePuz(puz);
    scrambled[0x32] = 4;
    QTest::newRow("puz scrambled")
        << "scrambled.puz" << bytesOf(scrambled) << QStringLiteral("???? ?\x10?\x10 ????")
        << "The solution in this file is scrambled";
    PuzPuzzle rebus = puz;
    rebus.rebusGrid = std::string(12, '\0');
    rebus.rebusGrid[1] = 1;
    rebus.rebusTable = " 0:ART;";
    QTest::newRow("puz rebus") << "rebus.puz" << bytesOf(encodePuz(rebus)) << small
                               << "1 rebus square keeps only the first letter of its rebus.";
    std::string damaged = writePuz(smallPuzzle()).bytes;
    damaged[0] = static_cast<char>(damaged[0] ^ 1);
    QTest::newRow("puz wrong checksum")
        << "damaged.puz" << bytesOf(damaged) << small << "checksums do not match";
    // JSON written with ' for " (moc reads raw strings badly).
    const QByteArray ipuz =
        "{'version': 'http://ipuz.org/v2', 'kind': ['http://ipuz.org/crossword#1'],"
        " 'dimensions': {'width': 4, 'height': 3}, 'title': 'Small',"
        " 'puzzle': [[1, 0, 2, 0], [0, '#', 0, '#'], [3, 0, 0, 0]],"
        " 'solution': [['C', 'A', 'T', 'S'], ['A', '#', 'O', '#'], ['B', 'O', 'Y', 'S']],"
        " 'clues': CLUES}";
    QTest::newRow("ipuz pairs") << "pairs.ipuz"
                                << QByteArray(ipuz)
                                       .replace("CLUES", "{'Across': [[1, 'Pets'], [3, 'Lads']],"
                                                         " 'Down': [[1, 'Taxi'], [2, 'Toy']]}")
                                       .replace('\'', '"')
                                << small << "";
    QTest::newRow("ipuz objects with markup")
        << "objects.ipuz"
        << QByteArray(ipuz)
               .replace("CLUES", "{'Across': [{'number': 1, 'clue': '<i>Pets</i>'},"
                                 " {'number': 3, 'clue': 'Lads'}],"
                                 " 'Down': [{'number': 1, 'clue': 'Taxi'}, [2, 'Toy']]}")
               .replace('\'', '"')
        << small << "markup tags (italics, bold ...) were dropped";
}

void TestUiClues::shapesOpenInWindowAndTool() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, rows);
    QFETCH(QString, warning);
    Window h;
    const QString in = h.path(name);
    writeFile(in, bytes);

    // From the command line: what the reader changed goes to standard error.
    const QString out = h.path(QStringLiteral("tool.ipuz"));
    const ToolRun r = runExport({QStringLiteral("--format"), QStringLiteral("ipuz"), in, out});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err.isEmpty(), warning.isEmpty());
    QVERIFY2(r.err.startsWith("korvel-export: " + in.toUtf8() + ": ") || r.err.isEmpty(),
             r.err.constData());
    QVERIFY(r.err.contains(warning.toUtf8()));

    // In the window: the puzzle, its clues and circles, one box of changes.
    h.open(in);
    const GridDocument& doc = h.w().document();
    QStringList shown;
    for (int16_t r = 0; r < doc.grid().RowCount; ++r)
        shown << QString::fromLatin1(doc.grid().GridRows[static_cast<std::size_t>(r)].c_str());
    QCOMPARE(shown.join(u' '), rows);
    QCOMPARE(doc.clues().size(), std::size_t{4});
    QCOMPARE(h.clue(0, 0, A)->text, std::string("Pets"));
    QCOMPARE(doc.details().title, std::string("Small"));
    QCOMPARE(doc.circles(), (name.startsWith(u'c') ? std::vector<int>{0, 10} : std::vector<int>{}));
    QCOMPARE(h.w().windowTitle(), Product + in);
    const auto boxes = h.desktop.boxes();
    QCOMPARE(boxes.size(), warning.isEmpty() ? 0 : 1);
    if (!warning.isEmpty())
        QVERIFY(boxes[0].text.startsWith(in + QStringLiteral(" is open, with these changes:")) &&
                boxes[0].text.contains(warning));

    // Save never writes over a .puz: it goes to Save as with an .ipuz name.
    if (name.endsWith(QStringLiteral(".puz"))) {
        h.item("Salva")->trigger();
        QCOMPARE(h.desktop.shown.last().proposal, in.chopped(4) + QStringLiteral(".ipuz"));
        QCOMPARE(h.w().CurrentFile(), in);
    }
    // Saved as .ipuz it keeps everything: the bytes the tool wrote.
    const QString saved = h.path(QStringLiteral("saved.ipuz"));
    h.desktop.fileAnswers << saved;
    h.item("Salvacome")->trigger();
    QCOMPARE(readAll(saved), readAll(out));
    QCOMPARE(readAll(in), bytes);
}

void TestUiClues::refusalKeepsGrid_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("cause");
    QTest::newRow("not a .puz") << "bad.puz" << QByteArray("<p>ACROSS and DOWN</p>")
                                << ": The file is not a .puz file (no ACROSS&DOWN mark).";
    QTest::newRow("not JSON") << "bad.ipuz" << QByteArray("ipuz({\"a\": x})")
                              << ": The file is no .ipuz puzzle: it is not valid JSON";
    PuzPuzzle big;
    big.width = 40;
    big.height = 30;
    big.solution = big.state = std::string(1200, 'A');
    QTest::newRow("larger than Korvel holds")
        << "big.puz" << bytesOf(encodePuz(big)) << ": The puzzle has 30 rows and 40 columns";
}

void TestUiClues::refusalKeepsGrid() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, cause);
    Window h;
    const QString good = h.path(QStringLiteral("good.kvl"));
    writeFile(good, SmallKvl);
    h.open(good);
    const QString bad = h.path(name);
    writeFile(bad, bytes);
    h.open(bad);
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].title, QStringLiteral("Attention..."));
    QVERIFY(h.desktop.boxes()[0].text.startsWith(bad + cause));
    QCOMPARE(h.w().grid().GridRows[0], std::string("CATS"));
    QCOMPARE(h.w().windowTitle(), Product + good);

    const ToolRun r = runExport({bad, h.path(QStringLiteral("out.ipuz"))});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.startsWith("korvel-export: " + (bad + cause).toUtf8()), r.err.constData());
    QVERIFY(!QFile::exists(h.path(QStringLiteral("out.ipuz"))));
}

// A circled cell shows a circle; every other cell is drawn as for the same
// grid without circles. korvel FILE opens a puzzle as Open does.
void TestUiClues::circlesShowInTheGrid() {
    WindowHarness a;
    a.addFixture(uiFixture(QStringLiteral("grid")));
    const QString circled = a.path(QStringLiteral("circled.puz"));
    writeFile(circled, bytesOf(writePuz(smallPuzzle({0, 10})).bytes));
    a.start(eagerTimings());
    a.w().setStartFile(circled);
    QVERIFY(a.loaded() && QTest::qWaitFor([&] { return !a.w().grid().isEmpty(); }, 5000));
    QCOMPARE(a.w().document().circles(), (std::vector<int>{0, 10}));
    Window b;
    const QString plain = b.path(QStringLiteral("plain.kvl"));
    writeFile(plain, SmallKvl);
    b.open(plain);
    const QImage with = a.w().Peri()->image();
    const QImage without = b.w().Peri()->image();
    QCOMPARE(with.size(), without.size());
    for (int cell = 0; cell < 12; ++cell) {
        const QPoint from = a.w().Peri()->toPixel(QPointF(cell % 4, cell / 4));
        const QPoint to = a.w().Peri()->toPixel(QPointF(cell % 4 + 1, cell / 4 + 1));
        bool same = true;
        for (int y = from.y(); y < to.y(); ++y)
            for (int x = from.x(); x < to.x(); ++x)
                same = same && with.pixel(x, y) == without.pixel(x, y);
        QVERIFY2(same != (cell == 0 || cell == 10), qPrintable(QString::number(cell)));
    }
}

QTEST_MAIN(TestUiClues)
#include "test_ui_clues.moc"
