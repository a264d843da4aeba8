// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace korvel::diz {

// A .diz file: a 24-byte little-endian header followed by one zstd frame that
// holds the plain CR LF word list. The layout is described in
// docs/diz-format.md.
inline constexpr std::string_view Magic = "KDIZ";
inline constexpr uint16_t Version = 1;
inline constexpr std::size_t HeaderSize = 24;

// Upper bound on the decoded plain text and on a .diz file read from disk. A
// header that declares more is rejected before anything is decompressed, and
// the decompressor never produces more than the header declared.
inline constexpr uint64_t MaxPlainSize = 512ull * 1024 * 1024;

struct Header {
    uint16_t version = Version;
    uint16_t flags = 0;
    uint32_t entryCount = 0;
    uint64_t plainSize = 0;
    uint32_t checksum = 0;
};

// CRC-32 (IEEE 802.3, the one of zip and PNG) of the bytes, at once or in
// pieces: crc32End(crc32Update(crc32Update(crc32Begin(), a), b)).
uint32_t crc32(std::string_view bytes);
inline uint32_t crc32Begin() {
    return 0xFFFFFFFFu;
}
uint32_t crc32Update(uint32_t state, std::string_view bytes);
inline uint32_t crc32End(uint32_t state) {
    return state ^ 0xFFFFFFFFu;
}

// Number of lines in a CR LF list; a final CR LF does not open another line,
// and an empty text has none.
uint64_t countEntries(std::string_view plain);

// Builds a whole .diz file from a plain list. Returns false with a message
// when the text is too large or zstd fails.
bool encode(std::string_view plain, std::string& out, std::string& error);

// Decodes a whole .diz file into its plain list. Returns false with a message
// for anything that is not a well-formed file of this version: a short or
// foreign header, an oversized declared size, a truncated, corrupt or
// over-long zstd frame, trailing bytes, or a count or checksum that does not
// match the decoded text. Never reads outside the input, never allocates more
// than the declared size (itself capped by MaxPlainSize).
bool decode(std::string_view file, std::string& plain, std::string& error);

// The same checks, with the plain list handed to sink piece by piece as it is
// decoded, in order. A sink returning false stops the decoding (an error).
// The pieces seen before a failure are not a valid list; the caller discards
// them.
using Sink = std::function<bool(std::string_view piece)>;
bool decode(std::string_view file, const Sink& sink, std::string& error);

} // namespace korvel::diz
