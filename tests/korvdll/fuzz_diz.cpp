// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the .diz decoder. Any input must either be rejected
// or decode to a text that encodes and decodes to itself.
#include "dizformat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    std::string plain;
    std::string error;
    if (!korvel::diz::decode(file, plain, error)) {
        if (error.empty() || !plain.empty()) {
            std::abort();
        }
        return 0;
    }
    std::string again;
    std::string plainAgain;
    if (!korvel::diz::encode(plain, again, error) ||
        !korvel::diz::decode(again, plainAgain, error) || plainAgain != plain) {
        std::abort();
    }
    return 0;
}
