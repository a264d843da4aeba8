// SPDX-License-Identifier: GPL-3.0-or-later
// A typed key in the window: the time from a key press on the grid (Write
// Across, Fill Check off) until the window has repainted, with View > Clues
// hidden and shown, on the main window with the dictionaries of a folder
// loaded as the program loads them:
//     bench_key_ui DIR GRID.kvl [KEYS]
// With --pictures OUT instead of KEYS it writes the grid picture after an
// Undo of a word, an erased drag and the numbers switched off to OUT/*.png,
// for comparing builds byte for byte.
// It drives the window only as a user does (pointer, keys, menu items), so
// the same source builds against earlier versions of the window.
// Runs on the offscreen platform (set QT_QPA_PLATFORM=offscreen).
#include "companioncall.h"
#include "gridcanvas.h"
#include "kvlfile.h"
#include "loader.h"
#include "mainwindow.h"
#include "resultslist.h"
#include "scripteddesktop.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTest>

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

QPoint centre(MainWindow& w, int r, int c) {
    return w.Peri()->toPixel(QPointF(c + 0.5, r + 0.5));
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The three pictures: a word placed into five empty cells and taken back by
// Undo (five boxes), a drag along a row drawn and shrunk, the numbers switched
// off; each after the one before, on a fresh 7 x 9 grid.
int pictures(MainWindow& w, const QString& out) {
    GridModel g = GridModel::make(7, 9);
    const char* rows[] = {"????\x10????",    "?????A\x10??", "\x10?????\x10??", "?????????",
                          "??\x10?????\x10", "???\x10?????", "????\x10????"};
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 9; ++c)
            g.setCell(r, c, rows[r][c]);
    w.document().openPuzzle(Puzzle{g, {}, {}, {}}, "");
    w.Inizio();
    w.show();
    settle();
    QWidget* peri = w.Peri();
    bool ok = true;
    auto save = [&](const char* name) {
        settle();
        const QString path = out + QStringLiteral("/") + QString::fromLatin1(name);
        ok = w.Peri()->image().save(path) && ok;
        std::printf("wrote %s\n", qPrintable(path));
    };
    // A word placed from the results list into the five empty cells before
    // an A is one action: its Undo boxes the five cells one after the other.
    w.toolButton(QStringLiteral("a1"))->trigger();
    QTest::mouseMove(peri, centre(w, 1, 0));
    QTest::mouseClick(peri, Qt::LeftButton, {}, centre(w, 1, 0));
    const bool searched = QTest::qWaitFor([&] { return !w.busy(); }, 60000);
    settle();
    ResultsList* list = w.Lists();
    if (!searched || list->count() == 0) {
        std::fprintf(stderr, "no word of six letters ending in A in the dictionaries\n");
        return 1;
    }
    const QModelIndex first = list->model()->index(0, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(first).center());
    settle();
    w.toolButton(QStringLiteral("a7"))->trigger();
    save("undo.png");
    w.toolButton(QStringLiteral("a1"))->trigger();
    QTest::mousePress(peri, Qt::LeftButton, {}, centre(w, 3, 1));
    QTest::mouseMove(peri, centre(w, 3, 6));
    QTest::mouseMove(peri, centre(w, 3, 2));
    save("drag.png");
    QTest::mouseRelease(peri, Qt::LeftButton, {}, centre(w, 3, 2));
    w.toolButton(QStringLiteral("a0"))->trigger();
    QTest::mouseMove(peri, centre(w, 0, 2));
    QTest::mouseClick(peri, Qt::LeftButton, {}, centre(w, 0, 2));
    w.menuItem(QStringLiteral("Numerare"))->trigger();
    save("numbers.png");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_key_ui DIR GRID.kvl [KEYS | --pictures OUT]\n");
        return 2;
    }
    const bool picturesOnly = argc > 4 && QByteArray(argv[3]) == "--pictures";
    const int keys = argc > 3 && !picturesOnly ? std::atoi(argv[3]) : 40;
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray bytes = file.readAll();
    const std::optional<GridModel> grid =
        readKvl(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))).grid;
    if (!grid)
        return 2;
    const QString out = picturesOnly ? QDir(QString::fromLocal8Bit(argv[4])).absolutePath() : "";
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
    if (picturesOnly)
        return pictures(w, out);
    w.document().openPuzzle(Puzzle{*grid, {}, {}, {}}, "");
    w.Inizio();
    w.toolButton(QStringLiteral("a3"))->trigger();
    settle();

    // The empty cells of the top rows, which show without scrolling: each
    // key writes one, the next key empties it.
    std::vector<std::pair<int, int>> cells;
    for (int r = 0; r < std::min<int>(grid->RowCount, 6); ++r)
        for (int c = 0; c < std::min<int>(grid->ColumnCount, 8); ++c)
            if (grid->patternChar(r, c) == EmptyCell)
                cells.emplace_back(r, c);
    if (cells.empty()) {
        std::fprintf(stderr, "the grid has no empty cell to type in\n");
        return 2;
    }
    QWidget* peri = w.Peri();
    int missed = 0;
    auto run = [&](std::vector<double>& times) {
        for (int i = 0; i < keys; ++i) {
            const auto [r, c] = cells[static_cast<std::size_t>(i / 2) % cells.size()];
            // The pointer puts the write cursor on the cell, untimed; a move
            // to where the pointer already is would move nothing.
            QTest::mouseMove(peri, centre(w, r + 1, c + 1));
            QTest::mouseMove(peri, centre(w, r, c));
            settle();
            QElapsedTimer t;
            t.start();
            QTest::keyClick(peri, i % 2 == 0 ? Qt::Key_E : Qt::Key_Space);
            // The handler's work and the paint it asked for.
            QCoreApplication::processEvents();
            const double ms = t.nsecsElapsed() / 1e6;
            // A key the window did not take would time nothing.
            if (w.grid().cell(r, c) != (i % 2 == 0 ? 'E' : EmptyCell)) {
                ++missed;
                continue;
            }
            times.push_back(ms);
        }
    };
    std::vector<double> hidden;
    std::vector<double> shown;
    run(hidden);
    w.menuItem(QStringLiteral("Definizioni"))->trigger();
    settle();
    run(shown);
    // Hidden again, after, against drift.
    w.menuItem(QStringLiteral("Definizioni"))->trigger();
    settle();
    run(hidden);
    std::printf("%s %dx%d: %d keys; key->repaint, clues hidden median %.2f ms worst %.2f ms; "
                "clues shown median %.2f ms worst %.2f ms%s\n",
                argv[2], grid->RowCount, grid->ColumnCount, keys, median(hidden), worst(hidden),
                median(shown), worst(shown),
                missed > 0 ? qPrintable(QStringLiteral(" (%1 keys not taken)").arg(missed)) : "");
    return 0;
}
