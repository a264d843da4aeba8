// SPDX-License-Identifier: GPL-3.0-or-later
// Help with clues in a real window: the chosen entry's past clues before its
// meanings, a click that gives one to the entry (undoable), clues saved in
// one puzzle offered in another window and a later one, a memory that cannot
// be written (the save goes on; the panel says why), a save that never waits
// for a memory another copy holds, the search box, the changed-answer flag
// until the clue is edited or confirmed (with Undo and Redo), and Remember
// and Forget in the Tools menu.
#include "cluecommands.h"
#include "cluehelppanel.h"
#include "cluememory.h"
#include "cluepanel.h"
#include "definitionsbuild.h"
#include "ipuzfile.h"
#include "uiharness.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <sqlite3.h>

using namespace korvel;
using namespace korvel::uitest;

namespace {

// CASA and CANE across, nothing down.
const QStringList Rows = {"CASA", "####", "CANE"};

// A small Italian definitions book: CASA has an Italian meaning and one
// known only in English.
void writeBook(const QString& folder) {
    DefinitionsWriter w("it");
    w.add({"casa", "n", DefinitionSource::ItalWordNet, false, "edificio per abitazione"});
    w.add({"casa", "n", DefinitionSource::MultiWordNet, true,
           "a dwelling that serves as living "
           "quarters"});
    w.add({"gatto", "n", DefinitionSource::ItalWordNet, false, "felino domestico"});
    std::string error;
    QVERIFY2(w.write(QFile::encodeName(folder + QStringLiteral("/definitions.db")).toStdString(),
                     "test", error),
             error.c_str());
}

// Clues a former puzzle left in the memory of the folder.
void rememberBefore(const QString& dataFolder, const PuzzleClues& puzzle) {
    std::string error;
    auto memory = ClueMemory::open(
        QFile::encodeName(dataFolder + QStringLiteral("/korvel")).toStdString(), error);
    QVERIFY2(memory, error.c_str());
    QVERIFY2(memory->remember(puzzle, error), error.c_str());
}

struct Window : WindowHarness {
    explicit Window(const QString& dataHome = {}) {
        addFixture(uiFixture(QStringLiteral("grid")));
        writeBook(dir.path());
        if (!dataHome.isEmpty())
            qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
        start(eagerTimings());
        loaded();
    }
    ClueCommands& clues() { return *w().clueCommands(); }
    CluePanel* showClues() {
        item("Definizioni")->trigger();
        QTest::qWait(20);
        return clues().panel();
    }
    ClueHelpPanel* help() { return clues().helpPanel(); }
    QTableWidget* across() { return clues().panel()->acrossList(); }
    // Chooses entry row of the Across list and waits for its help.
    bool choose(int row) {
        across()->setCurrentCell(row, CluePanel::ClueColumn);
        return settled(across()->item(row, CluePanel::AnswerColumn)->text().toStdString());
    }
    // Waits until the help of entry has come.
    bool settled(const std::string& entry) {
        return QTest::qWaitFor(
            [&] { return help()->shownEntry() == entry && help()->pending() == 0; }, 5000);
    }
    // The help list's lines, each with its kind: "P:" past clue, "M:"
    // meaning, "F:" found, "H:" heading, "N:" note.
    QStringList helpLines() {
        QStringList out;
        const char* kinds = "HPMFN";
        QListWidget* list = help()->helpList();
        for (int i = 0; i < list->count(); ++i)
            out << QString(QChar(kinds[list->item(i)->data(ClueHelpPanel::KindRole).toInt()])) +
                       QStringLiteral(":") + list->item(i)->text().section(u'\n', 0, 0);
        return out;
    }
    void clickHelp(const QString& line) {
        QListWidget* list = help()->helpList();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text().section(u'\n', 0, 0) == line) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(i)).center());
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no help line ") + line));
    }
    const Clue* clue(int16_t row) {
        return w().document().clues().find(ClueKey{row, 0, Direction::Across});
    }
    bool saveAs(const QString& file) {
        desktop.fileAnswers << file;
        item("Salvacome")->trigger();
        return QFile::exists(file) && w().DocumentChanged() == 0;
    }
    bool written() {
        return QTest::qWaitFor([this] { return clues().pendingWrites() == 0; }, 10000);
    }
};

QLineEdit* clueEditor(QTableWidget* table) {
    for (QLineEdit* e : table->findChildren<QLineEdit*>(QStringLiteral("ClueEditor")))
        if (e->isVisible())
            return e;
    return nullptr;
}

void typeClue(QTableWidget* table, int row, const QString& text) {
    table->setFocus();
    table->setCurrentCell(row, CluePanel::ClueColumn);
    table->editItem(table->item(row, CluePanel::ClueColumn));
    QLineEdit* e = clueEditor(table);
    QVERIFY(e);
    e->selectAll();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
    QCoreApplication::processEvents();
}

} // namespace

class TestUiClueHelp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void pastCluesFirstThenMeanings();
    void savedCluesComeBackInOtherWindows();
    void memoryFailureNeverStopsTheSave_data();
    void memoryFailureNeverStopsTheSave();
    void saveNeverWaitsForTheMemory();
    void searchFindsPastClues();
    void changedAnswerIsFlaggedUntilConfirmed();
    void rememberAndForgetFromTheToolsMenu();
};

void TestUiClueHelp::pastCluesFirstThenMeanings() {
    QTemporaryDir data;
    rememberBefore(data.path(), {"/old/vecchio.ipuz", "Vecchio", 1699956800, {{"CASA", "Dimora"}}});
    Window h(data.path());
    QVERIFY(h.newGrid(3, 4, Rows));
    h.showClues();
    QVERIFY(h.choose(0));
    QCOMPARE(h.help()->entryLabel()->text(), QStringLiteral("1 Across: CASA"));
    QCOMPARE(h.helpLines(),
             QStringList({"H:Your past clues", "P:Dimora", "H:Meanings",
                          "M:casa (n): edificio per abitazione",
                          "M:casa (n) [English]: a dwelling that serves as living quarters"}));
    // Where and when it was used.
    QVERIFY(h.help()->helpList()->item(1)->text().endsWith(
        QStringLiteral("in Vecchio (vecchio.ipuz), 14 Nov 2023")));

    // A click gives the meaning to the entry, in an editor to rework it; an
    // Undo takes it back in one step.
    h.clickHelp(QStringLiteral("casa (n): edificio per abitazione"));
    QCOMPARE(h.clue(0)->text, std::string("edificio per abitazione"));
    QLineEdit* editor = clueEditor(h.across());
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("edificio per abitazione"));
    QTest::keyClick(editor, Qt::Key_Escape);
    h.key("a7")->trigger();
    QVERIFY(!h.clue(0));
    h.clickHelp(QStringLiteral("Dimora"));
    QCOMPARE(h.clue(0)->text, std::string("Dimora"));

    // Nothing known, and a word not complete.
    QVERIFY(h.choose(1));
    QCOMPARE(h.helpLines(), QStringList({"N:No past clues or meanings for CANE."}));
    h.change(2, 3, EmptyCell);
    QVERIFY(h.settled("CAN?"));
    QCOMPARE(h.helpLines(),
             QStringList({"N:Complete the word to see its meanings and your past clues for it."}));
}

void TestUiClueHelp::savedCluesComeBackInOtherWindows() {
    QTemporaryDir data;
    Window first(data.path());
    QVERIFY(first.newGrid(3, 4, Rows));
    first.showClues();
    typeClue(first.across(), 0, QStringLiteral("Home sweet home"));
    const QString file = first.path(QStringLiteral("first.ipuz"));
    QVERIFY(first.saveAs(file));
    QVERIFY(first.written());
    QCOMPARE(first.clues().memoryProblem(), QString());

    // A second window, open beside the first, offers it for the same answer
    // in its new puzzle; its own clue, saved as a grid alone, is offered
    // back in the first.
    Window second(data.path());
    QVERIFY(second.newGrid(3, 4, Rows));
    second.showClues();
    QVERIFY(second.choose(0));
    QCOMPARE(second.helpLines().mid(0, 2), QStringList({"H:Your past clues", "P:Home sweet home"}));
    // A puzzle without a title is named by its file.
    QVERIFY(second.help()->helpList()->item(1)->text().contains(QStringLiteral("in first.ipuz, ")));
    typeClue(second.across(), 1, QStringLiteral("Fido"));
    second.desktop.boxAnswers << MsgAnswer::No; // the .kvl keeps the grid alone
    QVERIFY(second.saveAs(second.path(QStringLiteral("second.kvl"))));
    QVERIFY(second.written());

    // The puzzle's own clue, remembered at its save, is no past clue of it.
    QVERIFY(first.choose(0));
    QVERIFY(!first.helpLines().contains(QStringLiteral("P:Home sweet home")));
    // Choosing an entry looks it up anew.
    QVERIFY(first.choose(1));
    QCOMPARE(first.helpLines().mid(0, 2), QStringList({"H:Your past clues", "P:Fido"}));
}

void TestUiClueHelp::memoryFailureNeverStopsTheSave_data() {
    QTest::addColumn<QString>("blocker");
    QTest::newRow("folder is a file") << QStringLiteral("korvel");
    QTest::newRow("memory is a folder") << QStringLiteral("korvel/clue-memory.db/");
    QTest::newRow("memory of another program") << QStringLiteral("korvel/clue-memory.db");
}

void TestUiClueHelp::memoryFailureNeverStopsTheSave() {
    QFETCH(QString, blocker);
    QTemporaryDir data;
    QDir(data.path()).mkpath(QStringLiteral("korvel"));
    const QString path = data.filePath(blocker);
    if (blocker.endsWith(u'/')) {
        QDir().mkpath(path);
    } else {
        if (blocker == QStringLiteral("korvel"))
            QDir(path).removeRecursively();
        writeFile(path, "SQLite format 3 but not really\n");
    }
    Window h(data.path());
    QVERIFY(h.newGrid(3, 4, Rows));
    h.showClues();
    typeClue(h.across(), 0, QStringLiteral("Dimora"));
    const QString file = h.path(QStringLiteral("kept.ipuz"));
    h.desktop.clear();
    QVERIFY(h.saveAs(file));
    QVERIFY(h.written());
    // Saved, no box about it; the panel says why nothing was remembered.
    QVERIFY(readAll(file).contains("Dimora"));
    QCOMPARE(h.desktop.boxes().size(), 0);
    const QString problem = h.help()->memoryStatus()->text();
    QVERIFY2(problem.startsWith(
                 QStringLiteral("The puzzle was saved, but its clues were not remembered: ")),
             qPrintable(problem));
    QVERIFY(h.help()->memoryStatus()->isVisible());

    // Mended, the next save remembers, and the note goes.
    if (blocker.endsWith(u'/'))
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
    typeClue(h.across(), 0, QStringLiteral("Abitazione"));
    h.item("Salva")->trigger();
    QVERIFY(h.written());
    QCOMPARE(h.help()->memoryStatus()->text(), QString());
    QVERIFY(!h.help()->memoryStatus()->isVisible());
}

void TestUiClueHelp::saveNeverWaitsForTheMemory() {
    QTemporaryDir data;
    rememberBefore(data.path(), {"/old/a.ipuz", "", 1699956800, {{"GATTO", "Micio"}}});
    Window h(data.path());
    QVERIFY(h.newGrid(3, 4, Rows));
    h.showClues();
    typeClue(h.across(), 0, QStringLiteral("Dimora"));
    // Another copy of the program holds the memory while the save runs.
    sqlite3* other = nullptr;
    const QByteArray db = QFile::encodeName(data.filePath(QStringLiteral("korvel/clue-memory.db")));
    QCOMPARE(sqlite3_open(db.constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const QString file = h.path(QStringLiteral("busy.ipuz"));
    QVERIFY(h.saveAs(file));
    // Saved while the memory still waits.
    QCOMPARE(h.clues().pendingWrites(), 1);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QVERIFY(h.written());
    QCOMPARE(h.clues().memoryProblem(), QString());
    std::string error;
    auto memory = ClueMemory::open(
        QFile::encodeName(data.filePath(QStringLiteral("korvel"))).toStdString(), error);
    QVERIFY(memory);
    QCOMPARE(memory->pastClues("CASA", 5, error).size(), std::size_t{1});
}

void TestUiClueHelp::searchFindsPastClues() {
    QTemporaryDir data;
    rememberBefore(data.path(), {"/old/a.ipuz",
                                 "A",
                                 1699956800,
                                 {{"GATTO", "Felino di casa"},
                                  {"TIGRE", "Felino"
                                            " a strisce"}}});
    rememberBefore(data.path(), {"/old/b.ipuz", "B", 1700100000, {{"CANE", "Amico fedele"}}});
    Window h(data.path());
    QVERIFY(h.newGrid(3, 4, Rows));
    h.showClues();
    QVERIFY(h.choose(1));
    QTest::keyClicks(h.help()->searchBox(), QStringLiteral("felin strisc"));
    QTest::keyClick(h.help()->searchBox(), Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([&] { return h.help()->pending() == 0; }, 5000));
    QCOMPARE(h.helpLines(),
             QStringList({"H:Past clues with \"felin strisc\"", "F:TIGRE: Felino a strisce"}));
    // A found clue goes to the chosen entry like any other.
    h.clickHelp(QStringLiteral("TIGRE: Felino a strisce"));
    QCOMPARE(h.clue(2)->text, std::string("Felino a strisce"));
    QTest::keyClick(clueEditor(h.across()), Qt::Key_Escape);

    h.help()->searchBox()->clear();
    QVERIFY(h.settled("CANE"));
    QCOMPARE(h.helpLines().mid(0, 2), QStringList({"H:Your past clues", "P:Amico fedele"}));
    QTest::keyClicks(h.help()->searchBox(), QStringLiteral("zebra"));
    QTest::keyClick(h.help()->searchBox(), Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([&] { return h.help()->pending() == 0; }, 5000));
    QCOMPARE(h.helpLines(), QStringList({"H:No past clue holds \"zebra\"."}));
}

void TestUiClueHelp::changedAnswerIsFlaggedUntilConfirmed() {
    Window h;
    QVERIFY(h.newGrid(3, 4, Rows));
    h.showClues();
    typeClue(h.across(), 0, QStringLiteral("Dimora"));
    QVERIFY(h.choose(0));
    QVERIFY(!h.help()->confirmButton()->isVisible());
    // The clue shows, and the help tells, the answer it was written for.
    QString writtenFor = QStringLiteral("CASA");
    auto flagged = [&] {
        const QTableWidgetItem* item = h.across()->item(0, CluePanel::ClueColumn);
        return item->toolTip().startsWith(QStringLiteral("Written for ") + writtenFor) &&
               h.help()->confirmButton()->isVisible();
    };
    auto plain = [&] {
        const QTableWidgetItem* item = h.across()->item(0, CluePanel::ClueColumn);
        return item->toolTip().isEmpty() && !h.help()->confirmButton()->isVisible();
    };
    // A letter typed over the word, as a refill would.
    h.key("a3")->trigger();
    h.clickCell(0, 3);
    h.typeKey(Qt::Key_E);
    QVERIFY(QTest::qWaitFor(flagged, 5000));
    QCOMPARE(h.help()->changedNote()->text(),
             QStringLiteral("Written for CASA; the answer is now CASE."));

    QTest::mouseClick(h.help()->confirmButton(), Qt::LeftButton);
    QCOMPARE(h.clue(0)->answer, std::string("CASE"));
    QVERIFY(QTest::qWaitFor(plain, 5000));
    h.key("a7")->trigger(); // Undo the confirmation: flagged again
    QVERIFY(QTest::qWaitFor(flagged, 5000));
    h.key("a8")->trigger(); // Redo
    QVERIFY(QTest::qWaitFor(plain, 5000));

    // Editing the clue clears the flag too.
    writtenFor = QStringLiteral("CASE");
    h.key("a3")->trigger();
    h.clickCell(0, 3);
    h.typeKey(Qt::Key_O);
    QVERIFY(QTest::qWaitFor(flagged, 5000));
    typeClue(h.across(), 0, QStringLiteral("Mobile"));
    QVERIFY(QTest::qWaitFor(plain, 5000));
    QCOMPARE(h.clue(0)->answer, std::string("CASO"));
}

void TestUiClueHelp::rememberAndForgetFromTheToolsMenu() {
    QTemporaryDir data;
    Window h(data.path());
    // A puzzle another program wrote, opened: nothing remembered until asked.
    Puzzle p;
    p.grid = GridModel::make(3, 4);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            p.grid.setCell(r, c, Rows[r][c] == u'#' ? BLACK : Rows[r][c].toLatin1());
    p.clues = {{{0, 0, Direction::Across}, 4, "Dimora", {}, {}},
               {{2, 0, Direction::Across}, 4, "Fido", {}, {}}};
    const QString file = h.path(QStringLiteral("theirs.ipuz"));
    writeFile(file, QByteArray::fromStdString(writeIpuz(p, "")));
    h.desktop.fileAnswers << file;
    h.w().menuApri_Click();
    QCOMPARE(h.w().CurrentFile(), file);
    QVERIFY(!QFile::exists(data.filePath(QStringLiteral("korvel/clue-memory.db"))));

    h.desktop.clear();
    emit h.w().findChild<QMenu*>(QStringLiteral("Strumenti"))->aboutToShow();
    QVERIFY(h.item("RicordaDefinizioni")->isEnabled());
    h.item("RicordaDefinizioni")->trigger();
    QVERIFY(h.written());
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text, QStringLiteral("2 clues of theirs.ipuz remembered."));
    // The memory works without the panel, which is never made for it.
    QVERIFY(!h.clues().dock());
    std::string error;
    const std::string folder =
        QFile::encodeName(data.filePath(QStringLiteral("korvel"))).toStdString();
    QCOMPARE(ClueMemory::open(folder, error)->pastClues("CANE", 5, error).size(), std::size_t{1});

    // Forget: the open puzzle is chosen in the list; Forget takes its clues.
    rememberBefore(data.path(), {"/old/other.ipuz", "Other", 1699956800, {{"CASA", "Tetto"}}});
    bool appeared = false;
    QStringList listed;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || d->objectName() != QStringLiteral("ForgetClues"))
            return;
        poll.stop();
        appeared = true;
        auto* list = d->findChild<QListWidget*>(QStringLiteral("RememberedPuzzles"));
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text().section(u'\n', 0, 0) +
                          (list->item(i)->isSelected() ? QStringLiteral(" *") : QString());
        d->findChild<QPushButton*>(QStringLiteral("ForgetChosen"))->click();
    });
    poll.start(5);
    h.item("DimenticaDefinizioni")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return appeared; }, 5000));
    QVERIFY(h.written());
    QCOMPARE(listed.size(), 2);
    QVERIFY(listed[0].startsWith(QStringLiteral("theirs.ipuz - 2 clues, ")) &&
            listed[0].endsWith(QStringLiteral(" *")));
    QCOMPARE(listed[1], QStringLiteral("Other - 1 clue, 14 Nov 2023"));
    auto memory = ClueMemory::open(folder, error);
    QCOMPARE(memory->pastClues("CANE", 5, error).size(), std::size_t{0});
    QCOMPARE(memory->pastClues("CASA", 5, error).size(), std::size_t{1});
}

QTEST_MAIN(TestUiClueHelp)
#include "test_ui_cluehelp.moc"
