# SPDX-License-Identifier: GPL-3.0-or-later
# Given to a configure as -DCMAKE_PROJECT_INCLUDE=<this file>: every compile,
# link and custom step runs under steptime, which logs its processor time
# (docs/performance.md, "Building and running the tests").
set(_st ${CMAKE_CURRENT_LIST_DIR}/steptime)
set_property(GLOBAL PROPERTY RULE_LAUNCH_COMPILE "${_st}")
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${_st}")
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM "env STEP_OUTPUT=<OUTPUT> ${_st}")
