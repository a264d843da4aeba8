// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace korvel {

// Gives the focus back when a modal box or dialog closes. Without a window
// manager nothing else does: the window behind stays inactive, and its keys
// (Undo, Redo, the File keys) are dead until the next click. Made before the
// box shows, it remembers the window the box belongs to (owner's, else the
// active one) and the control focused in it; when it goes, that window is
// activated again and the control gets the focus, if both are still shown.
class FocusReturn {
public:
    explicit FocusReturn(QWidget* owner)
        : window_(owner ? owner->window() : QApplication::activeWindow()),
          control_(QApplication::focusWidget()) {
        if (control_ && control_->window() != window_)
            control_ = nullptr;
    }
    ~FocusReturn() {
        if (!window_ || !window_->isVisible())
            return;
        window_->activateWindow();
        if (control_ && control_->isVisible() && control_->isEnabled())
            control_->setFocus(Qt::ActiveWindowFocusReason);
    }
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> control_;
};

} // namespace korvel
