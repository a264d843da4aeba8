// Other programs' puzzles (.puz, .ipuz) opened in a real window and by
// korvel-export: each shape opens with what the readers tell (in one box, or
// on standard error), saved as .ipuz it keeps everything, the two give the
// same bytes, circles show in the grid, and a refusal names the file and the
// cause and keeps the grid that was open. (The JSON is written with ' for ",
// which moc reads more safely than raw strings.)
#include "cluewindow.h"
#include "ipuzfile.h"
#include "puzzlefile.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QProcess>

using namespace korvel;
using namespace korvel::uitest;

namespace {

const QString Product = QStringLiteral("  KORVEL   ");
const Direction A = Direction::Across;
const Direction D = Direction::Down;

struct ToolRun {
    int status = -1;
    QByteArray err;
};

ToolRun runExport(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KORVEL_EXPORT_TOOL), args);
    ToolRun r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.err = p.readAllStandardError();
    return r;
}

// The small puzzle every shape starts from: CATS / A#O# / BOYS with a clue
// for each word and every detail the .puz format holds.
Puzzle smallPuzzle(std::vector<int> circles = {}) {
    Puzzle p;
    p.grid = GridModel::make(3, 4);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            const char ch = SmallRows[r].toLatin1()[c];
            p.grid.setCell(r, c, ch == '#' ? BLACK : ch);
        }
    p.clues = {{{0, 0, A}, 4, "Pets", {}, {}},
               {{0, 0, D}, 3, "Taxi", {}, {}},
               {{0, 2, D}, 3, "Plaything", {}, {}},
               {{2, 0, A}, 4, "Lads", {}, {}}};
    p.details.title = "Small";
    p.details.author = "Me";
    p.details.copyright = "(c) Me";
    p.details.notes = "Notes";
    p.circles = std::move(circles);
    return p;
}

QByteArray bytesOf(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

PuzPuzzle smallPuz() {
    return *readPuz(writePuz(smallPuzzle()).bytes).puzzle;
}

QByteArray ipuzWith(const char* clues) {
    QByteArray json = "{'version': 'http://ipuz.org/v2', 'kind': ['http://ipuz.org/crossword#1'],"
                      " 'dimensions': {'width': 4, 'height': 3}, 'title': 'Small',"
                      " 'puzzle': [[1, 0, 2, 0], [0, '#', 0, '#'], [3, 0, 0, 0]],"
                      " 'solution': [['C', 'A', 'T', 'S'], ['A', '#', 'O', '#'],"
                      " ['B', 'O', 'Y', 'S']], 'clues': ";
    json += clues;
    json += '}';
    return json.replace('\'', '"');
}

void expectSamePuzzle(const Puzzle& got, const Puzzle& want) {
    QCOMPARE(got.grid.GridRows, want.grid.GridRows);
    QCOMPARE(got.clues, want.clues);
    QVERIFY(got.details == want.details);
    QCOMPARE(got.circles, want.circles);
}

} // namespace

class TestUiPuzzles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void shapesOpenInWindowAndTool_data();
    void shapesOpenInWindowAndTool();
    void refusalKeepsGrid_data();
    void refusalKeepsGrid();
    void circlesShowInTheGrid();
    void startFileOpensPuzzle();
};

void TestUiPuzzles::shapesOpenInWindowAndTool_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("across1"); // the clue of 1 across
    QTest::addColumn<QVector<int>>("circles");
    QTest::addColumn<QString>("warning"); // what the box and standard error say; "" nothing

    const QStringList small = {"CATS", "A\x10O\x10", "BOYS"};
    QTest::newRow("puz") << "small.puz" << bytesOf(writePuz(smallPuzzle()).bytes) << small << "Pets"
                         << QVector<int>{} << "";
    QTest::newRow("puz with circles")
        << "circled.puz" << bytesOf(writePuz(smallPuzzle({0, 10})).bytes) << small << "Pets"
        << QVector<int>{0, 10} << "";
    {
        const PuzPuzzle p = smallPuz();
        std::string f = encodePuz(p);
        f[0x32] = 4;
        refreshPuzSums(f, p);
        QTest::newRow("puz scrambled")
            << "scrambled.puz" << bytesOf(f) << QStringList{"????", "?\x10?\x10", "????"} << "Pets"
            << QVector<int>{} << "The solution in this file is scrambled";
    }
    {
        PuzPuzzle p = smallPuz();
        p.rebusGrid = std::string(12, '\0');
        p.rebusGrid[1] = 1;
        p.rebusTable = " 0:ART;";
        QTest::newRow("puz rebus")
            << "rebus.puz" << bytesOf(encodePuz(p)) << small << "Pets" << QVector<int>{}
            << "1 rebus square keeps only the first letter of its rebus.";
    }
    {
        std::string f = writePuz(smallPuzzle()).bytes;
        f[0] = static_cast<char>(f[0] ^ 1);
        QTest::newRow("puz wrong checksum") << "damaged.puz" << bytesOf(f) << small << "Pets"
                                            << QVector<int>{} << "checksums do not match";
    }
    QTest::newRow("ipuz pairs") << "pairs.ipuz"
                                << ipuzWith("{'Across': [[1, 'Pets'], [3, 'Lads']],"
                                            " 'Down': [[1, 'Taxi'], [2, 'Plaything']]}")
                                << small << "Pets" << QVector<int>{} << "";
    QTest::newRow("ipuz objects with markup")
        << "objects.ipuz"
        << ipuzWith("{'Across': [{'number': 1, 'clue': '<i>Pets</i>'},"
                    " {'number': 3, 'clue': 'Lads'}],"
                    " 'Down': [{'number': 1, 'clue': 'Taxi'}, {'number': 2, 'clue': 'Toy'}]}")
        << small << "Pets" << QVector<int>{} << "markup tags (italics, bold ...) were dropped";
}

void TestUiPuzzles::shapesOpenInWindowAndTool() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rows);
    QFETCH(QString, across1);
    QFETCH(QVector<int>, circles);
    QFETCH(QString, warning);
    ClueWindow h;
    QVERIFY(h.loaded());
    const QString in = h.path(name);
    writeFile(in, bytes);

    // From the command line: what the reader changed goes to standard error.
    const QString out = h.path(QStringLiteral("tool.ipuz"));
    const ToolRun r = runExport({QStringLiteral("--format"), QStringLiteral("ipuz"), in, out});
    QCOMPARE(r.status, 0);
    if (warning.isEmpty())
        QCOMPARE(r.err, QByteArray());
    else
        QVERIFY2(r.err.startsWith("korvel-export: " + in.toUtf8() + ": ") &&
                     r.err.contains(warning.toUtf8()),
                 r.err.constData());

    // In the window: the puzzle, its clues and circles, one box of changes.
    h.desktop.fileAnswers << in;
    h.w().menuApri_Click();
    const GridDocument& doc = h.w().document();
    QStringList shown;
    for (int r = 0; r < doc.grid().RowCount; ++r)
        shown << QString::fromLatin1(doc.grid().GridRows[static_cast<std::size_t>(r)].c_str());
    QCOMPARE(shown, rows);
    QCOMPARE(doc.clues().size(), std::size_t{4});
    QCOMPARE(QString::fromStdString(h.clue(0, 0, A)->text), across1);
    QVERIFY(doc.clues().unplaced(doc.wordSlots()).empty());
    QCOMPARE(doc.details().title, std::string("Small"));
    QCOMPARE(QVector<int>(doc.circles().begin(), doc.circles().end()), circles);
    QCOMPARE(h.w().windowTitle(), Product + in);
    QCOMPARE(h.w().DocumentChanged(), int16_t{0});
    const auto boxes = h.desktop.boxes();
    if (warning.isEmpty()) {
        QVERIFY(boxes.isEmpty());
    } else {
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("Attention..."));
        QVERIFY(boxes[0].text.startsWith(in + QStringLiteral(" is open, with these changes:")));
        QVERIFY2(boxes[0].text.contains(warning), qPrintable(boxes[0].text));
    }

    // Save never writes over a .puz: it asks for an .ipuz name.
    if (name.endsWith(QStringLiteral(".puz"))) {
        h.desktop.clear();
        h.item("Salva")->trigger();
        QCOMPARE(h.desktop.shown.size(), 1);
        QCOMPARE(h.desktop.shown[0].kind, QStringLiteral("save"));
        QCOMPARE(h.desktop.shown[0].proposal, in.chopped(4) + QStringLiteral(".ipuz"));
        QCOMPARE(h.w().CurrentFile(), in);
        QCOMPARE(readAll(in), bytes);
    }

    // Saved as .ipuz it keeps everything, and the tool wrote the same bytes.
    const QString saved = h.path(QStringLiteral("saved.ipuz"));
    h.desktop.fileAnswers << saved;
    h.item("Salvacome")->trigger();
    QCOMPARE(h.w().CurrentFile(), saved);
    QCOMPARE(readAll(saved), readAll(out));
    const PuzzleReadResult back = loadPuzzleFile(saved.toStdString());
    QVERIFY(back.puzzle);
    QVERIFY(back.warnings.empty());
    expectSamePuzzle(*back.puzzle, doc.puzzle());
    QCOMPARE(readAll(in), bytes);
}

void TestUiPuzzles::refusalKeepsGrid_data() {
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
        << "big.puz" << bytesOf(encodePuz(big))
        << ": The puzzle has 30 rows and 40 columns; Korvel holds 2 to 25 rows and 2 to 35 "
           "columns.";
}

void TestUiPuzzles::refusalKeepsGrid() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, cause);
    ClueWindow h;
    QVERIFY(h.loaded());
    const QString good = h.path(QStringLiteral("good.kvl"));
    writeFile(good, QByteArray("2,2\r\n\"AB\"\r\n\"CD\"\r\n"));
    h.desktop.fileAnswers << good;
    h.w().menuApri_Click();
    h.change(0, 0, 'Z');
    const QString bad = h.path(name);
    writeFile(bad, bytes);

    h.desktop.clear();
    h.desktop.boxAnswers << MsgAnswer::No; // the changes may go
    h.desktop.fileAnswers << bad;
    h.w().menuApri_Click();
    const auto boxes = h.desktop.boxes();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[1].title, QStringLiteral("Attention..."));
    QVERIFY2(boxes[1].text.startsWith(bad + cause), qPrintable(boxes[1].text));
    QCOMPARE(h.w().grid().GridRows[0], std::string("ZB"));
    QCOMPARE(h.w().CurrentFile(), good);
    QCOMPARE(h.w().windowTitle(), Product + good);
    // The changes given up for a grid that never came stay changes.
    QCOMPARE(h.w().DocumentChanged(), int16_t{1});

    const QString out = h.path(QStringLiteral("out.ipuz"));
    const ToolRun r = runExport({bad, out});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.startsWith("korvel-export: " + (bad + cause).toUtf8()), r.err.constData());
    QVERIFY(!QFile::exists(out));
}

// A circled cell shows a circle; every other cell is drawn as for the same
// grid without circles.
void TestUiPuzzles::circlesShowInTheGrid() {
    ClueWindow a;
    QVERIFY(a.loaded());
    const QString circled = a.path(QStringLiteral("circled.puz"));
    writeFile(circled, bytesOf(writePuz(smallPuzzle({0, 10})).bytes));
    a.desktop.fileAnswers << circled;
    a.w().menuApri_Click();
    const QImage withCircles = a.w().Peri()->image();

    ClueWindow b;
    QVERIFY(b.loaded());
    const QString plain = b.path(QStringLiteral("plain.kvl"));
    writeFile(plain, QByteArray("3,4\r\n\"CATS\"\r\n\"A\x10O\x10\"\r\n\"BOYS\"\r\n"));
    b.desktop.fileAnswers << plain;
    b.w().menuApri_Click();
    const QImage without = b.w().Peri()->image();
    QCOMPARE(withCircles.size(), without.size());

    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            const QPoint from = a.w().Peri()->toPixel(QPointF(c, r));
            const QPoint to = a.w().Peri()->toPixel(QPointF(c + 1, r + 1));
            bool same = true;
            for (int y = from.y(); y < to.y(); ++y)
                for (int x = from.x(); x < to.x(); ++x)
                    same = same && withCircles.pixel(x, y) == without.pixel(x, y);
            const bool circle = r * 4 + c == 0 || r * 4 + c == 10;
            QVERIFY2(same != circle, qPrintable(QStringLiteral("cell %1,%2").arg(r).arg(c)));
        }
}

// korvel FILE opens a puzzle as File > Open... does, with its box.
void TestUiPuzzles::startFileOpensPuzzle() {
    ClueWindow h;
    PuzPuzzle p = smallPuz();
    p.rebusGrid = std::string(12, '\0');
    p.rebusGrid[6] = 1;
    p.rebusTable = " 0:ONE;";
    const QString file = h.path(QStringLiteral("rebus.puz"));
    writeFile(file, bytesOf(encodePuz(p)));
    h.w().setStartFile(file);
    QVERIFY(h.loaded());
    QVERIFY(QTest::qWaitFor([&] { return !h.w().grid().isEmpty(); }, 5000));
    QCOMPARE(h.w().CurrentFile(), file);
    QCOMPARE(h.desktop.boxes().size(), 1);
    QVERIFY(h.desktop.boxes()[0].text.contains(QStringLiteral("1 rebus square")));
}

QTEST_MAIN(TestUiPuzzles)
#include "test_ui_puzzles.moc"
