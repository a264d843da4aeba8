// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The windows of a test keep their settings (the recent files, the window's
// place, the last folder chosen) in a private folder, never in the settings
// of whoever runs the tests.

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

namespace korvel::uitest {

// Every settings object made from now on reads and writes under folder.
inline void useSettingsFolder(const QString& folder) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

// One private folder for the whole test process, set before any window.
inline const bool processSettingsArePrivate = [] {
    static QTemporaryDir folder;
    useSettingsFolder(folder.path());
    return true;
}();

} // namespace korvel::uitest
