// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the main window in a few states to PNG files, for review (the last
// one with the clue panel):
//     korvel-screenshots <output folder> <dictionaries folder>
// Runs under a real (or virtual) X display; answers to the file dialog come
// from a scripted desktop.
#include "cluecommands.h"
#include "cluepanel.h"
#include "companioncall.h"
#include "fillcheck.h"
#include "fillcommands.h"
#include "gridcanvas.h"
#include "griddimensionsdialog.h"
#include "loader.h"
#include "mainwindow.h"
#include "puzzlefile.h"
#include "scripteddesktop.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

void settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool shoot(const QString& folder, const QString& name) {
    settle(300);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString path = folder + QStringLiteral("/") + name + QStringLiteral(".png");
    const bool ok = shot.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// A 13 by 15 grid with black cells and a few words.
QByteArray sampleGrid() {
    const char* rows[] = {"CASA#?????#MARE", "A??#?????#?????", "N?#??????????#?",
                          "E#??????#??????", "?????#???#?????", "????#?????#????",
                          "##???#???#???##", "??????#?#??????", "##???#???#???##",
                          "????#?????#????", "?????#???#?????", "??????#??????#?",
                          "?#??????????#??"};
    QByteArray out = "13,15\r\n";
    for (const char* r : rows) {
        QByteArray row(r);
        row.replace('#', '\x10');
        out += '"' + row + "\"\r\n";
    }
    return out;
}

// A 15 by 15 American-style layout (every cell in two words) that fills
// from the default dictionaries in a few tens of milliseconds.
QByteArray grid15() {
    const char* rows[] = {"??????#???????#", "??????????????#", "???????????????",
                          "#???#?????##???", "????#???###????", "??????###??????",
                          "???#?????????##", "###?????????###", "##?????????#???",
                          "??????###??????", "????###???#????", "???##?????#???#",
                          "???????????????", "#??????????????", "#???????#??????"};
    QByteArray out = "15,15\r\n";
    for (const char* r : rows) {
        QByteArray row(r);
        row.replace('#', '\x10');
        out += '"' + row + "\"\r\n";
    }
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: korvel-screenshots <output folder> <dictionaries folder>\n");
        return 2;
    }
    korvel::setUpApplication();
    // The pictures show the window as it starts for a new user: no window
    // place or recent files of whoever renders them.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "cannot enter %s\n", argv[2]);
        return 2;
    }

    korvel::ScriptedDesktop desktop;
    std::unique_ptr<korvel::CompanionLibrary> library;
    auto companion = [&library] { return korvel::openCompanion(library); };
    korvel::WindowTimings timings;
    timings.timer0Ms = 1500;
    korvel::MainWindow window(desktop, companion, timings);
    bool ok = shoot(out, QStringLiteral("1-start-up"));
    QElapsedTimer wait;
    wait.start();
    while (window.Timer2()->isActive() || window.Timer0()->isActive()) {
        settle(100);
        if (wait.elapsed() > 120000)
            break;
    }
    ok &= shoot(out, QStringLiteral("2-loaded"));

    const QString gridFile = out + QStringLiteral("/sample.kvl");
    QFile f(gridFile);
    if (f.open(QIODevice::WriteOnly))
        f.write(sampleGrid());
    f.close();
    desktop.fileAnswers << gridFile;
    window.menuApri_Click();
    ok &= shoot(out, QStringLiteral("3-grid-13x15"));

    for (int i = 0; i < 3; ++i)
        window.Ingrandisci_Click();
    ok &= shoot(out, QStringLiteral("4-zoomed-in"));
    window.Originali_click();

    // The largest grid, scrolled to its far corner.
    QTimer::singleShot(400, [&] {
        if (auto* dialog = window.findChild<korvel::GridDimensionsDialog*>()) {
            dialog->rowsField()->setText(QStringLiteral("25"));
            dialog->columnsField()->setText(QStringLiteral("35"));
            dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        }
    });
    window.menuNuovo_Click();
    // Marks at the far corner, to see that it is the one shown.
    window.document().edit([](korvel::DocumentEdit& e) {
        e.layCell(24, 34, 'Z');
        e.layCell(24, 32, korvel::BLACK);
        e.layCell(22, 34, korvel::BLACK);
        e.layCell(23, 33, 'Y');
    });
    window.rinfresca();
    settle(200);
    if (auto* area = window.findChild<QScrollArea*>(QStringLiteral("PeriScroll"))) {
        area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
        area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    }
    if (auto* client = window.findChild<QScrollArea*>(QStringLiteral("Form0gScroll"))) {
        client->horizontalScrollBar()->setValue(client->horizontalScrollBar()->maximum());
        client->verticalScrollBar()->setValue(client->verticalScrollBar()->maximum());
    }
    settle(200);
    ok &= shoot(out, QStringLiteral("6-grid-25x35-far-corner"));

    QTimer::singleShot(400, [&] {
        auto* dialog = window.findChild<korvel::GridDimensionsDialog*>();
        if (dialog) {
            dialog->rowsField()->setText(QStringLiteral("13"));
            ok &= shoot(out, QStringLiteral("5-new-dialog"));
            dialog->reject();
        }
    });
    window.menuNuovo_Click();
    QFile::remove(gridFile);

    // The fill: a filled 15 by 15 grid, then the same grid with every third
    // letter taken out and two Q written in, under the fill check.
    const QString fillFile = out + QStringLiteral("/fill15.kvl");
    QFile g(fillFile);
    if (g.open(QIODevice::WriteOnly))
        g.write(grid15());
    g.close();
    desktop.fileAnswers << fillFile;
    window.menuApri_Click();
    QFile::remove(fillFile);
    // At the default minimum this American pattern has no fill in the Italian
    // set, and the window would stop to ask about weaker words; the picture is
    // of a filled grid, so it fills at 0, the scores still ordering the words.
    window.fillCommands()->setMinScore(0);
    window.fillCommands()->FillGrid_Click();
    ok &= shoot(out, QStringLiteral("7-filled-15x15"));
    window.document().edit([](korvel::DocumentEdit& e) {
        const korvel::GridModel& grid = e.grid();
        for (int16_t r = 0; r < grid.RowCount; ++r)
            for (int16_t c = 0; c < grid.ColumnCount; ++c)
                if (!grid.isBlack(r, c) && (r + 2 * c) % 3 == 0)
                    e.layCell(r, c, korvel::EmptyCell);
        e.layCell(12, 0, 'Q');
        e.layCell(12, 1, 'Q');
        e.layCell(12, 2, korvel::EmptyCell);
    });
    window.menuItem(QStringLiteral("ControlloRiempimento"))->trigger();
    window.rinfresca();
    QElapsedTimer checked;
    checked.start();
    while (window.fillCommands()->checksShown() == 0 && checked.elapsed() < 10000)
        settle(50);
    ok &= shoot(out, QStringLiteral("8-fill-check"));

    // The clue panel beside a puzzle with clues for most words, circled
    // cells, and a clue kept without a word.
    window.menuItem(QStringLiteral("ControlloRiempimento"))->trigger();
    korvel::Puzzle puzzle = window.document().puzzle();
    for (const korvel::Slot& s : window.document().wordSlots().all())
        if (s.number % 4 != 3)
            puzzle.clues.push_back({{s.row, s.column, s.direction},
                                    s.length,
                                    "A clue for " + korvel::describeSlot(s),
                                    {},
                                    {}});
    puzzle.clues.push_back(
        {{korvel::MaxRows, 0, korvel::Direction::Across}, 0, "Kept from another grid", {}, {}});
    std::sort(puzzle.clues.begin(), puzzle.clues.end(),
              [](const korvel::Clue& a, const korvel::Clue& b) { return a.key < b.key; });
    puzzle.circles = {0, 16, 32, 48};
    puzzle.details.title = "Spring";
    const QString puzzleFile = out + QStringLiteral("/clues.ipuz");
    std::string error;
    korvel::savePuzzleFile(QFile::encodeName(puzzleFile).toStdString(), puzzle, error);
    desktop.boxAnswers << korvel::MsgAnswer::No;
    desktop.fileAnswers << puzzleFile;
    window.menuApri_Click();
    QFile::remove(puzzleFile);
    window.menuItem(QStringLiteral("Definizioni"))->trigger();
    settle(200);
    window.clueCommands()->panel()->acrossList()->setCurrentCell(1, korvel::CluePanel::ClueColumn);
    ok &= shoot(out, QStringLiteral("9-clue-panel"));
    return ok ? 0 : 1;
}
