// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "focusreturn.h"

#include <QDialog>

namespace korvel {

// The about box Form0h: a picture background with the program's name, the
// maker's notice and address, and a picture button that closes it. Placed
// 2000 twips from the screen's top-left corner.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

private:
    // Closed, the box gives the focus back to the window behind it.
    FocusReturn focusBack_;
};

} // namespace korvel
