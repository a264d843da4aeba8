// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// What an export writes for a cell that is not black: the letter as UTF-8
// (the file's bytes are read as Latin-1, as the window shows them), or
// nothing for an empty cell. Empty are "?", a blank, a missing byte and the
// control bytes, which no export could show.
std::optional<std::string> cellLetter(char ch);

// Text as UTF-8 that is certain to be valid: valid sequences stay, every
// other byte becomes U+FFFD. File names come from the file system unchecked.
std::string validUtf8(std::string_view text);

} // namespace korvel
