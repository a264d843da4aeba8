// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionarystore.h"
#include "dictviewer.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace korvel;

namespace {

const char* const BaseText = "' remark line\r\n"
                             "ABACO\r\n"
                             "CAS!\r\n"
                             "CASCO\r\n"
                             "  LUPO \r\n"
                             "# another remark\r\n"
                             "#\r\n"
                             "MARE\r\n"
                             "MOLO\r\n"
                             "NASO\r\n"
                             "ZERO\r\n";

const char* const WordsText = "CAS!\r\n"
                              "MARE\r\n"
                              "ZEBRA\r\n";

QStringList itemsOf(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList itemsOf(const QListView* list) {
    QStringList out;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        out << list->model()->index(i, 0).data().toString();
    return out;
}

int countOf(const QListView* list) {
    return list->model()->rowCount();
}

QString selectedText(const QListView* list) {
    return list->currentIndex().isValid() ? list->currentIndex().data().toString() : QString();
}

// Letters-only entries in sorted order: AAAA, AAAB, ...
std::string sortedEntries(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::string word(4, 'A');
        for (int k = 3, v = i; k >= 0; --k, v /= 26)
            word[static_cast<std::size_t>(k)] = static_cast<char>('A' + v % 26);
        text += word;
        text += "\r\n";
    }
    return text;
}

// perLetter entries for each initial A to Z, in sorted order: AAAA, AAAB, ...
std::string spreadEntries(int perLetter) {
    std::string text;
    for (char initial = 'A'; initial <= 'Z'; ++initial) {
        for (int i = 0; i < perLetter; ++i) {
            std::string word(4, initial);
            for (int k = 3, v = i; k >= 1; --k, v /= 26)
                word[static_cast<std::size_t>(k)] = static_cast<char>('A' + v % 26);
            text += word;
            text += "\r\n";
        }
    }
    return text;
}

} // namespace

class TestViewer : public QObject {
    Q_OBJECT

private:
    DictionaryStore store;

    std::unique_ptr<DictionaryViewer> openOn(int row) {
        auto viewer = std::make_unique<DictionaryViewer>(store);
        viewer->show();
        QSignalSpy finished(viewer.get(), &DictionaryViewer::fillFinished);
        viewer->List1_Click(row);
        if (!finished.wait(20000))
            qWarning("listing did not finish");
        return viewer;
    }

private slots:
    void initTestCase() {
        store.DictFolder = "/home/user/korvel/";
        store.DictFileName[1] = "base.diz";
        store.DictFileName[2] = "words.dic";
        store.DictFileName[4] = "after-a-gap.dic";
        store.setText(1, BaseText);
        store.setText(2, WordsText);
        store.setText(4, "ABC\r\n");
        store.count = 4;
    }

    void loadShowsFolderAndDictionaries() {
        DictionaryViewer viewer(store);
        QCOMPARE(viewer.windowTitle(), QStringLiteral("  DICTIONARIES VERIFICATION"));
        QCOMPARE(viewer.label1()->text(),
                 QStringLiteral(" Dictionaries Folder =  /home/user/korvel/"));
        QCOMPARE(viewer.label2()->text(),
                 QStringLiteral("All dictionaries must reside in the program folder"));
        QCOMPARE(itemsOf(viewer.list1()), (QStringList{"D1-base.diz", "D2-words.dic"}));
        QCOMPARE(viewer.command1()->text(), QStringLiteral("Exit"));
        QCOMPARE(viewer.command2()->text(), QStringLiteral("M-Z=>"));
    }

    void baseDictionarySplitsAtM() {
        auto viewer = openOn(0);
        QCOMPARE(itemsOf(viewer->list2()), (QStringList{"ABACO", "CAS(AE)", "CASCO", "LUPO",
                                                        "...to continue, click on M-Z=> "}));
        QCOMPARE(itemsOf(viewer->list3()),
                 (QStringList{"...back to the beginning , click on  A-L<= ", "MARE", "MOLO", "NASO",
                              "ZERO"}));
        // Remark lines are neither listed nor counted (a lone "#" too, though it
        // is also an ending code), nor are the markers.
        QCOMPARE(viewer->label3()->text(), QStringLiteral("Total Items = 8"));
        QVERIFY(viewer->list2()->isVisible());
        QVERIFY(!viewer->list3()->isVisible());
        QVERIFY(!viewer->command2()->isVisible());
        QVERIFY(viewer->list1()->isEnabled());
    }

    void otherDictionaryListedAsStored() {
        auto viewer = openOn(1);
        QCOMPARE(itemsOf(viewer->list2()), (QStringList{"CAS!", "MARE", "ZEBRA"}));
        QCOMPARE(countOf(viewer->list3()), 0);
        QCOMPARE(viewer->label3()->text(), QStringLiteral("Total Items = 3"));
        // An empty field stops at the first item.
        QCOMPARE(selectedText(viewer->list2()), QStringLiteral("CAS!"));
    }

    void viewerEntries_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("base");
        QTest::addColumn<QString>("entry");
        QTest::newRow("plain") << "CASA" << true << "CASA";
        QTest::newRow("blanks trimmed") << "  CASA  " << true << "CASA";
        QTest::newRow("AE") << "CAS!" << true << "CAS(AE)";
        QTest::newRow("AI") << "CAS#" << true << "CAS(AI)";
        QTest::newRow("EI") << "CAS$" << true << "CAS(EI)";
        QTest::newRow("AEI") << "CAS%" << true << "CAS(AEI)";
        QTest::newRow("AO") << "CAS&" << true << "CAS(AO)";
        QTest::newRow("EO") << "CAS(" << true << "CAS(EO)";
        QTest::newRow("AEO") << "CAS)" << true << "CAS(AEO)";
        QTest::newRow("IO") << "CAS=" << true << "CAS(IO)";
        QTest::newRow("AIO") << "CAS+" << true << "CAS(AIO)";
        QTest::newRow("EIO") << "CAS-" << true << "CAS(EIO)";
        QTest::newRow("AEIO") << "CAS@ " << true << "CAS(AEIO)";
        QTest::newRow("not base") << "CAS@" << false << "CAS@";
        QTest::newRow("empty") << "" << true << "";
    }

    void viewerEntries() {
        QFETCH(QString, line);
        QFETCH(bool, base);
        QFETCH(QString, entry);
        QCOMPARE(QString::fromStdString(viewerEntry(line.toStdString(), base)), entry);
    }

    void searchField_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("secondHalf");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("caption");

        QTest::newRow("first at or after") << 0 << "b" << false << "CAS(AE)"
                                           << "M-Z=>";
        QTest::newRow("stem plus a letter") << 0 << "casa" << false << "CAS(AE)"
                                            << "M-Z=>";
        QTest::newRow("no stem rule up to 3") << 0 << "LUP" << false << "LUPO"
                                              << "M-Z=>";
        QTest::newRow("not a stem line") << 0 << "LUPA" << false << "LUPO"
                                         << "M-Z=>";
        QTest::newRow("M or later shows List3") << 0 << "  mo " << true << "MOLO"
                                                << "A-L<=";
        QTest::newRow("M itself") << 0 << "m" << true << "MARE"
                                  << "A-L<=";
        QTest::newRow("after all of List3") << 0 << "ZZ" << true << "ZERO"
                                            << "A-L<=";
        QTest::newRow("after all of List2")
            << 0 << "LZ" << false << "...to continue, click on M-Z=> "
            << "M-Z=>";
        QTest::newRow("other dictionary stays in List2") << 1 << "m" << false << "MARE"
                                                         << "M-Z=>";
        QTest::newRow("other dictionary, codes as stored") << 1 << "CASA" << false << "MARE"
                                                           << "M-Z=>";
        QTest::newRow("other dictionary, after all") << 1 << "ZZZ" << false << "ZEBRA"
                                                     << "M-Z=>";
    }

    void searchField() {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(bool, secondHalf);
        QFETCH(QString, selected);
        QFETCH(QString, caption);

        auto viewer = openOn(row);
        QTest::keyClicks(viewer->text1(), typed);
        QListView* shown = secondHalf ? viewer->list3() : viewer->list2();
        QListView* hidden = secondHalf ? viewer->list2() : viewer->list3();
        QVERIFY(shown->isVisible());
        QVERIFY(!hidden->isVisible());
        QCOMPARE(selectedText(shown), selected);
        QCOMPARE(viewer->command2()->text(), caption);
    }

    void emptyFieldInBaseChangesNothing() {
        auto viewer = openOn(0);
        QTest::keyClicks(viewer->text1(), "n");
        QVERIFY(viewer->list3()->isVisible());
        viewer->text1()->clear();
        QVERIFY(viewer->list3()->isVisible());
        QCOMPARE(selectedText(viewer->list3()), QStringLiteral("NASO"));
    }

    void halfSwitchAndDoubleClick() {
        auto viewer = openOn(0);
        viewer->command2()->click();
        QCOMPARE(viewer->text1()->text(), QStringLiteral("m"));
        QVERIFY(viewer->list3()->isVisible());
        QCOMPARE(viewer->command2()->text(), QStringLiteral("A-L<="));
        QCOMPARE(selectedText(viewer->list3()), QStringLiteral("MARE"));

        // The switch searches again even when the field already holds its letter.
        viewer->list3()->setCurrentIndex(viewer->list3()->model()->index(4, 0));
        viewer->command2()->click();
        QCOMPARE(viewer->text1()->text(), QStringLiteral("a"));
        QVERIFY(viewer->list2()->isVisible());
        QCOMPARE(viewer->command2()->text(), QStringLiteral("M-Z=>"));
        QCOMPARE(selectedText(viewer->list2()), QStringLiteral("ABACO"));

        // A double click copies the entry into the field, which selects it.
        QListView* list2 = viewer->list2();
        QApplication::processEvents();
        const QRect rect = list2->visualRect(list2->model()->index(1, 0));
        // A double click arrives after the press of its first click.
        QTest::mouseClick(list2->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list2->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(viewer->text1()->text(), QStringLiteral("CAS(AE)"));
        QCOMPARE(selectedText(list2), QStringLiteral("CAS(AE)"));
    }

    void halfSwitchShownFrom32000Entries_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("shown");
        QTest::newRow("31999") << 31999 << false;
        QTest::newRow("32000") << 32000 << true;
        // More entries than a 16-bit count holds.
        QTest::newRow("40000") << 40000 << true;
    }

    void halfSwitchShownFrom32000Entries() {
        QFETCH(int, entries);
        QFETCH(bool, shown);
        DictionaryStore big;
        big.DictFileName[1] = "base.diz";
        big.setText(1, sortedEntries(entries));
        DictionaryViewer viewer(big);
        viewer.show();
        QSignalSpy finished(&viewer, &DictionaryViewer::fillFinished);
        viewer.List1_Click(0);
        QVERIFY(finished.wait(60000));
        QCOMPARE(viewer.label3()->text(), QStringLiteral("Total Items = %1").arg(entries));
        QCOMPARE(countOf(viewer.list2()), entries);
        QCOMPARE(viewer.command2()->isVisible(), shown);
    }

    void windowAnswersWhileListing() {
        DictionaryStore big;
        big.DictFileName[1] = "base.diz";
        big.setText(1, sortedEntries(200000));
        DictionaryViewer viewer(big);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QSignalSpy finished(&viewer, &DictionaryViewer::fillFinished);

        const QRect rect = viewer.list1()->visualItemRect(viewer.list1()->item(0));
        QTest::mouseClick(viewer.list1()->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(viewer.isFilling());
        QVERIFY(!viewer.list1()->isEnabled());

        // Timers fire, and so would any other event, while the entries are
        // still being listed.
        bool firedWhileFilling = false;
        QTimer::singleShot(0, &viewer, [&] { firedWhileFilling = viewer.isFilling(); });
        QTRY_VERIFY(firedWhileFilling || !finished.isEmpty());
        QVERIFY(firedWhileFilling);

        // A second click meanwhile starts nothing.
        viewer.List1_Click(0);
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(countOf(viewer.list2()), 200000);
        QVERIFY(viewer.list1()->isEnabled());
    }

    void typingDuringListing() {
        DictionaryStore big;
        big.DictFileName[1] = "base.diz";
        big.setText(1, spreadEntries(5000));
        DictionaryViewer viewer(big);
        viewer.show();
        QSignalSpy finished(&viewer, &DictionaryViewer::fillFinished);
        viewer.List1_Click(0);
        QTest::keyClicks(viewer.text1(), "n");
        QVERIFY(viewer.isFilling());
        QVERIFY(finished.wait(60000));
        QVERIFY(viewer.list3()->isVisible());
        QVERIFY(!viewer.list2()->isVisible());
        QCOMPARE(selectedText(viewer.list3()), QStringLiteral("NAAA"));
        QCOMPARE(viewer.label3()->text(), QStringLiteral("Total Items = 130000"));
        QCOMPARE(countOf(viewer.list2()), 12 * 5000 + 1);
        QCOMPARE(countOf(viewer.list3()), 14 * 5000 + 1);
        QVERIFY(viewer.command2()->isVisible());
        QCOMPARE(viewer.command2()->text(), QStringLiteral("A-L<="));
    }

    void exitClosesWhileListing() {
        DictionaryStore big;
        big.DictFileName[1] = "base.diz";
        big.setText(1, sortedEntries(100000));
        DictionaryViewer viewer(big);
        viewer.show();
        QSignalSpy finished(&viewer, &DictionaryViewer::fillFinished);
        viewer.List1_Click(0);
        viewer.command1()->click();
        QVERIFY(!viewer.isVisible());
        QVERIFY(!viewer.isFilling());
        QTest::qWait(50);
        QVERIFY(finished.isEmpty());
    }

    void searchIndexOnEmptyList() { QCOMPARE(viewerSearchIndex({}, "A"), -1); }

    // The searches read a short last line (korvel-find finds "ZOO -2"); the
    // viewer lists it too.
    void shortLastEntryListed() {
        DictionaryStore short1;
        short1.DictFileName[1] = "base.diz";
        short1.DictFileName[2] = "words.dic";
        short1.setText(1, "ABACO\r\nNASO\r\nZA!");
        short1.setText(2, "ALFA\r\nBETA\r\nZOO");
        DictionaryViewer viewer(short1);
        viewer.show();
        QSignalSpy finished(&viewer, &DictionaryViewer::fillFinished);
        viewer.List1_Click(1);
        QVERIFY(finished.wait(20000));
        QCOMPARE(itemsOf(viewer.list2()), (QStringList{"ALFA", "BETA", "ZOO"}));
        QCOMPARE(viewer.label3()->text(), QStringLiteral("Total Items = 3"));
        viewer.List1_Click(0);
        QVERIFY(finished.wait(20000));
        // No entry begins with M: no marker lines.
        QCOMPARE(itemsOf(viewer.list2()), (QStringList{"ABACO"}));
        QCOMPARE(itemsOf(viewer.list3()), (QStringList{"NASO", "ZA(AE)"}));
        QCOMPARE(viewer.label3()->text(), QStringLiteral("Total Items = 3"));
        QTest::keyClicks(viewer.text1(), "zz");
        QCOMPARE(selectedText(viewer.list3()), QStringLiteral("ZA(AE)"));
    }
};

QTEST_MAIN(TestViewer)
#include "test_ui_viewer.moc"
