// SPDX-License-Identifier: GPL-3.0-or-later
// The fill check in the window: the time from a key press on the grid (Write
// Across) to the grid repainted, with View > Fill Check off and on, and to
// the check's marks repainted, on the main window with the dictionaries of a
// folder loaded as the program loads them:
//     bench_fillcheck_ui DIR GRID.kvl [KEYS]
// Runs on the offscreen platform (set QT_QPA_PLATFORM=offscreen).
#include "companioncall.h"
#include "fillcommands.h"
#include "gridcanvas.h"
#include "kvlfile.h"
#include "loader.h"
#include "mainwindow.h"
#include "scripteddesktop.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace korvel;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double worst(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_fillcheck_ui DIR GRID.kvl [KEYS]\n");
        return 2;
    }
    const int keys = argc > 3 ? std::atoi(argv[3]) : 40;
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray bytes = file.readAll();
    const std::optional<GridModel> grid =
        readKvl(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))).grid;
    if (!grid)
        return 2;
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[1])))
        return 2;

    ScriptedDesktop desktop;
    std::unique_ptr<CompanionLibrary> library;
    WindowTimings timings;
    timings.timer0Ms = 1;
    MainWindow w(
        desktop, [&library] { return openCompanion(library); }, timings);
    if (!QTest::qWaitFor([&] { return w.fileMenu()->menuAction()->isEnabled(); }, 120000)) {
        std::fprintf(stderr, "the dictionaries did not load\n");
        return 1;
    }
    w.document().openPuzzle(Puzzle{*grid, {}, {}, {}}, "");
    w.Inizio();
    w.selectTool(QStringLiteral("a3"));

    // The empty cells, in order: each key writes one, the next key empties it.
    std::vector<std::pair<int16_t, int16_t>> cells;
    for (int16_t r = 0; r < grid->RowCount; ++r)
        for (int16_t c = 0; c < grid->ColumnCount; ++c)
            if (grid->patternChar(r, c) == EmptyCell)
                cells.emplace_back(r, c);
    if (cells.empty()) {
        std::fprintf(stderr, "the grid has no empty cell to type in\n");
        return 2;
    }
    FillCommands& fill = *w.fillCommands();

    auto run = [&](bool checkOn, std::vector<double>& repaint, std::vector<double>& marks) {
        for (int i = 0; i < keys; ++i) {
            const auto [r, c] = cells[static_cast<std::size_t>(i / 2) % cells.size()];
            w.editor().setCurrentCell(r, c);
            const int seen = fill.checksShown();
            QElapsedTimer t;
            t.start();
            QTest::keyClick(w.Peri(), i % 2 == 0 ? Qt::Key_E : Qt::Key_Space);
            // The picture is drawn; the screen shows it at the next paint.
            QCoreApplication::processEvents();
            repaint.push_back(t.nsecsElapsed() / 1e6);
            if (checkOn) {
                // Woken by the result itself, not by polling.
                if (fill.checksShown() == seen) {
                    QEventLoop loop;
                    QObject::connect(&fill, &FillCommands::checkShown, &loop, &QEventLoop::quit);
                    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
                    loop.exec();
                }
                QCoreApplication::processEvents();
                marks.push_back(t.nsecsElapsed() / 1e6);
            }
        }
    };
    std::vector<double> offRepaint, onRepaint, onMarks, unused;
    run(false, offRepaint, unused);
    w.menuItem(QStringLiteral("ControlloRiempimento"))->trigger();
    QElapsedTimer first;
    first.start();
    if (!QTest::qWaitFor([&] { return fill.checksShown() > 0; }, 120000)) {
        std::fprintf(stderr, "no fill check was shown\n");
        return 1;
    }
    const double firstCheck = first.nsecsElapsed() / 1e6;
    run(true, onRepaint, onMarks);
    // Off again, after, against drift; a check still under way ends first.
    w.menuItem(QStringLiteral("ControlloRiempimento"))->trigger();
    QTest::qWait(200);
    run(false, offRepaint, unused);
    std::printf("%s %dx%d: %d keys; key->repaint off median %.2f ms worst %.2f ms; "
                "on median %.2f ms worst %.2f ms; key->marks median %.2f ms worst %.2f ms; "
                "first check (index build) %.0f ms\n",
                argv[2], grid->RowCount, grid->ColumnCount, keys, median(offRepaint),
                worst(offRepaint), median(onRepaint), worst(onRepaint), median(onMarks),
                worst(onMarks), firstCheck);
    return 0;
}
