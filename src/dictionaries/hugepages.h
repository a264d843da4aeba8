// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace korvel {

// Asks the kernel to back a large, not yet written buffer with huge pages.
// A dictionary and its line index take about twice the size of the word list
// in fresh memory, and on small virtual machines the first write to each 4 KiB
// page costs more than the work done on it; with 2 MiB pages the load of a
// 50 MB list drops from most of a second to a small fraction of it. Call it
// after reserving the buffer and before filling it. Small buffers, other
// systems and refusals are all fine: it is only advice.
void adviseHugePages(const void* data, std::size_t bytes);

} // namespace korvel
