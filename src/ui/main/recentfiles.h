// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;

namespace korvel {

// File > Recent: the crossword files last opened or saved, most recent
// first, remembered between runs in the program's settings. The copies of
// the program running at once share the list: each reads it when its File
// menu opens, and QSettings locks the file while it reads or writes it.
inline constexpr int RecentFileCount = 10;

QStringList recentFiles();
// Puts path (made absolute) first, once; the list keeps RecentFileCount.
void rememberRecentFile(const QString& path);
void forgetRecentFile(const QString& path);

// The Recent submenu of the File menu, right after the item after. It is in the
// menu only while it has a file to list, and is brought up to date each time
// the File menu opens. Choosing a file calls open with its path; a file that
// is gone leaves the list (open then says that it cannot be opened).
class RecentMenu : public QObject {
    Q_OBJECT
public:
    RecentMenu(QMenu& fileMenu, QAction* after, std::function<void(const QString&)> open);

    void update();
    QMenu* menu() const { return menu_; }

private:
    QMenu& fileMenu_;
    QAction* after_;
    QMenu* menu_;
    std::function<void(const QString&)> open_;
};

} // namespace korvel
