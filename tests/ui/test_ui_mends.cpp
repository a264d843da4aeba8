// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end tests of the window as a user meets it: the disabled dictionary
// panels, double clicks, the New dialog's Close and Esc, hidden clue numbers,
// the keys with Ctrl and Alt, the splash title and the file dialogs' texts.
// A real main window on the offscreen platform with the scripted desktop;
// the file dialogs are the real ones of the Qt desktop.
#include "exportformat.h"
#include "gridcanvas.h"
#include "griddimensionsdialog.h"
#include "loader.h"
#include "mainwindow.h"
#include "pictures.h"
#include "qtdesktop.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "uiharness.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace korvel;
using namespace korvel::uitest;

namespace {

struct Harness : WindowHarness {
    bool escapeIgnored = false;

    Harness() {
        addFixture(uiFixture(QStringLiteral("grid")));
        start(eagerTimings());
    }

    // "New..." answered with the dimensions and ended as asked. Returns
    // whether the dialog appeared.
    bool newGrid(int rows, int columns, DialogEnd end = DialogEnd::Ok) {
        return answerNewGrid(w(), QString::number(rows), QString::number(columns), end,
                             &escapeIgnored);
    }
};

// The darkest lightness inside a widget's frame, as it is painted.
int darkestInside(QWidget* w) {
    const QImage img = w->grab().toImage();
    int darkest = 255;
    for (int y = 3; y < img.height() - 3; ++y)
        for (int x = 3; x < img.width() - 3; ++x)
            darkest = std::min(darkest, QColor(img.pixel(x, y)).lightness());
    return darkest;
}

// Runs check on the first file dialog that shows, then closes it.
void onFileDialog(const std::function<void(QFileDialog*)>& check) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, check] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll->stop();
        poll->deleteLater();
        check(d);
        d->reject();
    });
    poll->start();
}

} // namespace

class TestUiMends : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void disabledPanelLooksDisabled();
    void doubleClickIsOneClick_data();
    void doubleClickIsOneClick();
    void newDialogClosedKeepsChanges();
    void escClosesNewDialog();
    void hiddenNumbersLeaveWhite();
    void ctrlAndAltNeverType();
    void undoRedoKeys();
    void splashTitleFits();
    void fileDialogTexts();
    void replacingAFileAsksFirst();
    void printProposesAFreeName();
    void openDialogShowsPuzzlesInUse();
    void chosenFilterShowsWithoutPatterns();
};

void TestUiMends::disabledPanelLooksDisabled() {
    Harness h;
    QVERIFY(h.loaded());
    StatusPanels* bar = h.w().Stb1();
    QVERIFY(bar->isPanelVisible(12));
    const QColor enabled = bar->panel(11)->palette().color(QPalette::Active, QPalette::WindowText);
    const QColor greyed = bar->palette().color(QPalette::Disabled, QPalette::WindowText);
    QVERIFY(enabled != greyed);
    const int enabledInk = darkestInside(bar->panel(12));

    // Off, on and off again: every time it shows its state.
    for (bool on : {false, true, false}) {
        h.item("d2")->trigger();
        QCOMPARE(bar->isPanelEnabled(12), on);
        for (auto group : {QPalette::Active, QPalette::Inactive})
            QCOMPARE(bar->panel(12)->palette().color(group, QPalette::WindowText),
                     on ? enabled : greyed);
        const int ink = darkestInside(bar->panel(12));
        if (on)
            QCOMPARE(ink, enabledInk);
        else
            QVERIFY2(ink > enabledInk + 40,
                     qPrintable(QStringLiteral("%1 %2").arg(ink).arg(enabledInk)));
    }
}

void TestUiMends::doubleClickIsOneClick_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<char>("before");
    QTest::addColumn<char>("after");
    QTest::addColumn<QString>("panel2");
    QTest::newRow("black/white") << "a0" << '?' << BLACK << " blacked ";
    QTest::newRow("white/black") << "a0" << BLACK << '?' << " whitened ";
    QTest::newRow("clear") << "a5" << 'K' << '?' << " cleared ";
}

void TestUiMends::doubleClickIsOneClick() {
    QFETCH(QString, tool);
    QFETCH(char, before);
    QFETCH(char, after);
    QFETCH(QString, panel2);
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3));
    MainWindow& w = h.w();
    layCell(w, 1, 1, before);
    w.toolButton(tool)->trigger();
    QTest::mouseMove(w.Peri(), h.centre(1, 1));
    // The platform's order: press, release, double click, release.
    QTest::mousePress(w.Peri(), Qt::LeftButton, {}, h.centre(1, 1));
    QTest::mouseRelease(w.Peri(), Qt::LeftButton, {}, h.centre(1, 1));
    QTest::mouseDClick(w.Peri(), Qt::LeftButton, {}, h.centre(1, 1));
    QTest::mouseRelease(w.Peri(), Qt::LeftButton, {}, h.centre(1, 1));
    QCOMPARE(w.grid().cell(1, 1), after);
    QCOMPARE(w.Stb1()->text(2), panel2);
    QCOMPARE(h.desktop.beeps, 0);
    QCOMPARE(w.history().HistoryLength(), int16_t{3}); // one cell record
}

void TestUiMends::newDialogClosedKeepsChanges() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(2, 3));
    MainWindow& w = h.w();
    h.key("a0")->trigger();
    h.clickCell(0, 1);
    QCOMPARE(w.DocumentChanged(), int16_t{1});

    // No, then Close: the grid and its changed state stay.
    h.desktop.boxAnswers << MsgAnswer::No;
    QVERIFY(h.newGrid(4, 4, DialogEnd::Close));
    QCOMPARE(w.grid().RowCount, int16_t{2});
    QCOMPARE(w.grid().cell(0, 1), BLACK);
    QCOMPARE(w.DocumentChanged(), int16_t{1});
    // So Exit still asks; Cancel keeps the program.
    h.desktop.clear();
    h.desktop.boxAnswers << MsgAnswer::Cancel;
    h.item("menuEsci")->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes().first().title, QStringLiteral("ATTENTION !"));
    QVERIFY(!h.desktop.ended);

    // The same for Open: No, then a cancelled dialog or a file that cannot
    // be opened, leaves the grid changed.
    for (const QString& answer : {QString(), QStringLiteral("/nonexistent/x.kvl")}) {
        h.desktop.clear();
        h.desktop.boxAnswers << MsgAnswer::No;
        h.desktop.fileAnswers << answer;
        h.item("menuApri")->trigger();
        QCOMPARE(w.grid().cell(0, 1), BLACK);
        QCOMPARE(w.DocumentChanged(), int16_t{1});
    }

    // No, then OK: the new grid replaces it, unchanged.
    h.desktop.boxAnswers << MsgAnswer::No;
    QVERIFY(h.newGrid(4, 5));
    QCOMPARE(w.grid().RowCount, int16_t{4});
    QCOMPARE(w.grid().ColumnCount, int16_t{5});
    QCOMPARE(w.DocumentChanged(), int16_t{0});
}

void TestUiMends::escClosesNewDialog() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3));
    MainWindow& w = h.w();
    h.desktop.clear();
    QVERIFY(h.newGrid(5, 5, DialogEnd::Escape));
    QVERIFY(!h.escapeIgnored);
    QCOMPARE(h.desktop.beeps, 0);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(w.grid().RowCount, int16_t{3});
    QCOMPARE(w.windowTitle(), QStringLiteral("  KORVEL   (new file)"));
}

void TestUiMends::hiddenNumbersLeaveWhite() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(4, 4));
    MainWindow& w = h.w();
    layCell(w, 1, 2, BLACK);
    w.rinfresca();
    auto coloured = [&w] {
        const QImage& img = w.Peri()->image();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c(img.pixel(x, y));
                n += c.red() != c.green() || c.green() != c.blue();
            }
        return n;
    };
    QVERIFY(coloured() > 0); // the red numbers
    h.item("Numerare")->trigger();
    QVERIFY(!h.item("Numerare")->isChecked());
    QCOMPARE(coloured(), 0);
    // And shown again, in red.
    h.item("Numerare")->trigger();
    QVERIFY(coloured() > 0);
}

void TestUiMends::ctrlAndAltNeverType() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3));
    MainWindow& w = h.w();
    h.key("a3")->trigger();
    h.clickCell(0, 0);
    for (Qt::KeyboardModifiers m :
         {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::AltModifier),
          Qt::ControlModifier | Qt::AltModifier, Qt::ControlModifier | Qt::ShiftModifier})
        for (Qt::Key k : {Qt::Key_Z, Qt::Key_Y, Qt::Key_B, Qt::Key_Space})
            QTest::keyClick(w.Peri(), k, m);
    QCOMPARE(QString::fromLatin1(w.grid().GridRows[0].c_str()), QStringLiteral("???"));
    QCOMPARE(w.DocumentChanged(), int16_t{0});
    QTest::keyClick(w.Peri(), Qt::Key_B, Qt::ShiftModifier);
    QCOMPARE(w.grid().cell(0, 0), 'B');
}

void TestUiMends::undoRedoKeys() {
    Harness h;
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(3, 3));
    MainWindow& w = h.w();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    h.key("a3")->trigger();
    h.clickCell(0, 0);
    // Nothing to undo yet: the key does nothing at all.
    QTest::keyClick(w.Peri(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.grid().cell(0, 0), '?');
    QTest::keyClick(w.Peri(), Qt::Key_A);
    QTest::keyClick(w.Peri(), Qt::Key_B);
    QCOMPARE(QString::fromLatin1(w.grid().GridRows[0].c_str()), QStringLiteral("AB?"));
    QTest::keyClick(w.Peri(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(QString::fromLatin1(w.grid().GridRows[0].c_str()), QStringLiteral("A??"));
    QTest::keyClick(w.Peri(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(QString::fromLatin1(w.grid().GridRows[0].c_str()), QStringLiteral("???"));
    QVERIFY(!h.key("a7")->isEnabled());
    QTest::keyClick(w.Peri(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(QString::fromLatin1(w.grid().GridRows[0].c_str()), QStringLiteral("A??"));
    QTest::keyClick(w.Peri(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QString::fromLatin1(w.grid().GridRows[0].c_str()), QStringLiteral("AB?"));
    QVERIFY(!h.key("a8")->isEnabled());
    QTest::keyClick(w.Peri(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(QString::fromLatin1(w.grid().GridRows[0].c_str()), QStringLiteral("AB?"));
    // The toolbar's tooltips keep their texts.
    QCOMPARE(h.key("a7")->toolTip(), QStringLiteral("Undo last action"));
    QCOMPARE(h.key("a8")->toolTip(), QStringLiteral("Resume last undo"));
    // In the TEST field the keys are the field's own.
    w.textb()->setFocus();
    QTest::keyClicks(w.textb(), QStringLiteral("XY"));
    QTest::keyClick(w.textb(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.textb()->text(), QString());
    QCOMPARE(QString::fromLatin1(w.grid().GridRows[0].c_str()), QStringLiteral("AB?"));
}

void TestUiMends::splashTitleFits() {
    const QImage img = splashPicture().toImage();
    // The title's colour inside its box, from 250 to 469 across.
    int left = img.width();
    int right = -1;
    for (int y = 70; y < 140; ++y)
        for (int x = 250; x < 470; ++x) {
            const QColor c(img.pixel(x, y));
            if (c.red() > 200 && c.green() > 170 && c.blue() < 150) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    QVERIFY(right > left);
    QVERIFY2(left > 252 && right < 467,
             qPrintable(QStringLiteral("title spans %1..%2").arg(left).arg(right)));
}

void TestUiMends::fileDialogTexts() {
    Harness h;
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    // The texts the window hands to the dialogs.
    w.menuApri_Click();
    QVERIFY(h.newGrid(2, 2));
    w.menuItem(QStringLiteral("Salvacome"))->trigger();
    ScriptedDesktop::Shown open;
    ScriptedDesktop::Shown save;
    for (const auto& s : h.desktop.shown) {
        if (s.kind == QLatin1String("open"))
            open = s;
        if (s.kind == QLatin1String("save"))
            save = s;
    }
    QCOMPARE(save.proposal, QStringLiteral(".kvl"));
    QCOMPARE(w.CurrentFile(), QStringLiteral(".kvl"));

    // The real dialogs show the descriptions as worded, once.
    QtDesktop real;
    QString shownFilter;
    onFileDialog([&](QFileDialog* d) {
        shownFilter = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
    });
    QCOMPARE(real.chooseFileToOpen(&w, open.title, open.text, h.dir.path()), QString());
    QCOMPARE(shownFilter, QStringLiteral("File Korvel(*.kvl;*.KVL)"));

    // The save dialog proposes a name the open dialog lists, never one that
    // is there already.
    QFile existing(h.dir.filePath(QStringLiteral("new.kvl")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    QString shownName;
    onFileDialog([&](QFileDialog* d) {
        shownFilter = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
        shownName = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
    });
    QCOMPARE(real.chooseFileToSave(&w, save.title, save.text, h.dir.path(), save.proposal),
             QString());
    QCOMPARE(shownFilter, QStringLiteral("File Korvel *.kvl"));
    QCOMPARE(shownName, QStringLiteral("new2.kvl"));
    QCOMPARE(visibleSaveName(h.dir.path(), QStringLiteral(".kvl")), QStringLiteral("new2.kvl"));
    QCOMPARE(visibleSaveName(h.temp.path(), QStringLiteral(".kvl")), QStringLiteral("new.kvl"));
    QCOMPARE(visibleSaveName(h.dir.path(), QStringLiteral("a.kvl")), QStringLiteral("a.kvl"));
    QCOMPARE(visibleSaveName(h.dir.path(), QStringLiteral(".grid.kvl")),
             QStringLiteral("grid.kvl"));
}

// Save as .ipuz, Export and a print to a file ask before they replace a file
// that is there (No brings the dialog back); a .kvl is replaced unasked, as
// it always was.
void TestUiMends::replacingAFileAsksFirst() {
    Harness h;
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QVERIFY(h.newGrid(3, 3));
    h.setRows({QStringLiteral("ABC"), QStringLiteral("DEF"), QStringLiteral("GHI")});
    const QByteArray old("old");
    const QString ipuz = h.path(QStringLiteral("a.ipuz"));
    writeFile(ipuz, old);
    const auto replaceBox = [](const QString& file, const QString& title) {
        ScriptedDesktop::Shown box;
        box.kind = QStringLiteral("box");
        box.title = title;
        box.text = QDir::toNativeSeparators(file) +
                   QStringLiteral(" already exists.\r\nDo you want to replace it?");
        box.icon = MsgIcon::Exclamation;
        box.buttons = MsgButtons::YesNo;
        return box;
    };
    const auto sameBox = [](const ScriptedDesktop::Shown& a, const ScriptedDesktop::Shown& b) {
        return a.kind == b.kind && a.title == b.title && a.text == b.text && a.icon == b.icon &&
               a.buttons == b.buttons;
    };

    // Save as .ipuz: No brings the dialog back with the name; then Yes.
    h.desktop.fileAnswers << ipuz << ipuz;
    h.desktop.boxAnswers << MsgAnswer::No << MsgAnswer::Yes;
    w.menuItem(QStringLiteral("Salvacome"))->trigger();
    QCOMPARE(h.desktop.shown.size(), 4);
    QCOMPARE(h.desktop.shown[0].kind, QStringLiteral("save"));
    const auto asked = replaceBox(ipuz, QStringLiteral("Select the file to save"));
    QVERIFY(sameBox(h.desktop.shown[1], asked));
    QCOMPARE(h.desktop.shown[2].kind, QStringLiteral("save"));
    QCOMPARE(QFileInfo(h.desktop.shown[2].proposal).fileName(), QStringLiteral("a.ipuz"));
    QVERIFY(sameBox(h.desktop.shown[3], asked));
    QVERIFY(readAll(ipuz).startsWith("{"));
    QCOMPARE(w.CurrentFile(), ipuz);

    // A name without its extension is asked about under the full name.
    writeFile(ipuz, old);
    h.desktop.clear();
    h.desktop.fileAnswers << h.path(QStringLiteral("a"));
    h.desktop.filterAnswers << 1;
    w.menuItem(QStringLiteral("Salvacome"))->trigger();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QVERIFY(sameBox(h.desktop.boxes()[0], asked));
    QCOMPARE(readAll(ipuz), old);
    QCOMPARE(w.CurrentFile(), ipuz);

    // A .kvl: replaced without a question.
    const QString kvl = h.path(QStringLiteral("k.kvl"));
    writeFile(kvl, old);
    h.desktop.clear();
    h.desktop.fileAnswers << kvl;
    h.desktop.filterAnswers << 0;
    w.menuItem(QStringLiteral("Salvacome"))->trigger();
    for (const auto& b : h.desktop.boxes())
        QVERIFY2(!b.text.contains(QStringLiteral("already exists")), qPrintable(b.text));
    QVERIFY(readAll(kvl).startsWith("3,3"));

    // Export: No, then the dialog again (cancelled): the file stays.
    const QString pdf = h.path(QStringLiteral("e.pdf"));
    writeFile(pdf, old);
    h.desktop.clear();
    h.desktop.fileAnswers << pdf;
    h.desktop.boxAnswers << MsgAnswer::No;
    w.Esporta_Click();
    QCOMPARE(h.desktop.shown.size(), 3);
    QVERIFY(sameBox(h.desktop.shown[1], replaceBox(pdf, QStringLiteral("Export"))));
    QCOMPARE(h.desktop.shown[2].kind, QStringLiteral("export"));
    QCOMPARE(h.desktop.shown[2].proposal, QStringLiteral("e.pdf"));
    QCOMPARE(readAll(pdf), old);
    // Yes replaces it.
    h.desktop.clear();
    h.desktop.fileAnswers << pdf;
    h.desktop.boxAnswers << MsgAnswer::Yes;
    w.Esporta_Click();
    QVERIFY(readAll(pdf).startsWith("%PDF"));
    // An SVG export names each file of the two that is there.
    const QString svg = h.path(QStringLiteral("s.svg"));
    const QString solution = QString::fromStdString(solutionSvgPath(svg.toStdString()));
    writeFile(svg, old);
    writeFile(solution, old);
    h.desktop.clear();
    h.desktop.fileAnswers << svg;
    w.Esporta_Click();
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text,
             QDir::toNativeSeparators(svg) + QStringLiteral(" and ") +
                 QDir::toNativeSeparators(solution) +
                 QStringLiteral(" already exist.\r\nDo you want to replace them?"));
    QCOMPARE(readAll(solution), old);

    // A print to a file: No brings the print dialog back.
    const QString printed = h.path(QStringLiteral("p.pdf"));
    writeFile(printed, old);
    h.desktop.clear();
    h.desktop.printAnswers << printed;
    h.desktop.boxAnswers << MsgAnswer::No;
    w.Stampa_Click();
    QCOMPARE(h.desktop.shown.size(), 3);
    QVERIFY(sameBox(h.desktop.shown[1], replaceBox(printed, QStringLiteral("Print"))));
    QCOMPARE(h.desktop.shown[2].kind, QStringLiteral("print"));
    QCOMPARE(readAll(printed), old);
    h.desktop.clear();
    h.desktop.printAnswers << printed;
    h.desktop.boxAnswers << MsgAnswer::Yes;
    w.Stampa_Click();
    QVERIFY(readAll(printed).startsWith("%PDF"));
}

// A print to a file never proposes the name of a file that is there, such
// as an earlier export of the same grid.
void TestUiMends::printProposesAFreeName() {
    Harness h;
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QVERIFY(h.newGrid(3, 3));
    const QString exported = h.path(QStringLiteral("spring.pdf"));
    h.desktop.fileAnswers << h.path(QStringLiteral("spring.kvl"));
    w.menuItem(QStringLiteral("Salvacome"))->trigger();
    w.Stampa_Click();
    QCOMPARE(QFileInfo(h.desktop.shown.last().proposal).fileName(), QStringLiteral("spring.pdf"));
    writeFile(exported, "old");
    writeFile(h.path(QStringLiteral("spring2.pdf")), "old");
    w.Stampa_Click();
    QCOMPARE(h.desktop.shown.last().kind, QStringLiteral("print"));
    QCOMPARE(QFileInfo(h.desktop.shown.last().proposal).fileName(), QStringLiteral("spring3.pdf"));
    QCOMPARE(QFileInfo(h.desktop.shown.last().proposal).absolutePath(), h.dir.path());
}

// The Open dialog starts on Korvel's own files, on every crossword type
// while a .puz or .ipuz is open, and on the filter the user chose for the
// rest of the run.
void TestUiMends::openDialogShowsPuzzlesInUse() {
    Harness h;
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    const auto lastOpen = [&] {
        ScriptedDesktop::Shown open;
        for (const auto& s : h.desktop.shown)
            if (s.kind == QLatin1String("open"))
                open = s;
        return open;
    };
    w.menuApri_Click();
    QCOMPARE(lastOpen().text, QStringLiteral("File Korvel(*.kvl;*.KVL) (*.kvl *.KVL)"));
    const QStringList filters = lastOpen().filters;
    QCOMPARE(filters.size(), 4);
    QVERIFY(filters[1].startsWith(QStringLiteral("Crossword puzzles (")));

    // A puzzle saved as .ipuz is the document: its type shows.
    QVERIFY(h.newGrid(3, 3));
    const QString ipuz = h.path(QStringLiteral("p.ipuz"));
    h.desktop.fileAnswers << ipuz;
    h.desktop.filterAnswers << 1;
    w.menuItem(QStringLiteral("Salvacome"))->trigger();
    QCOMPARE(w.CurrentFile(), ipuz);
    w.menuApri_Click();
    QCOMPARE(lastOpen().text, filters[1]);
    // Opening it under the same filter chooses nothing: a .kvl grid starts
    // on Korvel's own files again.
    h.desktop.fileAnswers << ipuz;
    w.menuApri_Click();
    QCOMPARE(w.CurrentFile(), ipuz);
    QVERIFY(h.newGrid(2, 2));
    w.menuApri_Click();
    QCOMPARE(lastOpen().text, filters[0]);

    // A filter the user chooses stays chosen, whatever the document.
    h.desktop.fileAnswers << ipuz;
    h.desktop.filterAnswers << 3;
    w.menuApri_Click();
    QCOMPARE(w.CurrentFile(), ipuz);
    QVERIFY(h.newGrid(2, 2));
    w.menuApri_Click();
    QCOMPARE(lastOpen().text, filters[3]);
    // A choice in a dialog that was cancelled is not kept.
    h.desktop.filterAnswers << 2;
    w.menuApri_Click();
    w.menuApri_Click();
    QCOMPARE(lastOpen().text, filters[3]);
}

// The real dialogs show the filter they were asked to start on, worded
// without its patterns: an .ipuz proposal beside the ipuz type.
void TestUiMends::chosenFilterShowsWithoutPatterns() {
    Harness h;
    QVERIFY(h.loaded());
    QtDesktop real;
    QString shownFilter;
    QString shownName;
    onFileDialog([&](QFileDialog* d) {
        shownFilter = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
        shownName = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
    });
    int filter = 1;
    const QStringList saveFilters = {QStringLiteral("File Korvel *.kvl (*.kvl)"),
                                     QStringLiteral("ipuz crossword *.ipuz (*.ipuz)")};
    QCOMPARE(real.chooseFileToSaveAmong(&h.w(), QStringLiteral("Select the file to save"),
                                        saveFilters, h.dir.path(), QStringLiteral("new.ipuz"),
                                        filter),
             QString());
    QCOMPARE(shownFilter, QStringLiteral("ipuz crossword *.ipuz"));
    QCOMPARE(shownName, QStringLiteral("new.ipuz"));

    const QStringList openFilters = {
        QStringLiteral("File Korvel(*.kvl;*.KVL) (*.kvl *.KVL)"),
        QStringLiteral("Crossword puzzles (*.kvl *.puz *.ipuz *.KVL *.PUZ *.IPUZ)")};
    onFileDialog([&](QFileDialog* d) {
        shownFilter = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
    });
    QCOMPARE(real.chooseFileToOpenAmong(&h.w(), QStringLiteral("Select the file to open"),
                                        openFilters, h.dir.path(), filter),
             QString());
    QCOMPARE(shownFilter, QStringLiteral("Crossword puzzles"));
}

QTEST_MAIN(TestUiMends)
#include "test_ui_mends.moc"
