# Installation and the Debian package: both programs, the sample configuration and board
# program, the desktop entry, the icon, the AppStream metadata and the manual pages.
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
add_custom_target(kv2680_dist ALL DEPENDS ${KV2680_GENERATED}/kv2680eval.png ${KV2680_MANPAGES})

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

set(CPACK_PACKAGE_NAME kv2680)
set(CPACK_PACKAGE_VENDOR "KV2680 evaluation software developers")
set(CPACK_PACKAGE_CONTACT "KV2680 evaluation software developers <kv2680-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "evaluation software for the KV2680 analog-to-digital converter")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Drives the KV2680 evaluation control board over the parallel port (or a simulated\n\
board): loads a configuration and the board program, takes blocks of 256 to 8192\n\
samples and shows them as a waveform, an FFT spectrum with SNR, SINAD, THD, SFDR and\n\
ENOB, or a code histogram with DNL and INL. Includes the window program kv2680eval\n\
and the command-line tool kv2680.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
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
    /usr/share/kv2680/examples/KV2680.PRG)
if(TARGET kv2680)
  list(APPEND KV2680_PACKAGED /usr/bin/kv2680 /usr/share/man/man1/kv2680.1.gz)
endif()
add_test(NAME install.DebianPackage
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/PackageTest.sh ${PROJECT_BINARY_DIR} ${KV2680_PACKAGED})
set_tests_properties(install.DebianPackage PROPERTIES SKIP_RETURN_CODE 77)
