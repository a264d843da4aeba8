// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace korvel {

// Decompresses gzip data: one member or several back to back, as gzip writes
// them, and dictzip files too (a gzip member whose header carries the chunk
// table). Returns false with the reason in error when the bytes are no gzip
// data or end early; out then holds what was decompressed so far.
bool gunzip(std::string_view in, std::string& out, std::string& error);

} // namespace korvel
