// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpcommands.h"

#include "aboutbox.h"
#include "datafolders.h"
#include "desktop.h"
#include "dictviewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#ifndef KORVEL_HELP_DIR
#define KORVEL_HELP_DIR "../help"
#endif

namespace korvel {

void showAbout(QWidget* parent) {
    AboutBox box(parent);
    box.exec();
}

void showDictionaryViewer(const DictionaryStore& store, QWidget* parent) {
    DictionaryViewer viewer(store, parent);
    viewer.exec();
}

namespace {

const char* const ShortcutLines[] = {
    "Mouse left-click     = Select Row or Column",
    "Mouse right-click   = Switch between Across/Down",
    "Mouse left-drag    = Select those Cells (Across or Down)",
    "Ctrl +                    = Increase Grid size +10%",
    "Ctrl -                      = Reduce Grid size -10%",
    "Ctrl 0                     = Reset original Grid size",
    "F1                          = Show online Help",
};

} // namespace

void showShortcuts(Desktop& desktop, QWidget* parent) {
    QStringList lines;
    for (const char* line : ShortcutLines)
        lines << QString::fromLatin1(line);
    desktop.messageBox(parent, QStringLiteral("    KORVEL V.8    SHORTCUTS"),
                       lines.join(QStringLiteral("\r\n")), MsgIcon::None, MsgButtons::Ok);
}

void openHelpPage(Desktop& desktop, QWidget* parent, const QString& page) {
    if (desktop.openDocument(page))
        return;
    desktop.messageBox(parent, QStringLiteral("Help"),
                       QStringLiteral("No browser could be started for the help page. Open "
                                      "this file in a browser:\r\n") +
                           QDir::toNativeSeparators(page),
                       MsgIcon::Information, MsgButtons::Ok);
}

QString defaultHelpPage() {
    const QString page = QStringLiteral("/voduzeze/KORVELH8.HTM");
    const QString beside =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/") +
                        QStringLiteral(KORVEL_HELP_DIR) + page);
    // Installed, the page lies in the data folder rather than beside the
    // programs' folder as in a build tree.
    const QString installed =
        QFile::decodeName(installedDataFolder().c_str()) + QStringLiteral("/help") + page;
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside;
}

} // namespace korvel
