// The clue panel and the puzzle details in a real window: clues typed in the
// panel, the round trip through .ipuz between two windows, Undo and Redo of
// clue and detail edits, a clue that loses its word to a black cell, and the
// prompts that must see clue edits.
#include "cluewindow.h"
#include "ipuzfile.h"
#include "kvlfile.h"
#include "puzzlefile.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPushButton>

using namespace korvel;
using namespace korvel::uitest;

namespace {

const QString Product = QStringLiteral("  KORVEL   ");
const Direction A = Direction::Across;
const Direction D = Direction::Down;

QStringList rowTexts(QTableWidget* t, int row) {
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c)
        out << (t->item(row, c) ? t->item(row, c)->text() : QString());
    return out;
}

const QByteArray SmallKvl("3,4\r\n\"CATS\"\r\n\"A\x10O\x10\"\r\n\"BOYS\"\r\n");

} // namespace

class TestUiClues : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void panelFollowsGridAndTakesClues();
    void clueRoundTripThroughIpuz();
    void undoRedoOfClueAndDetails();
    void blackCellKeepsClueUnplaced();
    void unsavedPromptSeesClueEdit();
    void kvlSavePromptOffersIpuz_data();
    void kvlSavePromptOffersIpuz();
    void failedIpuzSaveKeepsFile();
};

void TestUiClues::panelFollowsGridAndTakesClues() {
    ClueWindow h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    // Off at start, and not made until asked for.
    QVERIFY(!h.item("Definizioni")->isChecked());
    QVERIFY(!h.w().clueCommands()->dock());
    CluePanel* p = h.showClues();
    QVERIFY(p && p->isVisible());
    QVERIFY(h.item("Definizioni")->isChecked());
    QCOMPARE(rowTexts(h.across(), 0), (QStringList{"1", "CATS", "4", ""}));
    QCOMPARE(rowTexts(h.across(), 1), (QStringList{"3", "BOYS", "4", ""}));
    QCOMPARE(rowTexts(h.down(), 0), (QStringList{"1", "CAB", "3", ""}));
    QCOMPARE(rowTexts(h.down(), 1), (QStringList{"2", "TOY", "3", ""}));

    // The answers follow the grid as it is edited.
    h.change(2, 1, EmptyCell);
    QCOMPARE(h.across()->item(1, CluePanel::AnswerColumn)->text(), QStringLiteral("B?YS"));

    // A click with a writing tool chooses the entry of its slot.
    h.key("a4")->trigger();
    h.clickCell(1, 2);
    QCOMPARE(h.down()->currentRow(), 1);
    QCOMPARE(h.across()->currentRow(), -1);
    h.key("a3")->trigger();
    h.clickCell(2, 3);
    QCOMPARE(h.across()->currentRow(), 1);
    QCOMPARE(h.down()->currentRow(), -1);

    // Choosing an entry boxes its slot in the grid.
    h.down()->setCurrentCell(0, CluePanel::ClueColumn);
    const Selection box = h.w().lastSelection();
    QCOMPARE(QList<int>({box.cx, box.cy, box.LAX, box.LAY}), QList<int>({0, 0, 1, 3}));

    // Enter moves on to the next entry, Tab too, from Across into Down;
    // Shift+Tab goes back.
    ClueWindow::typeClue(h.across(), 0, QStringLiteral("Pets that purr"));
    QCOMPARE(h.clue(0, 0, A)->text, std::string("Pets that purr"));
    QCOMPARE(h.across()->currentRow(), 1);
    QLineEdit* next = ClueWindow::editor(h.across());
    QVERIFY(next);
    QTest::keyClicks(next, QStringLiteral("Young men"));
    QTest::keyClick(next, Qt::Key_Tab);
    QCOMPARE(h.clue(2, 0, A)->text, std::string("Young men"));
    QCOMPARE(h.down()->currentRow(), 0);
    QVERIFY(ClueWindow::editor(h.down()));
    QTest::keyClick(ClueWindow::editor(h.down()), Qt::Key_Backtab);
    QCOMPARE(h.across()->currentRow(), 1);
    QTest::keyClick(ClueWindow::editor(h.across()), Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(ClueWindow::clueShown(h.across(), 0), QStringLiteral("Pets that purr"));
    QCOMPARE(ClueWindow::clueShown(h.across(), 1), QStringLiteral("Young men"));
    // Passing through entries changed nothing else; the edits are changes.
    QCOMPARE(h.w().document().clues().size(), std::size_t{2});
    QVERIFY(h.key("a7")->isEnabled());
    QCOMPARE(h.w().DocumentChanged(), int16_t{1});

    // Hidden and shown again, the panel shows the document as it is now.
    h.item("Definizioni")->trigger();
    QVERIFY(!h.w().clueCommands()->dock()->isVisible());
    h.change(0, 0, 'H');
    h.item("Definizioni")->trigger();
    QTest::qWait(20);
    QCOMPARE(h.across()->item(0, CluePanel::AnswerColumn)->text(), QStringLiteral("HATS"));
}

void TestUiClues::clueRoundTripThroughIpuz() {
    ClueWindow a;
    QVERIFY(a.loaded());
    QVERIFY(a.newGrid(3, 4, SmallRows));
    a.showClues();
    ClueWindow::typeClue(a.across(), 0, QStringLiteral("Pets that purr"));
    ClueWindow::typeClue(a.down(), 1, QStringLiteral("Plaything"));

    // Save as offers the grid file first and the ipuz type, and starts on
    // the ipuz one for a puzzle with clues.
    const QString file = a.path(QStringLiteral("small"));
    a.desktop.fileAnswers << file;
    a.item("Salvacome")->trigger();
    const auto dialog = a.desktop.shown.last();
    QCOMPARE(dialog.kind, QStringLiteral("save"));
    QCOMPARE(dialog.filters, (QStringList{QStringLiteral("File Korvel *.kvl (*.kvl)"),
                                          QStringLiteral("ipuz crossword *.ipuz (*.ipuz)")}));
    QCOMPARE(dialog.text, dialog.filters[1]);
    QCOMPARE(dialog.proposal, QStringLiteral(".ipuz"));
    const QString saved = file + QStringLiteral(".ipuz");
    QCOMPARE(a.w().windowTitle(), Product + saved);
    QCOMPARE(a.w().DocumentChanged(), int16_t{0});
    const QByteArray bytes = readAll(saved);
    QCOMPARE(bytes, QByteArray::fromStdString(writeIpuz(a.w().document().puzzle(), "small")));

    // Another window opens it: the clues are there, in the document and in
    // its panel.
    ClueWindow b;
    QVERIFY(b.loaded());
    b.desktop.fileAnswers << saved;
    b.w().menuApri_Click();
    const auto open = b.desktop.shown.last();
    QCOMPARE(open.kind, QStringLiteral("open"));
    QCOMPARE(open.text, QStringLiteral("File Korvel(*.kvl;*.KVL) (*.kvl *.KVL)"));
    QCOMPARE(open.filters.first(), open.text);
    QVERIFY(open.filters.join(u' ').contains(QStringLiteral("*.puz")));
    QVERIFY(open.filters.join(u' ').contains(QStringLiteral("*.ipuz")));
    QVERIFY(b.desktop.boxes().isEmpty());
    QCOMPARE(b.w().windowTitle(), Product + saved);
    QCOMPARE(b.clue(0, 0, A)->text, std::string("Pets that purr"));
    QCOMPARE(b.clue(0, 2, D)->text, std::string("Plaything"));
    b.showClues();
    QCOMPARE(ClueWindow::clueShown(b.across(), 0), QStringLiteral("Pets that purr"));
    QCOMPARE(ClueWindow::clueShown(b.down(), 1), QStringLiteral("Plaything"));

    // Saved again, the file has the same bytes.
    b.item("Salva")->trigger();
    QVERIFY(b.desktop.boxes().isEmpty());
    QCOMPARE(readAll(saved), bytes);
}

void TestUiClues::undoRedoOfClueAndDetails() {
    ClueWindow h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    h.showClues();
    ClueWindow::typeClue(h.down(), 0, QStringLiteral("Taxi"));
    QCOMPARE(h.clue(0, 0, D)->text, std::string("Taxi"));
    h.undo();
    QCoreApplication::processEvents();
    QVERIFY(!h.clue(0, 0, D));
    QCOMPARE(ClueWindow::clueShown(h.down(), 0), QString());
    QVERIFY(h.key("a8")->isEnabled());
    h.redo();
    QCOMPARE(h.clue(0, 0, D)->text, std::string("Taxi"));
    QCOMPARE(ClueWindow::clueShown(h.down(), 0), QStringLiteral("Taxi"));

    // File > Puzzle Details...: a change of the document like any other.
    QVERIFY(answerDetails(h, [](DetailsDialog& d) {
        setField(d, "DetailsTitle", QStringLiteral("Spring"));
        setField(d, "DetailsContactName", QStringLiteral("Anna Rossi"));
        setField(d, "DetailsContactAddress", QStringLiteral("Via Roma 1\n00100 Roma"));
    }));
    const PuzzleDetails& details = h.w().document().details();
    QCOMPARE(details.title, std::string("Spring"));
    QCOMPARE(details.contactName, std::string("Anna Rossi"));
    QCOMPARE(details.contactAddress, std::string("Via Roma 1\n00100 Roma"));
    h.undo();
    QVERIFY(h.w().document().details().empty());
    QCOMPARE(h.clue(0, 0, D)->text, std::string("Taxi"));
    h.redo();
    QCOMPARE(h.w().document().details().title, std::string("Spring"));

    // The dialog starts from the details; cancelled, it changes nothing.
    QString shownTitle;
    QVERIFY(answerDetails(
        h,
        [&](DetailsDialog& d) {
            shownTitle = d.findChild<QLineEdit*>(QStringLiteral("DetailsTitle"))->text();
            setField(d, "DetailsTitle", QStringLiteral("Autumn"));
        },
        false));
    QCOMPARE(shownTitle, QStringLiteral("Spring"));
    QCOMPARE(h.w().document().details().title, std::string("Spring"));
    h.undo();
    QVERIFY(h.w().document().details().empty());
}

void TestUiClues::blackCellKeepsClueUnplaced() {
    ClueWindow h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    CluePanel* p = h.showClues();
    ClueWindow::typeClue(h.across(), 0, QStringLiteral("Pets that purr"));
    QTableWidget* unplaced = p->unplacedList();
    QVERIFY(!unplaced->isVisible());

    // A black cell at the end of 1 across makes it three letters long: the
    // clue, written for four, is kept without a word, and offered back there.
    h.key("a0")->trigger();
    h.clickCell(0, 3);
    QCOMPARE(h.w().grid().GridRows[0], std::string("CAT\x10"));
    QCoreApplication::processEvents();
    QCOMPARE(h.w().document().clues().unplaced(h.w().document().wordSlots()).size(),
             std::size_t{1});
    QVERIFY(unplaced->isVisible());
    QCOMPARE(rowTexts(unplaced, 0),
             (QStringList{"Across, row 1 column 1, 4 letters", "Pets that purr"}));
    QCOMPARE(ClueWindow::clueShown(h.across(), 0), QStringLiteral("Pets that purr"));
    QVERIFY(h.across()->item(0, CluePanel::ClueColumn)->font().italic());

    // Undo puts the black cell back and the clue on its word.
    h.undo();
    QCoreApplication::processEvents();
    QVERIFY(!unplaced->isVisible());
    QVERIFY(h.w().document().clues().placedOn(h.w().document().wordSlots().across()[0]));
    QVERIFY(!h.across()->item(0, CluePanel::ClueColumn)->font().italic());

    // Placed on the shorter word by hand; deleted; each taken back by Undo.
    h.redo();
    QCoreApplication::processEvents();
    unplaced->setCurrentCell(0, 1);
    QVERIFY(p->placeButton()->isEnabled());
    p->placeButton()->click();
    QCOMPARE(h.clue(0, 0, A)->length, int16_t{3});
    QVERIFY(!unplaced->isVisible());
    h.undo();
    QCoreApplication::processEvents();
    QCOMPARE(h.clue(0, 0, A)->length, int16_t{4});
    unplaced->setCurrentCell(0, 1);
    p->deleteButton()->click();
    QVERIFY(!h.clue(0, 0, A));
    h.undo();
    QCOMPARE(h.clue(0, 0, A)->text, std::string("Pets that purr"));

    // Edited in place on the word, the kept clue becomes its clue.
    QCoreApplication::processEvents();
    ClueWindow::typeClue(h.across(), 0, QStringLiteral("Feline"));
    QTest::keyClick(ClueWindow::editor(h.across()), Qt::Key_Escape);
    QCOMPARE(h.clue(0, 0, A)->text, std::string("Feline"));
    QCOMPARE(h.clue(0, 0, A)->length, int16_t{3});
}

void TestUiClues::unsavedPromptSeesClueEdit() {
    ClueWindow h;
    QVERIFY(h.loaded());
    const QString file = h.path(QStringLiteral("small.kvl"));
    writeFile(file, SmallKvl);
    h.desktop.fileAnswers << file;
    h.w().menuApri_Click();
    QCOMPARE(h.w().DocumentChanged(), int16_t{0});
    h.showClues();
    ClueWindow::typeClue(h.across(), 1, QStringLiteral("Young men"));
    QCOMPARE(h.w().DocumentChanged(), int16_t{1});

    h.desktop.clear();
    h.desktop.boxAnswers << MsgAnswer::Cancel;
    h.w().menuEsci_Click();
    QVERIFY(!h.desktop.ended);
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].title, QStringLiteral("ATTENTION !"));
    h.desktop.boxAnswers << MsgAnswer::Cancel;
    h.w().menuNuovo_Click();
    QCOMPARE(h.desktop.boxes().size(), 2);
    QCOMPARE(h.clue(2, 0, A)->text, std::string("Young men"));
}

void TestUiClues::kvlSavePromptOffersIpuz_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("yes: save as .ipuz") << MsgAnswer::Yes;
    QTest::newRow("no: the grid alone") << MsgAnswer::No;
    QTest::newRow("cancel") << MsgAnswer::Cancel;
}

void TestUiClues::kvlSavePromptOffersIpuz() {
    QFETCH(MsgAnswer, answer);
    ClueWindow h;
    QVERIFY(h.loaded());
    const QString file = h.path(QStringLiteral("small.kvl"));
    writeFile(file, SmallKvl);
    h.desktop.fileAnswers << file;
    h.w().menuApri_Click();
    h.showClues();
    ClueWindow::typeClue(h.down(), 1, QStringLiteral("Plaything"));
    h.change(0, 0, 'H');

    h.desktop.clear();
    h.desktop.boxAnswers << answer;
    const QString ipuz = h.path(QStringLiteral("small.ipuz"));
    h.desktop.fileAnswers << ipuz;
    h.item("Salva")->trigger();
    const auto boxes = h.desktop.boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Attention..."));
    QCOMPARE(boxes[0].buttons, MsgButtons::YesNoCancel);
    QVERIFY(boxes[0].text.startsWith(file + QStringLiteral(" keeps the grid alone")));
    QVERIFY(boxes[0].text.contains(QStringLiteral("Save the puzzle as .ipuz instead?")));

    const QByteArray changedKvl("3,4\r\n\"HATS\"\r\n\"A\x10O\x10\"\r\n\"BOYS\"\r\n");
    if (answer == MsgAnswer::Yes) {
        const auto dialog = h.desktop.shown.last();
        QCOMPARE(dialog.kind, QStringLiteral("save"));
        QCOMPARE(dialog.proposal, ipuz);
        QCOMPARE(dialog.text, QStringLiteral("ipuz crossword *.ipuz (*.ipuz)"));
        const PuzzleReadResult back = loadPuzzleFile(ipuz.toStdString());
        QVERIFY(back.puzzle);
        QCOMPARE(back.puzzle->grid.GridRows[0], std::string("HATS"));
        QCOMPARE(back.puzzle->clues.size(), std::size_t{1});
        QCOMPARE(readAll(file), SmallKvl);
        QCOMPARE(h.w().CurrentFile(), ipuz);
        QCOMPARE(h.w().windowTitle(), Product + ipuz);
        QCOMPARE(h.w().DocumentChanged(), int16_t{0});
    } else if (answer == MsgAnswer::No) {
        QCOMPARE(readAll(file), changedKvl);
        QVERIFY(!QFile::exists(ipuz));
        QCOMPARE(h.w().DocumentChanged(), int16_t{0});
        QCOMPARE(h.w().CurrentFile(), file);
    } else {
        QCOMPARE(readAll(file), SmallKvl);
        QVERIFY(!QFile::exists(ipuz));
        QCOMPARE(h.w().DocumentChanged(), int16_t{1});
        QCOMPARE(h.desktop.shown.size(), 1);
    }
}

// A puzzle file marked read-only is not replaced by Save: a box names the
// file and the cause, the file stays, the grid stays changed.
void TestUiClues::failedIpuzSaveKeepsFile() {
    ClueWindow h;
    QVERIFY(h.loaded());
    Puzzle p;
    p.grid = GridModel::make(3, 4);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            p.grid.setCell(r, c, SmallRows[r][c] == u'#' ? BLACK : SmallRows[r].toLatin1()[c]);
    p.clues.push_back(Clue{{0, 0, A}, 4, "Pets", {}, {}});
    const QString file = h.path(QStringLiteral("kept.ipuz"));
    std::string error;
    QVERIFY(savePuzzleFile(file.toStdString(), p, error));
    const QByteArray old = readAll(file);
    h.desktop.fileAnswers << file;
    h.w().menuApri_Click();
    h.showClues();
    ClueWindow::typeClue(h.across(), 0, QStringLiteral("Felines"));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    h.desktop.clear();
    h.item("Salva")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].title, QStringLiteral("Attention..."));
    QVERIFY(h.desktop.boxes()[0].text.startsWith(file + QStringLiteral(" was not saved: ")));
    QVERIFY(h.desktop.boxes()[0].text.contains(QStringLiteral("read-only")));
    QCOMPARE(readAll(file), old);
    QCOMPARE(h.w().DocumentChanged(), int16_t{1});
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    h.item("Salva")->trigger();
    QCOMPARE(h.w().DocumentChanged(), int16_t{0});
    QCOMPARE(loadPuzzleFile(file.toStdString()).puzzle->clues.front().text, std::string("Felines"));
}

QTEST_MAIN(TestUiClues)
#include "test_ui_clues.moc"
