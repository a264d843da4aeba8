// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop.h"

#include <QString>

namespace korvel {

// The name the save dialog shows for a proposal. A name that would make a
// hidden file (a grid without a file proposes ".kvl"), which the open dialog
// never lists, becomes a visible one ("new.kvl", or "new2.kvl" and on when
// that exists in folder); any other name is shown as it is.
QString visibleSaveName(const QString& folder, const QString& name);

// The real desktop through Qt: QMessageBox, QFileDialog, QApplication::beep
// QPrintDialog and QDesktopServices. When a box or dialog closes, the window
// that was active before it is activated again and its focused control gets
// the focus back: without a window manager nothing else would, and the
// window's keys (Undo, Redo, the File keys) would be dead until a click.
class QtDesktop : public Desktop {
public:
    MsgAnswer messageBox(QWidget* owner, const QString& title, const QString& text, MsgIcon icon,
                         MsgButtons buttons) override;
    MsgAnswer messageBoxWithDetail(QWidget* owner, const QString& title, const QString& text,
                                   const QString& detail, MsgIcon icon,
                                   MsgButtons buttons) override;
    void showText(QWidget* owner, const QString& title, const QString& text) override;
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
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;
    void beep() override;
    bool openDocument(const QString& urlOrPath) override;
    void endProcess(int code) override;
};

} // namespace korvel
