// SPDX-License-Identifier: GPL-3.0-or-later
// Times the results list and the dictionary viewer on a big dictionary, side
// by side with plain QListWidget fills of the same lines, in one run.
//
//   QT_QPA_PLATFORM=offscreen bench_results DIR
//
// DIR is loaded by a main window as the program loads it (its base.diz is the
// stress list). Prints one row per measurement.

#include "benchsupport.h"
#include "dictionarystore.h"
#include "dictviewer.h"
#include "gridcanvas.h"
#include "mainwindow.h"
#include "memoryhost.h"
#include "patternsearch.h"
#include "resultorder.h"
#include "resultslist.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "viewerentries.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace korvel;
using namespace korvel::bench;

namespace {

double residentMb() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// The window with the time of every call of its yield recorded: the longest
// stretch between two calls is the longest the event loop could not run.
class TimedWindow : public MainWindow {
public:
    template <typename... Args>
    explicit TimedWindow(Args&&... args) : MainWindow(std::forward<Args>(args)...) {
        searchHost().yieldProbe = [this] {
            const auto now = Clock::now();
            worst = std::max(worst, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        };
    }
    void startTiming() {
        worst = 0;
        last = Clock::now();
    }
    double worst = 0;
    Clock::time_point last = Clock::now();
};

// A grid of 2 rows and columns cells, the first row "?" but for a final I,
// and a prompt across on it (Extended Search on).
void promptEndingInI(TimedWindow& w, int columns) {
    w.document().newGrid(2, static_cast<int16_t>(columns));
    w.Inizio();
    w.document().edit([&](DocumentEdit& e) {
        for (int16_t c = 0; c + 1 < columns; ++c)
            e.layCell(0, c, '?');
        e.layCell(0, static_cast<int16_t>(columns - 1), 'I');
    });
    w.rinfresca();
    if (!w.flags().Estesa)
        w.menuItem(QStringLiteral("Estesa"))->trigger();
    w.toolButton(QStringLiteral("a1"))->trigger();
    const QPoint at = w.Peri()->toPixel(QPointF(0.5, 0.5));
    QTest::mouseMove(w.Peri(), at);
    QTest::mouseClick(w.Peri(), Qt::LeftButton, {}, at);
}

// The lines the window's list receives for a Free HEAD "*I" over columns
// cells, in the order they come.
std::vector<std::string> freeHeadLines(const DictionaryStore& store, int columns) {
    EditorState editor;
    editor.setTool(Tool::PromptAcross, "a1");
    PatternState& ps = editor.pattern;
    ps.SlotPattern = std::string(static_cast<std::size_t>(columns - 1), '?') + "I";
    ps.testom = ps.SlotPattern;
    ps.freedHead = std::string(static_cast<std::size_t>(columns - 1), '?');
    ps.CurrentPattern = "*I";
    SearchFlags flags;
    flags.Estesa = true;
    flags.Accorcia = false;
    MemoryHost host;
    EnabledSet enabled; // the base dictionary alone
    enabled.setChecked(1, true);
    SearchContext ctx{store, enabled, editor, flags, host};
    searchPattern(ctx);
    return host.list;
}

// Fills the model list as a search in the window does: a line at a time,
// a pass of the event loop (with the new rows shown) at most every 10 ms,
// then the merge. Returns ms to the painted list; worst gets the longest
// stretch without a pass.
double fillResultsList(ResultsList& list, const std::vector<std::string>& lines, double& worst) {
    const auto t0 = Clock::now();
    auto lastPass = t0;
    worst = 0;
    auto tick = [&] {
        const auto now = Clock::now();
        if (now - lastPass < std::chrono::milliseconds(10))
            return;
        worst = std::max(worst, std::chrono::duration<double, std::milli>(now - lastPass).count());
        lastPass = now;
        list.publish();
        QCoreApplication::processEvents();
    };
    list.clear();
    int countdown = 64;
    for (const std::string& l : lines) {
        list.addLine(l);
        if (--countdown == 0) {
            countdown = 64;
            tick();
        }
    }
    list.finishList(tick);
    list.repaint();
    QCoreApplication::processEvents();
    worst = std::max(worst, msSince(lastPass));
    return msSince(t0);
}

// A plain QListWidget fill of the same lines in the given order, painted.
double fillListWidget(QListWidget& list, const std::vector<std::string>& lines) {
    const auto t0 = Clock::now();
    list.clear();
    for (const std::string& l : lines)
        list.addItem(QString::fromLatin1(l.data(), static_cast<qsizetype>(l.size())));
    list.repaint();
    QCoreApplication::processEvents();
    return msSince(t0);
}

// The old results list: each line inserted at its place in a QListWidget.
double fillSortedListWidget(QListWidget& list, const std::vector<std::string>& lines) {
    const auto t0 = Clock::now();
    list.clear();
    for (const std::string& l : lines) {
        int lo = 0;
        int hi = list.count();
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (compareListLines(list.item(mid)->text().toLatin1().toStdString(), l) <= 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        list.insertItem(lo, QString::fromLatin1(l.data(), static_cast<qsizetype>(l.size())));
    }
    list.repaint();
    QCoreApplication::processEvents();
    return msSince(t0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: QT_QPA_PLATFORM=offscreen bench_results DIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    installFontSubstitutes();
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir::setCurrent(dir);

    ScriptedDesktop desktop;
    std::unique_ptr<CompanionLibrary> library;
    WindowTimings timings;
    timings.timer0Ms = 1;
    TimedWindow w(
        desktop, [&] { return openCompanion(library); }, timings);
    w.resize(1366, 768);
    w.show();
    if (!QTest::qWaitFor([&] { return w.fileMenu()->menuAction()->isEnabled(); }, 60000)) {
        std::fprintf(stderr, "loading %s failed\n", argv[1]);
        return 1;
    }
    const DictionaryStore& store = w.store();
    std::printf("loaded %zu lines; resident %.0f MB\n", store.Lines[1].lineCount(), residentMb());

    // --- the list alone: the same lines in both orders, model list and plain fill
    const std::vector<std::string> arrival = freeHeadLines(store, 25);
    std::printf("Free HEAD *I over 25 cells: %zu lines\n\n", arrival.size());
    std::printf("| Lines | Order | Model list ms | worst gap ms | plain QListWidget ms |\n");
    ResultsList list;
    // A listing is under way while the bench fills the list, as the window's
    // busy state tells it.
    list.setListingTest([] { return true; });
    list.resize(300, 600);
    list.show();
    QListWidget plain;
    plain.setUniformItemSizes(true);
    plain.resize(300, 600);
    plain.show();
    for (std::size_t n : {std::size_t{60000}, std::size_t{300000}, arrival.size()}) {
        std::vector<std::string> freeHead(
            arrival.begin(), arrival.begin() + static_cast<long>(std::min(n, arrival.size())));
        std::vector<std::string> display = freeHead;
        sortListLines(display);
        for (int order = 0; order < 2; ++order) {
            const auto& lines = order == 0 ? display : freeHead;
            double worst = 0;
            const double model = fillResultsList(list, lines, worst);
            const double widget = fillListWidget(plain, lines);
            std::printf("| %zu | %s | %.0f | %.0f | %.0f |\n", lines.size(),
                        order == 0 ? "display" : "Free HEAD", model, worst, widget);
        }
    }
    list.clear();
    plain.clear();
    {
        const std::size_t some = std::min<std::size_t>(60000, arrival.size());
        std::vector<std::string> first(arrival.begin(),
                                       arrival.begin() + static_cast<std::ptrdiff_t>(some));
        const double old = fillSortedListWidget(plain, first);
        std::printf("old path, %zu Free HEAD lines inserted in place: %.0f ms\n", some, old);
        plain.clear();
    }

    // --- the window: a whole Free HEAD search, then one aborted in its listing
    {
        promptEndingInI(w, 25);
        w.startTiming();
        const auto t0 = Clock::now();
        w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        const double total = msSince(t0);
        std::printf("\nwindow, Free HEAD *I over 25 cells: %d lines in %.0f ms, worst gap %.0f ms, "
                    "panel 2 \"%s\"\n",
                    w.Lists()->count(), total, w.worst, w.Stb1()->text(2).toLatin1().constData());
    }
    for (const char* phase : {"listing", "scan"}) {
        promptEndingInI(w, 25);
        Clock::time_point clickAt;
        Clock::time_point seenAt;
        bool clicked = false;
        bool seen = false;
        QTimer poll;
        poll.setInterval(0);
        const bool inListing = std::string(phase) == "listing";
        int passes = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (clicked && !seen && w.Stb1()->text(3) == QStringLiteral(" Abort! ")) {
                seen = true;
                seenAt = Clock::now();
            }
            if (clicked || !w.busy())
                return;
            const bool ready = inListing ? w.Lists()->count() >= 400000
                                         : (w.Lists()->count() == 0 && ++passes == 5);
            if (!ready)
                return;
            clicked = true;
            clickAt = Clock::now();
            w.Stb1_PanelClick(2);
        });
        poll.start();
        w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        poll.stop();
        const double end = clicked ? msSince(clickAt) : -1.0;
        std::printf(
            "abort during the %s: \" Abort! \" seen %.0f ms after the click, search "
            "over after %.0f ms, %d lines kept (panel 3 \"%s\")\n",
            phase, seen ? std::chrono::duration<double, std::milli>(seenAt - clickAt).count() : end,
            end, w.Lists()->count(), w.Stb1()->text(3).toLatin1().constData());
    }
    w.ResErr_Click();
    QCoreApplication::processEvents();

    // --- the viewer on the base dictionary, and the old way: every entry
    // copied into two QListWidgets
    {
        const double before = residentMb();
        const auto t0 = Clock::now();
        double open = 0;
        double fill = 0;
        {
            DictionaryViewer viewer(store);
            viewer.show();
            QEventLoop loop;
            QObject::connect(&viewer, &DictionaryViewer::fillFinished, &loop, &QEventLoop::quit);
            viewer.List1_Click(0);
            loop.exec();
            viewer.list2()->repaint();
            fill = msSince(t0);
            open = residentMb();
            viewer.accept();
        }
        QCoreApplication::processEvents();
        const double after = residentMb();
        std::printf("\nviewer: listed in %.0f ms; resident %.0f MB before, %.0f MB open (+%.0f), "
                    "%.0f MB after closing\n",
                    fill, before, open, open - before, after);
    }
    {
        const double before = residentMb();
        const auto t0 = Clock::now();
        double open = 0;
        double fill = 0;
        {
            QListWidget list2;
            QListWidget list3;
            list2.setUniformItemSizes(true);
            list3.setUniformItemSizes(true);
            list2.show();
            EntryWalk walk(store, 1);
            walk.step(SIZE_MAX);
            QStringList a;
            QStringList b;
            std::string buf;
            for (std::size_t r = 0; r < walk.first().size(); ++r) {
                walk.rowText(walk.first(), r, "marker", buf);
                a << QString::fromLatin1(buf.data(), static_cast<qsizetype>(buf.size()));
            }
            for (std::size_t r = 0; r < walk.second().size(); ++r) {
                walk.rowText(walk.second(), r, "marker", buf);
                b << QString::fromLatin1(buf.data(), static_cast<qsizetype>(buf.size()));
            }
            list2.addItems(a);
            list3.addItems(b);
            list2.repaint();
            QCoreApplication::processEvents();
            fill = msSince(t0);
            open = residentMb();
        }
        QCoreApplication::processEvents();
        const double after = residentMb();
        std::printf("copied into QListWidgets: listed in %.0f ms; resident %.0f MB before, %.0f MB "
                    "open (+%.0f), %.0f MB after closing\n",
                    fill, before, open, open - before, after);
    }
    return 0;
}
