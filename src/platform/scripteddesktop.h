// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace korvel {

// Test double of the desktop. Every box and dialog is recorded; answers come
// from queues the test fills beforehand. An empty queue answers Ok (or Cancel
// for a box without Ok) and cancels a file dialog.
class ScriptedDesktop : public Desktop {
public:
    struct Shown {
        QString kind; // "box", "open", "save", "export", "print"
        QString title;
        // Box text, or the filter of a file dialog: an export's joined by
        // ";;", the one chosen at the start of an open or save dialog that
        // offers several (all of them in filters).
        QString text;
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::Ok;
        QString folder;           // start folder of a file dialog
        QString proposal;         // proposed name of the save dialog; a print's file
        QString detail = {};      // detailed text of a box
        QStringList filters = {}; // every filter an open or save dialog offers
    };

    MsgAnswer messageBox(QWidget* owner, const QString& title, const QString& text, MsgIcon icon,
                         MsgButtons buttons) override;
    MsgAnswer messageBoxWithDetail(QWidget* owner, const QString& title, const QString& text,
                                   const QString& detail, MsgIcon icon,
                                   MsgButtons buttons) override;
    QString chooseFileToOpen(QWidget* owner, const QString& title, const QString& filter,
                             const QString& startFolder) override;
    QString chooseFileToSave(QWidget* owner, const QString& title, const QString& filter,
                             const QString& startFolder, const QString& proposedName) override;
    QString chooseFileToOpenAmong(QWidget* owner, const QString& title, const QStringList& filters,
                                  const QString& startFolder, int& selectedFilter) override;
    QString chooseFileToSaveAmong(QWidget* owner, const QString& title, const QStringList& filters,
                                  const QString& startFolder, const QString& proposedName,
                                  int& selectedFilter) override;
    QString chooseFileToExport(QWidget* owner, const QString& title, const QStringList& filters,
                               const QString& startFolder, const QString& proposedName,
                               int& selectedFilter) override;
    // A print accepted by the script prints into the PDF file it names. The
    // record's title is the document's name and its proposal the file that
    // printing to a file proposes.
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;
    void beep() override { ++beeps; }
    bool openDocument(const QString& urlOrPath) override {
        opened << urlOrPath;
        return openSucceeds;
    }
    void endProcess(int code) override {
        ended = true;
        exitCode = code;
    }

    // Answers, taken front first.
    QList<MsgAnswer> boxAnswers;
    QStringList fileAnswers;
    // The filter an export dialog ends on; when empty, the one it started on.
    QList<int> exportFilterAnswers;
    // The filter an open or save dialog of several ends on; when empty, the
    // one it started on.
    QList<int> filterAnswers;
    // Print dialogs: the PDF file to print into, or "" to cancel; an empty
    // queue cancels.
    QStringList printAnswers;
    // Runs while a box is "open", before it answers (for example to check the
    // state of the window behind it).
    std::function<void(const Shown&)> onShow;

    QList<Shown> shown;
    int beeps = 0;
    QStringList opened;
    // What openDocument answers: false as on a desktop without a browser.
    bool openSucceeds = true;
    bool ended = false;
    int exitCode = 0;

    QList<Shown> boxes() const;
    void clear();

private:
    // The next file answer, and the filter it was chosen under.
    QString answerAmong(int& selectedFilter);
};

} // namespace korvel
