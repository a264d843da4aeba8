// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QList>
#include <QMenu>
#include <QString>

namespace korvel {

// Collects the menu items a collaborator adds to the window's menus, each
// with the object name tests and the window find it by, so that the window
// can tell its form about all of them at once.
struct MenuAdditions {
    QList<QAction*> added;

    QAction* item(QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        added << a;
        return a;
    }
    QAction* separator(QMenu* menu, const char* name) {
        QAction* s = menu->addSeparator();
        s->setObjectName(QString::fromLatin1(name));
        added << s;
        return s;
    }
};

} // namespace korvel
