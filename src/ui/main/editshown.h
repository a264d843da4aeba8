// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "promptstate.h"
#include "searchhost.h"

#include <vector>

namespace korvel {

// What an edit handler shows once the core has changed the document: the
// message boxes, the repaint, the red boxes and the Undo and Redo keys, in
// that order, the same for every edit handler.
struct EditShown {
    bool anomaly = false;        // the history's anomaly box
    bool historyCleared = false; // the history-cleared box
    // Repaint even when the document did not change (to take an old red box
    // away); a change always repaints.
    bool repaint = true;
    // Red boxes drawn after the repaint; the last one stays the selection.
    std::vector<Selection> boxes;
    bool historyButtons = true; // the Undo and Redo keys follow the history
};

// Marks a scan or a fill started by a handler for as long as it is on the
// stack: the window counts as busy, and "Search Reset" asks it to stop
// instead of letting another command run inside it.
class ScanScope {
public:
    explicit ScanScope(int& depth) : depth_(depth) { ++depth_; }
    ~ScanScope() { --depth_; }
    ScanScope(const ScanScope&) = delete;
    ScanScope& operator=(const ScanScope&) = delete;

private:
    int& depth_;
};

// The handlers' busy test: a search runs (BusyCounter above 0), or one that
// "Search Reset" has let go of has not yet returned.
inline bool windowBusy(const SearchFlags& flags, int scanDepth) {
    return flags.BusyCounter > 0 || scanDepth > 0;
}

} // namespace korvel
