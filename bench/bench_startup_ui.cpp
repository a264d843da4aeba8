// SPDX-License-Identifier: GPL-3.0-or-later
// The window's start on a dictionaries folder, in one fresh process: from
// the main window made (its first timer shortened to 1 ms) to the
// dictionaries loaded (the File menu enabled), to the score lists read, and
// to the first Fill Check shown on a grid (the fill's word index built):
//     bench_startup_ui DIR [GRID.kvl]
// prints "load MS scores MS check MS", each from the window made. Without a
// grid the check is made on an empty 15x15. Runs on the offscreen platform
// (set QT_QPA_PLATFORM=offscreen). The splash window and the 2 s of the
// first timer, which are the same on every folder, are not counted.
#include "companioncall.h"
#include "fillcommands.h"
#include "kvlfile.h"
#include "loader.h"
#include "mainwindow.h"
#include "scripteddesktop.h"
#include "wordlistcommands.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QTest>

#include <cstdio>
#include <memory>

using namespace korvel;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup_ui DIR [GRID.kvl]\n");
        return 2;
    }
    GridModel grid = GridModel::make(15, 15);
    if (argc > 2) {
        QFile file(QString::fromLocal8Bit(argv[2]));
        if (!file.open(QIODevice::ReadOnly))
            return 2;
        const QByteArray bytes = file.readAll();
        std::optional<GridModel> read =
            readKvl(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
                .grid;
        if (!read)
            return 2;
        grid = *read;
    }
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[1])))
        return 2;

    ScriptedDesktop desktop;
    std::unique_ptr<CompanionLibrary> library;
    WindowTimings timings;
    timings.timer0Ms = 1;
    QElapsedTimer clock;
    clock.start();
    MainWindow w(
        desktop, [&library] { return openCompanion(library); }, timings);
    if (!QTest::qWaitFor([&] { return w.fileMenu()->menuAction()->isEnabled(); }, 120000)) {
        std::fprintf(stderr, "the dictionaries did not load\n");
        return 1;
    }
    const double load = clock.nsecsElapsed() / 1e6;
    // Waits for the reading thread, while the event loop stays away: what
    // the first fill would wait for.
    const bool scored = w.wordLists()->scores() != nullptr;
    const double scores = clock.nsecsElapsed() / 1e6;
    w.document().openPuzzle(Puzzle{grid, {}, {}, {}}, "");
    w.Inizio();
    FillCommands& fill = *w.fillCommands();
    w.menuItem(QStringLiteral("ControlloRiempimento"))->trigger();
    if (!QTest::qWaitFor([&] { return fill.checksShown() > 0; }, 120000)) {
        std::fprintf(stderr, "no fill check was shown\n");
        return 1;
    }
    const double check = clock.nsecsElapsed() / 1e6;
    std::printf("load %.1f scores %.1f check %.1f%s\n", load, scores, check,
                scored ? "" : " (no score lists)");
    return 0;
}
