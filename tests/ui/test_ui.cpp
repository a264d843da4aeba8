// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end tests of the main window on the offscreen platform, with the
// scripted desktop and a fake companion library over small fixture folders.
#include "aboutbox.h"
#include "gridcanvas.h"
#include "griddimensionsdialog.h"
#include "keycodes.h"
#include "loader.h"
#include "mainwindow.h"
#include "scripteddesktop.h"
#include "splashwindow.h"
#include "statuspanels.h"
#include "uiharness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <unistd.h>

#include <functional>
#include <memory>

using namespace korvel;
using namespace korvel::uitest;

Q_DECLARE_METATYPE(korvel::MsgAnswer)

namespace {

const QString Product = QStringLiteral("  KORVEL   ");

// One window over a private copy of a fixture folder.
struct Harness : WindowHarness {
    explicit Harness(const QString& fixture, int timer0Ms = 5, int16_t libraryErrors = 0) {
        addFixture(uiFixture(fixture));
        library.errors = libraryErrors;
        start(quickTimings(timer0Ms));
    }

    // Runs menuNuovo_Click and answers the dimensions dialog with the texts
    // (OK when ok is true, else Close). Returns whether the dialog appeared.
    bool newGrid(const QString& rows, const QString& columns, bool ok = true) {
        return answerNewGrid(w(), rows, columns, ok ? DialogEnd::Ok : DialogEnd::Close);
    }
};

// Pixels of the backing image inside cell (r, c), grid lines excluded.
QRect cellInside(const GridCanvas* peri, int r, int c) {
    const QPoint a = peri->toPixel(QPointF(c, r));
    const QPoint b = peri->toPixel(QPointF(c + 1, r + 1));
    return QRect(a + QPoint(2, 2), b - QPoint(2, 2));
}

int countColour(const QImage& image, QRect area, QRgb colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour ? 1 : 0;
    return n;
}

int countRedish(const QImage& image, QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += (c.red() > 180 && c.green() < 120 && c.blue() < 120) ? 1 : 0;
        }
    return n;
}

} // namespace

class TestUi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutes(); }

    void startUpState();
    void loadedState();
    void secondsCounter();
    void dictionaryItemsAndPanels();
    void dictionaryMarksFollowTheSet();
    void baseAloneShowsOneItem();
    void loadFailures_data();
    void loadFailures();
    void outOfSequenceWarning();

    void dialogKeyFilter_data();
    void dialogKeyFilter();
    void dialogEnterMovesFocus();
    void dialogBounds_data();
    void dialogBounds();
    void stateAfterInizio();
    void dialogCloseKeepsGrid();

    void drawnGridPixels();
    void atIsStoredAsBlack();
    void zoomCommands();
    void zoomKeys_data();
    void zoomKeys();
    void classicCodes_data();
    void classicCodes();

    void saveAsWritesExactBytes();
    void saveAsExtensionRule_data();
    void saveAsExtensionRule();
    void saveAsCancelledOnNewGrid();
    void openRoundTrip();
    void openFailureKeepsGrid();
    void openCancelled();
    void failedSaveKeepsOldFile();

    void unsavedPrompt_data();
    void unsavedPrompt();
    void closeWindow();

    void helpCommands();
    void splashHandsOver();
    void aboutBox();
    void toolKeys_data();
    void toolKeys();
    void closeWhileLoading();
};

// ------------------------------------------------------------ start-up

void TestUi::startUpState() {
    Harness h(QStringLiteral("basic"), 60000);
    MainWindow& w = h.w();
    QCOMPARE(w.windowTitle(), Product);
    for (const char* k :
         {"a0", "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9", "a10", "a11", "a12"}) {
        QVERIFY2(h.key(k), k);
        QVERIFY2(!h.key(k)->isEnabled(), k);
    }
    QCOMPARE(h.panel(1), QStringLiteral("      WELCOME !"));
    QCOMPARE(h.panel(2), QStringLiteral(" Wait ...                            "));
    QCOMPARE(h.panel(2).size(), 37);
    QVERIFY(h.child<QLabel>("Label0")->isVisible());
    QCOMPARE(h.child<QLabel>("Label0")->text(),
             QStringLiteral(" Wait until the dictionaries are loaded ..."));
    QVERIFY(!h.item("Estesa")->isChecked());
    QVERIFY(!w.flags().Estesa);
    QVERIFY(w.Stb1()->isPanelVisible(7));
    QVERIFY(!w.Stb1()->isPanelVisible(8));
    QVERIFY(h.item("Accorcia")->isChecked());
    QVERIFY(h.item("Numerare")->isChecked());
    QVERIFY(!w.fileMenu()->menuAction()->isEnabled());
    QVERIFY(!h.item("Salva")->isEnabled());
    QVERIFY(!h.item("Salvacome")->isEnabled());
    QVERIFY(!w.textb()->isEnabled());
    QVERIFY(!h.child<QLabel>("Picture1")->isVisible());
    QVERIFY(!w.Peri()->isVisible());
    QCOMPARE(w.CurrentTool(), int16_t{9});
    QCOMPARE(w.CurrentToolKey(), QStringLiteral("a9"));
    QCOMPARE(w.flags().BusyCounter, int16_t{0});
    QCOMPARE(w.cursor().shape(), Qt::WaitCursor);
    QVERIFY(w.Timer0()->isActive());
    QCOMPARE(w.Timer0()->interval(), 60000);
    for (int n = 2; n <= 6; ++n)
        QVERIFY(!w.menuItem(QStringLiteral("d%1").arg(n))->isVisible());

    // Keys of the toolbar, left to right, with their tooltips.
    QStringList order;
    for (QAction* a : w.Tlb1()->actions())
        if (a->objectName().startsWith(u'a'))
            order << a->objectName();
    QCOMPARE(order, QStringList({"a9", "a10", "a11", "a12", "a0", "a3", "a4", "a5", "a1", "a2",
                                 "a6", "a7", "a8"}));
    QCOMPARE(h.key("a0")->toolTip(), QStringLiteral("Black or White Cell"));
    QCOMPARE(h.key("a6")->toolTip(), QStringLiteral("Search Cross"));
    QCOMPARE(h.key("a8")->toolTip(), QStringLiteral("Resume last undo"));
    QCOMPARE(h.key("a12")->toolTip(), QStringLiteral("Not available"));
    QVERIFY(h.key("a0")->isCheckable());
    QVERIFY(!h.key("a7")->isCheckable());

    // Controls are found by their design names, with their captions.
    for (const char* name :
         {"Peri", "Lists", "Stb1", "Tlb1", "texta", "textb", "Command1", "Command2", "Command3",
          "Command4", "Label0", "SecCar", "Label1", "Label3", "Picture1", "Timer0", "Timer2"})
        QVERIFY2(w.findChild<QObject*>(QString::fromLatin1(name)), name);
    QCOMPARE(h.child<QPushButton>("Command1")->text(), QStringLiteral("Free HEAD"));
    QCOMPARE(h.child<QPushButton>("Command4")->text(), QStringLiteral("Free CUE"));
    QCOMPARE(h.child<QLabel>("Label1")->text(), QStringLiteral("SEARCH    SUBJECT"));
    QCOMPARE(h.item("Riduci")->text(),
             QStringLiteral("Shrink the Grid                      Ctrl -"));
    QCOMPARE(h.item("Ingrandisci")->text(),
             QStringLiteral("Enlarge the Grid                    Ctrl +"));
    QCOMPARE(h.item("Originali")->text(), QStringLiteral("Original Grid dimensions        Ctrl 0"));
    QCOMPARE(h.item("AiutoF1")->shortcut(), QKeySequence(Qt::Key_F1));
}

void TestUi::loadedState() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QVERIFY(!h.desktop.ended);
    QVERIFY(h.desktop.boxes().isEmpty());
    QCOMPARE(
        h.panel(2),
        QStringLiteral(
            " Open a CROSSWORD from File menu or work with TEST and enabled buttons on its left "));
    QVERIFY(w.fileMenu()->menuAction()->isEnabled());
    QVERIFY(h.key("a9")->isEnabled());
    for (const char* k : {"a0", "a6", "a7", "a8", "a10", "a11", "a12"})
        QVERIFY2(!h.key(k)->isEnabled(), k);
    QVERIFY(w.textb()->isEnabled());
    QVERIFY(h.child<QLabel>("Picture1")->isVisible());
    QVERIFY(!h.child<QLabel>("Label0")->isVisible());
    QVERIFY(!h.child<QLabel>("SecCar")->isVisible());
    QVERIFY(!w.Timer2()->isActive());
    QVERIFY(w.cursor().shape() != Qt::WaitCursor);
    QVERIFY(!h.item("Estesa")->isChecked());

    QCOMPARE(w.store().DictFileName[1], std::string("base.diz"));
    QCOMPARE(w.store().DictFileName[2], std::string("words.dic"));
    QVERIFY(w.store().DictText[1].find("ZEBRA") != std::string::npos);
    QCOMPARE(h.item("d1")->text(), QStringLiteral("D1- base.diz"));
    QCOMPARE(h.item("d2")->text(), QStringLiteral("D2- words.dic"));
    QVERIFY(h.item("d1")->isChecked() && h.item("d2")->isChecked());
    QVERIFY(h.item("d2")->isVisible());
    QVERIFY(!h.item("d3")->isVisible());
    QVERIFY(w.Stb1()->isPanelVisible(11) && w.Stb1()->isPanelEnabled(11));
    QVERIFY(w.Stb1()->isPanelVisible(12) && w.Stb1()->isPanelEnabled(12));
    for (int i = 13; i <= 16; ++i)
        QVERIFY(!w.Stb1()->isPanelVisible(i));
    QCOMPARE(w.Stb1()->hint(11), QStringLiteral("base"));
    QCOMPARE(w.Stb1()->hint(12), QStringLiteral("words"));
    QCOMPARE(w.Stb1()->text(12), QStringLiteral("D2"));
    // The decoded list is gone; the folder's own files stay.
    QVERIFY(!QFile::exists(QDir(h.temp.path()).filePath(QStringLiteral("base"))));
    QVERIFY(QFile::exists(h.path(QStringLiteral("base.diz"))));
    QVERIFY(QFile::exists(h.path(QStringLiteral("words.dic"))));
}

void TestUi::secondsCounter() {
    Harness h(QStringLiteral("basic"), 60000);
    auto* secCar = h.child<QLabel>("SecCar");
    QVERIFY(!secCar->isVisible());
    QCOMPARE(secCar->text(), QStringLiteral("0"));
    h.w().Timer2_Timer();
    QVERIFY(secCar->isVisible());
    QCOMPARE(secCar->text(), QStringLiteral("1"));
    h.w().Timer2_Timer();
    h.w().Timer2_Timer();
    QCOMPARE(secCar->text(), QStringLiteral("3"));
}

void TestUi::dictionaryItemsAndPanels() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();

    // The base dictionary stays on, from the menu and from its panel.
    h.item("d1")->trigger();
    w.Stb1_PanelClick(11);
    QCOMPARE(h.desktop.boxes().size(), 2);
    for (const auto& box : h.desktop.boxes()) {
        QCOMPARE(box.title, QStringLiteral("Attention..."));
        QCOMPARE(box.text, QStringLiteral("... the base.diz dictionary can't be disabled!"));
        QCOMPARE(box.icon, MsgIcon::None);
    }
    QVERIFY(h.item("d1")->isChecked());
    QVERIFY(w.isPanelEnabled(11));

    h.item("d2")->trigger();
    QVERIFY(!h.item("d2")->isChecked());
    QVERIFY(!w.isPanelEnabled(12));
    QCOMPARE(w.Stb1()->hint(12), QString());
    w.Stb1_PanelClick(12); // a disabled panel still switches its dictionary on
    QVERIFY(h.item("d2")->isChecked());
    QVERIFY(w.isPanelEnabled(12));
    QCOMPARE(w.Stb1()->hint(12), QStringLiteral("words"));

    // Panels 7 and 8 toggle Extended Search; panel 2 asks an abort only while busy.
    w.Stb1_PanelClick(7);
    QVERIFY(h.item("Estesa")->isChecked());
    QVERIFY(w.flags().Estesa);
    QVERIFY(!w.Stb1()->isPanelVisible(7) && w.Stb1()->isPanelVisible(8));
    w.Stb1_PanelClick(8);
    QVERIFY(!h.item("Estesa")->isChecked());
    w.Stb1_PanelClick(2);
    QCOMPARE(w.flags().abortRequest, int16_t{0});
    w.flags().BusyCounter = 2;
    w.Stb1_PanelClick(2);
    QCOMPARE(w.flags().abortRequest, int16_t{1});
    w.Stb1_PanelClick(7); // busy: the check stays
    QVERIFY(!h.item("Estesa")->isChecked());
    w.ResErr_Click();
    QCOMPARE(w.flags().BusyCounter, int16_t{0});
    QCOMPARE(w.flags().abortRequest, int16_t{0});
}

// Whatever is clicked, in whatever order, the d items' check marks, panels
// 11 to 16 and the enabled set say the same.
void TestUi::dictionaryMarksFollowTheSet() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    const std::function<void()> clicks[] = {
        [&] { h.item("d2")->trigger(); },  [&] { w.Stb1_PanelClick(12); },
        [&] { h.item("d3")->trigger(); },  [&] { w.Stb1_PanelClick(13); },
        [&] { w.Stb1_PanelClick(16); },    [&] { h.item("d1")->trigger(); },
        [&] { w.dictionaryItemClick(7); }, [&] { w.dictionaryItemClick(0); },
        [&] { w.Stb1_PanelClick(12); },    [&] { w.Stb1_PanelClick(10); },
    };
    const bool d2After[] = {false, true, true, true, true, true, true, true, false, false};
    for (std::size_t i = 0; i < std::size(clicks); ++i) {
        clicks[i]();
        for (int n = 1; n <= SearchedDictionaries; ++n) {
            const bool on = w.enabledDictionaries().isChecked(n);
            const QString where = QStringLiteral("click %1, d%2").arg(i).arg(n);
            QVERIFY2(h.item(qPrintable(QStringLiteral("d%1").arg(n)))->isChecked() == on,
                     qPrintable(where));
            QVERIFY2(w.isPanelEnabled(n + 10) == on, qPrintable(where));
            QVERIFY2(on == (n == 1 || (n == 2 && d2After[i])), qPrintable(where));
        }
        QCOMPARE(w.Stb1()->hint(12), d2After[i] ? QStringLiteral("words") : QString());
    }
    // Only the one click on d1 asked for the refusal box.
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.item("d3")->text(), QStringLiteral("3-"));
    QVERIFY(!h.item("d3")->isVisible());
}

void TestUi::baseAloneShowsOneItem() {
    Harness h(QStringLiteral("outofseq"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QCOMPARE(h.item("d1")->text(), QStringLiteral("D1- base.diz"));
    QVERIFY(h.item("d1")->isVisible() && h.item("d1")->isChecked());
    QVERIFY(w.Stb1()->isPanelVisible(11) && w.isPanelEnabled(11));
    QCOMPARE(w.Stb1()->hint(11), QStringLiteral("base"));
    for (int n = 2; n <= SearchedDictionaries; ++n) {
        const QByteArray name = "d" + QByteArray::number(n);
        QVERIFY2(!h.item(name.constData())->isVisible(), name.constData());
        QVERIFY2(!h.item(name.constData())->isChecked(), name.constData());
        QCOMPARE(h.item(name.constData())->text(), QStringLiteral("%1-").arg(n));
        QVERIFY(!w.Stb1()->isPanelVisible(n + 10));
        QVERIFY(!w.isPanelEnabled(n + 10));
        QCOMPARE(w.Stb1()->hint(n + 10), QString());
    }
}

void TestUi::loadFailures_data() {
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("libraryErrors");
    QTest::addColumn<QString>("text");
    QTest::newRow("no base.diz") << "nobase" << 0
                                 << "... mandatory dictionary is missing: base.diz !";
    QTest::newRow("library errors")
        << "basic" << 2 << "... errors while loading dictionaries *.diz !";
}

void TestUi::loadFailures() {
    QFETCH(QString, fixture);
    QFETCH(int, libraryErrors);
    QFETCH(QString, text);
    Harness h(fixture, 5, static_cast<int16_t>(libraryErrors));
    QVERIFY(h.loaded());
    QVERIFY(h.desktop.ended);
    QVERIFY(h.desktop.exitCode != 0);
    const auto boxes = h.desktop.boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Error ..."));
    QCOMPARE(boxes[0].text, text);
    QCOMPARE(boxes[0].icon, MsgIcon::Critical);
    QVERIFY(!h.w().fileMenu()->menuAction()->isEnabled());
    QVERIFY(!h.key("a9")->isEnabled());
}

void TestUi::outOfSequenceWarning() {
    Harness h(QStringLiteral("outofseq"));
    QVERIFY(h.loaded());
    QVERIFY(!h.desktop.ended);
    const auto boxes = h.desktop.boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Attention..."));
    QCOMPARE(boxes[0].text, QStringLiteral("This item BANCO is out of sequence\r\nand might "
                                           "compromise the search within its dictionary."));
    QCOMPARE(boxes[0].buttons, MsgButtons::Ok);
    QVERIFY(h.w().fileMenu()->menuAction()->isEnabled());
}

// ------------------------------------------------------------ new layout

void TestUi::dialogKeyFilter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("beeps");
    QTest::newRow("digits") << "0123456789"
                            << "0123456789" << 0;
    QTest::newRow("letters") << "ab"
                             << "" << 2;
    QTest::newRow("mixed") << "1x2"
                           << "12" << 1;
    QTest::newRow("signs and blank") << "-+ ."
                                     << "" << 4;
}

void TestUi::dialogKeyFilter() {
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(int, beeps);
    ScriptedDesktop desktop;
    GridDimensionsDialog dialog(desktop);
    dialog.show();
    for (QLineEdit* field : {dialog.rowsField(), dialog.columnsField()}) {
        desktop.beeps = 0;
        QTest::keyClicks(field, typed);
        QCOMPARE(field->text(), expected);
        QCOMPARE(desktop.beeps, beeps);
    }
    // Backspace passes.
    dialog.rowsField()->setText(QStringLiteral("12"));
    dialog.rowsField()->setCursorPosition(2);
    desktop.beeps = 0;
    QTest::keyClick(dialog.rowsField(), Qt::Key_Backspace);
    QCOMPARE(dialog.rowsField()->text(), QStringLiteral("1"));
    QCOMPARE(desktop.beeps, 0);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("     GRID DIMENSIONS"));
}

void TestUi::dialogEnterMovesFocus() {
    ScriptedDesktop desktop;
    GridDimensionsDialog dialog(desktop);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.rowsField()->setFocus();

    QTest::keyClick(dialog.rowsField(), Qt::Key_Return); // empty: stays
    QVERIFY(dialog.rowsField()->hasFocus());
    QCOMPARE(desktop.beeps, 1);
    QVERIFY(dialog.isVisible());

    QTest::keyClicks(dialog.rowsField(), QStringLiteral("5"));
    QTest::keyClick(dialog.rowsField(), Qt::Key_Return);
    QVERIFY(dialog.columnsField()->hasFocus());
    QCOMPARE(desktop.beeps, 2);

    QTest::keyClicks(dialog.columnsField(), QStringLiteral("7"));
    QTest::keyClick(dialog.columnsField(), Qt::Key_Enter);
    QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->hasFocus());
    QCOMPARE(desktop.beeps, 3);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialog.isVisible()); // Enter moves on; it never presses OK
    QCOMPARE(dialog.rowsField()->text(), QStringLiteral("5"));
    // On the focused OK, Enter presses it.
    QTest::keyClick(dialog.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.rows(), 5);
    QCOMPARE(dialog.columns(), 7);
}

void TestUi::dialogBounds_data() {
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<int>("expectRows"); // 0: refused
    QTest::addColumn<int>("expectColumns");
    QTest::newRow("2 by 35") << "2"
                             << "35" << 2 << 35;
    QTest::newRow("25 by 2") << "25"
                             << "2" << 25 << 2;
    QTest::newRow("007") << "007"
                         << "7" << 7 << 7;
    QTest::newRow("rows 1") << "1"
                            << "10" << 0 << 0;
    QTest::newRow("rows 26") << "26"
                             << "10" << 0 << 0;
    QTest::newRow("columns 36") << "10"
                                << "36" << 0 << 0;
    QTest::newRow("columns 1") << "10"
                               << "1" << 0 << 0;
    QTest::newRow("empty rows") << ""
                                << "10" << 0 << 0;
    QTest::newRow("empty columns") << "10"
                                   << "" << 0 << 0;
    QTest::newRow("pasted text") << "1a"
                                 << "10" << 0 << 0;
}

void TestUi::dialogBounds() {
    QFETCH(QString, rows);
    QFETCH(QString, columns);
    QFETCH(int, expectRows);
    QFETCH(int, expectColumns);
    ScriptedDesktop desktop;
    GridDimensionsDialog dialog(desktop);
    dialog.show();
    dialog.rowsField()->setText(rows);
    dialog.columnsField()->setText(columns);
    dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    if (expectRows == 0) {
        QVERIFY(dialog.isVisible());
        QCOMPARE(desktop.boxes().size(), 1);
        QCOMPARE(desktop.boxes()[0].title, QStringLiteral("E R R O R"));
        QCOMPARE(desktop.boxes()[0].text, QStringLiteral("Wrong boundaries\r\nRetry ..."));
        QCOMPARE(desktop.boxes()[0].icon, MsgIcon::Exclamation);
        QCOMPARE(desktop.beeps, 1);
        QCOMPARE(dialog.rowsField()->text(), rows);
        QCOMPARE(dialog.columnsField()->text(), columns);
    } else {
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.rows(), expectRows);
        QCOMPARE(dialog.columns(), expectColumns);
        QVERIFY(desktop.boxes().isEmpty());
    }
}

void TestUi::stateAfterInizio() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    w.textb()->setText(QStringLiteral("CASA"));
    QVERIFY(h.newGrid(QStringLiteral("3"), QStringLiteral("4")));
    const GridModel& g = w.grid();
    QCOMPARE(g.RowCount, int16_t{3});
    QCOMPARE(g.ColumnCount, int16_t{4});
    QCOMPARE(g.MaxSide, int16_t{4});
    QCOMPARE(g.GridRows.size(), std::size_t{4});
    for (const std::string& row : g.GridRows)
        QCOMPARE(row, std::string("????"));
    QCOMPARE(w.DocumentChanged(), int16_t{0});
    QCOMPARE(w.windowTitle(), Product + QStringLiteral("(new file)"));
    QCOMPARE(w.CurrentFile(), QString());
    for (const char* k : {"a0", "a1", "a2", "a3", "a4", "a5", "a6", "a9"})
        QVERIFY2(h.key(k)->isEnabled(), k);
    for (const char* k : {"a7", "a8", "a12"})
        QVERIFY2(!h.key(k)->isEnabled(), k);
    for (const char* k : {"a0", "a1", "a2", "a3", "a4", "a5", "a6"})
        QVERIFY2(!h.key(k)->isChecked(), k);
    QVERIFY(!h.item("Salva")->isEnabled());
    QVERIFY(h.item("Salvacome")->isEnabled());
    QVERIFY(h.item("Numerare")->isChecked());
    QCOMPARE(h.panel(1),
             QStringLiteral(" To work into the Grid enable a corresponding top-Buttons "));
    for (int i : {2, 3, 4})
        QCOMPARE(h.panel(i), QStringLiteral(" "));
    QVERIFY(w.Peri()->isVisible());
    QCOMPARE(w.Peri()->scaleWidth(), 4.0);
    QCOMPARE(w.Peri()->scaleHeight(), 3.0);
    QCOMPARE(w.history().HistoryLength(), int16_t{0});
    QCOMPARE(w.textb()->text(), QString());
    QCOMPARE(w.OpenFolder(), QString::fromStdString(w.store().DictFolder));
    // One cell of text fits one cell of grid.
    QVERIFY(w.Peri()->textHeight(QStringLiteral("A")) <= 1.0);
}

void TestUi::dialogCloseKeepsGrid() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(QStringLiteral("3"), QStringLiteral("4")));
    h.change(0, 0, 'A');
    h.w().Lists()->addLine("CASA");
    h.desktop.boxAnswers << MsgAnswer::No;
    QVERIFY(h.newGrid(QStringLiteral("9"), QStringLiteral("9"), false));
    QCOMPARE(h.w().grid().RowCount, int16_t{3});
    QCOMPARE(h.w().grid().cell(0, 0), 'A');
    QCOMPARE(h.w().Lists()->count(), 0); // cleared whatever the outcome
}

// ------------------------------------------------------------ display

void TestUi::drawnGridPixels() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(QStringLiteral("3"), QStringLiteral("3")));
    MainWindow& w = h.w();
    h.change(0, 1, BLACK);
    h.change(1, 1, 'W');
    w.rinfresca();
    const GridCanvas* peri = w.Peri();
    const QImage& img = peri->image();
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);

    // The black cell: black inside, with its white inner outline.
    const QRect blackCell = cellInside(peri, 0, 1);
    QCOMPARE(img.pixel(blackCell.center()), black);
    QCOMPARE(img.pixel(peri->toPixel(QPointF(1.05, 0.5))), white);
    // The outer frame and the grid lines.
    QCOMPARE(img.pixel(0, img.height() / 2), black);
    QCOMPARE(img.pixel(img.width() - 1, img.height() / 2), black);
    QCOMPARE(img.pixel(peri->toPixel(QPointF(1, 2.5))), black);
    // The letter W: dark pixels in its cell, none in an empty one.
    const QRect letterCell = cellInside(peri, 1, 1);
    QVERIFY(countColour(img, letterCell, black) > 10);
    QCOMPARE(countColour(img, cellInside(peri, 2, 2), black), 0);
    // Numbers: (0,0) and (0,2) start down words, (1,0) an across one, (1,1)
    // a down word below the black cell; (1,2) and (2,2) start nothing.
    for (const QPoint rc : {QPoint(0, 0), QPoint(0, 2), QPoint(1, 0), QPoint(1, 1)})
        QVERIFY(countRedish(img, cellInside(peri, rc.x(), rc.y())) > 0);
    QCOMPARE(countRedish(img, cellInside(peri, 1, 2)), 0);
    QCOMPARE(countRedish(img, cellInside(peri, 2, 2)), 0);

    // Hidden numbers are printed white, without a full repaint.
    h.item("Numerare")->trigger();
    QVERIFY(!h.item("Numerare")->isChecked());
    QCOMPARE(countRedish(peri->image(), peri->image().rect()), 0);
    QVERIFY(countColour(peri->image(), letterCell, black) > 10);
    h.item("Numerare")->trigger();
    QVERIFY(countRedish(peri->image(), cellInside(peri, 0, 0)) > 0);

    // drawSelection draws over what is there; the next repaint removes it.
    w.editor().selection = Selection{0, 2, 3, 1};
    w.editor().drawSelection();
    QVERIFY(countRedish(peri->image(), cellInside(peri, 2, 1)) > 0);
    w.rinfresca();
    QCOMPARE(countRedish(peri->image(), cellInside(peri, 2, 1)), 0);

    // While busy, the numbers command does nothing.
    w.flags().BusyCounter = 2;
    w.Numerare_Click();
    QVERIFY(h.item("Numerare")->isChecked());
    w.flags().BusyCounter = 0;
}

void TestUi::atIsStoredAsBlack() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(QStringLiteral("2"), QStringLiteral("2")));
    layCell(h.w(), 1, 1, AtBlack);
    h.w().rinfresca();
    QCOMPARE(h.w().grid().cell(1, 1), BLACK);
    QCOMPARE(h.w().Peri()->image().pixel(cellInside(h.w().Peri(), 1, 1).center()), qRgb(0, 0, 0));
}

void TestUi::zoomCommands() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    // Without a grid the variables still change; nothing is drawn.
    const int32_t start = w.dimv();
    w.Ingrandisci_Click();
    QCOMPARE(w.dimv(), static_cast<int32_t>(std::nearbyint(start * 1.1)));
    QVERIFY(!w.Peri()->isVisible());

    QVERIFY(h.newGrid(QStringLiteral("5"), QStringLiteral("6")));
    const int32_t dimv0 = w.dimv();
    QCOMPARE(dimv0, start); // a new grid starts at the default size
    const QSize size0 = w.Peri()->size();
    const double let0 = w.dimLet();

    w.Ingrandisci_Click();
    const int32_t up = static_cast<int32_t>(std::nearbyint(dimv0 * 1.1));
    QCOMPARE(w.dimv(), up);
    QCOMPARE(w.dimo(), up);
    QVERIFY(w.Peri()->width() > size0.width());
    QVERIFY(w.dimLet() > let0);
    QVERIFY(qAbs(w.dimNum() - 7.7) < 1e-9);

    w.Riduci_Click();
    QCOMPARE(w.dimv(), static_cast<int32_t>(std::nearbyint(up * 0.9)));

    for (int i = 0; i < 4; ++i)
        w.Riduci_Click();
    QVERIFY(w.Peri()->width() < size0.width());

    w.Originali_click();
    QCOMPARE(w.dimv(), dimv0);
    QCOMPARE(w.Peri()->size(), size0);
    QCOMPARE(w.dimNum(), 7.0);
    QCOMPARE(w.dimLet(), let0);

    // Enlarging far past the screen stops resizing, without failing.
    for (int i = 0; i < 80; ++i)
        w.Ingrandisci_Click();
    QVERIFY(w.Peri()->width() <= 16000);
    w.Originali_click();
    QCOMPARE(w.Peri()->size(), size0);

    // Busy: the zoom commands still work.
    w.flags().BusyCounter = 2;
    w.Ingrandisci_Click();
    QCOMPARE(w.dimv(), up);
    w.flags().BusyCounter = 0;
}

void TestUi::zoomKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("steps"); // +1 enlarge, -1 shrink, 0 nothing, 9 reset
    const int ctrl = Qt::ControlModifier;
    const int keypad = Qt::KeypadModifier;
    QTest::newRow("ctrl =") << int(Qt::Key_Equal) << ctrl << 1;
    QTest::newRow("ctrl keypad +") << int(Qt::Key_Plus) << (ctrl | keypad) << 1;
    QTest::newRow("ctrl shift =") << int(Qt::Key_Plus) << (ctrl | int(Qt::ShiftModifier)) << 0;
    QTest::newRow("ctrl alt =") << int(Qt::Key_Equal) << (ctrl | int(Qt::AltModifier)) << 0;
    QTest::newRow("plain =") << int(Qt::Key_Equal) << 0 << 0;
    QTest::newRow("ctrl -") << int(Qt::Key_Minus) << ctrl << -1;
    QTest::newRow("ctrl keypad -") << int(Qt::Key_Minus) << (ctrl | keypad) << -1;
    QTest::newRow("ctrl 0") << int(Qt::Key_0) << ctrl << 9;
    QTest::newRow("ctrl keypad 0") << int(Qt::Key_0) << (ctrl | keypad) << 9;
    QTest::newRow("ctrl 1") << int(Qt::Key_1) << ctrl << 0;
}

void TestUi::zoomKeys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, steps);
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(QStringLiteral("5"), QStringLiteral("5")));
    MainWindow& w = h.w();
    const int32_t dimv0 = w.dimv();
    w.Ingrandisci_Click();
    const int32_t before = w.dimv();
    // The window sees the key whichever control has the focus.
    QTest::keyClick(w.textb(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    int32_t expected = before;
    if (steps == 1)
        expected = static_cast<int32_t>(std::nearbyint(before * 1.1));
    else if (steps == -1)
        expected = static_cast<int32_t>(std::nearbyint(before * 0.9));
    else if (steps == 9)
        expected = dimv0;
    QCOMPARE(w.dimv(), expected);
    if (steps != 0) // a key that ran a command goes no further
        QCOMPARE(w.textb()->text(), QString());
}

void TestUi::classicCodes_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    QTest::newRow("0") << int(Qt::Key_0) << 0 << 48;
    QTest::newRow("keypad 0") << int(Qt::Key_0) << int(Qt::KeypadModifier) << 96;
    QTest::newRow("=") << int(Qt::Key_Equal) << 0 << 187;
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << 107;
    QTest::newRow("-") << int(Qt::Key_Minus) << 0 << 189;
    QTest::newRow("_") << int(Qt::Key_Underscore) << int(Qt::ShiftModifier) << 189;
    QTest::newRow("keypad -") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << 109;
    QTest::newRow("A") << int(Qt::Key_A) << 0 << 65;
    QTest::newRow("Z") << int(Qt::Key_Z) << 0 << 90;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << 8;
    QTest::newRow("backtab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 9;
    QTest::newRow("space") << int(Qt::Key_Space) << 0 << 32;
    QTest::newRow("left") << int(Qt::Key_Left) << 0 << 37;
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << 40;
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << 112;
}

void TestUi::classicCodes() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    QCOMPARE(classicKeyCode(key, Qt::KeyboardModifiers(modifiers)), code);
    QCOMPARE(classicShift(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), 7);
    QCOMPARE(classicShift(Qt::ControlModifier | Qt::KeypadModifier), 2);
}

// ------------------------------------------------------------ files

void TestUi::saveAsWritesExactBytes() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(QStringLiteral("2"), QStringLiteral("3")));
    MainWindow& w = h.w();
    h.change(0, 0, 'A');
    h.change(0, 2, 'B');
    h.change(1, 1, BLACK);
    h.change(1, 2, 'C');
    QCOMPARE(w.DocumentChanged(), int16_t{1});

    const QString target = h.path(QStringLiteral("puzzle"));
    h.desktop.fileAnswers << target;
    h.item("Salvacome")->trigger();
    const auto& dialog = h.desktop.shown.last();
    QCOMPARE(dialog.kind, QStringLiteral("save"));
    QCOMPARE(dialog.title, QStringLiteral("Select the file to save"));
    QCOMPARE(dialog.text, QStringLiteral("File Korvel *.kvl (*.kvl)"));
    QCOMPARE(dialog.proposal, QStringLiteral(".kvl"));
    QCOMPARE(dialog.folder, QDir::currentPath());

    const QString saved = target + QStringLiteral(".kvl");
    QCOMPARE(readAll(saved), QByteArray("2,3\r\n\"A?B\"\r\n\"?\x10"
                                        "C\"\r\n"));
    QCOMPARE(w.CurrentFile(), saved);
    QCOMPARE(w.windowTitle(), Product + saved);
    QVERIFY(h.item("Salva")->isEnabled());
    QCOMPARE(w.DocumentChanged(), int16_t{0});

    // "Save" writes to the name chosen in "Save as...".
    h.change(1, 0, 'D');
    h.item("Salva")->trigger();
    QCOMPARE(readAll(saved), QByteArray("2,3\r\n\"A?B\"\r\n\"D\x10"
                                        "C\"\r\n"));
    QCOMPARE(w.DocumentChanged(), int16_t{0});
    QCOMPARE(h.desktop.shown.size(), 1); // no second dialog
}

void TestUi::saveAsExtensionRule_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "puzzle"
                                  << "puzzle.kvl";
    QTest::newRow("upper case") << "PUZZLE.KVL"
                                << "PUZZLE.KVL";
    QTest::newRow("other extension") << "grid.txt"
                                     << "grid.txt.kvl";
    QTest::newRow("blanks after") << "spaced.kvl  "
                                  << "spaced.kvl";
}

void TestUi::saveAsExtensionRule() {
    QFETCH(QString, typed);
    QFETCH(QString, written);
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(QStringLiteral("2"), QStringLiteral("2")));
    h.desktop.fileAnswers << (h.dir.path() + QStringLiteral("/") + typed);
    h.w().Salvacome_Click();
    QCOMPARE(h.w().CurrentFile(), h.path(written));
    QVERIFY(QFile::exists(h.path(written)));
}

void TestUi::saveAsCancelledOnNewGrid() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(QStringLiteral("2"), QStringLiteral("2")));
    h.change(0, 0, 'A');
    h.w().Salvacome_Click(); // no answer queued: cancelled
    QCOMPARE(h.desktop.shown.last().proposal, QStringLiteral(".kvl"));
    QCOMPARE(h.w().CurrentFile(), QStringLiteral(".kvl"));
    QVERIFY(!h.item("Salva")->isEnabled());
    QCOMPARE(h.w().windowTitle(), Product + QStringLiteral("(new file)"));
    QCOMPARE(h.w().DocumentChanged(), int16_t{1});
}

void TestUi::openRoundTrip() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QDir(h.dir.path()).mkdir(QStringLiteral("grids"));
    const QString file = h.path(QStringLiteral("grids/abc.kvl"));
    writeFile(file, QByteArray("2,3\r\n\"ABC\"\r\n\"D?F\"\r\n"));
    w.textb()->setText(QStringLiteral("TEST"));
    w.selectTool(QStringLiteral("a3"));
    h.desktop.fileAnswers << file;
    h.item("menuApri")->trigger();

    const auto& dialog = h.desktop.shown.last();
    QCOMPARE(dialog.kind, QStringLiteral("open"));
    QCOMPARE(dialog.title, QStringLiteral("Select the file to open"));
    QCOMPARE(dialog.text, QStringLiteral("File Korvel(*.kvl;*.KVL) (*.kvl *.KVL)"));
    QCOMPARE(w.grid().RowCount, int16_t{2});
    QCOMPARE(w.grid().ColumnCount, int16_t{3});
    QCOMPARE(w.grid().GridRows[0], std::string("ABC"));
    QCOMPARE(w.grid().GridRows[1], std::string("D?F"));
    QCOMPARE(w.grid().MaxSide, int16_t{3});
    QCOMPARE(w.windowTitle(), Product + file);
    QCOMPARE(w.CurrentFile(), file);
    QVERIFY(h.item("Salva")->isEnabled() && h.item("Salvacome")->isEnabled());
    QCOMPARE(w.DocumentChanged(), int16_t{0});
    QCOMPARE(w.history().HistoryLength(), int16_t{0});
    QCOMPARE(w.CurrentTool(), int16_t{9});
    QCOMPARE(w.CurrentToolKey(), QStringLiteral("a9"));
    QVERIFY(!h.key("a3")->isChecked());
    QCOMPARE(w.textb()->text(), QString());
    QCOMPARE(QDir::currentPath(), QFileInfo(file).absolutePath());
    QCOMPARE(w.OpenFolder(), QFileInfo(file).absolutePath());

    // Save writes the same bytes back.
    h.item("Salva")->trigger();
    QCOMPARE(readAll(file), QByteArray("2,3\r\n\"ABC\"\r\n\"D?F\"\r\n"));

    // The next open dialog starts in the folder of the last one.
    h.w().menuApri_Click();
    QCOMPARE(h.desktop.shown.last().folder, QFileInfo(file).absolutePath());
}

void TestUi::openFailureKeepsGrid() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    const QString good = h.path(QStringLiteral("good.kvl"));
    writeFile(good, QByteArray("2,2\r\n\"AB\"\r\n\"CD\"\r\n"));
    h.desktop.fileAnswers << good;
    w.menuApri_Click();
    QCOMPARE(w.grid().GridRows[0], std::string("AB"));

    const QString bad = h.path(QStringLiteral("bad.kvl"));
    writeFile(bad, QByteArray("5,3\r\n\"ABC\"\r\n\"DEF\"\r\n\"GHI\"\r\n"));
    h.desktop.fileAnswers << bad;
    w.menuApri_Click();
    const auto boxes = h.desktop.boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Errors in Open/Save File. Exit and retry."));
    QCOMPARE(boxes[0].buttons, MsgButtons::Ok);
    QCOMPARE(boxes[0].title, QGuiApplication::applicationDisplayName());
    QCOMPARE(w.grid().RowCount, int16_t{2});
    QCOMPARE(w.grid().GridRows[1], std::string("CD"));
    QCOMPARE(w.CurrentFile(), good);
    QCOMPARE(w.windowTitle(), Product + good);

    // A later Save still writes to the file the grid came from.
    h.item("Salva")->trigger();
    QCOMPARE(readAll(bad), QByteArray("5,3\r\n\"ABC\"\r\n\"DEF\"\r\n\"GHI\"\r\n"));
}

void TestUi::openCancelled() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    QVERIFY(h.newGrid(QStringLiteral("2"), QStringLiteral("2")));
    h.change(0, 0, 'Q');
    h.desktop.boxAnswers << MsgAnswer::No;
    h.w().menuApri_Click();
    QCOMPARE(h.w().grid().cell(0, 0), 'Q');
    QCOMPARE(h.w().CurrentFile(), QString());
    QCOMPARE(h.w().windowTitle(), Product + QStringLiteral("(new file)"));
}

void TestUi::failedSaveKeepsOldFile() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QDir(h.dir.path()).mkdir(QStringLiteral("locked"));
    const QString file = h.path(QStringLiteral("locked/old.kvl"));
    const QByteArray old("2,2\r\n\"AB\"\r\n\"CD\"\r\n");
    writeFile(file, old);
    h.desktop.fileAnswers << file;
    w.menuApri_Click();
    h.change(0, 0, 'Z');

    // A folder that takes no new files makes the atomic save fail before the
    // old file is touched. The superuser writes anyway, so then a folder in
    // the file's place stands for the failure.
    QString target = file;
    if (geteuid() == 0) {
        target = h.path(QStringLiteral("locked/folder.kvl"));
        QDir().mkpath(target);
        h.desktop.fileAnswers << target;
        w.Salvacome_Click();
    } else {
        QFile::setPermissions(h.path(QStringLiteral("locked")),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        w.Salva_Click();
        QFile::setPermissions(h.path(QStringLiteral("locked")), QFileDevice::ReadOwner |
                                                                    QFileDevice::WriteOwner |
                                                                    QFileDevice::ExeOwner);
    }
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text,
             QStringLiteral("Errors in Open/Save File. Exit and retry."));
    QCOMPARE(readAll(file), old);
    QCOMPARE(w.DocumentChanged(), int16_t{1});
    QCOMPARE(w.windowTitle(), Product + file);
    QCOMPARE(w.CurrentFile(), target);
}

// ------------------------------------------------------------ unsaved changes

void TestUi::unsavedPrompt_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<QString>("saveAs"); // answer of the save dialog after Yes
    QTest::addColumn<bool>("goesOn");    // the command carried on
    QTest::addColumn<int>("changed");    // DocumentChanged afterwards

    for (const char* command : {"new", "open", "exit"}) {
        const QString c = QString::fromLatin1(command);
        QTest::addRow("%s yes", command) << c << MsgAnswer::Yes << "saved.kvl" << true << 0;
        QTest::addRow("%s yes, save cancelled", command) << c << MsgAnswer::Yes << "" << false << 1;
        QTest::addRow("%s yes, save fails", command)
            << c << MsgAnswer::Yes << "nofolder/x.kvl" << false << 1;
        // "New..." and "Open..." here close their dialogs without a grid:
        // the changes given up with No stay, as the grid does.
        QTest::addRow("%s no", command)
            << c << MsgAnswer::No << "" << true << (c == QLatin1String("exit") ? 0 : 1);
        QTest::addRow("%s cancel", command) << c << MsgAnswer::Cancel << "" << false << 1;
    }
}

void TestUi::unsavedPrompt() {
    QFETCH(QString, command);
    QFETCH(MsgAnswer, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, goesOn);
    QFETCH(int, changed);
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QVERIFY(h.newGrid(QStringLiteral("2"), QStringLiteral("2")));
    h.change(0, 0, 'K');
    h.desktop.clear();
    h.desktop.boxAnswers << answer;
    if (!saveAs.isEmpty())
        h.desktop.fileAnswers << h.path(saveAs);

    bool dialogShown = false;
    if (command == QLatin1String("new")) {
        dialogShown = h.newGrid(QStringLiteral("3"), QStringLiteral("3"), false);
    } else if (command == QLatin1String("open")) {
        w.menuApri_Click();
        for (const auto& s : h.desktop.shown)
            dialogShown = dialogShown || s.kind == QLatin1String("open");
    } else {
        h.item("menuEsci")->trigger();
        dialogShown = h.desktop.ended;
    }

    const auto prompt = h.desktop.shown.first();
    QCOMPARE(prompt.title, QStringLiteral("ATTENTION !"));
    QCOMPARE(prompt.text, QStringLiteral("The  file is changed but not saved.\r\nSave it now?"));
    QCOMPARE(prompt.icon, MsgIcon::Critical);
    QCOMPARE(prompt.buttons, MsgButtons::YesNoCancel);
    QCOMPARE(dialogShown, goesOn);
    QCOMPARE(w.DocumentChanged(), int16_t(changed));
    QCOMPARE(w.grid().cell(0, 0), 'K'); // no command here replaced the grid
    if (answer == MsgAnswer::Yes)
        QCOMPARE(h.desktop.shown.at(1).kind, QStringLiteral("save"));
    if (saveAs == QLatin1String("saved.kvl"))
        QCOMPARE(readAll(h.path(saveAs)), QByteArray("2,2\r\n\"K?\"\r\n\"??\"\r\n"));
    if (saveAs.startsWith(QLatin1String("nofolder")))
        QCOMPARE(h.desktop.boxes().last().text,
                 QStringLiteral("Errors in Open/Save File. Exit and retry."));
    if (command == QLatin1String("exit") && goesOn) {
        QVERIFY(!h.key("a10")->isEnabled() && !h.key("a11")->isEnabled());
        QCOMPARE(h.desktop.exitCode, 0);
    }
}

void TestUi::closeWindow() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    const QString file = h.path(QStringLiteral("a.kvl"));
    writeFile(file, QByteArray("2,2\r\n\"AB\"\r\n\"CD\"\r\n"));
    h.desktop.fileAnswers << file;
    w.menuApri_Click();
    h.change(0, 0, 'Z');

    // Busy: refused without a prompt.
    w.flags().BusyCounter = 2;
    QVERIFY(!w.close());
    QVERIFY(h.desktop.boxes().isEmpty());
    w.flags().BusyCounter = 0;
    w.menuEsci_Click(); // Exit does nothing while busy either
    // (it was not busy any more: the prompt shows, the answer Cancel keeps it)
    QCOMPARE(h.desktop.boxes().size(), 1);
    QCOMPARE(h.desktop.boxes()[0].text,
             QStringLiteral("The ") + file +
                 QStringLiteral(" file is changed but not saved.\r\nSave it now?"));
    QVERIFY(!h.desktop.ended);

    h.desktop.boxAnswers << MsgAnswer::Cancel;
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    h.desktop.boxAnswers << MsgAnswer::No;
    QVERIFY(w.close());
    QVERIFY(!h.desktop.ended); // closing is not the final exit
    QCOMPARE(w.DocumentChanged(), int16_t{0});
}

// ------------------------------------------------------------ help

void TestUi::helpCommands() {
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    w.flags().BusyCounter = 2; // neither command looks at it
    h.item("AiutoQuick")->trigger();
    const auto box = h.desktop.boxes().last();
    QCOMPARE(box.title, QStringLiteral("    KORVEL V.8    SHORTCUTS"));
    QCOMPARE(box.text, QStringLiteral("Mouse left-click     = Select Row or Column\r\n"
                                      "Mouse right-click   = Switch between Across/Down\r\n"
                                      "Mouse left-drag    = Select those Cells (Across or Down)\r\n"
                                      "Ctrl +                    = Increase Grid size +10%\r\n"
                                      "Ctrl -                      = Reduce Grid size -10%\r\n"
                                      "Ctrl 0                     = Reset original Grid size\r\n"
                                      "F1                          = Show online Help"));
    QCOMPARE(box.buttons, MsgButtons::Ok);
    QCOMPARE(box.icon, MsgIcon::None);

    h.item("AiutoF1")->trigger();
    QCOMPARE(h.desktop.opened.size(), 1);
    QVERIFY(h.desktop.opened[0].endsWith(QStringLiteral("voduzeze/KORVELH8.HTM")));
    // F1 is the item's shortcut, wherever the focus is in the window.
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.textb()->setFocus();
    QTest::keyClick(w.textb(), Qt::Key_F1);
    QCOMPARE(h.desktop.opened.size(), 2);
    w.Copyright_Click(); // busy: no about box, so this returns at once
    w.flags().BusyCounter = 0;

    // The page ships with the program.
    QVERIFY2(
        QFile::exists(QStringLiteral(KORVEL_UI_FIXTURES "/../../../help/voduzeze/KORVELH8.HTM")),
        "help page missing from the sources");
}

// ------------------------------------------------------------ shell

void TestUi::splashHandsOver() {
    int handedOver = 0;
    QPointer<SplashWindow> splash = new SplashWindow([&] { ++handedOver; }, 20);
    splash->show();
    QCOMPARE(splash->objectName(), QStringLiteral("Form00"));
    QCOMPARE(splash->timer1()->interval(), 20);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(splash->x() - (screen.width() - splash->width()) / 2) <= 1);
    QVERIFY(qAbs(splash->y() - (screen.height() - splash->height()) / 2) <= 1);
    QTRY_VERIFY(splash.isNull()); // unloaded after the tick
    QCOMPARE(handedOver, 1);
    QTest::qWait(60);
    QCOMPARE(handedOver, 1); // the timer does not fire again
    QCOMPARE(SplashWindow([] {}).timer1()->interval(), 4000);
}

void TestUi::aboutBox() {
    AboutBox box;
    QCOMPARE(box.objectName(), QStringLiteral("Form0h"));
    QCOMPARE(box.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Program  Korvel V.8"));
    // The word frequencies' licence asks for their author by this name.
    const QString credits = box.findChild<QLabel*>(QStringLiteral("Label4"))->text();
    QVERIFY(credits.contains(QStringLiteral("wordfreq by Robyn Speer")));
    QVERIFY(credits.contains(QStringLiteral("SUBTLEX")));
    const int offset = static_cast<int>(2000 / twipsPerPixel()); // 2000 twips from the corner
    QCOMPARE(box.pos(),
             QGuiApplication::primaryScreen()->geometry().topLeft() + QPoint(offset, offset));
    box.show();
    box.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QVERIFY(!box.isVisible());
}

void TestUi::toolKeys_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("tool");
    QTest::addColumn<QString>("panel1");
    QTest::addColumn<QString>("hint1");
    QTest::newRow("a0") << "a0" << 0 << " BLACK / WHITE a Cell "
                        << "Click that Cell";
    QTest::newRow("a1") << "a1" << 1 << " PROMPT ACROSS (select a Row or its piece) "
                        << "Click a Row or drag-Across as you want";
    QTest::newRow("a2") << "a2" << 2 << " PROMPT DOWN (select a Column or its piece) "
                        << "Click a Column or drag-Down as you want";
    QTest::newRow("a3") << "a3" << 3 << " WRITE ACROSS one or more Cells "
                        << "Click the first Cell and write Across";
    QTest::newRow("a4") << "a4" << 4 << " WRITE DOWN one or more Cells "
                        << "Click the first Cell and write Down";
    QTest::newRow("a5") << "a5" << 5 << " CLEAR CELL (select that Cell)"
                        << "Click that Cell";
    QTest::newRow("a6") << "a6" << 6
                        << " PROMPT CROSS (select a Cell and use Ctrl for only volcals test)"
                        << "Click that Cell";
}

void TestUi::toolKeys() {
    QFETCH(QString, key);
    QFETCH(int, tool);
    QFETCH(QString, panel1);
    QFETCH(QString, hint1);
    Harness h(QStringLiteral("basic"));
    QVERIFY(h.loaded());
    MainWindow& w = h.w();
    QVERIFY(h.newGrid(QStringLiteral("4"), QStringLiteral("4")));
    w.Stb1()->setText(3, QStringLiteral(" Wrong request! "));
    w.Lists()->addLine("CASA");
    h.child<QPushButton>("Command1")->setEnabled(true);
    // Twice: a second press of the pressed key does the whole job again.
    for (int round = 0; round < 2; ++round) {
        w.toolButton(key)->trigger();
        QCOMPARE(w.CurrentTool(), int16_t(tool));
        QCOMPARE(w.CurrentToolKey(), key);
        QCOMPARE(h.panel(1), panel1);
        QCOMPARE(w.Stb1()->hint(1), hint1);
        for (int i : {2, 3, 4})
            QCOMPARE(h.panel(i), QStringLiteral(" "));
        QCOMPARE(w.Lists()->count(), 0);
        QVERIFY(!h.child<QPushButton>("Command1")->isEnabled());
        for (const char* k : {"a0", "a1", "a2", "a3", "a4", "a5", "a6"})
            QCOMPARE(h.key(k)->isChecked(), key == QLatin1String(k));
        w.Stb1()->setText(3, QStringLiteral(" x "));
    }
    // Anagrams: no grid tool shows pressed.
    h.key("a9")->trigger();
    QCOMPARE(w.CurrentTool(), int16_t{9});
    QCOMPARE(h.panel(1), QStringLiteral(" ANAGRAMS of TEST "));
    for (const char* k : {"a0", "a1", "a2", "a3", "a4", "a5", "a6"})
        QVERIFY2(!h.key(k)->isChecked(), k);
    // Busy: the toolbar does nothing.
    w.flags().BusyCounter = 2;
    w.Tlb1_ButtonClick(key);
    QCOMPARE(w.CurrentTool(), int16_t{9});
    w.flags().BusyCounter = 0;
}

void TestUi::closeWhileLoading() {
    Harness h(QStringLiteral("basic"), 60000);
    QVERIFY(h.w().close()); // nothing changed, nothing busy
    QVERIFY(!h.desktop.ended);
    QVERIFY(h.desktop.boxes().isEmpty());
    // The screen of the offscreen platform is 800 pixels: 12000 twips at 96
    // dots an inch, which still takes the large pictures.
    const double width = QGuiApplication::primaryScreen()->geometry().width() * twipsPerPixel();
    QCOMPARE(h.w().Im2(), width < 12000);
    QCOMPARE(h.w().Tlb1()->iconSize().width(), h.w().Im2() ? 16 : 24);

    // Closed in the middle of the loading (here from behind the
    // out-of-sequence box): the process ends with its last window.
    Harness during(QStringLiteral("outofseq"));
    during.desktop.onShow = [&during](const ScriptedDesktop::Shown&) { during.w().close(); };
    QTRY_VERIFY(during.desktop.ended);
    QCOMPARE(during.desktop.exitCode, 0);
    QVERIFY(!during.w().isVisible());
}

QTEST_MAIN(TestUi)
#include "test_ui.moc"
