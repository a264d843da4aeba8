#pragma once

// The clue and puzzle-file tests' window: a loaded main window with the clue
// panel a tick away, the user's moves on the panel and the details dialog,
// and .puz bytes made the way other programs' files come.

#include "cluecommands.h"
#include "cluepanel.h"
#include "detailsdialog.h"
#include "puzfile.h"
#include "puzzleread.h"
#include "uiharness.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>

#include <functional>
#include <string>

namespace korvel::uitest {

// CATS / A#O# / BOYS: 1 and 3 across, 1 and 2 down.
inline const QStringList SmallRows = {QStringLiteral("CATS"), QStringLiteral("A#O#"),
                                      QStringLiteral("BOYS")};

struct ClueWindow : WindowHarness {
    ClueWindow() {
        addFixture(uiFixture(QStringLiteral("grid")));
        start(eagerTimings());
    }

    // View > Clues ticked: the panel beside the grid.
    CluePanel* showClues() {
        item("Definizioni")->trigger();
        QTest::qWait(20);
        return w().clueCommands()->panel();
    }
    CluePanel* panel() { return w().clueCommands()->panel(); }
    QTableWidget* across() { return panel()->acrossList(); }
    QTableWidget* down() { return panel()->downList(); }

    // The clue editor open in table, or nullptr.
    static QLineEdit* editor(QTableWidget* table) {
        for (QLineEdit* e : table->findChildren<QLineEdit*>(QStringLiteral("ClueEditor")))
            if (e->isVisible())
                return e;
        return nullptr;
    }

    // Opens the clue of row for editing, as a click on it would.
    static QLineEdit* edit(QTableWidget* table, int row) {
        const int column = table->columnCount() - 1;
        table->setFocus();
        table->setCurrentCell(row, column);
        table->editItem(table->item(row, column));
        return editor(table);
    }

    // Types text over the clue of row and ends with key (Enter, Tab ...).
    static void typeClue(QTableWidget* table, int row, const QString& text,
                         Qt::Key end = Qt::Key_Return) {
        QLineEdit* e = edit(table, row);
        QVERIFY(e);
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, end);
        QCoreApplication::processEvents();
    }

    static QString clueShown(QTableWidget* table, int row) {
        const QTableWidgetItem* i = table->item(row, table->columnCount() - 1);
        return i ? i->text() : QString();
    }

    const Clue* clue(int row, int column, Direction d) {
        return w().document().clues().find(
            ClueKey{static_cast<int16_t>(row), static_cast<int16_t>(column), d});
    }

    // The Undo and Redo keys of the toolbar.
    void undo() { key("a7")->trigger(); }
    void redo() { key("a8")->trigger(); }
};

// Runs File > Puzzle Details... and answers the dialog: fill sets its fields,
// then it is accepted (or rejected). Returns whether the dialog appeared.
inline bool answerDetails(ClueWindow& h, const std::function<void(DetailsDialog&)>& fill,
                          bool accept = true) {
    bool appeared = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<DetailsDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll.stop();
        appeared = true;
        fill(*d);
        accept ? d->accept() : d->reject();
    });
    poll.start();
    emit h.w().fileMenu()->aboutToShow();
    h.item("Dettagli")->trigger();
    return appeared;
}

inline void setField(DetailsDialog& d, const char* name, const QString& text) {
    if (auto* line = d.findChild<QLineEdit*>(QString::fromLatin1(name)))
        line->setText(text);
    else if (auto* box = d.findChild<QPlainTextEdit*>(QString::fromLatin1(name)))
        box->setPlainText(text);
}

// The four checksum fields of .puz bytes computed afresh, as the published
// description of the format gives them (after a change to the header).
inline void refreshPuzSums(std::string& f, const PuzPuzzle& p) {
    const auto le = [&f](std::size_t at, uint16_t v) {
        f[at] = static_cast<char>(v & 0xFF);
        f[at + 1] = static_cast<char>(v >> 8);
    };
    const std::size_t cells = static_cast<std::size_t>(p.width * p.height);
    std::string text;
    for (const std::string* s : {&p.title, &p.author, &p.copyright})
        if (!s->empty())
            text += *s + '\0';
    for (const std::string& c : p.clues)
        text += c;
    if (!p.notes.empty())
        text += p.notes + '\0';
    const uint16_t cib = puzChecksum(std::string_view(f).substr(0x2C, 8), 0);
    const std::string_view solution = std::string_view(f).substr(0x34, cells);
    const std::string_view state = std::string_view(f).substr(0x34 + cells, cells);
    le(0x0E, cib);
    le(0x00, puzChecksum(text, puzChecksum(state, puzChecksum(solution, cib))));
    const uint16_t parts[4] = {cib, puzChecksum(solution, 0), puzChecksum(state, 0),
                               puzChecksum(text, 0)};
    const char* magic = "ICHEATED";
    for (std::size_t i = 0; i < 4; ++i) {
        f[0x10 + i] = static_cast<char>(magic[i] ^ (parts[i] & 0xFF));
        f[0x14 + i] = static_cast<char>(magic[4 + i] ^ (parts[i] >> 8));
    }
}

} // namespace korvel::uitest
