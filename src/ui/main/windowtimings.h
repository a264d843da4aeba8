// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace korvel {

// Intervals of the main window's timers. The program keeps the defaults;
// tests shorten them.
struct WindowTimings {
    int timer0Ms = 2000; // start of the dictionary loading
    int timer2Ms = 1000; // the seconds counter while loading
    // Least time between two passes of the event loop inside a scan.
    int yieldMs = 10;
};

} // namespace korvel
