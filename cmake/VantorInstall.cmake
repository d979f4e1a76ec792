# What `cmake --install` puts on a system, at the freedesktop locations: the window, the
# command line companion and the simulator, the desktop entry with the application icon, the
# AppStream metainfo, compressed manual pages, and the Debian package documents. CPack builds
# the Debian package from the same rules (scripts/package).
include(GNUInstallDirs)

set(VANTOR_APP_ID com.dorvex.VantorConfig)

install(TARGETS vantor-config vantor-cli vantor-devsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/desktop/${VANTOR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/desktop/${VANTOR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/icons/app_icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME vantor-config.svg)

# The devices answer with broadcasts to UDP port 4000, which desktop firewalls drop: a firewalld
# service and a ufw application profile let the user allow them by name. firewalld and ufw read
# these places only; an install under another prefix keeps them under that prefix.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(vantor_ufw_dir /etc/ufw/applications.d)
else()
  set(vantor_ufw_dir ${CMAKE_INSTALL_SYSCONFDIR}/ufw/applications.d)
endif()
install(FILES resources/firewall/vantor-config.xml DESTINATION lib/firewalld/services)
install(FILES resources/firewall/vantor-config.ufw DESTINATION ${vantor_ufw_dir} RENAME vantor-config)

# Manual pages and the package changelog go compressed, without name or time stamp in the gzip
# header, so the same sources give the same bytes. The manual pages take the project's version.
set(vantor_compressed)
foreach(source docs/man/vantor-config.1 docs/man/vantor-cli.1 docs/man/vantor-devsim.1 packaging/changelog)
  get_filename_component(name ${source} NAME)
  if(name STREQUAL "changelog")
    set(name changelog.Debian)
  endif()
  set(staged ${CMAKE_BINARY_DIR}/install-sources/${name})
  if(name MATCHES "[.]1$")
    configure_file(${source} ${staged} @ONLY)
  else()
    configure_file(${source} ${staged} COPYONLY)
  endif()
  set(output ${CMAKE_BINARY_DIR}/install-files/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/install-files
    COMMAND ${CMAKE_COMMAND} -E copy ${staged} ${CMAKE_BINARY_DIR}/install-files/${name}
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/install-files/${name}
    DEPENDS ${staged}
    VERBATIM)
  list(APPEND vantor_compressed ${output})
endforeach()
add_custom_target(vantor_install_files ALL DEPENDS ${vantor_compressed})
foreach(page vantor-config vantor-cli vantor-devsim)
  install(FILES ${CMAKE_BINARY_DIR}/install-files/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/install-files/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantor-config)

# ---- Debian package ----
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantor Config developers")
set(CPACK_PACKAGE_CONTACT "Vantor Config maintainers <maintainers@vantor-config.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find and configure Vantor devices on the local network")
# CPack makes the control file's long description from this: each line indented, an empty line
# a paragraph break.
set(CPACK_PACKAGE_DESCRIPTION
    "Vantor Config finds the small networked devices on the local Ethernet
segment with one UDP broadcast and lists each device's name, IP address,
subnet mask, gateway, MAC address and firmware version. Selected devices
can be readdressed, given a new MAC address, reset or told to update their
firmware.

The package holds the window (vantor-config), a command line companion
for scripts that searches through every network adapter (vantor-cli) and
a device simulator for trying both without hardware (vantor-devsim).")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Added to what dpkg-shlibdeps finds: sensible-browser is one of the window's ways to the
# default web browser.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "sensible-utils")
# Qt's Wayland plugin lets the window run natively on a Wayland desktop instead of through
# XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# The ufw profile lives in /etc, so it is a configuration file the user may edit.
file(WRITE ${CMAKE_BINARY_DIR}/install-files/conffiles "/etc/ufw/applications.d/vantor-config\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/install-files/conffiles)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
