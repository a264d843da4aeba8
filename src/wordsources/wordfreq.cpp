// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordfreq.h"

#include "wordfold.h"

#include <msgpack.h>

#include <cmath>
#include <vector>

namespace korvel {

void ZipfTable::add(const std::string& word, double zipf) {
    perBillion_[word] += std::pow(10.0, zipf);
}

std::optional<double> ZipfTable::zipf(std::string_view word) const {
    const auto it = perBillion_.find(std::string(word));
    if (it == perBillion_.end()) {
        return std::nullopt;
    }
    return std::log10(it->second);
}

namespace {

std::string_view text(const msgpack_object& o) {
    return o.type == MSGPACK_OBJECT_STR ? std::string_view(o.via.str.ptr, o.via.str.size)
                                        : std::string_view{};
}

bool isCbHeader(const msgpack_object& o) {
    if (o.type != MSGPACK_OBJECT_MAP) {
        return false;
    }
    for (uint32_t k = 0; k < o.via.map.size; ++k) {
        const msgpack_object_kv& kv = o.via.map.ptr[k];
        if (text(kv.key) == "format") {
            return text(kv.val) == "cB";
        }
    }
    return false;
}

} // namespace

bool readWordfreq(std::string_view bytes, ZipfTable& table, std::string& error) {
    msgpack_unpacked result;
    msgpack_unpacked_init(&result);
    std::size_t offset = 0;
    const msgpack_unpack_return rc =
        msgpack_unpack_next(&result, bytes.data(), bytes.size(), &offset);
    const msgpack_object& root = result.data;
    bool ok = rc == MSGPACK_UNPACK_SUCCESS && root.type == MSGPACK_OBJECT_ARRAY &&
              root.via.array.size >= 1 && isCbHeader(root.via.array.ptr[0]);
    if (!ok) {
        error = "no wordfreq list (a MessagePack array with a \"cB\" header)";
    }
    // Gathered first, so that a list that turns out bad changes nothing.
    std::vector<std::pair<std::string, double>> found;
    for (uint32_t i = 1; ok && i < root.via.array.size; ++i) {
        const msgpack_object& bucket = root.via.array.ptr[i];
        if (bucket.type != MSGPACK_OBJECT_ARRAY) {
            error = "item " + std::to_string(i) + " of the wordfreq list is no list of words";
            ok = false;
            break;
        }
        const double zipf = 9.0 - (i - 1) / 100.0;
        for (uint32_t k = 0; k < bucket.via.array.size; ++k) {
            const std::string_view token = text(bucket.via.array.ptr[k]);
            if (auto word = foldWord(token)) {
                found.emplace_back(std::move(*word), zipf);
            }
        }
    }
    msgpack_unpacked_destroy(&result);
    if (ok) {
        for (const auto& [word, zipf] : found) {
            table.add(word, zipf);
        }
    }
    return ok;
}

} // namespace korvel
