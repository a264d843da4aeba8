// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "griddocument.h"

namespace korvel {

// Lays a designed pattern over the document's grid as one bulk change (one
// Undo takes it all back): every cell takes the pattern's byte where it
// differs. The pattern must have the grid's size; otherwise, or when no
// cell differs, nothing is recorded.
AggiorResult layPattern(DocumentEdit& e, const GridModel& pattern);

} // namespace korvel
