// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace korvel {

// Maps the classic font names the windows ask for to installed fonts of the
// same metrics. Call once after the application object exists.
void installFontSubstitutes();

// What the program sets on the application object before its first window:
// the application's name (the title of boxes that have none of their own)
// and the font substitutes.
void setUpApplication();

} // namespace korvel
