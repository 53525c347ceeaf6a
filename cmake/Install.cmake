# Installation and the Debian package: both programs, the sample configuration and board
# program, the desktop entry, the icon, the AppStream metadata, the manual pages, the
# server's systemd unit and the package's copyright file and changelog.
include(GNUInstallDirs)

set(KV2680_DIST ${PROJECT_SOURCE_DIR}/dist)
set(KV2680_GENERATED ${PROJECT_BINARY_DIR}/dist)

# The PNG icon is drawn from the SVG at build time by a small Qt helper.
add_executable(kv2680_render_icon ${KV2680_DIST}/RenderIcon.cpp)
target_link_libraries(kv2680_render_icon PRIVATE Qt6::Gui Qt6::Svg)
add_custom_command(
  OUTPUT ${KV2680_GENERATED}/kv2680eval.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KV2680_GENERATED}
  COMMAND kv2680_render_icon ${KV2680_DIST}/kv2680eval.svg ${KV2680_GENERATED}/kv2680eval.png 128
  DEPENDS kv2680_render_icon ${KV2680_DIST}/kv2680eval.svg
  VERBATIM)

# Manual pages are installed compressed, as Debian expects.
# The command-line tool's page comes with the tool.
set(KV2680_PAGES kv2680eval.1)
if(TARGET kv2680)
  list(APPEND KV2680_PAGES kv2680.1)
endif()
set(KV2680_MANPAGES)
foreach(page ${KV2680_PAGES})
  add_custom_command(
    OUTPUT ${KV2680_GENERATED}/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KV2680_GENERATED}
    COMMAND gzip -9n -c ${KV2680_DIST}/${page} > ${KV2680_GENERATED}/${page}.gz
    DEPENDS ${KV2680_DIST}/${page}
    VERBATIM)
  list(APPEND KV2680_MANPAGES ${KV2680_GENERATED}/${page}.gz)
endforeach()

# The package's changelog, compressed the same way; its newest entry gives the package revision.
add_custom_command(
  OUTPUT ${KV2680_GENERATED}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KV2680_GENERATED}
  COMMAND gzip -9n -c ${KV2680_DIST}/debian/changelog > ${KV2680_GENERATED}/changelog.Debian.gz
  DEPENDS ${KV2680_DIST}/debian/changelog
  VERBATIM)
file(STRINGS ${KV2680_DIST}/debian/changelog KV2680_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT KV2680_CHANGELOG_TOP MATCHES "^kv2680 \\(([^-]+)-([0-9]+)\\)")
  message(FATAL_ERROR "dist/debian/changelog: the first line names no version like (1.0-1)")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "dist/debian/changelog: the newest entry is for ${CMAKE_MATCH_1}, "
                      "the project is ${PROJECT_VERSION}: add an entry for this version")
endif()
set(KV2680_DEBIAN_REVISION ${CMAKE_MATCH_2})

add_custom_target(kv2680_dist ALL DEPENDS ${KV2680_GENERATED}/kv2680eval.png ${KV2680_MANPAGES}
                                          ${KV2680_GENERATED}/changelog.Debian.gz)

# The installed programs resolve all their symbols at start-up, so the relocation table
# can be made read-only (full RELRO) before any input is read; the server faces a network.
target_link_options(kv2680eval PRIVATE -Wl,-z,now)
if(TARGET kv2680)
  target_link_options(kv2680 PRIVATE -Wl,-z,now)
endif()

install(TARGETS kv2680eval RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The command-line tool, once its target exists.
if(TARGET kv2680)
  install(TARGETS kv2680 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/examples/KV2680.cfg ${PROJECT_SOURCE_DIR}/examples/KV2680.PRG
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kv2680/examples)
install(FILES ${KV2680_DIST}/kv2680eval.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KV2680_DIST}/kv2680eval.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${KV2680_GENERATED}/kv2680eval.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
install(FILES ${KV2680_DIST}/kv2680eval.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KV2680_MANPAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KV2680_DIST}/debian/copyright ${KV2680_GENERATED}/changelog.Debian.gz
              ${PROJECT_SOURCE_DIR}/docs/scpi.md ${PROJECT_SOURCE_DIR}/docs/metrics.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kv2680)
install(FILES ${KV2680_DIST}/debian/kv2680.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME kv2680)

# The server's unit names the tool where this installation puts it, so the unit is written
# at install time, when the prefix (the package's /usr, or the one given to cmake --install)
# is known. systemd reads units under both /usr/lib and /usr/local/lib.
if(TARGET kv2680)
  install(CODE "
    set(KV2680_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    configure_file(\"${KV2680_DIST}/kv2680.service.in\" \"${KV2680_GENERATED}/kv2680.service\" @ONLY)")
  install(FILES ${KV2680_GENERATED}/kv2680.service DESTINATION lib/systemd/system)
endif()

set(CPACK_PACKAGE_NAME kv2680)
set(CPACK_PACKAGE_VENDOR "KV2680 evaluation software developers")
set(CPACK_PACKAGE_CONTACT "KV2680 evaluation software developers <kv2680-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "evaluation software for the KV2680 analog-to-digital converter")
# Each line is shown indented by one blank: at most 79 characters here keeps it within 80.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Drives the KV2680 evaluation control board over the parallel port (or a\n\
simulated board): loads a configuration and the board program, takes blocks of\n\
256 to 8192 samples and shows them as a waveform, an FFT spectrum with SNR,\n\
SINAD, THD, SFDR and ENOB, or a code histogram with DNL and INL.\n\
.\n\
Includes the window program kv2680eval, the command-line tool kv2680 and a\n\
systemd unit (installed disabled) that offers the board to other programs as\n\
a SCPI instrument on TCP port 5025.")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KV2680_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windowing plugins are only recommended by Qt's GUI library; the window needs them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)

# The package's contents as installed under /usr, checked by tests/install.
set(KV2680_PACKAGED
    /usr/bin/kv2680eval
    /usr/share/applications/kv2680eval.desktop
    /usr/share/icons/hicolor/scalable/apps/kv2680eval.svg
    /usr/share/icons/hicolor/128x128/apps/kv2680eval.png
    /usr/share/metainfo/kv2680eval.metainfo.xml
    /usr/share/man/man1/kv2680eval.1.gz
    /usr/share/kv2680/examples/KV2680.cfg
    /usr/share/kv2680/examples/KV2680.PRG
    /usr/share/doc/kv2680/scpi.md
    /usr/share/doc/kv2680/metrics.md
    /usr/share/doc/kv2680/copyright
    /usr/share/doc/kv2680/changelog.Debian.gz
    /usr/share/lintian/overrides/kv2680)
if(TARGET kv2680)
  list(APPEND KV2680_PACKAGED /usr/bin/kv2680 /usr/share/man/man1/kv2680.1.gz
       /usr/lib/systemd/system/kv2680.service)
endif()
add_test(NAME install.DebianPackage
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/PackageTest.sh ${PROJECT_BINARY_DIR} ${KV2680_PACKAGED})
set_tests_properties(install.DebianPackage PROPERTIES SKIP_RETURN_CODE 77)
