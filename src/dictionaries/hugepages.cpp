// SPDX-License-Identifier: GPL-3.0-or-later
#include "hugepages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace korvel {

void adviseHugePages(const void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t HugePage = 2u << 20;
    if (data == nullptr || bytes < 2 * HugePage) {
        return;
    }
    // Only whole huge pages inside the buffer can be advised.
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(HugePage - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace korvel
