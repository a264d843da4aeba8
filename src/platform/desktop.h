// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace korvel {

// Icons of a message box.
enum class MsgIcon { None, Critical, Question, Exclamation, Information };

// Button sets of a message box.
enum class MsgButtons { Ok, OkCancel, YesNoCancel, YesNo };

// The button that closed a message box; the values are the classic answer
// codes. Closing a box without a button answers Cancel (Ok for an Ok box).
enum class MsgAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// What the desktop gives the windows: modal message boxes, the two common file
// dialogs, the beep, opening a document in its default application and the
// end of the process. The program uses QtDesktop; the tests use a scripted
// double that records what was shown and answers as told.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Texts may hold CR LF line breaks; a box shows them as line breaks.
    virtual MsgAnswer messageBox(QWidget* owner, const QString& title, const QString& text,
                                 MsgIcon icon, MsgButtons buttons) = 0;
    // The same box with a detailed text that the user can unfold (the file
    // and the cause behind a fixed message). Without a place for it the box
    // shows the text alone.
    virtual MsgAnswer messageBoxWithDetail(QWidget* owner, const QString& title,
                                           const QString& text, const QString& detail, MsgIcon icon,
                                           MsgButtons buttons) {
        (void)detail;
        return messageBox(owner, title, text, icon, buttons);
    }
    // A text too long for a box (a report of many lines), with an OK button.
    // On the screen it never grows past the screen: what does not fit
    // scrolls. Without a place of its own it is an Ok box without an icon.
    virtual void showText(QWidget* owner, const QString& title, const QString& text) {
        messageBox(owner, title, text, MsgIcon::None, MsgButtons::Ok);
    }

    // Both dialogs start in startFolder and return the chosen full path, or ""
    // when the user cancels. The open dialog accepts existing files only; the
    // save dialog proposes proposedName and overwrites without asking (see
    // askToReplace for the question a caller asks itself).
    virtual QString chooseFileToOpen(QWidget* owner, const QString& title, const QString& filter,
                                     const QString& startFolder) = 0;
    virtual QString chooseFileToSave(QWidget* owner, const QString& title, const QString& filter,
                                     const QString& startFolder, const QString& proposedName) = 0;

    // The same dialogs offering several filters, starting with filter
    // selectedFilter chosen; selectedFilter is set to the index of the filter
    // chosen at the end (left as it was when the dialog is cancelled).
    virtual QString chooseFileToOpenAmong(QWidget* owner, const QString& title,
                                          const QStringList& filters, const QString& startFolder,
                                          int& selectedFilter) = 0;
    virtual QString chooseFileToSaveAmong(QWidget* owner, const QString& title,
                                          const QStringList& filters, const QString& startFolder,
                                          const QString& proposedName, int& selectedFilter) = 0;

    // The export dialog: a save dialog offering several filters, starting with
    // filter selectedFilter chosen. Returns the chosen full path ("" when
    // cancelled) and sets selectedFilter to the index of the filter chosen at
    // the end. Existing files are overwritten without asking.
    virtual QString chooseFileToExport(QWidget* owner, const QString& title,
                                       const QStringList& filters, const QString& startFolder,
                                       const QString& proposedName, int& selectedFilter) = 0;

    // The platform's print dialog for printer. Returns true when the user
    // asked to print; the printer then holds the choices made.
    virtual bool choosePrinter(QWidget* owner, QPrinter& printer) = 0;

    virtual void beep() = 0;

    // Opens a document or page with the desktop's default application.
    // Returns false when that could not be started.
    virtual bool openDocument(const QString& urlOrPath) = 0;

    // Ends the process at once with the exit code; no window sees another
    // event. The double only records the call, so callers must return right
    // after it.
    virtual void endProcess(int code) = 0;
};

// Asks before a command replaces files that exist: "NAME already exists.",
// "Do you want to replace it?" (the names of all, for several), Yes and No,
// under the command's title. True when none of paths exists or the answer
// is Yes; a box closed without an answer keeps the files.
inline bool askToReplace(Desktop& desktop, QWidget* owner, const QString& title,
                         const QStringList& paths) {
    QStringList existing;
    for (const QString& p : paths)
        if (QFileInfo::exists(p))
            existing << QDir::toNativeSeparators(p);
    if (existing.isEmpty())
        return true;
    const bool one = existing.size() == 1;
    const QString names = one ? existing.constFirst()
                              : existing.mid(0, existing.size() - 1).join(QStringLiteral(", ")) +
                                    QStringLiteral(" and ") + existing.constLast();
    const QString text =
        names + (one ? QStringLiteral(" already exists.\r\nDo you want to replace it?")
                     : QStringLiteral(" already exist.\r\nDo you want to replace them?"));
    return desktop.messageBox(owner, title, text, MsgIcon::Exclamation, MsgButtons::YesNo) ==
           MsgAnswer::Yes;
}

} // namespace korvel
