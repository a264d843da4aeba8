// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvel {

// Mouse pointer states a search sets on the grid and on the results list.
enum class Pointers {
    Busy,     // hourglass on the grid and the list
    ToolGrid, // the grid shows the current tool's pointer, the list the default
    Default,  // both the default pointer
};

// Flags that the window's handlers and a running search share. A search reads
// them again after every yield, because a handler run from that yield (a click
// on status panel 2, "Search Reset") may have changed them.
struct SearchFlags {
    int16_t BusyCounter = 0;
    int16_t abortRequest = 0;
    bool Estesa = false;  // "Extended Search" ticked: no cap of 50 results
    bool Accorcia = true; // "Free Cue" ticked
    int16_t retryFlag = 0;
    std::string savedSlotPattern;
    // Lines in the results list after the last search; wider than 16 bits
    // because an extended search can list more than 32767 lines.
    int32_t resultCount = 0;
    // Scans and fills started by the window's handlers and still on the
    // stack (ScanScope).
    int scanDepth = 0;

    // The handlers' busy test: a search runs (BusyCounter above 0), or one
    // that "Search Reset" has let go of has not yet returned.
    bool busy() const { return BusyCounter > 0 || scanDepth > 0; }
};

// Marks a scan or a fill started by a handler for as long as it is on the
// stack: the window counts as busy, and "Search Reset" asks it to stop
// instead of letting another command run inside it.
class ScanScope {
public:
    explicit ScanScope(SearchFlags& flags) : depth_(flags.scanDepth) { ++depth_; }
    ~ScanScope() { --depth_; }
    ScanScope(const ScanScope&) = delete;
    ScanScope& operator=(const ScanScope&) = delete;

private:
    int& depth_;
};

// Everything a search or a refinement does to the window goes through here.
// The window implements it with its widgets; the tests and the command-line
// tools implement it with a recorder.
class SearchHost {
public:
    virtual ~SearchHost() = default;

    // Status bar panels, numbered as on the bar.
    virtual void setPanelText(int panel, std::string_view text) = 0;
    virtual void setPanelHint(int panel, std::string_view hint) = 0;

    // The panels by what they say: the current tool's line (1), what is
    // happening or the result count and its hint (2), remarks and refusals
    // (3), the position of the clicked cell (4).
    void showToolLine(std::string_view text) { setPanelText(1, text); }
    void showCount(std::string_view text) { setPanelText(2, text); }
    void showCountHint(std::string_view hint) { setPanelHint(2, hint); }
    void showRemark(std::string_view text) { setPanelText(3, text); }
    void showPosition(std::string_view text) { setPanelText(4, text); }

    // The results list. Lines are kept in display order by the list itself.
    virtual void clearList() = 0;
    virtual void addListLine(std::string line) = 0;
    virtual std::size_t listCount() const = 0;
    virtual void setListHint(std::string_view hint) = 0;
    // The search has written its last line. A list that keeps lines aside
    // while they come out of order puts them in place now; it may yield.
    virtual void finishList() {}

    virtual void setPointers(Pointers p) = 0;
    virtual void beep() = 0;

    // One pass of the event loop. The window throttles it by time.
    virtual void yield() = 0;

    // Called by a scan once per line. Only every yieldStride-th call reaches
    // yield(), so a line costs a countdown and the window's clock is read a
    // few hundred thousand times a second at most. Returns true when yield()
    // ran, that is when a handler may have changed the shared flags.
    bool lineTick() {
        if (--countdown_ > 0) {
            return false;
        }
        countdown_ = yieldStride;
        yield();
        return true;
    }
    // Lines per yield(); 1 makes every line yield (the tests count on it).
    int yieldStride = 64;

    // The pattern label (texta) and the TEST field (textb).
    virtual void setPatternLabel(std::string_view text) = 0;
    virtual void setTestText(std::string_view text) = 0;

    // The four head and tail buttons.
    virtual void setHeadTailButtonsEnabled(bool enabled) = 0;

private:
    int countdown_ = 1;
};

} // namespace korvel
