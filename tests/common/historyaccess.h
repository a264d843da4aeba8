// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "actionshistory.h"
#include "griddocument.h"

#include <cstddef>
#include <cstdint>

namespace korvel {

// What the tests do to a history that no edit does: damage a record (the
// anomaly paths) or put the length at a full store without recording.
struct HistoryTestAccess {
    static void overwriteEntry(ActionsHistory& h, std::size_t k, int16_t v) { h.store_.at(k) = v; }
    static void overwriteLength(ActionsHistory& h, int16_t n) { h.HistoryLength_ = n; }
    // The document's own history; the document itself is not const.
    static void overwriteEntry(const GridDocument& doc, std::size_t k, int16_t v) {
        overwriteEntry(const_cast<ActionsHistory&>(doc.history()), k, v);
    }
};

} // namespace korvel
