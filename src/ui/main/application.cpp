// SPDX-License-Identifier: GPL-3.0-or-later
// What the program sets on the application object before its first window.

#include "mainwindow.h"

#include <QApplication>
#include <QFont>

namespace korvel {

void installFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Courier"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Serif"), QStringLiteral("Liberation Serif"));
}

void setUpApplication() {
    // The name only: a display name would make the window system append
    // " — Korvel" to every window's caption.
    QApplication::setApplicationName(QStringLiteral("Korvel"));
    // The settings (recent files, the window's place, the last folder) go
    // to ~/.config/korvel/Korvel.conf, beside the remembered language.
    QApplication::setOrganizationName(QStringLiteral("korvel"));
    installFontSubstitutes();
}

} // namespace korvel
