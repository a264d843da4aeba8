// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsfile.h"

#include "regularfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace korvel {

namespace {

// The folder of the user's settings files. Qt tells no one the folder that
// QSettings::setPath chose, but a settings object names its file: one of an
// organisation that has no file (a name of this process alone) opens nothing
// and gives the folder.
QString userSettingsFolder() {
    const QSettings probe(
        QSettings::NativeFormat, QSettings::UserScope,
        QStringLiteral(".korvel-settings-probe-%1").arg(QCoreApplication::applicationPid()));
    return QFileInfo(probe.fileName()).absolutePath();
}

// The files QSettings() reads for the user, in its order: the program's, then
// its organisation's.
QStringList userSettingsFiles() {
    QString org = QCoreApplication::organizationName();
    if (org.isEmpty())
        org = QCoreApplication::organizationDomain();
    if (org.isEmpty())
        org = QStringLiteral("Unknown Organization");
    const QString folder = userSettingsFolder() + QLatin1Char('/');
    QStringList files;
    if (!QCoreApplication::applicationName().isEmpty())
        files << folder + org + QLatin1Char('/') + QCoreApplication::applicationName() +
                     QStringLiteral(".conf");
    files << folder + org + QStringLiteral(".conf");
    return files;
}

// Why QSettings must not read the file at path; nothing when it may (a
// regular file within the limit, or no file at all).
std::optional<QString> refusal(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("is ") + QString::fromStdString(fileKind(st.st_mode));
    if (st.st_size > MaxSettingsBytes)
        return QStringLiteral("is larger than %1 bytes").arg(MaxSettingsBytes);
    return std::nullopt;
}

} // namespace

std::optional<QString> boundSettingsFile() {
    for (const QString& file : userSettingsFiles()) {
        const std::optional<QString> why = refusal(file);
        if (!why)
            continue;
        // Lives as long as the program, which may write settings until its
        // last moment.
        static QTemporaryDir standIn;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, standIn.path());
        return QStringLiteral("The settings file %1 %2, so it was not read. Korvel starts with "
                              "its default settings and keeps what you change only until it "
                              "ends. Put a regular file there, or remove it, to keep settings "
                              "again.")
            .arg(QDir::toNativeSeparators(file), *why);
    }
    return std::nullopt;
}

} // namespace korvel
