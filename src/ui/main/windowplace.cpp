// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowplace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace korvel {

QString WindowPlace::settingsKey() {
    return QStringLiteral("window/geometry");
}

WindowPlace::WindowPlace(QWidget& window) : window_(window) {
    // A drag moves the window many times a second: one write after it stops.
    pending_.setSingleShot(true);
    pending_.setInterval(400);
    connect(&pending_, &QTimer::timeout, this, [this] { save(); });
}

WindowPlace::~WindowPlace() {
    if (pending_.isActive())
        save();
}

void WindowPlace::showAtStart() {
    const QByteArray left = QSettings().value(settingsKey()).toByteArray();
    if (!left.isEmpty() && window_.restoreGeometry(left)) {
        window_.show();
    } else {
        // The window covers the screen; without a window manager to maximise
        // it (a bare X server) the geometry must be asked for.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            window_.setGeometry(screen->availableGeometry());
        window_.showMaximized();
    }
    shown_ = true;
    window_.installEventFilter(this);
}

void WindowPlace::save() {
    pending_.stop();
    if (!shown_)
        return;
    const Qt::WindowStates state = window_.windowState();
    // A minimised window keeps the place it will come back to.
    if (state & Qt::WindowMinimized)
        return;
    QSettings settings;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        if (settings.contains(settingsKey()))
            settings.remove(settingsKey());
        return;
    }
    const QByteArray place = window_.saveGeometry();
    if (settings.value(settingsKey()).toByteArray() != place)
        settings.setValue(settingsKey(), place);
}

bool WindowPlace::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                                event->type() == QEvent::WindowStateChange))
        pending_.start();
    return QObject::eventFilter(watched, event);
}

} // namespace korvel
