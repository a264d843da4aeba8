// SPDX-License-Identifier: GPL-3.0-or-later
// Empty on purpose: korveltests.cmake compiles the tests' precompiled
// headers through a target built from this file.
