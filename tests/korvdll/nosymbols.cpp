// SPDX-License-Identifier: GPL-3.0-or-later
// A shared library without the companion library's entry points.
extern "C" int korvelNotTheCompanion() {
    return 0;
}
