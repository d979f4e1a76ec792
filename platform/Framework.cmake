# Stand-ins for the desktop framework: command routing interfaces, the indicator status bar,
# lock-key state, the read-only per-user profile and dialog units.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(VANTOR_XKB QUIET IMPORTED_TARGET GLOBAL xcb xcb-xkb)
  pkg_check_modules(VANTOR_FONTCONFIG QUIET IMPORTED_TARGET GLOBAL fontconfig)
endif()

# The read-only per-user profile, without widgets (vantor-layoutblock writes what it reads).
vantor_add_library(vantor_profilestore
  ${CMAKE_CURRENT_LIST_DIR}/ProfileStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProfileStore.h)
target_link_libraries(vantor_profilestore PUBLIC Qt6::Core)

vantor_add_library(vantor_framework
  ${CMAKE_CURRENT_LIST_DIR}/CommandTarget.h
  ${CMAKE_CURRENT_LIST_DIR}/CommandUI.h
  ${CMAKE_CURRENT_LIST_DIR}/DialogUnits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogUnits.h
  ${CMAKE_CURRENT_LIST_DIR}/FontPreload.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FontPreload.h
  ${CMAKE_CURRENT_LIST_DIR}/IndicatorStatusBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndicatorStatusBar.h
  ${CMAKE_CURRENT_LIST_DIR}/LockKeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LockKeys.h
  ${CMAKE_CURRENT_LIST_DIR}/ParentFrame.h
)
target_link_libraries(vantor_framework PUBLIC Qt6::Widgets vantor_profilestore vantor_strings)
if(VANTOR_XKB_FOUND)
  # Lock-key indicators are read through the X keyboard extension; without it the panes stay blank.
  target_compile_definitions(vantor_framework PRIVATE VANTOR_HAVE_XKB)
  target_link_libraries(vantor_framework PRIVATE PkgConfig::VANTOR_XKB)
endif()
if(VANTOR_FONTCONFIG_FOUND)
  # The font configuration is read ahead on a thread of its own (FontPreload).
  target_compile_definitions(vantor_framework PRIVATE VANTOR_HAVE_FONTCONFIG)
  target_link_libraries(vantor_framework PRIVATE PkgConfig::VANTOR_FONTCONFIG)
endif()

# The four-field IP-address entry used by the address dialog.
vantor_add_library(vantor_ipaddressctrl
  ${CMAKE_CURRENT_LIST_DIR}/IPAddressCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IPAddressCtrl.h
)
target_link_libraries(vantor_ipaddressctrl PUBLIC Qt6::Widgets)

# The default web browser's program (no widgets).
vantor_add_library(vantor_defaultbrowser
  ${CMAKE_CURRENT_LIST_DIR}/DefaultBrowser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefaultBrowser.h)
target_link_libraries(vantor_defaultbrowser PUBLIC Qt6::Core)

# What Qt's UDP socket does not offer (no widgets): the socket option that lets datagrams go to
# the limited broadcast address, and taking many waiting datagrams in one system call.
vantor_add_library(vantor_broadcastoption
  ${CMAKE_CURRENT_LIST_DIR}/BroadcastOption.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BroadcastOption.h
  ${CMAKE_CURRENT_LIST_DIR}/DatagramBatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DatagramBatch.h)
target_link_libraries(vantor_broadcastoption PUBLIC Qt6::Core)
if(WIN32)
  target_link_libraries(vantor_broadcastoption PRIVATE ws2_32)
endif()
