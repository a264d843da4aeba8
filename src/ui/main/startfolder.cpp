// SPDX-License-Identifier: GPL-3.0-or-later
#include "startfolder.h"

#include "datafolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace korvel {

namespace {

const QString LastFolderKey = QStringLiteral("files/lastFolder");

bool isWithin(const QString& folder, const QString& root) {
    if (root.isEmpty())
        return false;
    const QString base = QDir::cleanPath(root);
    return folder == base || folder.startsWith(base + QLatin1Char('/'));
}

// A folder the build writes into: one that holds CMakeFiles (as every
// folder of a CMake build does that has targets), or one inside a build
// tree, below the folder that holds CMakeCache.txt.
bool isBuildFolder(const QString& folder) {
    if (QFileInfo(QDir(folder).filePath(QStringLiteral("CMakeFiles"))).isDir())
        return true;
    for (QDir dir(folder);;) {
        if (QFileInfo(dir.filePath(QStringLiteral("CMakeCache.txt"))).isFile())
            return true;
        if (!dir.cdUp())
            return false;
    }
}

} // namespace

bool isPlaceForFiles(const QString& folder, const QString& installedData) {
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    const QByteArray bytes = QFile::encodeName(info.absoluteFilePath());
    struct stat st {};
    if (::stat(bytes.constData(), &st) != 0 || (st.st_mode & S_IWUSR) == 0 ||
        ::access(bytes.constData(), W_OK | X_OK) != 0)
        return false;
    const QString canonical = info.canonicalFilePath();
    const QString installed = QFileInfo(installedData).canonicalFilePath();
    if (isWithin(canonical, installed) ||
        isWithin(QDir::cleanPath(info.absoluteFilePath()), QDir::cleanPath(installedData)))
        return false;
    return !isBuildFolder(canonical);
}

bool isPlaceForFiles(const QString& folder) {
    const std::string data = installedDataFolder();
    return isPlaceForFiles(folder, data.empty() ? QString() : QFile::decodeName(data.c_str()));
}

QString documentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return isPlaceForFiles(documents) ? documents : QDir::homePath();
}

QString startFolder(const QString& named) {
    if (!named.isEmpty() && (!QFileInfo(named).isDir() || isPlaceForFiles(named)))
        return named;
    const QString last = QSettings().value(LastFolderKey).toString();
    if (isPlaceForFiles(last))
        return last;
    return documentsFolder();
}

QString proposalFor(const QString& file) {
    const QFileInfo info(file);
    if (!info.isAbsolute())
        return file;
    const QString folder = info.absolutePath();
    return !QFileInfo(folder).isDir() || isPlaceForFiles(folder) ? file : info.fileName();
}

void rememberFolder(const QString& chosenFile) {
    if (chosenFile.isEmpty())
        return;
    QSettings().setValue(LastFolderKey, QFileInfo(chosenFile).absolutePath());
}

} // namespace korvel
