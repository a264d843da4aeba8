// SPDX-License-Identifier: GPL-3.0-or-later
#include "dizformat.h"

#include <zstd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace korvel::diz {

namespace {

// Slice-by-8 tables: the stress dictionary is 50 MB, and a byte-at-a-time CRC
// would take a good share of the load time budget.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

CrcTables makeCrcTables() {
    CrcTables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        }
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i) {
        for (std::size_t s = 1; s < 8; ++s) {
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFFu];
        }
    }
    return t;
}

const CrcTables& crcTables() {
    static const CrcTables tables = makeCrcTables();
    return tables;
}

uint32_t load32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t get16(std::string_view s, std::size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data() + at);
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t get32(std::string_view s, std::size_t at) {
    return load32(reinterpret_cast<const unsigned char*>(s.data() + at));
}

uint64_t get64(std::string_view s, std::size_t at) {
    return uint64_t(get32(s, at)) | uint64_t(get32(s, at + 4)) << 32;
}

void put16(std::string& s, uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

void put32(std::string& s, uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        s += static_cast<char>((v >> (8 * k)) & 0xFF);
    }
}

void put64(std::string& s, uint64_t v) {
    put32(s, static_cast<uint32_t>(v));
    put32(s, static_cast<uint32_t>(v >> 32));
}

struct DCtxDeleter {
    void operator()(ZSTD_DCtx* d) const { ZSTD_freeDCtx(d); }
};

} // namespace

uint32_t crc32(std::string_view bytes) {
    return crc32End(crc32Update(crc32Begin(), bytes));
}

uint32_t crc32Update(uint32_t state, std::string_view bytes) {
    const CrcTables& t = crcTables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    uint32_t c = state;
    while (n >= 8) {
        const uint32_t lo = load32(p) ^ c;
        const uint32_t hi = load32(p + 4);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
        p += 8;
        n -= 8;
    }
    while (n-- > 0) {
        c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    }
    return c;
}

uint64_t countEntries(std::string_view plain) {
    uint64_t count = 0;
    std::size_t p = 0;
    while (p < plain.size()) {
        const std::size_t k = plain.find("\r\n", p);
        ++count;
        if (k == std::string_view::npos) {
            break;
        }
        p = k + 2;
    }
    return count;
}

bool encode(std::string_view plain, std::string& out, std::string& error) {
    if (plain.size() > MaxPlainSize) {
        error = "the plain list is larger than " + std::to_string(MaxPlainSize) + " bytes";
        return false;
    }
    const uint64_t entries = countEntries(plain);
    if (entries > UINT32_MAX) {
        error = "too many entries";
        return false;
    }
    // The strongest levels pay off for the shipped lists; for the large stress
    // lists they would take minutes for a few per cent.
    const int level = plain.size() < 16u * 1024 * 1024 ? 19 : 9;
    std::string frame(ZSTD_compressBound(plain.size()), '\0');
    const std::size_t n =
        ZSTD_compress(frame.data(), frame.size(), plain.data(), plain.size(), level);
    if (ZSTD_isError(n)) {
        error = std::string("zstd: ") + ZSTD_getErrorName(n);
        return false;
    }
    frame.resize(n);

    out.clear();
    out.reserve(HeaderSize + n);
    out.append(Magic);
    put16(out, Version);
    put16(out, 0);
    put32(out, static_cast<uint32_t>(entries));
    put64(out, plain.size());
    put32(out, crc32(plain));
    out += frame;
    return true;
}

bool decode(std::string_view file, const Sink& sink, std::string& error) {
    if (file.size() < HeaderSize) {
        error = "truncated header";
        return false;
    }
    if (file.substr(0, Magic.size()) != Magic) {
        error = "not a .diz file";
        return false;
    }
    Header h;
    h.version = get16(file, 4);
    h.flags = get16(file, 6);
    h.entryCount = get32(file, 8);
    h.plainSize = get64(file, 12);
    h.checksum = get32(file, 20);
    if (h.version != Version || h.flags != 0) {
        error = "unsupported .diz version " + std::to_string(h.version);
        return false;
    }
    if (h.plainSize > MaxPlainSize) {
        error = "declared size " + std::to_string(h.plainSize) + " exceeds the limit";
        return false;
    }

    const std::string_view frame = file.substr(HeaderSize);
    const std::size_t frameSize = ZSTD_findFrameCompressedSize(frame.data(), frame.size());
    if (ZSTD_isError(frameSize)) {
        error = "truncated or corrupt compressed data";
        return false;
    }
    if (frameSize != frame.size()) {
        error = "unexpected bytes after the compressed data";
        return false;
    }
    const unsigned long long contentSize = ZSTD_getFrameContentSize(frame.data(), frame.size());
    if (contentSize == ZSTD_CONTENTSIZE_ERROR ||
        (contentSize != ZSTD_CONTENTSIZE_UNKNOWN && contentSize != h.plainSize)) {
        error = "compressed data does not match the declared size";
        return false;
    }

    std::unique_ptr<ZSTD_DCtx, DCtxDeleter> dctx(ZSTD_createDCtx());
    if (!dctx) {
        error = "out of memory";
        return false;
    }
    // Decoded in pieces through one buffer: the sink sees each piece once,
    // and whatever the frame would yield beyond the declared size is never
    // produced past one extra byte.
    const uint64_t limit = h.plainSize;
    std::string buffer(std::min<uint64_t>(limit + 1, 1u << 20), '\0');
    ZSTD_inBuffer in{frame.data(), frame.size(), 0};
    uint64_t produced = 0;
    uint64_t separators = 0;
    bool lastWasCR = false;
    bool endsWithSeparator = false;
    uint32_t crc = crc32Begin();
    for (;;) {
        const std::size_t room =
            static_cast<std::size_t>(std::min<uint64_t>(buffer.size(), limit + 1 - produced));
        ZSTD_outBuffer out{buffer.data(), room, 0};
        const std::size_t inBefore = in.pos;
        const std::size_t r = ZSTD_decompressStream(dctx.get(), &out, &in);
        if (ZSTD_isError(r)) {
            error = std::string("corrupt compressed data (") + ZSTD_getErrorName(r) + ")";
            return false;
        }
        produced += out.pos;
        if (produced > limit) {
            error = "compressed data is longer than declared";
            return false;
        }
        if (out.pos > 0) {
            const std::string_view piece(buffer.data(), out.pos);
            // A separator may straddle two pieces: its CR ends one, its LF
            // starts the next.
            for (std::size_t i = piece.find('\n'); i != std::string_view::npos;
                 i = piece.find('\n', i + 1)) {
                if (i > 0 ? piece[i - 1] == '\r' : lastWasCR) {
                    ++separators;
                }
            }
            endsWithSeparator = piece.back() == '\n' &&
                                (piece.size() >= 2 ? piece[piece.size() - 2] == '\r' : lastWasCR);
            lastWasCR = piece.back() == '\r';
            crc = crc32Update(crc, piece);
            if (!sink(piece)) {
                error = "the decoded list could not be stored";
                return false;
            }
        }
        if (r == 0) {
            break;
        }
        if (out.pos == 0 && in.pos == inBefore) {
            error = "truncated compressed data";
            return false;
        }
    }
    if (produced != limit) {
        error = "compressed data is shorter than declared";
        return false;
    }
    const uint64_t entries = separators + ((produced > 0 && !endsWithSeparator) ? 1 : 0);
    if (entries != h.entryCount) {
        error = "entry count does not match";
        return false;
    }
    if (crc32End(crc) != h.checksum) {
        error = "checksum does not match";
        return false;
    }
    return true;
}

bool decode(std::string_view file, std::string& plain, std::string& error) {
    plain.clear();
    // Room for a typical list up front (text packs about 8 to 1), more only
    // as the frame really yields it.
    if (file.size() >= HeaderSize) {
        plain.reserve(static_cast<std::size_t>(std::min<uint64_t>(
            std::min<uint64_t>(get64(file, 12), MaxPlainSize), file.size() * 16)));
    }
    const bool ok = decode(
        file,
        [&plain](std::string_view piece) {
            plain.append(piece);
            return true;
        },
        error);
    if (!ok) {
        plain = std::string();
    }
    return ok;
}

} // namespace korvel::diz
