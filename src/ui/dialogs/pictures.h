// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

namespace korvel {

// The program's own pictures, drawn at run time so that no image files need
// shipping: the splash picture and the about box's background and button.
QPixmap splashPicture();
QPixmap aboutBackground(QSize size);
QPixmap aboutButtonPicture();

} // namespace korvel
