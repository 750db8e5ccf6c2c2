# Where the program's files go: the data folder beside the programs in the
# build folder, `cmake --install` for a desktop system, and the Debian
# package (`cpack -G DEB` in the build folder, or scripts/package.sh).
# Included once, at the end of the top-level CMakeLists.txt.

include(GNUInstallDirs)

# The programs installed to bin/. Each has its man page docs/man/<name>.1;
# a new program is one more name here.
set(BREVEL_INSTALLED_PROGRAMS BrevelLogger brevel-logger-sim brevel)

# The command users type for the program; BrevelLogger stays its own name,
# which setup files record.
set(BREVEL_COMMAND brevel-flow-monitor)

# The data folder: catalogues, the flow tables they name, and the manual.
# The program looks beside itself first (a build folder), then in
# ../share/brevel-flow-monitor (an installed prefix).
set(BREVEL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/brevel-flow-monitor)
file(GLOB BREVEL_DATA_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
file(GLOB_RECURSE BREVEL_MANUAL_FILES CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/docs
  ${CMAKE_SOURCE_DIR}/docs/manual/*)
foreach(data_file ${BREVEL_DATA_FILES})
  get_filename_component(data_name ${data_file} NAME)
  configure_file(${data_file} ${CMAKE_BINARY_DIR}/${data_name} COPYONLY)
endforeach()
foreach(manual_file ${BREVEL_MANUAL_FILES})
  configure_file(${CMAKE_SOURCE_DIR}/docs/${manual_file} ${CMAKE_BINARY_DIR}/${manual_file} COPYONLY)
endforeach()
file(CREATE_LINK BrevelLogger ${CMAKE_BINARY_DIR}/${BREVEL_COMMAND} SYMBOLIC)

# Man pages, compressed without a time stamp as Debian wants them.
set(BREVEL_MAN_PAGES)
foreach(program ${BREVEL_INSTALLED_PROGRAMS})
  set(page ${CMAKE_SOURCE_DIR}/docs/man/${program}.1)
  if(NOT EXISTS ${page})
    message(FATAL_ERROR "${program} is installed without its man page docs/man/${program}.1")
  endif()
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${program}.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9n -c '${page}' > '${CMAKE_BINARY_DIR}/man/${program}.1.gz'"
    DEPENDS ${page} VERBATIM)
  list(APPEND BREVEL_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
endforeach()
add_custom_target(brevel_man_pages ALL DEPENDS ${BREVEL_MAN_PAGES})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
file(CREATE_LINK BrevelLogger.1.gz ${CMAKE_BINARY_DIR}/man/${BREVEL_COMMAND}.1.gz SYMBOLIC)

# The release's date: SOURCE_DATE_EPOCH when set (a reproducible build),
# else the day of configuring.
string(TIMESTAMP BREVEL_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP BREVEL_RELEASE_TIME "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(BREVEL_PACKAGE_MAINTAINER "Brevel Flow Monitor developers <brevel-flow-monitor@brevel.invalid>"
  CACHE STRING "Maintainer of the Debian package: name <address>")
configure_file(${CMAKE_SOURCE_DIR}/packaging/brevel-flow-monitor.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/packaging/brevel-flow-monitor.metainfo.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in
  ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND sh -c "gzip -9n -c '${CMAKE_BINARY_DIR}/packaging/changelog' > '${CMAKE_BINARY_DIR}/packaging/changelog.gz'"
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(brevel_package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)

# Installed directories are 0755 whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS ${BREVEL_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/${BREVEL_COMMAND} DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${BREVEL_MAN_PAGES} ${CMAKE_BINARY_DIR}/man/${BREVEL_COMMAND}.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${BREVEL_DATA_FILES} DESTINATION ${BREVEL_DATA_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/manual DESTINATION ${BREVEL_DATA_DIR})

# Desktop integration: the menu entry, its icon and the software centre's
# description.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/brevel-flow-monitor.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/brevel-flow-monitor.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/${size}x${size}/brevel-flow-monitor.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/packaging/brevel-flow-monitor.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brevel-flow-monitor)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME brevel-flow-monitor)

# The Debian package. Its library dependencies are computed by
# dpkg-shlibdeps from the installed programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevel-flow-monitor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brevel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion of the Brevel water level and flow logger")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Brevel Flow Monitor connects to a Brevel battery-powered field data logger
over a serial cable, a USB-serial adapter or a Hayes modem. It shows the
logger's state and live readings, with flow and velocity computed from the
channel 1 level by Manning's equation, a flume or weir of its catalogues or
a flow table; edits, programs and verifies the logger's settings; and
downloads the history memory into a table that exports as CSV.

The package includes brevel-logger-sim, a virtual logger for training and
demonstrations, and the user manual.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BREVEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its database drivers as plugins, which the library scan cannot
# see: the archive's default SQLite file needs the SQLite driver; a team's
# PostgreSQL archive needs the PostgreSQL one.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6sql6-sqlite)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS libqt6sql6-psql)
# Help opens the manual in the desktop's browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)

# The package test builds the package from this build folder.
add_test(NAME package COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/package_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
