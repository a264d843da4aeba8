// SPDX-License-Identifier: GPL-3.0-or-later
// Export and print end to end: korvel-export run as a separate program on
// real files, the PDF pages, and File > Export and File > Print... driven in
// a loaded main window through the scripted desktop.
#include "cluelist.h"
#include "exportfiles.h"
#include "exportformat.h"
#include "griddimensionsdialog.h"
#include "gridpages.h"
#include "ipuzfile.h"
#include "kvlfile.h"
#include "loader.h"
#include "mainwindow.h"
#include "puzfile.h"
#include "puzzle.h"
#include "puzzleread.h"
#include "renamesignal.h"
#include "scratchsignal.h"
#include "scripteddesktop.h"
#include "slots.h"
#include "svggrid.h"
#include "testfiles.h"
#include "uiharness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace korvel;
using namespace korvel::uitest;

namespace {

const QString Golden = QStringLiteral(KORVEL_EXPORT_GOLDEN);

// The page objects of a PDF ("/Type /Page", not "/Type /Pages") and the
// page count its page tree declares.
int pdfPages(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    int n = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next())
        ++n;
    return n;
}

int pdfDeclaredPages(const QByteArray& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("/Type\\s*/Pages.*?/Count\\s+(\\d+)"),
                           QRegularExpression::DotMatchesEverythingOption)
            .match(QString::fromLatin1(pdf));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The creation date is the one field that changes from run to run.
QByteArray fixedDate(QByteArray pdf) {
    static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9]{14}Z\\)"));
    QString text = QString::fromLatin1(pdf);
    text.replace(date, QStringLiteral("/CreationDate (D:20000101000000Z)"));
    return text.toLatin1();
}

QByteArray bytesOf(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

struct ToolRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// korvel-export as a separate process, with the time zone fixed so the PDF
// date always has the same length, and the locale fixed (to one that prints
// on A4) unless locale names another. limitBytes lowers the file size limit
// of the child (writes beyond it fail with EFBIG).
ToolRun runTool(const QStringList& args, long limitBytes = 0,
                const QString& locale = QStringLiteral("C.UTF-8")) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    env.insert(QStringLiteral("LC_ALL"), locale);
    p.setProcessEnvironment(env);
    if (limitBytes > 0) {
        p.setChildProcessModifier([limitBytes] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit lim{static_cast<rlim_t>(limitBytes), static_cast<rlim_t>(limitBytes)};
            setrlimit(RLIMIT_FSIZE, &lim);
        });
    }
    p.start(QStringLiteral(KORVEL_EXPORT_TOOL), args);
    ToolRun r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// korvel-export with arguments as bytes (a QProcess would pass them through
// QString, which cannot hold a name that is not UTF-8). With limitBytes the
// file size limit is lowered, and SIGXFSZ ignored unless sizeSignal, which
// leaves it at its default as a shell does.
ToolRun runToolBytes(const std::vector<std::string>& args, rlim_t limitBytes = 0,
                     bool sizeSignal = false) {
    korvel::testing::TempDir streams;
    const std::string out = streams.file("out");
    const std::string err = streams.file("err");
    const pid_t pid = fork();
    if (pid == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(o, 1);
        dup2(e, 2);
        setenv("TZ", "UTC", 1);
        if (limitBytes > 0) {
            std::signal(SIGXFSZ, sizeSignal ? SIG_DFL : SIG_IGN);
            rlimit lim{limitBytes, limitBytes};
            setrlimit(RLIMIT_FSIZE, &lim);
        }
        std::vector<char*> argv{const_cast<char*>(KORVEL_EXPORT_TOOL)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        std::_Exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ToolRun r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = QByteArray::fromStdString(korvel::testing::readFile(out));
    r.err = QByteArray::fromStdString(korvel::testing::readFile(err));
    return r;
}

// The names in a folder as the file system holds them, sorted.
std::vector<std::string> rawNames(const std::string& folder) {
    std::vector<std::string> v;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

bool hasEscape(const QByteArray& text) {
    return text.contains('\x1b') || text.contains('\x07');
}

// A loaded window over a private copy of the "grid" fixture folder.
struct Harness : WindowHarness {
    Harness() {
        addFixture(uiFixture(QStringLiteral("grid")));
        start(eagerTimings());
    }

    // A menu item chosen as a user does: the File menu opens (which
    // brings its items up to date), then the item is triggered.
    void choose(const char* name) {
        emit w().fileMenu()->aboutToShow();
        item(name)->trigger();
    }

    // File > Export answered with a name and the filter the dialog ends on.
    void exportAs(const QString& name, int filter) {
        desktop.fileAnswers << name;
        desktop.exportFilterAnswers << filter;
        choose("Esporta");
    }
};

const QStringList SmallRows = {QStringLiteral("CATS"), QStringLiteral("A#O#"),
                               QStringLiteral("BOYS")};

// What poppler reads back from a PDF file: the text of one page (all pages
// for 0) in the order the page draws it, every run of blanks and line ends
// made one blank; the page count; the first page's size in points.
QString pdfText(const QString& path, int page = 0) {
    QStringList args{QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args << path << QStringLiteral("-"));
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

QString pdfInfo(const QString& path, const QString& field) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(20000);
    const QRegularExpression line(QStringLiteral("^%1:\\s+(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(p.readAllStandardOutput())).captured(1).trimmed();
}

QString saved(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    writeFile(path, bytes);
    return path;
}

// A grid of letters with blacks where (r * 7 + c * 3) % 5 == 0, as a .kvl
// file's bytes, and as a puzzle with a clue for every slot.
GridModel patternGrid(int rows, int columns) {
    GridModel g = GridModel::make(static_cast<int16_t>(rows), static_cast<int16_t>(columns));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            g.setCell(r, c,
                      (r * 7 + c * 3) % 5 == 0 ? BLACK : static_cast<char>('A' + (r + c) % 26));
    return g;
}

QByteArray kvlOf(const GridModel& g) {
    QByteArray bytes = QByteArray::number(g.RowCount) + ',' + QByteArray::number(g.ColumnCount);
    for (int r = 0; r < g.RowCount; ++r)
        bytes +=
            "\r\n\"" + QByteArray::fromStdString(g.GridRows[static_cast<std::size_t>(r)]) + '"';
    return bytes + "\r\n";
}

QString clueText(const Slot& s) {
    return QStringLiteral("Clue %1 %2: a città of words long enough to wrap in its column")
        .arg(s.number)
        .arg(s.down() ? QStringLiteral("down") : QStringLiteral("across"));
}

Puzzle cluedPuzzle(int rows, int columns) {
    Puzzle p;
    p.grid = patternGrid(rows, columns);
    const Slots words = Slots::of(p.grid);
    for (const Slot& s : words.all())
        p.clues.push_back(
            Clue{{s.row, s.column, s.direction}, s.length, clueText(s).toStdString(), {}, {}});
    std::sort(p.clues.begin(), p.clues.end(),
              [](const Clue& a, const Clue& b) { return a.key < b.key; });
    return p;
}

// A small puzzle of the submission test: one slot without a clue (3 down),
// one empty cell (row 5, column 5), an enumeration, a clue on no slot.
Puzzle submissionPuzzle() {
    Puzzle p;
    p.grid = GridModel::make(5, 5);
    const char* rows[] = {"CATS#", "ARIA#", "BOYS#", "#NEST", "#EAR?"};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            p.grid.setCell(r, c, rows[r][c] == '#' ? BLACK : rows[r][c]);
    const auto A = Direction::Across;
    const auto D = Direction::Down;
    p.clues = {{{0, 0, A}, 4, "Pets that purr", {}, {}},  {{0, 0, D}, 3, "Taxi", {}, {}},
               {{0, 1, D}, 5, "Città, in a way", {}, {}}, {{0, 3, D}, 5, "Sass, roughly", {}, {}},
               {{0, 3, D}, 4, "Unplaced", {}, {}},        {{1, 0, A}, 4, "Solo song", {}, {}},
               {{2, 0, A}, 4, "Young men", {}, {}},       {{3, 1, A}, 4, "Bird's home", {}, {}},
               {{3, 4, D}, 2, "Half a tile", {}, {}},     {{4, 1, A}, 4, "Noble", "4", {}}};
    p.details.title = "Small";
    p.details.contactName = "Anna Rossi";
    p.details.contactEmail = "anna@example.org";
    p.details.contactAddress = "Via Roma 1\n00100 Roma";
    return p;
}

const QString Contact = QStringLiteral("Anna Rossi Via Roma 1 00100 Roma anna@example.org");

} // namespace

class TestUiExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutes(); }

    // korvel-export
    void toolMatchesGoldenFiles_data();
    void toolMatchesGoldenFiles();
    void toolHelpAndVersion();
    void toolRefusals_data();
    void toolRefusals();
    void toolFifoInputDoesNotHang();
    void toolFullDiskKeepsOldFile();
    void toolRefusesItsOwnInput_data();
    void toolRefusesItsOwnInput();
    void toolSvgPairAllOrNone();
    void toolKeepsNameBytes();
    void toolRefusesReadOnlyOutput();
    void toolSvgIsXmlForAnyTitle();
    void toolEscapesControlBytes();
    void toolSignalLeavesNoScratchFile();
    void toolFileSizeSignalFailsTheWrite();
    void svgPairSignalBetweenRenamesLeavesBothNew();
    void toolReadsHostileTextsWhole_data();
    void toolReadsHostileTextsWhole();
    void toolTellsWhatTheReadingLeftOut_data();
    void toolTellsWhatTheReadingLeftOut();
    void toolKeepsUnplacedCluesInRange();

    // the pages
    void pdfHasTwoPages_data();
    void pdfHasTwoPages();
    void writeFailureInProcessKeepsOldFile();
    void cluesFlowOverPagesInOrder();
    void longTitleIsWhole_data();
    void longTitleIsWhole();
    void paperAndOrientation_data();
    void paperAndOrientation();
    void submissionLayout();
    void submissionFromTool();
    void bylineAndLanguageFromTool_data();
    void bylineAndLanguageFromTool();
    void submissionNamesTheAuthorWithoutAContact();

    // the window
    void fileMenuGainsExportAndPrint();
    void exportFromWindow_data();
    void exportFromWindow();
    void exportNumbersFollowTheWindow();
    void exportRefusalShowsMessage();
    void exportCancelledWritesNothing();
    void exportFullDiskShowsMessage();
    void printFromWindow();
    void submissionFromWindowAndWidePrint();
};

// ---------------------------------------------------------------- tool

void TestUiExport::toolMatchesGoldenFiles_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QStringList>("goldens"); // written files, in order
    QTest::newRow("ipuz") << QStringList{} << "small.ipuz" << QStringList{"small.ipuz"};
    // The .puz carries the title as the other formats do.
    QTest::newRow("puz") << QStringList{"--format", "puz"} << "small.puz"
                         << QStringList{"small-titled.puz"};
    QTest::newRow("svg") << QStringList{"--format=svg"} << "small.svg"
                         << QStringList{"small.svg", "small-solution.svg"};
    QTest::newRow("pdf") << QStringList{} << "small.pdf" << QStringList{"small.pdf"};
    QTest::newRow("format beats name")
        << QStringList{"--format", "ipuz"} << "small.txt" << QStringList{"small.ipuz"};
}

void TestUiExport::toolMatchesGoldenFiles() {
    QFETCH(QStringList, options);
    QFETCH(QString, out);
    QFETCH(QStringList, goldens);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("small.kvl"));
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), in));
    const ToolRun r = runTool(options + QStringList{in, dir.filePath(out)});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QByteArray());
    QStringList written{out};
    if (goldens.size() == 2)
        written << QString::fromStdString(solutionSvgPath(out.toStdString()));
    for (int i = 0; i < goldens.size(); ++i) {
        QByteArray got = readAll(dir.filePath(written[i]));
        if (goldens[i].endsWith(QStringLiteral(".pdf"))) {
            QCOMPARE(pdfPages(got), 2);
            got = fixedDate(got);
        }
        QVERIFY2(got == readAll(Golden + QLatin1Char('/') + goldens[i]), qPrintable(goldens[i]));
    }
}

void TestUiExport::toolHelpAndVersion() {
    const ToolRun help = runTool({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.startsWith("usage: korvel-export [--format ipuz|puz|pdf|svg] IN.kvl OUT\n"));
    QVERIFY(help.out.contains("OUT-solution.svg"));
    const ToolRun version = runTool({QStringLiteral("--version")});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QByteArray("korvel-export " KORVEL_VERSION "\n"));
}

void TestUiExport::toolRefusals_data() {
    QTest::addColumn<QByteArray>("kvl"); // written to in.kvl; empty: no file
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QByteArray small = readAll(Golden + QStringLiteral("/small.kvl"));
    QByteArray holed = small;
    holed.replace("BOYS", "BO?S");
    QTest::newRow("empty cell in puz")
        << holed << QStringList{"--format", "puz", "IN", "OUT"} << 3
        << "needs every answer letter, and 1 white cell is still empty (the first in row 3, "
           "column 3)";
    QTest::newRow("no words in puz") << QByteArray("2,2\r\n\"A\x10\"\r\n\"\x10"
                                                   "B\"\r\n")
                                     << QStringList{"IN", "OUT.puz"} << 3 << "no words";
    QTest::newRow("not a crossword")
        << QByteArray("hello\r\n") << QStringList{"IN", "OUT.ipuz"} << 1 << "not a crossword file";
    QTest::newRow("missing input")
        << QByteArray() << QStringList{"IN", "OUT.ipuz"} << 1 << "No such file";
    QTest::newRow("folder as input")
        << QByteArray() << QStringList{"DIR", "OUT.ipuz"} << 1 << "not a regular file";
    QTest::newRow("unknown format")
        << small << QStringList{"--format", "png", "IN", "OUT"} << 2 << "unknown format png";
    QTest::newRow("no format") << small << QStringList{"IN", "OUT.png"} << 2 << "give --format";
    QTest::newRow("one operand") << small << QStringList{"IN"} << 2 << "IN.kvl and OUT";
    QTest::newRow("unknown option")
        << small << QStringList{"--fast", "IN", "OUT.pdf"} << 2 << "unknown option --fast";
    QTest::newRow("no such folder")
        << small << QStringList{"IN", "DIR/none/OUT.ipuz"} << 4 << "could not be written";
    QTest::newRow("folder as output") << small << QStringList{"IN", "DIR"} << 2 << "give --format";
    QTest::newRow("paper for svg") << small << QStringList{"--paper", "a4", "IN", "OUT.svg"} << 2
                                   << "--paper and --layout are for pdf only";
    QTest::newRow("unknown paper")
        << small << QStringList{"--paper=a3", "IN", "OUT.pdf"} << 2 << "unknown paper a3";
    QTest::newRow("unknown layout")
        << small << QStringList{"--layout", "poster", "IN", "OUT.pdf"} << 2 << "unknown layout";
    QTest::newRow("folder as svg output")
        << small << QStringList{"--format", "svg", "IN", "DIR"} << 4 << "could not be written";
}

void TestUiExport::toolRefusals() {
    QFETCH(QByteArray, kvl);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.kvl"));
    if (!kvl.isEmpty())
        writeFile(in, kvl);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dir")));
    for (QString& a : args) {
        a.replace(QStringLiteral("IN"), in);
        a.replace(QStringLiteral("OUT"), dir.filePath(QStringLiteral("out")));
        a.replace(QStringLiteral("DIR"), dir.filePath(QStringLiteral("dir")));
    }
    const ToolRun r = runTool(args);
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message.toUtf8()), r.err.constData());
    // Nothing was written beside the input, and no temporary file was left.
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll(QStringLiteral("in.kvl"));
    QCOMPARE(left, QStringList());
}

void TestUiExport::toolFifoInputDoesNotHang() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.kvl"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const ToolRun r = runTool({fifo, dir.filePath(QStringLiteral("out.ipuz"))});
    QCOMPARE(r.status, 1); // -1 would mean it had to be killed
    QVERIFY(r.err.contains("not a regular file"));
}

void TestUiExport::toolFullDiskKeepsOldFile() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("small.kvl"));
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), in));
    const QString out = dir.filePath(QStringLiteral("old.pdf"));
    const QByteArray old("an older export, to be kept");
    writeFile(out, old);
    // The PDF is some kilobytes; the limit lets the small input be read and
    // the first part of the output be written, then writes fail.
    const ToolRun r = runTool({in, out}, 2048);
    QCOMPARE(r.status, 4);
    QVERIFY2(r.err.contains("could not be written"), r.err.constData());
    QCOMPARE(readAll(out), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestUiExport::toolRefusesItsOwnInput_data() {
    QTest::addColumn<QString>("input"); // the crossword file's name
    QTest::addColumn<QString>("out");   // "IN" is the input's own path
    QTest::addColumn<QString>("link");  // "soft" or "hard": out made as a link to IN
    QTest::addColumn<QStringList>("options");
    QTest::newRow("ipuz, same name") << "g.kvl"
                                     << "IN"
                                     << "" << QStringList{"--format", "ipuz"};
    QTest::newRow("pdf, same name") << "g.kvl"
                                    << "IN"
                                    << "" << QStringList{"--format", "pdf"};
    QTest::newRow("through a link") << "g.kvl"
                                    << "o.ipuz"
                                    << "soft" << QStringList{};
    QTest::newRow("hard link") << "g.kvl"
                               << "o.puz"
                               << "hard" << QStringList{};
    QTest::newRow("svg solution is the input") << "g-solution.svg"
                                               << "g.svg"
                                               << "" << QStringList{"--format", "svg"};
}

// OUT that is IN, by name, through a link or as a hard link (or the SVG's
// second file that is IN) is refused with exit 2, and IN stays as it was.
void TestUiExport::toolRefusesItsOwnInput() {
    QFETCH(QString, input);
    QFETCH(QString, out);
    QFETCH(QString, link);
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    const QString in = dir.filePath(input);
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), in));
    const QByteArray kvl = readAll(in);
    const QString target = out == QStringLiteral("IN") ? in : dir.filePath(out);
    if (link == QStringLiteral("soft"))
        QVERIFY(QFile::link(in, target));
    if (link == QStringLiteral("hard"))
        QCOMPARE(::link(QFile::encodeName(in).constData(), QFile::encodeName(target).constData()),
                 0);
    const QStringList before =
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    const ToolRun r = runTool(options + QStringList{in, target});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains("is the crossword file"), r.err.constData());
    QCOMPARE(readAll(in), kvl);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), before);
}

// The puzzle and the solution are replaced both or neither: a folder in the
// solution's place, or a solution that does not fit on the "disk" though the
// puzzle does, leaves both old files as they were.
void TestUiExport::toolSvgPairAllOrNone() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("small.kvl"));
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), in));
    const QString puzzle = dir.filePath(QStringLiteral("t.svg"));
    const QString solution = dir.filePath(QStringLiteral("t-solution.svg"));
    writeFile(puzzle, "old puzzle");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("t-solution.svg")));
    ToolRun r = runTool({in, puzzle});
    QCOMPARE(r.status, 4);
    QVERIFY2(r.err.contains("could not be written"), r.err.constData());
    QVERIFY2(r.err.contains("is a folder"), r.err.constData());
    QCOMPARE(readAll(puzzle), QByteArray("old puzzle"));
    QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("t-solution.svg")));

    writeFile(solution, "old solution");
    const GridModel g = *readKvl(readAll(in).toStdString()).grid;
    const std::size_t small = writeSvg(g, "small", false).size();
    const std::size_t large = writeSvg(g, "small", true).size();
    QVERIFY(small < large);
    r = runToolBytes({in.toStdString(), puzzle.toStdString()}, (small + large) / 2);
    QCOMPARE(r.status, 4);
    QCOMPARE(readAll(puzzle), QByteArray("old puzzle"));
    QCOMPARE(readAll(solution), QByteArray("old solution"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);

    r = runTool({in, puzzle});
    QCOMPARE(r.status, 0);
    QCOMPARE(readAll(puzzle), bytesOf(writeSvg(g, "small", false)));
    QCOMPARE(readAll(solution), bytesOf(writeSvg(g, "small", true)));
}

// Output names are used byte for byte, for every format and the SVG's
// second file: two names that differ only in a byte that is not UTF-8 are
// two files.
void TestUiExport::toolKeepsNameBytes() {
    korvel::testing::TempDir dir;
    const std::string in = dir.file("small.kvl");
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), QString::fromStdString(in)));
    const std::string other = dir.file("other.kvl");
    korvel::testing::writeFile(other, "2,2\r\n\"AB\"\r\n\"CD\"\r\n");
    ToolRun r = runToolBytes({in, dir.file("caf\xe9.ipuz")});
    QCOMPARE(r.status, 0);
    r = runToolBytes({other, dir.file("caf\xe8.ipuz")});
    QCOMPARE(r.status, 0);
    r = runToolBytes({in, dir.file("pic\xe9.svg")});
    QCOMPARE(r.status, 0);
    r = runToolBytes({in, dir.file("p\xe9.puz")});
    QCOMPARE(r.status, 0);
    r = runToolBytes({"--format", "pdf", in, dir.file("d\xe9")});
    QCOMPARE(r.status, 0);
    QVERIFY(rawNames(dir.path) ==
            (std::vector<std::string>{"caf\xe8.ipuz", "caf\xe9.ipuz", "d\xe9", "other.kvl",
                                      "pic\xe9-solution.svg", "pic\xe9.svg", "p\xe9.puz",
                                      "small.kvl"}));
    QCOMPARE(QByteArray::fromStdString(korvel::testing::readFile(dir.file("caf\xe9.ipuz"))),
             readAll(Golden + QStringLiteral("/small.ipuz")));
    QCOMPARE(QByteArray::fromStdString(korvel::testing::readFile(dir.file("pic\xe9.svg"))),
             readAll(Golden + QStringLiteral("/small.svg")));
    QCOMPARE(QByteArray::fromStdString(korvel::testing::readFile(dir.file("pic\xe9-solution.svg"))),
             readAll(Golden + QStringLiteral("/small-solution.svg")));
}

void TestUiExport::toolRefusesReadOnlyOutput() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("small.kvl"));
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), in));
    const QString out = dir.filePath(QStringLiteral("r.ipuz"));
    writeFile(out, "kept");
    QVERIFY(QFile::setPermissions(out, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const ToolRun r = runTool({in, out});
    QCOMPARE(r.status, 4);
    QVERIFY2(r.err.contains("is read-only"), r.err.constData());
    QCOMPARE(readAll(out), QByteArray("kept"));
}

// A crossword file named U+FFFE (a character XML forbids) gives two SVG
// files that an XML parser reads to the end.
void TestUiExport::toolSvgIsXmlForAnyTitle() {
    korvel::testing::TempDir dir;
    const std::string in = dir.file("\xef\xbf\xbe.kvl");
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), QFile::decodeName(in.c_str())));
    const ToolRun r = runToolBytes({in, dir.file("x.svg")});
    QCOMPARE(r.status, 0);
    for (const char* name : {"x.svg", "x-solution.svg"}) {
        QXmlStreamReader xml(QByteArray::fromStdString(korvel::testing::readFile(dir.file(name))));
        QString title;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"title")
                title = xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(title, QString(QChar(0xFFFD)));
    }
}

// Names and causes reach the terminal with their control bytes escaped.
void TestUiExport::toolEscapesControlBytes() {
    korvel::testing::TempDir dir;
    ToolRun r = runToolBytes({dir.file("in\x1b[31m\x07.kvl"), dir.file("o.ipuz")});
    QCOMPARE(r.status, 1);
    QVERIFY2(!hasEscape(r.err), r.err.constData());
    QVERIFY2(r.err.contains("in\\x1b[31m\\x07.kvl"), r.err.constData());
    const std::string in = dir.file("small.kvl");
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), QString::fromStdString(in)));
    r = runToolBytes({in, dir.file("no\x1b]2;x\x07/o.ipuz")});
    QCOMPARE(r.status, 4);
    QVERIFY2(!hasEscape(r.err), r.err.constData());
    QVERIFY2(r.err.contains("no\\x1b]2;x\\x07/o.ipuz could not be written"), r.err.constData());
}

// SIGTERM or SIGINT while the SVG pair's scratch files exist: no scratch
// file stays, and each file is its old or its whole new self.
void TestUiExport::toolSignalLeavesNoScratchFile() {
    korvel::testing::TempDir dir;
    const std::string in = dir.file("small.kvl");
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), QString::fromStdString(in)));
    const GridModel g = *readKvl(korvel::testing::readFile(in)).grid;
    const std::string puzzle = writeSvg(g, "small", false);
    const std::string solution = writeSvg(g, "small", true);
    std::filesystem::create_directory(dir.file("work"));
    const std::string out = dir.file("work/t.svg");
    const std::string second = dir.file("work/t-solution.svg");
    int interrupted = 0;
    for (const int sig : {SIGTERM, SIGINT}) {
        for (const int nth : {1, 2, 1, 2}) {
            korvel::testing::writeFile(out, "old");
            korvel::testing::writeFile(second, "old");
            const korvel::testing::SignalledRun run = korvel::testing::signalOnScratch(
                korvel::testing::execChild({KORVEL_EXPORT_TOOL, in, out}), dir.file("work"), sig,
                nth);
            QVERIFY(run.killedBySignal(sig) || run.exitedWith(0));
            QVERIFY(rawNames(dir.file("work")) ==
                    (std::vector<std::string>{"t-solution.svg", "t.svg"}));
            const std::string a = korvel::testing::readFile(out);
            const std::string b = korvel::testing::readFile(second);
            // Both old or both new, never one of each.
            QVERIFY((a == "old" && b == "old") || (a == puzzle && b == solution));
            interrupted += run.signalSent && run.killedBySignal(sig) && b == "old";
        }
    }
    QVERIFY2(interrupted > 0, "no signal landed before the files were replaced");
}

// korvel-export under a file-size limit, with SIGXFSZ at its default as a
// shell leaves it: the signal used to kill the tool and leave a scratch file.
// Now the solution that does not fit fails the write ("File too large", exit
// 4), and both SVG files stay old.
void TestUiExport::toolFileSizeSignalFailsTheWrite() {
    korvel::testing::TempDir dir;
    const std::string in = dir.file("small.kvl");
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), QString::fromStdString(in)));
    const GridModel g = *readKvl(korvel::testing::readFile(in)).grid;
    const std::size_t small = writeSvg(g, "small", false).size();
    const std::size_t large = writeSvg(g, "small", true).size();
    korvel::testing::writeFile(dir.file("t.svg"), "old puzzle");
    korvel::testing::writeFile(dir.file("t-solution.svg"), "old solution");
    const ToolRun r = runToolBytes({in, dir.file("t.svg")}, (small + large) / 2, true);
    QCOMPARE(r.status, 4);
    QVERIFY2(r.err.contains("File too large"), r.err.constData());
    QCOMPARE(korvel::testing::readFile(dir.file("t.svg")), std::string("old puzzle"));
    QCOMPARE(korvel::testing::readFile(dir.file("t-solution.svg")), std::string("old solution"));
    QVERIFY(rawNames(dir.path) ==
            (std::vector<std::string>{"small.kvl", "t-solution.svg", "t.svg"}));
}

// The export of an SVG pair (what korvel-export and File > Export run), in a
// process set up as they set theirs up, gets SIGTERM, SIGINT, SIGHUP or
// SIGXFSZ after the puzzle is renamed into place and before the solution is:
// it ends (or, for SIGXFSZ, goes on) only once both are new. The old puzzle, exchanged out under
// its scratch name, used to be removed by the signal while the solution stayed old.
void TestUiExport::svgPairSignalBetweenRenamesLeavesBothNew() {
    korvel::testing::TempDir dir;
    const GridModel g = *readKvl(readAll(Golden + QStringLiteral("/small.kvl")).toStdString()).grid;
    Puzzle p;
    p.grid = g;
    p.details.title = "small";
    const std::string puzzle = writeSvg(g, "small", false);
    const std::string solution = writeSvg(g, "small", true);
    for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGXFSZ}) {
        for (const bool secondThread : {false, true}) {
            korvel::testing::writeFile(dir.file("t.svg"), "old puzzle");
            korvel::testing::writeFile(dir.file("t-solution.svg"), "old solution");
            const korvel::testing::SignalledRun run = korvel::testing::signalBetweenRenames(
                [&] {
                    return exportPuzzleToPath(p, ExportFormat::Svg, dir.file("t.svg"), PageSetup{})
                                   .ok
                               ? 0
                               : 1;
                },
                sig, 1, secondThread);
            QVERIFY(run.signalSent);
            // SIGXFSZ from outside ends nothing: the export goes on and
            // succeeds.
            QVERIFY2(sig == SIGXFSZ ? run.exitedWith(0) : run.killedBySignal(sig),
                     qPrintable(QString::number(run.status)));
            QCOMPARE(korvel::testing::readFile(dir.file("t.svg")), puzzle);
            QCOMPARE(korvel::testing::readFile(dir.file("t-solution.svg")), solution);
            QVERIFY(rawNames(dir.path) == (std::vector<std::string>{"t-solution.svg", "t.svg"}));
        }
    }
}

void TestUiExport::toolReadsHostileTextsWhole_data() {
    QTest::addColumn<QByteArray>("html"); // the .ipuz title, as the file holds it
    QTest::addColumn<QByteArray>("text"); // the title as read
    QTest::addColumn<QString>("out");
    const QByteArray amps(800'000, '&');
    QTest::newRow("800,000 &") << amps << amps << "t.ipuz";
    QTest::newRow("&amp without ;")
        << QByteArray("&amp").repeated(200'000) << QByteArray("&amp").repeated(200'000) << "t.ipuz";
    QTest::newRow("400,000 unclosed tags")
        << QByteArray("<a").repeated(400'000) << QByteArray("<a").repeated(400'000) << "t.ipuz";
    QTest::newRow("tags closed at the end")
        << QByteArray("<a").repeated(200'000) + "> x &lt;" << QByteArray(" x <") << "t.ipuz";
    QTest::newRow("a word of 400,000 letters")
        << QByteArray(400'000, 'W') << QByteArray(400'000, 'W') << "t.svg";
}

// Titles of hostile shapes in an .ipuz through korvel-export: the reading
// and the SVG title used to take seconds to minutes (a search to the end of
// the title for every "&" or "<", a count of the rest of a long word for
// every line); each is read whole and right. The timings are in
// bench_hostile.
void TestUiExport::toolReadsHostileTextsWhole() {
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, text);
    QFETCH(QString, out);
    korvel::testing::TempDir dir;
    const std::string in = dir.file("in.ipuz");
    korvel::testing::writeFile(
        in, "{\"version\": \"http://ipuz.org/v2\", \"kind\": [\"http://ipuz.org/crossword#1\"], "
            "\"dimensions\": {\"width\": 3, \"height\": 2}, \"puzzle\": [[1, 0, 2], [0, \"#\", "
            "0]], \"solution\": [[\"C\", \"A\", \"T\"], [\"A\", \"#\", \"E\"]], \"title\": " +
                jsonString(html.toStdString()) + "}");
    const ToolRun r = runToolBytes({in, dir.file(out.toStdString())});
    QCOMPARE(r.status, 0);
    const std::string written = korvel::testing::readFile(dir.file(out.toStdString()));
    if (out.endsWith(QStringLiteral(".ipuz"))) {
        const PuzzleReadResult back = puzzleFromIpuz(written);
        QVERIFY2(back.puzzle.has_value(), back.error.c_str());
        QVERIFY(back.puzzle->details.title == text.toStdString());
        return;
    }
    // The SVG: the title element whole, and the lines drawn above the grid
    // (the bold text element, its first line and then one tspan a line)
    // together the title, which is one word.
    QXmlStreamReader xml(QByteArray::fromStdString(written));
    QString title;
    QString drawn;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"title")
            title = xml.readElementText();
        else if (xml.name() == u"text" &&
                 xml.attributes().value(QStringLiteral("font-weight")) == QStringLiteral("bold") &&
                 drawn.isEmpty())
            drawn = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(title.toLatin1(), text);
    QCOMPARE(drawn.toLatin1(), text);
    QVERIFY(QByteArray::fromStdString(written).count("<tspan") > 1000);
}

void TestUiExport::toolTellsWhatTheReadingLeftOut_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("said");    // in what korvel-export prints
    QTest::addColumn<QByteArray>("notSaid"); // what it used to print instead
    PuzPuzzle p;
    p.width = 2;
    p.height = 2;
    p.solution = "ABCD";
    p.state = "----";
    p.clues = {"One", "Two", "Three", "Four"};
    const std::string puz = encodePuz(p);
    QTest::newRow("a timer cut short")
        << QByteArray::fromStdString(puz + std::string("LTIM\x08\0\0\0"
                                                       "42",
                                                       10))
        << "t.puz"
        << QByteArray("The file ends inside its LTIM section, which Korvel does not read")
        << QByteArray("circles or rebus squares");
    PuzPuzzle rebus = p;
    rebus.rebusGrid = std::string("\1\0\0\0", 4);
    rebus.rebusTable = " 0:1B;";
    QTest::newRow("a rebus starting with a digit")
        << QByteArray::fromStdString(encodePuz(rebus)) << "r.puz"
        << QByteArray("1 cell held more than one letter A to Z") << QByteArray("rebus square");
    std::string clues;
    for (int i = 0; i < MaxUnplacedClues + 3; ++i)
        clues += (i == 0 ? "\"c" : ", \"c") + std::to_string(i) + "\"";
    QTest::newRow("clues past the cap")
        << QByteArray::fromStdString(
               "{\"version\": \"http://ipuz.org/v2\", \"kind\": [\"http://ipuz.org/crossword#1\"], "
               "\"dimensions\": {\"width\": 2, \"height\": 2}, \"puzzle\": [[1, 2], [3, 0]], "
               "\"clues\": {\"Across\": [" +
               clues + "]}}")
        << "c.ipuz"
        << QByteArray("3 more clues without a word were left out: Korvel keeps at most 1000 of "
                      "them.")
        << QByteArray("could not be read");
}

// What korvel-export prints on reading a puzzle says what happened: a timer
// section cut short is no damaged circles or rebus squares, a rebus that
// starts with a digit leaves its square empty (not "keeps its first
// letter"), and clues past the 1,000-unplaced cap are told apart from
// entries that could not be read. Each file is still exported.
void TestUiExport::toolTellsWhatTheReadingLeftOut() {
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    QFETCH(QByteArray, said);
    QFETCH(QByteArray, notSaid);
    QTemporaryDir dir;
    const QString in = dir.filePath(name);
    writeFile(in, file);
    const ToolRun r = runTool({in, dir.filePath(QStringLiteral("out.ipuz"))});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.contains(said), r.err.constData());
    QVERIFY2(!r.err.contains(notSaid), r.err.constData());
}

// Korvel's own list of unplaced clues with keys and lengths no grid has
// (negative, and 2^64 - 1, which used to wrap to -1): korvel-export keeps
// every text and writes back only values it can read again.
void TestUiExport::toolKeepsUnplacedCluesInRange() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("k.ipuz"));
    writeFile(in,
              "{\"version\": \"http://ipuz.org/v2\", \"kind\": [\"http://ipuz.org/crossword#1\"], "
              "\"dimensions\": {\"width\": 2, \"height\": 2}, \"puzzle\": [[1, 2], [3, 0]], "
              "\"org.korvel:unplaced\": ["
              "{\"row\": -1, \"column\": -7, \"direction\": \"Across\", \"length\": -3, "
              "\"clue\": \"first\"}, "
              "{\"row\": 18446744073709551615, \"column\": 0, \"direction\": \"Down\", "
              "\"length\": 18446744073709551615, \"clue\": \"second\"}]}");
    const QString out = dir.filePath(QStringLiteral("out.ipuz"));
    ToolRun r = runTool({in, out});
    QCOMPARE(r.status, 0);
    const QByteArray written = readAll(out);
    QVERIFY2(!written.contains(": -"), written.constData());
    const PuzzleReadResult back = puzzleFromIpuz(written.toStdString());
    QVERIFY(back.puzzle.has_value());
    QCOMPARE(back.puzzle->clues.size(), std::size_t(2));
    for (const Clue& c : back.puzzle->clues) {
        QCOMPARE(c.key.row, MaxRows);
        QVERIFY(c.key.column >= 0);
        QCOMPARE(c.length, int16_t{0});
    }
    QCOMPARE(back.puzzle->clues[0].text + back.puzzle->clues[1].text, std::string("firstsecond"));
    // Written again, the same bytes.
    r = runTool({out, dir.filePath(QStringLiteral("again.ipuz"))});
    QCOMPARE(r.status, 0);
    QCOMPARE(readAll(dir.filePath(QStringLiteral("again.ipuz"))), written);
}

// ---------------------------------------------------------------- pages

void TestUiExport::pdfHasTwoPages_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::newRow("smallest") << 2 << 2;
    QTest::newRow("tall") << 25 << 2;
    QTest::newRow("wide") << 2 << 35;
    QTest::newRow("largest") << 25 << 35;
}

void TestUiExport::pdfHasTwoPages() {
    QFETCH(int, rows);
    QFETCH(int, columns);
    GridModel g = GridModel::make(static_cast<int16_t>(rows), static_cast<int16_t>(columns));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            g.setCell(r, c,
                      (r * 7 + c * 3) % 5 == 0 ? BLACK : static_cast<char>('A' + (r + c) % 26));
    const QByteArray pdf = gridPdf(g, QStringLiteral("Pages"));
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(pdfPages(pdf), 2);
    QCOMPARE(pdfDeclaredPages(pdf), 2);
    QVERIFY(gridPdf(GridModel{}, QString()).isEmpty());
}

void TestUiExport::writeFailureInProcessKeepsOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grid.ipuz"));
    const QByteArray old("old contents");
    writeFile(path, old);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit low = saved;
    low.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &low), 0);
    QString why;
    const bool ok = writeFileSafely(path, QByteArray(64 * 1024, 'x'), &why);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    QVERIFY(!ok);
    QVERIFY(!why.isEmpty());
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("grid.ipuz")});
    // And a write that fits goes through.
    QVERIFY(writeFileSafely(path, QByteArray("new"), &why));
    QCOMPARE(readAll(path), QByteArray("new"));
}

void TestUiExport::cluesFlowOverPagesInOrder() {
    // The largest grid with a long clue for every slot but one, and a clue
    // that fits no slot.
    Puzzle p = cluedPuzzle(25, 35);
    const Slots words = Slots::of(p.grid);
    const Slot bare = words.down()[3];
    std::erase_if(p.clues, [&](const Clue& c) {
        return c.key == ClueKey{bare.row, bare.column, Direction::Down};
    });
    p.clues.push_back(Clue{{0, 1, Direction::Across}, 99, "Unplaced", {}, {}});
    p.details.title = "Big";
    QTemporaryDir dir;
    const QString pdf = saved(dir, QStringLiteral("big.pdf"), puzzlePdf(p, PageSetup{}));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Page size")), QStringLiteral("842 x 595 pts (A4)"));
    const int pages = pdfInfo(pdf, QStringLiteral("Pages")).toInt();
    QVERIFY(pages >= 4);

    const QString all = pdfText(pdf);
    qsizetype at = all.indexOf(QStringLiteral("Across"));
    QVERIFY(at > 0);
    for (const Slot& s : words.all()) {
        if (s == words.down().front())
            at = all.indexOf(QStringLiteral("Down"), at);
        if (s == bare)
            continue;
        const qsizetype next = all.indexOf(clueText(s), at);
        QVERIFY2(next > at, qPrintable(clueText(s)));
        at = next;
    }
    // The slot without a clue keeps its number between its neighbours.
    const Slot after = words.down()[4];
    QVERIFY(all.contains(
        QStringLiteral("column %1 %2 %3").arg(bare.number).arg(after.number).arg(clueText(after))));
    QVERIFY(!all.contains(QStringLiteral("Unplaced")));
    int withClues = 0;
    for (int i = 1; i < pages; ++i)
        withClues += pdfText(pdf, i).contains(QStringLiteral("Clue "));
    QVERIFY(withClues >= 2);
    QVERIFY(pdfText(pdf, pages).startsWith(QStringLiteral("Big (solution) ")));
}

void TestUiExport::longTitleIsWhole_data() {
    QTest::addColumn<bool>("clues");
    QTest::newRow("grid only") << false;
    QTest::newRow("with clues") << true;
}

void TestUiExport::longTitleIsWhole() {
    QFETCH(bool, clues);
    QStringList words;
    for (int i = 0; i < 45; ++i)
        words << QStringLiteral("word%1").arg(i);
    Puzzle p = clues ? cluedPuzzle(9, 9) : Puzzle{patternGrid(9, 9), {}, {}, {}};
    const QString title = words.join(QLatin1Char(' '));
    p.details.title = title.toStdString();
    QTemporaryDir dir;
    const QString pdf = saved(dir, QStringLiteral("t.pdf"), puzzlePdf(p, PageSetup{}));
    const int pages = pdfInfo(pdf, QStringLiteral("Pages")).toInt();
    QCOMPARE(pages, 2);
    QVERIFY(pdfText(pdf, 1).startsWith(title + QLatin1Char(' ')));
    QVERIFY(pdfText(pdf, 2).startsWith(title + QStringLiteral(" (solution) ")));
}

void TestUiExport::paperAndOrientation_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("size");
    const QString a4 = QStringLiteral("595 x 842 pts (A4)");
    const QString a4Wide = QStringLiteral("842 x 595 pts (A4)");
    const QString letter = QStringLiteral("612 x 792 pts (letter)");
    const QString letterWide = QStringLiteral("792 x 612 pts (letter)");
    // A small wide grid has its largest cells on a portrait page already.
    QTest::newRow("small wide") << 3 << 4 << QStringList{} << "C.UTF-8" << a4;
    QTest::newRow("tall") << 25 << 2 << QStringList{} << "C.UTF-8" << a4;
    QTest::newRow("wide") << 2 << 35 << QStringList{} << "C.UTF-8" << a4Wide;
    QTest::newRow("largest") << 25 << 35 << QStringList{} << "C.UTF-8" << a4Wide;
    QTest::newRow("letter") << 25 << 2 << QStringList{"--paper", "letter"} << "C.UTF-8" << letter;
    QTest::newRow("letter wide") << 25 << 35 << QStringList{"--paper=letter"} << "C.UTF-8"
                                 << letterWide;
    QTest::newRow("US locale") << 15 << 15 << QStringList{} << "en_US.UTF-8" << letter;
    QTest::newRow("a4 beats locale")
        << 15 << 15 << QStringList{"--paper", "a4"} << "en_US.UTF-8" << a4;
    QTest::newRow("submission wide")
        << 25 << 35 << QStringList{"--layout", "submission"} << "de_DE.UTF-8" << a4Wide;
}

void TestUiExport::paperAndOrientation() {
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QStringList, options);
    QFETCH(QString, locale);
    QFETCH(QString, size);
    QTemporaryDir dir;
    const QString in = saved(dir, QStringLiteral("g.kvl"), kvlOf(patternGrid(rows, columns)));
    const QString out = dir.filePath(QStringLiteral("g.pdf"));
    const ToolRun r = runTool(options + QStringList{in, out}, 0, locale);
    QCOMPARE(r.status, 0);
    QCOMPARE(pdfInfo(out, QStringLiteral("Page size")), size);
}

void TestUiExport::submissionLayout() {
    QTemporaryDir dir;
    const QString pdf = saved(
        dir, QStringLiteral("s.pdf"),
        puzzlePdf(submissionPuzzle(), {Paper::A4, PageOrientation::Auto, PrintLayout::Submission}));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("3"));
    QCOMPARE(pdfText(pdf, 1),
             Contact +
                 QStringLiteral(" Small (solution) 1 2 3 4 5 6 7 8 9 C A T S A R I A B O Y S N E "
                                "S T E A R"));
    QCOMPARE(pdfText(pdf, 2), Contact + QStringLiteral(" Small 1 2 3 4 5 6 7 8 9"));
    QCOMPARE(pdfText(pdf, 3),
             Contact + QStringLiteral(" Small (clues) Across 1 Pets that purr CATS 5 Solo song "
                                      "ARIA 6 Young men BOYS 7 Bird's home NEST 9 Noble (4) EAR? "
                                      "Down 1 Taxi CAB 2 Città, in a way ARONE 3 TIYEA 4 Sass, "
                                      "roughly SASSR 8 Half a tile T?"));

    // A table over several pages has the contact on top of each.
    Puzzle big = cluedPuzzle(25, 35);
    big.details = submissionPuzzle().details;
    const QString many =
        saved(dir, QStringLiteral("m.pdf"),
              puzzlePdf(big, {Paper::Letter, PageOrientation::Portrait, PrintLayout::Submission}));
    const int pages = pdfInfo(many, QStringLiteral("Pages")).toInt();
    QVERIFY(pages >= 5);
    for (int i = 1; i <= pages; ++i)
        QVERIFY(pdfText(many, i).startsWith(Contact + QLatin1Char(' ')));
    QCOMPARE(pdfInfo(many, QStringLiteral("Page size")), QStringLiteral("612 x 792 pts (letter)"));
}

void TestUiExport::submissionFromTool() {
    // A .kvl file has no clues: the table lists every number and answer,
    // and there is no contact; the bytes are the same every run but the date.
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("small.kvl"));
    QVERIFY(QFile::copy(Golden + QStringLiteral("/small.kvl"), in));
    QByteArray first;
    for (const QString& name : {QStringLiteral("a.pdf"), QStringLiteral("b.pdf")}) {
        const QString out = dir.filePath(name);
        const ToolRun r =
            runTool({QStringLiteral("--layout"), QStringLiteral("submission"), in, out});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(pdfInfo(out, QStringLiteral("Pages")), QStringLiteral("3"));
        QCOMPARE(pdfText(out, 3),
                 QStringLiteral("small (clues) Across 1 CATS 3 BOYS Down 1 CAB 2 TOY"));
        if (first.isEmpty())
            first = fixedDate(readAll(out));
        else
            QVERIFY(fixedDate(readAll(out)) == first);
    }
}

void TestUiExport::bylineAndLanguageFromTool_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("puzzlePage");
    QTest::addColumn<QString>("solutionPage");
    const QString clues =
        QStringLiteral("1 Pets that purr 5 Solo song 6 Young men 7 Bird's home 9 Noble %1 "
                       "1 Taxi 2 Città, in a way 3 4 Sass, roughly 8 Half a tile");
    QTest::newRow("Italian")
        << QStringLiteral("it")
        << QStringLiteral("Small di Anna Rossi 1 2 3 4 5 6 7 8 9 Orizzontali ") +
               clues.arg(QStringLiteral("Verticali")) + QStringLiteral(" \u00A9 2024 Anna Rossi")
        << QStringLiteral("Small (soluzione) 1 2 3 4 5 6 7 8 9 C A T S A R I A B O Y S N E S T E "
                          "A R \u00A9 2024 Anna Rossi");
    QTest::newRow("English")
        << QStringLiteral("en")
        << QStringLiteral("Small By Anna Rossi 1 2 3 4 5 6 7 8 9 Across ") +
               clues.arg(QStringLiteral("Down")) + QStringLiteral(" \u00A9 2024 Anna Rossi")
        << QStringLiteral("Small (solution) 1 2 3 4 5 6 7 8 9 C A T S A R I A B O Y S N E S T E "
                          "A R \u00A9 2024 Anna Rossi");
    // A language not set prints as before: English.
    QTest::newRow("not set")
        << QString()
        << QStringLiteral("Small By Anna Rossi 1 2 3 4 5 6 7 8 9 Across ") +
               clues.arg(QStringLiteral("Down")) + QStringLiteral(" \u00A9 2024 Anna Rossi")
        << QStringLiteral("Small (solution) 1 2 3 4 5 6 7 8 9 C A T S A R I A B O Y S N E S T E "
                          "A R \u00A9 2024 Anna Rossi");
}

void TestUiExport::bylineAndLanguageFromTool() {
    // The puzzle as an .ipuz: its author under the title, its copyright at
    // the foot of each page, its headings in its language.
    QFETCH(QString, language);
    QFETCH(QString, puzzlePage);
    QFETCH(QString, solutionPage);
    Puzzle p = submissionPuzzle();
    // Without its clue that lost its word, which the reading would tell.
    std::erase_if(p.clues, [](const Clue& c) { return c.text == "Unplaced"; });
    p.details.contactName.clear();
    p.details.author = "Anna Rossi";
    p.details.copyright = "2024 Anna Rossi";
    p.details.language = language.toStdString();
    QTemporaryDir dir;
    const QString in = saved(dir, QStringLiteral("small.ipuz"), bytesOf(writeIpuz(p, "")));
    const QString out = dir.filePath(QStringLiteral("small.pdf"));
    const ToolRun r = runTool({in, out});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(pdfInfo(out, QStringLiteral("Pages")), QStringLiteral("2"));
    QCOMPARE(pdfText(out, 1), puzzlePage);
    QCOMPARE(pdfText(out, 2), solutionPage);
    // The copyright says it is one already: no second sign.
    p.details.copyright = "Copyright 2024 Anna Rossi";
    saved(dir, QStringLiteral("small.ipuz"), bytesOf(writeIpuz(p, "")));
    QCOMPARE(runTool({in, out}).status, 0);
    QVERIFY(pdfText(out, 2).endsWith(QStringLiteral(" Copyright 2024 Anna Rossi")));

    // Clues flowing over several pages: the copyright at the foot of each.
    Puzzle big = cluedPuzzle(25, 35);
    big.details.copyright = "2024 Anna Rossi";
    const QString many = saved(dir, QStringLiteral("m.pdf"), puzzlePdf(big, {}));
    const int pages = pdfInfo(many, QStringLiteral("Pages")).toInt();
    QVERIFY(pages >= 3);
    for (int i = 1; i <= pages; ++i)
        QVERIFY2(pdfText(many, i).endsWith(QStringLiteral(" \u00A9 2024 Anna Rossi")),
                 qPrintable(pdfText(many, i)));
}

void TestUiExport::submissionNamesTheAuthorWithoutAContact() {
    Puzzle p = submissionPuzzle();
    p.details.contactName.clear();
    p.details.author = "Ann Author";
    p.details.language = "it";
    QTemporaryDir dir;
    const QString pdf =
        saved(dir, QStringLiteral("s.pdf"),
              puzzlePdf(p, {Paper::A4, PageOrientation::Auto, PrintLayout::Submission}));
    const QString rest = QStringLiteral("Via Roma 1 00100 Roma anna@example.org");
    QVERIFY2(pdfText(pdf, 1).startsWith(QStringLiteral("Ann Author ") + rest +
                                        QStringLiteral(" Small (soluzione)")),
             qPrintable(pdfText(pdf, 1)));
    QVERIFY2(pdfText(pdf, 3).startsWith(QStringLiteral("Ann Author ") + rest +
                                        QStringLiteral(" Small (definizioni) Orizzontali")),
             qPrintable(pdfText(pdf, 3)));
    // The contact's own name comes first.
    p.details.contactName = "Anna Rossi";
    saved(dir, QStringLiteral("s.pdf"),
          puzzlePdf(p, {Paper::A4, PageOrientation::Auto, PrintLayout::Submission}));
    QVERIFY(pdfText(pdf, 1).startsWith(Contact + QLatin1Char(' ')));
}

// ---------------------------------------------------------------- window

void TestUiExport::fileMenuGainsExportAndPrint() {
    Harness h;
    QVERIFY(h.loaded());
    QStringList texts;
    for (QAction* a : h.w().fileMenu()->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(texts, (QStringList{"New...", "Open...", "Save", "Save as...", "Puzzle Details...",
                                 "-", "Export", "Print...", "-", "Exit"}));
    QVERIFY(!h.item("Esporta")->isEnabled());
    QVERIFY(!h.item("Stampa")->isEnabled());
    emit h.w().fileMenu()->aboutToShow();
    QVERIFY(!h.item("Esporta")->isEnabled());
    QVERIFY(!h.item("Stampa")->isEnabled());
    // Without a grid the handlers do nothing.
    h.w().Esporta_Click();
    h.w().Stampa_Click();
    QVERIFY(h.desktop.shown.isEmpty());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    emit h.w().fileMenu()->aboutToShow();
    QVERIFY(h.item("Esporta")->isEnabled());
    QVERIFY(h.item("Stampa")->isEnabled());
    // The specified items keep their states.
    QVERIFY(!h.item("Salva")->isEnabled());
    QVERIFY(h.item("Salvacome")->isEnabled());
}

void TestUiExport::exportFromWindow_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("second");
    QTest::newRow("ipuz by filter") << "grid" << 0 << "grid.ipuz"
                                    << "";
    QTest::newRow("puz by filter") << "grid" << 1 << "grid.puz"
                                   << "";
    QTest::newRow("pdf by filter") << "grid" << 2 << "grid.pdf"
                                   << "";
    QTest::newRow("svg by filter") << "grid" << 3 << "grid.svg"
                                   << "grid-solution.svg";
    QTest::newRow("name beats filter") << "grid.PUZ" << 0 << "grid.PUZ"
                                       << "";
    QTest::newRow("unknown filter keeps ipuz") << "grid" << -1 << "grid.ipuz"
                                               << "";
}

void TestUiExport::exportFromWindow() {
    QFETCH(QString, typed);
    QFETCH(int, filter);
    QFETCH(QString, written);
    QFETCH(QString, second);
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    // A saved grid, then one change: the export must not touch either.
    h.desktop.fileAnswers << h.path(QStringLiteral("small.kvl"));
    h.w().Salvacome_Click();
    layCell(h.w(), 0, 0, 'C');
    h.w().document().edit([](DocumentEdit& e) { e.setDocumentChanged(true); });
    const QString caption = h.w().windowTitle();
    const QString current = QDir::currentPath();
    h.desktop.clear();

    h.exportAs(h.path(typed), filter);
    QCOMPARE(h.desktop.shown.size(), 1);
    const ScriptedDesktop::Shown& dialog = h.desktop.shown.first();
    QCOMPARE(dialog.kind, QStringLiteral("export"));
    QCOMPARE(dialog.title, QStringLiteral("Export the grid"));
    QCOMPARE(dialog.proposal, QStringLiteral("small.ipuz"));
    QCOMPARE(dialog.folder, QDir(h.dir.path()).absolutePath());
    QCOMPARE(dialog.text.split(QStringLiteral(";;")).size(), 5); // and the submission PDF

    const QByteArray bytes = readAll(h.path(written));
    const GridModel& g = h.w().grid();
    const ExportFormat format = *formatFromPath(written.toStdString());
    switch (format) {
    case ExportFormat::Ipuz:
        QCOMPARE(bytes, bytesOf(writeIpuz(g, "small")));
        break;
    case ExportFormat::Puz:
        QCOMPARE(bytes, readAll(Golden + QStringLiteral("/small-titled.puz")));
        break;
    case ExportFormat::Svg:
        QCOMPARE(bytes, bytesOf(writeSvg(g, "small", false)));
        QCOMPARE(readAll(h.path(second)), bytesOf(writeSvg(g, "small", true)));
        break;
    case ExportFormat::Pdf:
        QCOMPARE(pdfPages(bytes), 2);
        break;
    }
    QCOMPARE(h.w().DocumentChanged(), int16_t(1));
    QCOMPARE(h.w().CurrentFile(), h.path(QStringLiteral("small.kvl")));
    QCOMPARE(h.w().windowTitle(), caption);
    QCOMPARE(QDir::currentPath(), current);
    QCOMPARE(h.desktop.boxes().size(), 0);

    // The next export proposes the format chosen last.
    h.desktop.clear();
    h.choose("Esporta");
    QCOMPARE(h.desktop.shown.first().proposal,
             QStringLiteral("small") + QString::fromLatin1(formatExtension(format).data()));
}

void TestUiExport::exportNumbersFollowTheWindow() {
    // Every placement of blacks on a 3 x 3 grid: the numbers and word lists
    // of the exported .ipuz are the ones the window draws.
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3));
    const QString out = h.path(QStringLiteral("n.ipuz"));
    for (unsigned mask = 0; mask < 512; ++mask) {
        QStringList rows;
        for (int r = 0; r < 3; ++r) {
            QString row;
            for (int c = 0; c < 3; ++c)
                row += (mask >> (r * 3 + c)) & 1 ? QLatin1Char('#') : QLatin1Char('E');
            rows << row;
        }
        h.setRows(rows);
        // Each export makes the file anew: this is about the numbers, not
        // the question before replacing one.
        QFile::remove(out);
        h.exportAs(out, 0);
        const QByteArray bytes = readAll(out);
        const std::vector<int> shown = h.w().document().wordSlots().numbers();
        const QRegularExpression puzzle(QStringLiteral("\"puzzle\": \\[(.*?)\\n  \\]"),
                                        QRegularExpression::DotMatchesEverythingOption);
        QString cells = puzzle.match(QString::fromUtf8(bytes)).captured(1);
        cells.remove(QRegularExpression(QStringLiteral("[\\[\\]\\s]")));
        const QStringList items = cells.split(QLatin1Char(','));
        QCOMPARE(items.size(), 9);
        for (int i = 0; i < 9; ++i) {
            const bool black = (mask >> i) & 1;
            QCOMPARE(items[i], black ? QStringLiteral("\"#\"") : QString::number(shown[i]));
        }
        QCOMPARE(bytes, bytesOf(writeIpuz(h.w().grid(), "n")));
    }
}

void TestUiExport::exportRefusalShowsMessage() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, {QStringLiteral("CATS"), QStringLiteral("A#O#")}));
    h.desktop.clear();
    h.exportAs(h.path(QStringLiteral("holes")), 1);
    const QList<ScriptedDesktop::Shown> boxes = h.desktop.boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().title, QStringLiteral("Export"));
    QCOMPARE(boxes.first().text,
             QStringLiteral("The .puz format needs every answer letter, and 4 white cells are "
                            "still empty (the first in row 3, column 1). Fill the grid, then "
                            "export it again."));
    QCOMPARE(boxes.first().icon, MsgIcon::Exclamation);
    QCOMPARE(h.desktop.beeps, 1);
    QVERIFY(!QFile::exists(h.path(QStringLiteral("holes.puz"))));
    // The same grid goes to .ipuz with its empty cells as null.
    h.desktop.clear();
    h.exportAs(h.path(QStringLiteral("holes")), 0);
    QCOMPARE(h.desktop.boxes().size(), 0);
    QVERIFY(readAll(h.path(QStringLiteral("holes.ipuz"))).contains("[null, null, null, null]"));
}

void TestUiExport::exportCancelledWritesNothing() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    // A cancelled "Save as..." leaves the bare name ".kvl", which is no title.
    h.w().Salvacome_Click();
    QCOMPARE(h.w().CurrentFile(), QStringLiteral(".kvl"));
    const QStringList before = QDir(h.dir.path()).entryList(QDir::Files);
    h.desktop.clear();
    h.desktop.fileAnswers << QStringLiteral("  ");
    h.choose("Esporta");
    h.choose("Esporta"); // an empty queue cancels too
    QCOMPARE(h.desktop.shown.size(), 2);
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files), before);
    // A new grid has no file: the proposal is a plain name in the current
    // folder, and the title comes from the export's own name.
    QCOMPARE(h.desktop.shown.first().proposal, QStringLiteral("crossword.ipuz"));
    h.exportAs(h.path(QStringLiteral("Spring")), 0);
    QVERIFY(readAll(h.path(QStringLiteral("Spring.ipuz"))).contains("\"title\": \"Spring\""));
}

void TestUiExport::exportFullDiskShowsMessage() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(25, 35));
    const QString out = h.path(QStringLiteral("big.pdf"));
    const QByteArray old("the export of yesterday");
    writeFile(out, old);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit low = saved;
    low.rlim_cur = 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &low), 0);
    h.desktop.clear();
    // Yes to replacing yesterday's export; the write then fails.
    h.desktop.boxAnswers << MsgAnswer::Yes;
    h.exportAs(out, 2);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    QCOMPARE(h.desktop.boxes().size(), 2);
    QVERIFY(h.desktop.boxes().first().text.contains(QStringLiteral("already exists")));
    QVERIFY(
        h.desktop.boxes().last().text.startsWith(out + QStringLiteral(" could not be written: ")));
    QCOMPARE(readAll(out), old);
}

void TestUiExport::printFromWindow() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    const QString paper = h.path(QStringLiteral("printed.pdf"));
    h.desktop.clear();
    h.desktop.printAnswers << QString();
    h.choose("Stampa");
    QCOMPARE(h.desktop.shown.size(), 1);
    QCOMPARE(h.desktop.shown.first().kind, QStringLiteral("print"));
    QVERIFY(!QFile::exists(paper));

    h.desktop.printAnswers << paper;
    h.choose("Stampa");
    const QByteArray pdf = readAll(paper);
    QCOMPARE(pdfPages(pdf), 2);
    QCOMPARE(pdfDeclaredPages(pdf), 2);
    QCOMPARE(h.desktop.boxes().size(), 0);
    QCOMPARE(h.w().DocumentChanged(), int16_t(0));
}

void TestUiExport::submissionFromWindowAndWidePrint() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 4, SmallRows));
    h.desktop.clear();
    h.exportAs(h.path(QStringLiteral("sub")), 4);
    QCOMPARE(h.desktop.boxes().size(), 0);
    const QString pdf = h.path(QStringLiteral("sub.pdf"));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("3"));
    QCOMPARE(pdfText(pdf, 3), QStringLiteral("sub (clues) Across 1 CATS 3 BOYS Down 1 CAB 2 TOY"));
    // The next export offers the same choice.
    h.desktop.clear();
    h.exportAs(h.path(QStringLiteral("again.pdf")), 2);
    QCOMPARE(h.desktop.shown.first().proposal, QStringLiteral("crossword.pdf"));
    QCOMPARE(pdfInfo(h.path(QStringLiteral("again.pdf")), QStringLiteral("Pages")),
             QStringLiteral("2"));

    // Print starts landscape for a grid that is drawn larger so.
    QVERIFY(h.newGrid(25, 35));
    const QString paper = h.path(QStringLiteral("printed.pdf"));
    h.desktop.printAnswers << paper;
    h.choose("Stampa");
    QCOMPARE(pdfInfo(paper, QStringLiteral("Pages")), QStringLiteral("2"));
    QCOMPARE(pdfInfo(paper, QStringLiteral("Page size")).left(9), QStringLiteral("842 x 595"));
}

QTEST_MAIN(TestUiExport)
#include "test_ui_export.moc"
