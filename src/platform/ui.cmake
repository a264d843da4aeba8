# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop services of the Qt program: message boxes, file dialogs, the print
# dialog, beep, shell.
# The scripted double lives beside the real thing so the UI tests can link it.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
add_library(korvel_platform STATIC
  ${CMAKE_CURRENT_LIST_DIR}/desktop.h
  ${CMAKE_CURRENT_LIST_DIR}/focusreturn.h
  ${CMAKE_CURRENT_LIST_DIR}/qtdesktop.h
  ${CMAKE_CURRENT_LIST_DIR}/qtdesktop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scripteddesktop.h
  ${CMAKE_CURRENT_LIST_DIR}/scripteddesktop.cpp
)
target_include_directories(korvel_platform PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(korvel_platform PUBLIC Qt6::Widgets Qt6::PrintSupport)
