// SPDX-License-Identifier: GPL-3.0-or-later
// The window's file commands and start-up under real faults: a save that
// runs into the file-size limit (with the limit's signal at its default, as
// the program starts), crossword files and settings files that are FIFOs or
// too large, and the details of a fatal loading box.
#include "filesizelimit.h"
#include "fallback.h"
#include "fillcommands.h"
#include "loader.h"
#include "mainwindow.h"
#include "scratchfiles.h"
#include "scripteddesktop.h"
#include "settingsfile.h"
#include "uiharness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <memory>

using namespace korvel;
using namespace korvel::uitest;
using korvel::testing::FileSizeLimit;

namespace {

const QString Product = QStringLiteral("  KORVEL   ");
const QString OpenSaveError = QStringLiteral("Errors in Open/Save File. Exit and retry.");

struct Harness : WindowHarness {
    explicit Harness(const QString& fixture, int16_t libraryErrors = 0) {
        addFixture(uiFixture(fixture));
        library.errors = libraryErrors;
        start(quickTimings());
    }

    // Opens a file through "Open..." and changes cell (0, 0).
    void openAndChange(const QString& file) {
        desktop.fileAnswers << file;
        w().menuApri_Click();
        change(0, 0, 'Z');
    }
};

} // namespace

class TestUiFiles : public QObject {
    Q_OBJECT

private slots:
    void saveOnAFullDiskKeepsTheFile();
    void saveRefusesAReadOnlyFile();
    void saveUnderTheFileSizeSignalKeepsTheWindow();
    void badSettingsFileDoesNotHangTheStart_data();
    void badSettingsFileDoesNotHangTheStart();
    void openRefusesFifoAndHugeFiles_data();
    void openRefusesFifoAndHugeFiles();
    void fatalLoadBoxNamesFileAndCause_data();
    void fatalLoadBoxNamesFileAndCause();
};

void TestUiFiles::saveOnAFullDiskKeepsTheFile() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    const QString file = h.path(QStringLiteral("old.kvl"));
    const QByteArray old("2,3\r\n\"ABC\"\r\n\"D?F\"\r\n");
    QVERIFY(writeAll(file, old));
    h.openAndChange(file);
    QCOMPARE(w.DocumentChanged(), int16_t{1});
    const QStringList before = QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden);

    {
        FileSizeLimit full(8);
        w.Salva_Click();
    }
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text, OpenSaveError);
    QCOMPARE(readAll(file), old);
    QCOMPARE(w.DocumentChanged(), int16_t{1});
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden), before);

    // "Save as..." to a new name makes no empty file and keeps the caption.
    const QString other = h.path(QStringLiteral("other.kvl"));
    h.desktop.fileAnswers << other;
    {
        FileSizeLimit full(8);
        w.Salvacome_Click();
    }
    QCOMPARE(h.desktop.boxes().size(), 2);
    QCOMPARE(h.desktop.boxes()[1].text, OpenSaveError);
    QVERIFY(!QFile::exists(other));
    QCOMPARE(w.windowTitle(), Product + file);
    QCOMPARE(w.DocumentChanged(), int16_t{1});

    // With room again the same command saves.
    w.Salva_Click();
    QCOMPARE(readAll(other), QByteArray("2,3\r\n\"ZBC\"\r\n\"D?F\"\r\n"));
    QCOMPARE(w.DocumentChanged(), int16_t{0});
}

// A grid file marked read-only is not replaced by Save, for root too: the
// usual error box, the file as it was, the grid still marked changed. Once
// it may be written again, Save goes through.
void TestUiFiles::saveRefusesAReadOnlyFile() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    const QString file = h.path(QStringLiteral("r.kvl"));
    const QByteArray old("2,3\r\n\"ABC\"\r\n\"D?F\"\r\n");
    QVERIFY(writeAll(file, old));
    h.openAndChange(file);
    const QStringList before = QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    w.Salva_Click();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text, OpenSaveError);
    QCOMPARE(readAll(file), old);
    QCOMPARE(w.DocumentChanged(), int16_t{1});
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden), before);

    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    w.Salva_Click();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(readAll(file), QByteArray("2,3\r\n\"ZBC\"\r\n\"D?F\"\r\n"));
    QCOMPARE(w.DocumentChanged(), int16_t{0});
}

// A Save past the file-size limit (ulimit -f) with SIGXFSZ at its default,
// as a program starts, and then what main sets up: the signal used to kill
// the window with the unsaved grid. Now the write fails as on a full disk:
// the usual error box, the old file, the grid still marked changed, no
// scratch file, and the window goes on.
void TestUiFiles::saveUnderTheFileSizeSignalKeepsTheWindow() {
    std::signal(SIGXFSZ, SIG_DFL);
    removeScratchFilesOnSignals();
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    const QString file = h.path(QStringLiteral("old.kvl"));
    const QByteArray old("2,3\r\n\"ABC\"\r\n\"D?F\"\r\n");
    QVERIFY(writeAll(file, old));
    h.openAndChange(file);
    const QStringList before = QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit lowered = saved;
    lowered.rlim_cur = 8;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    w.Salva_Click();
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text, OpenSaveError);
    QCOMPARE(readAll(file), old);
    QCOMPARE(w.DocumentChanged(), int16_t{1});
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden), before);
    w.Salva_Click();
    QCOMPARE(readAll(file), QByteArray("2,3\r\n\"ZBC\"\r\n\"D?F\"\r\n"));
    QCOMPARE(w.DocumentChanged(), int16_t{0});
}

void TestUiFiles::badSettingsFileDoesNotHangTheStart_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("organisation"); // the organisation's file, not the program's
    QTest::addColumn<QString>("cause");
    QTest::newRow("FIFO") << "fifo" << false << "is a FIFO";
    QTest::newRow("organisation's FIFO") << "fifo" << true << "is a FIFO";
    QTest::newRow("huge") << "huge" << false << "is larger than 1048576 bytes";
    QTest::newRow("folder") << "folder" << false << "is a folder";
}

// A settings file that is a FIFO used to hang the window in its constructor
// (QSettings opens it with a blocking open); a huge one was read whole. Now
// the window starts with its default settings, one box names the file and
// the cause, the file is left as it was, and the settings of the run still
// work (kept elsewhere until the program ends).
void TestUiFiles::badSettingsFileDoesNotHangTheStart() {
    QFETCH(QString, kind);
    QFETCH(bool, organisation);
    QFETCH(QString, cause);
    WindowHarness h;
    h.addFixture(uiFixture(QStringLiteral("basic")));
    const QString program = QSettings().fileName();
    QVERIFY(program.startsWith(h.settings.path()));
    const QString file =
        organisation ? QFileInfo(program).absolutePath() + QStringLiteral(".conf") : program;
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    if (kind == QLatin1String("fifo"))
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(file));
    else
        QVERIFY(writeAll(file, "[fill]\nminScore=40\n" + QByteArray(MaxSettingsBytes, '#')));
    const QFileInfo was(file);

    h.start(quickTimings());
    QVERIFY(h.loaded());
    QVERIFY(!h.desktop.ended);
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].title, QStringLiteral("Settings"));
    const QString text = h.desktop.boxes()[0].text;
    QVERIFY2(text.contains(file + QLatin1Char(' ') + cause), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("starts with its default settings")), qPrintable(text));
    // The fill's minimum in the huge file (40) was not read: the default holds.
    QCOMPARE(h.w().fillCommands()->minScore(), DefaultMinScore);

    // The settings of this run go elsewhere, and the file stays as it was.
    QVERIFY(!QSettings().fileName().startsWith(h.settings.path()));
    QSettings().setValue(QStringLiteral("probe/value"), 7);
    QCOMPARE(QSettings().value(QStringLiteral("probe/value")).toInt(), 7);
    const QFileInfo is(file);
    QCOMPARE(is.isFile(), was.isFile());
    QCOMPARE(is.isDir(), was.isDir());
    QCOMPARE(is.size(), was.size());
    if (kind == QLatin1String("fifo")) {
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    }
}

void TestUiFiles::openRefusesFifoAndHugeFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to /dev/zero") << "zero";
    QTest::newRow("grid padded past 1 MiB") << "padded";
}

// Each of these used to hang the window (blocked in open) or fill the
// memory; now each is refused at once and the grid stays.
void TestUiFiles::openRefusesFifoAndHugeFiles() {
    QFETCH(QString, kind);
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    const QString good = h.path(QStringLiteral("good.kvl"));
    QVERIFY(writeAll(good, QByteArray("2,2\r\n\"AB\"\r\n\"CD\"\r\n")));
    h.desktop.fileAnswers << good;
    w.menuApri_Click();
    QCOMPARE(w.grid().GridRows[0], std::string("AB"));

    const QString bad = h.path(QStringLiteral("bad.kvl"));
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(mkfifo(QFile::encodeName(bad).constData(), 0600), 0);
    } else if (kind == QLatin1String("zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), bad));
    } else {
        QVERIFY(writeAll(bad, QByteArray("2,2\r\n\"XY\"\r\n\"ZW\"\r\n") +
                                  QByteArray(2 * 1024 * 1024, ' ')));
    }
    h.desktop.fileAnswers << bad;
    w.menuApri_Click();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text, OpenSaveError);
    QCOMPARE(w.grid().GridRows[0], std::string("AB"));
    QCOMPARE(w.CurrentFile(), good);
    QCOMPARE(w.windowTitle(), Product + good);
}

void TestUiFiles::fatalLoadBoxNamesFileAndCause_data() {
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("libraryErrors");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("inDetail");
    QTest::newRow("no base.diz") << "nobase" << 0
                                 << "... mandatory dictionary is missing: base.diz !"
                                 << QStringList{QStringLiteral("base.diz is not in "), "$DIR"};
    QTest::newRow("library errors")
        << "basic" << 2 << "... errors while loading dictionaries *.diz !"
        << QStringList{QStringLiteral("base.diz: "), QStringLiteral("met 2 errors preparing")};
    QTest::newRow("one library error")
        << "basic" << 1 << "... errors while loading dictionaries *.diz !"
        << QStringList{QStringLiteral("base.diz: "), QStringLiteral("met 1 error preparing")};
}

void TestUiFiles::fatalLoadBoxNamesFileAndCause() {
    QFETCH(QString, fixture);
    QFETCH(int, libraryErrors);
    QFETCH(QString, text);
    QFETCH(QStringList, inDetail);
    Harness h(fixture, static_cast<int16_t>(libraryErrors));
    QVERIFY(h.loaded());
    QVERIFY(h.desktop.ended);
    const auto boxes = h.desktop.boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Error ..."));
    QCOMPARE(boxes[0].text, text);
    QCOMPARE(boxes[0].icon, MsgIcon::Critical);
    for (QString part : inDetail) {
        part.replace(QStringLiteral("$DIR"), QDir(h.dir.path()).canonicalPath());
        QVERIFY2(boxes[0].detail.contains(part), qPrintable(boxes[0].detail));
    }
}

QTEST_MAIN(TestUiFiles)
#include "test_ui_files.moc"
