// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

#include "tool.h"

namespace korvel {

// The toolbar's pictures, drawn at run time: image index 1 to 13 of the two
// image lists (large for wide screens, small for narrow ones).
QIcon toolbarImage(int index, bool small);

// The picture laid over the "picture1" placeholder beside the TEST field.
QPixmap testPicture(int width, int height);

// A tool's button picture.
QIcon toolIcon(Tool tool, bool small);

// Grid pointers: one per grid tool 0 to 6, and the default one.
QCursor toolPointer(Tool tool);
QCursor defaultPointer();

} // namespace korvel
