// SPDX-License-Identifier: GPL-3.0-or-later
#include "recentfiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace korvel {

namespace {

const QString RecentKey = QStringLiteral("files/recent");

QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void store(QStringList files) {
    while (files.size() > RecentFileCount)
        files.removeLast();
    QSettings settings;
    settings.setValue(RecentKey, files);
}

} // namespace

QStringList recentFiles() {
    QSettings settings;
    QStringList files = settings.value(RecentKey).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    while (files.size() > RecentFileCount)
        files.removeLast();
    return files;
}

void rememberRecentFile(const QString& path) {
    if (path.trimmed().isEmpty())
        return;
    const QString file = absolute(path);
    QStringList files = recentFiles();
    files.removeAll(file);
    files.prepend(file);
    store(files);
}

void forgetRecentFile(const QString& path) {
    QStringList files = recentFiles();
    if (files.removeAll(absolute(path)) > 0)
        store(files);
}

RecentMenu::RecentMenu(QMenu& fileMenu, QAction* after, std::function<void(const QString&)> open)
    : QObject(&fileMenu), fileMenu_(fileMenu), after_(after),
      menu_(new QMenu(QStringLiteral("Recent"), &fileMenu)), open_(std::move(open)) {
    menu_->setObjectName(QStringLiteral("Recenti"));
    menu_->menuAction()->setObjectName(QStringLiteral("RecentiMenu"));
    connect(&fileMenu_, &QMenu::aboutToShow, this, [this] { update(); });
}

void RecentMenu::update() {
    const QStringList files = recentFiles();
    const bool shown = fileMenu_.actions().contains(menu_->menuAction());
    if (files.isEmpty()) {
        if (shown)
            fileMenu_.removeAction(menu_->menuAction());
        return;
    }
    if (!shown) {
        // Other commands may join the menu after Save as; the list stays next to it.
        const QList<QAction*> items = fileMenu_.actions();
        const qsizetype next = items.indexOf(after_) + 1;
        fileMenu_.insertMenu(next > 0 && next < items.size() ? items[next] : nullptr, menu_);
    }
    menu_->clear();
    for (int i = 0; i < files.size(); ++i) {
        const QString file = files[i];
        QString caption = QDir::toNativeSeparators(file);
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = menu_->addAction(caption);
        item->setObjectName(QStringLiteral("Recente%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, file] {
            if (!QFileInfo(file).isFile())
                forgetRecentFile(file);
            open_(file);
        });
    }
}

} // namespace korvel
