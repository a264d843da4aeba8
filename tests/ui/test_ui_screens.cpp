// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on screens of one size, given as the first argument
// ("1024x600"): the offscreen platform is configured with that screen before
// the application starts. A 25 by 35 grid, the largest there is, must be
// reachable to its far corner, and every control must lie where the client
// area can be scrolled to, with the window no larger than the screen.
#include "cluecommands.h"
#include "cluepanel.h"
#include "gridcanvas.h"
#include "griddimensionsdialog.h"
#include "loader.h"
#include "mainwindow.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "uiharness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <cstdio>
#include <memory>

using namespace korvel;
using namespace korvel::uitest;

namespace {

QSize screenSize;

// The part of a widget that shows through every scrolling area above it,
// in the window's coordinates.
QRect shownPart(QWidget* w, QWidget* window) {
    QRect shown(w->mapTo(window, QPoint(0, 0)), w->size());
    for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        shown &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
    return shown & window->rect();
}

QRect inWindow(QWidget* w, QWidget* window) {
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

// Scrolls the grid's area and the client area so that the cell shows, as a
// user would, and tells whether it shows whole.
bool scrollToCell(MainWindow& w, QScrollArea* client, QScrollArea* area, QPoint cell) {
    GridCanvas* peri = w.Peri();
    const QPoint a = peri->toPixel(QPointF(cell.x(), cell.y()));
    const QPoint b = peri->toPixel(QPointF(cell.x() + 1, cell.y() + 1));
    area->ensureVisible((a.x() + b.x()) / 2, (a.y() + b.y()) / 2, (b.x() - a.x()) / 2 + 2,
                        (b.y() - a.y()) / 2 + 2);
    client->ensureVisible(area->x() + area->width() / 2, area->y() + area->height() / 2,
                          area->width() / 2, area->height() / 2);
    return shownPart(peri, &w).contains(QRect(peri->mapTo(&w, a), peri->mapTo(&w, b)));
}

} // namespace

class TestUiScreens : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void largestGridReachable();
    void cluePanelBesideLargestGrid();
};

void TestUiScreens::largestGridReachable() {
    QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), screenSize);
    WindowHarness h;
    h.addFixture(uiFixture(QStringLiteral("grid")));
    h.start(quickTimings());
    MainWindow& w = h.w();
    QVERIFY(QTest::qWaitFor([&] { return w.fileMenu()->menuAction()->isEnabled(); }, 10000));

    answerNewGrid(w, QStringLiteral("25"), QStringLiteral("35"));
    QCOMPARE(w.grid().ColumnCount, int16_t{35});
    QTest::qWait(50);

    // The window fits the screen.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(w.frameGeometry().width() <= screen.width() &&
                 w.frameGeometry().height() <= screen.height(),
             qPrintable(QStringLiteral("%1x%2")
                            .arg(w.frameGeometry().width())
                            .arg(w.frameGeometry().height())));

    // Every control: shown as it is, or brought into view by scrolling the
    // client area to it.
    auto* client = w.findChild<QScrollArea*>(QStringLiteral("Form0gScroll"));
    QVERIFY(client);
    QList<QWidget*> controls;
    for (const char* name : {"Label1", "Label3", "Command1", "Command2", "texta", "Command3",
                             "Command4", "PeriScroll"})
        controls << w.findChild<QWidget*>(QString::fromLatin1(name));
    controls << w.Lists();
    for (QWidget* c : controls) {
        QVERIFY(c);
        client->ensureWidgetVisible(c, 0, 0);
        const QRect shown = shownPart(c, &w);
        // A control taller or wider than the view shows at least the view.
        const QSize view = client->viewport()->size();
        QVERIFY2(shown.width() >= std::min(c->width(), view.width()) &&
                     shown.height() >= std::min(c->height(), view.height()),
                 qPrintable(c->objectName()));
    }
    // The toolbar's buttons and the status bar's panels without scrolling.
    for (const char* k : {"a9", "a0", "a6", "a7", "a8"}) {
        QWidget* b = w.Tlb1()->widgetForAction(w.toolButton(QString::fromLatin1(k)));
        QVERIFY(b);
        const bool onBar = shownPart(b, &w).size() == b->size();
        // A narrow toolbar moves the last buttons behind its extension arrow.
        QVERIFY2(onBar || !b->isVisible(), k);
    }
    for (int p : {1, 2, 3, 4, 8, 11, 12}) {
        QWidget* panel = w.Stb1()->panel(p);
        if (panel->isHidden())
            continue;
        QVERIFY2(shownPart(panel, &w).width() > 0, qPrintable(QString::number(p)));
    }

    // Every cell of the grid: the far corner scrolled into view shows whole.
    auto* area = w.findChild<QScrollArea*>(QStringLiteral("PeriScroll"));
    client->ensureWidgetVisible(area, 0, 0);
    GridCanvas* peri = w.Peri();
    for (QPoint cell : {QPoint(34, 24), QPoint(0, 24), QPoint(34, 0), QPoint(17, 12)}) {
        const QPoint a = peri->toPixel(QPointF(cell.x(), cell.y()));
        const QPoint b = peri->toPixel(QPointF(cell.x() + 1, cell.y() + 1));
        area->ensureVisible((a.x() + b.x()) / 2, (a.y() + b.y()) / 2, (b.x() - a.x()) / 2 + 2,
                            (b.y() - a.y()) / 2 + 2);
        client->ensureVisible(area->x() + area->width() / 2, area->y() + area->height() / 2,
                              area->width() / 2, area->height() / 2);
        const QRect cellRect(peri->mapTo(&w, a), peri->mapTo(&w, b));
        auto r2s = [](QRect r) {
            return QStringLiteral("%1,%2 %3x%4")
                .arg(r.x())
                .arg(r.y())
                .arg(r.width())
                .arg(r.height());
        };
        QVERIFY2(shownPart(peri, &w).contains(cellRect),
                 qPrintable(QStringLiteral("cell %1,%2: %3 not in %4; area %5 client %6 view %7")
                                .arg(cell.y())
                                .arg(cell.x())
                                .arg(r2s(cellRect), r2s(shownPart(peri, &w)),
                                     r2s(QRect(area->mapTo(&w, QPoint()), area->size())),
                                     r2s(QRect(client->mapTo(&w, QPoint()), client->size())),
                                     r2s(QRect(area->viewport()->mapTo(&w, QPoint()),
                                               area->viewport()->size()))) +
                            QStringLiteral(" h %1/%2 peri %3 pos %4")
                                .arg(area->horizontalScrollBar()->value())
                                .arg(area->horizontalScrollBar()->maximum())
                                .arg(peri->width())
                                .arg(peri->x())));
        // And a real pointer there finds that cell.
        QTest::mouseMove(peri, (a + b) / 2);
        QCOMPARE(w.editor().CurrentRow(), int16_t(cell.y()));
        QCOMPARE(w.editor().CurrentColumn(), int16_t(cell.x()));
    }

    // The keys keep the write cursor in view.
    w.toolButton(QStringLiteral("a3"))->trigger();
    area->horizontalScrollBar()->setValue(0);
    area->verticalScrollBar()->setValue(0);
    w.editor().setCurrentCell(24, 33);
    QTest::keyClick(peri, Qt::Key_Right);
    QCOMPARE(w.editor().CurrentColumn(), int16_t{34});
    const QPoint a = peri->toPixel(QPointF(34, 24));
    const QPoint b = peri->toPixel(QPointF(35, 25));
    QVERIFY(shownPart(peri, &w).contains(QRect(peri->mapTo(&w, a), peri->mapTo(&w, b))));
}

// View > Clues docks the panel beside the client area: the window still fits
// the screen, the grid keeps room for cells and every cell within reach, both
// lists show entries with room for the clue, and a chosen word is shown.
void TestUiScreens::cluePanelBesideLargestGrid() {
    WindowHarness h;
    h.addFixture(uiFixture(QStringLiteral("grid")));
    h.start(quickTimings());
    MainWindow& w = h.w();
    QVERIFY(h.loaded());
    answerNewGrid(w, QStringLiteral("25"), QStringLiteral("35"));
    h.item("Definizioni")->trigger();
    QTest::qWait(50);
    CluePanel* panel = w.clueCommands()->panel();
    QVERIFY(panel->isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(w.frameGeometry().width() <= screen.width() &&
            w.frameGeometry().height() <= screen.height());
    auto* client = w.findChild<QScrollArea*>(QStringLiteral("Form0gScroll"));
    auto* area = w.findChild<QScrollArea*>(QStringLiteral("PeriScroll"));
    // The row above the grid shows whole beside the panel, as do the results
    // list's label and top: nothing to scroll sideways to, nothing cut.
    QCOMPARE(client->horizontalScrollBar()->maximum(), 0);
    for (const char* name :
         {"Label1", "Command1", "Command2", "texta", "Command3", "Command4", "Label3"}) {
        QWidget* c = w.findChild<QWidget*>(QString::fromLatin1(name));
        client->ensureWidgetVisible(c, 0, 0);
        QVERIFY2(shownPart(c, &w).size() == c->size(), name);
    }
    QVERIFY(shownPart(w.Lists(), &w).width() == w.Lists()->width());
    const QRect docked = inWindow(w.clueCommands()->dock(), &w);
    QVERIFY(w.rect().contains(docked) && docked.left() > inWindow(client, &w).right());
    const int rowHeight = panel->acrossList()->verticalHeader()->defaultSectionSize();
    for (QTableWidget* list : {panel->acrossList(), panel->downList()}) {
        QVERIFY(shownPart(list, &w).height() >= 4 * rowHeight);
        QVERIFY(list->columnWidth(CluePanel::ClueColumn) >= 80);
    }

    client->ensureWidgetVisible(area, 0, 0);
    QVERIFY(shownPart(area->viewport(), &w).width() >= 3 * w.Peri()->toPixel(QPointF(1, 0)).x());
    for (QPoint cell : {QPoint(34, 24), QPoint(0, 24), QPoint(34, 0), QPoint(17, 12)})
        QVERIFY(scrollToCell(w, client, area, cell));

    // Choosing an entry boxes its word and scrolls the grid to it.
    area->horizontalScrollBar()->setValue(0);
    area->verticalScrollBar()->setValue(0);
    panel->acrossList()->setCurrentCell(24, CluePanel::ClueColumn);
    QCOMPARE(w.editor().lastSelection().cy, int16_t{24});
    QCOMPARE(w.editor().lastSelection().LAX, int16_t{35});
    const QRect first(w.Peri()->mapTo(&w, w.Peri()->toPixel(QPointF(0, 24))),
                      w.Peri()->mapTo(&w, w.Peri()->toPixel(QPointF(1, 25))));
    QVERIFY(inWindow(area->viewport(), &w).contains(first));
}

int main(int argc, char* argv[]) {
    // The screen size comes first; the rest goes to the test runner.
    const QByteArray size = argc > 1 ? QByteArray(argv[1]) : QByteArray("1366x768");
    const QList<QByteArray> wh = size.split('x');
    if (wh.size() != 2) {
        std::fprintf(stderr, "usage: test_ui_screens WIDTHxHEIGHT [test options]\n");
        return 2;
    }
    screenSize = QSize(wh[0].toInt(), wh[1].toInt());
    QTemporaryDir config;
    const QString file = config.filePath(QStringLiteral("screen.json"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return 2;
    f.write(QStringLiteral("{\"screens\": [{\"name\": \"S\", \"x\": 0, \"y\": 0, \"width\": %1, "
                           "\"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, "
                           "\"dpr\": 1}]}")
                .arg(screenSize.width())
                .arg(screenSize.height())
                .toUtf8());
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file));
    int qtArgc = argc > 1 ? argc - 1 : 1;
    std::vector<char*> qtArgv{argv[0]};
    for (int i = 2; i < argc; ++i)
        qtArgv.push_back(argv[i]);
    qtArgv.push_back(nullptr);
    QApplication app(qtArgc, qtArgv.data());
    TestUiScreens test;
    return QTest::qExec(&test, qtArgc, qtArgv.data());
}

#include "test_ui_screens.moc"
