// SPDX-License-Identifier: GPL-3.0-or-later
#include "gunzip.h"

#include <zlib.h>

#include <array>

namespace korvel {

bool gunzip(std::string_view in, std::string& out, std::string& error) {
    out.clear();
    z_stream s{};
    // 16 + MAX_WBITS: a gzip header and trailer around the deflate data.
    if (inflateInit2(&s, 16 + MAX_WBITS) != Z_OK) {
        error = "zlib cannot start";
        return false;
    }
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    s.avail_in = static_cast<uInt>(in.size());
    std::array<char, 1 << 16> buffer{};
    bool ok = true;
    for (;;) {
        s.next_out = reinterpret_cast<Bytef*>(buffer.data());
        s.avail_out = static_cast<uInt>(buffer.size());
        const int rc = inflate(&s, Z_NO_FLUSH);
        out.append(buffer.data(), buffer.size() - s.avail_out);
        if (rc == Z_STREAM_END) {
            if (s.avail_in == 0) {
                break;
            }
            // Another member follows.
            inflateReset(&s);
            continue;
        }
        if (rc != Z_OK) {
            error = rc == Z_BUF_ERROR
                        ? "the gzip data ends early"
                        : std::string("no gzip data: ") + (s.msg ? s.msg : "bad data");
            ok = false;
            break;
        }
    }
    inflateEnd(&s);
    return ok;
}

} // namespace korvel
