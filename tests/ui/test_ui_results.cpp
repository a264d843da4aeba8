// SPDX-License-Identifier: GPL-3.0-or-later
// The results list with a big listing: a Free HEAD search over a long list
// of words ending in I, listed whole, and stopped by a click on status panel
// 2 while its lines are being listed.

#include "gridcanvas.h"
#include "loader.h"
#include "mainwindow.h"
#include "resultorder.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "uiharness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace korvel;
using namespace korvel::uitest;

namespace {

// A sorted list of words of 2 to 8 letters ending in I, count of them.
std::vector<std::string> endingInI(int count) {
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i) {
        std::string w;
        for (int k = 0, n = i; k < 1 + i % 7; ++k, n /= 26)
            w.insert(w.begin(), static_cast<char>('A' + n % 26));
        words.push_back(w + "I");
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

// A window over a folder holding a small base dictionary and words.dic;
// ".diz" lists are plain lists here, copied by the stand-in library.
struct Harness : WindowHarness {
    explicit Harness(const std::vector<std::string>& words) {
        auto write = [this](const QString& name, const std::vector<std::string>& lines) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (const auto& l : lines)
                f.write((l + "\r\n").c_str());
        };
        write(QStringLiteral("base.diz"), {"CASA", "ROMA"});
        write(QStringLiteral("words.dic"), words);
        start(eagerTimings());
    }

    // A grid of two rows of cells columns wide, the first "?" but for a
    // final I, and a prompt across on it with Extended Search on.
    void promptEndingInI(int columns) {
        w().document().newGrid(2, static_cast<int16_t>(columns));
        w().Inizio();
        for (int c = 0; c + 1 < columns; ++c)
            layCell(w(), 0, c, '?');
        layCell(w(), 0, columns - 1, 'I');
        w().rinfresca();
        if (!w().flags().Estesa)
            w().menuItem(QStringLiteral("Estesa"))->trigger();
        w().toolButton(QStringLiteral("a1"))->trigger();
        clickCell(0, 0);
    }
};

bool inDisplayOrder(const QStringList& lines) {
    std::vector<std::string> bytes;
    for (const QString& l : lines)
        bytes.push_back(l.toLatin1().toStdString());
    std::vector<std::string> sorted = bytes;
    sortListLines(sorted);
    return bytes == sorted;
}

} // namespace

class TestUiResults : public QObject {
    Q_OBJECT

private slots:
    // No font substitutes here: the list is fixed-pitch on its own.

    // Every padded line listed, in display order, all of them rows of the view.
    void freeHeadListsEverything() {
        const std::vector<std::string> words = endingInI(30000);
        Harness h(words);
        QVERIFY(h.loaded());
        h.promptEndingInI(10);
        h.command(1)->click();
        QCOMPARE(h.w().Stb1()->text(3), QStringLiteral(" "));
        const int expected =
            static_cast<int>(std::count_if(words.begin(), words.end(), [](const std::string& w) {
                return w.size() >= 2 && w.size() <= 10;
            }));
        QCOMPARE(h.w().Lists()->count(), expected);
        QCOMPARE(h.w().Lists()->model()->rowCount(), expected);
        QCOMPARE(h.w().Stb1()->text(2), QStringLiteral(" =%1 ").arg(expected));
        const QStringList lines = h.lines();
        QVERIFY(inDisplayOrder(lines));
        // Shortest words first: they carry the most blanks.
        QCOMPARE(lines.first(), QStringLiteral("        AI -2"));
        // Nine freed cells and the fixed I: every line is as long as the slot.
        for (const QString& l : lines)
            QVERIFY2(l.size() == 13 && l.endsWith(QStringLiteral("I -2")), qPrintable(l));

        // With a fixed pitch the blanks line the words up with the slot's end.
        const QFontMetrics fm(h.w().Lists()->font());
        QVERIFY(QFontInfo(h.w().Lists()->font()).fixedPitch());
        QCOMPARE(fm.horizontalAdvance(QLatin1Char(' ')), fm.horizontalAdvance(QLatin1Char('W')));
        for (int i = 0; i < lines.size(); i += 997)
            QCOMPARE(fm.horizontalAdvance(lines[i]), fm.horizontalAdvance(lines.first()));
    }

    // Where the classic names stand for a face of proportional pitch, the
    // list still takes one of fixed pitch.
    void listFontHasFixedPitch() {
        for (const char* name : {"Courier", "Courier New"})
            QFont::insertSubstitution(QString::fromLatin1(name), QStringLiteral("DejaVu Sans"));
        QVERIFY(!QFontInfo(QFont(QStringLiteral("Courier"))).fixedPitch());
        {
            Harness h({"AI"});
            QVERIFY(h.loaded());
            const QFont font = h.w().Lists()->font();
            QVERIFY(QFontInfo(font).fixedPitch());
            const QFontMetrics fm(font);
            QCOMPARE(fm.horizontalAdvance(QLatin1Char(' ')),
                     fm.horizontalAdvance(QLatin1Char('W')));
        }
        for (const char* name : {"Courier", "Courier New"})
            QFont::removeSubstitutions(QString::fromLatin1(name));
    }

    // A click on panel 2 while the lines are listed stops the listing: the
    // lines listed so far stay, in display order, and " Abort! " shows.
    void abortFreeHeadListing() {
        const std::vector<std::string> words = endingInI(300000);
        Harness h(words);
        QVERIFY(h.loaded());
        MainWindow& w = h.w();
        h.promptEndingInI(10);

        bool clicked = false;
        int listedAtClick = 0;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            // The scan is over and the listing under way.
            if (clicked || w.flags().BusyCounter == 0 || w.Lists()->count() < 5000)
                return;
            clicked = true;
            listedAtClick = w.Lists()->count();
            QTest::mouseClick(w.Stb1()->panel(2), Qt::LeftButton);
        });
        poll.start();
        h.command(1)->click();
        poll.stop();

        QVERIFY(clicked);
        QCOMPARE(w.Stb1()->text(3), QStringLiteral(" Abort! "));
        QCOMPARE(w.Stb1()->text(4), QStringLiteral(" "));
        const int listed = w.Lists()->count();
        // Stopped at the next pass through the yield: a few lines later.
        QVERIFY(listed >= listedAtClick);
        QVERIFY2(listed < listedAtClick + 1000, qPrintable(QString::number(listed)));
        QCOMPARE(w.Lists()->model()->rowCount(), listed);
        QCOMPARE(w.Stb1()->text(2), QStringLiteral(" =%1 ").arg(listed));
        QVERIFY(inDisplayOrder(h.lines()));
        QCOMPARE(w.flags().BusyCounter, int16_t{0});
        QCOMPARE(w.flags().abortRequest, int16_t{0});
        QVERIFY(!w.busy());

        // The window is at rest: a click on a line places its word.
        const QString line = w.Lists()->lineText(0);
        w.Lists()->setCurrentRow(0);
        w.Lists_Click();
        QCOMPARE(w.textb()->text(), line.left(line.indexOf(QLatin1Char('-')) - 1));
    }
};

QTEST_MAIN(TestUiResults)
#include "test_ui_results.moc"
