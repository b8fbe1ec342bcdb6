# The installed layout (bin/, lib/quillfen/, include/quillfen/, share/…) and
# the Debian package that CPack makes of it.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/bundled_plugin.cmake)

set(QF_INSTALL_INCLUDEDIR include)

# The public plug-in headers, with a pkg-config file that points at them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/quillfen/ DESTINATION ${QF_INSTALL_INCLUDEDIR}/quillfen
        FILES_MATCHING PATTERN "*.h")
configure_file(${PROJECT_SOURCE_DIR}/data/quillfen.pc.in ${CMAKE_BINARY_DIR}/quillfen.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/quillfen.pc DESTINATION share/pkgconfig)

# Manual page, desktop entry, icon.
install(FILES ${PROJECT_SOURCE_DIR}/man/quillfen.1 DESTINATION share/man/man1)
# The entry names the program and the demo by the prefix they are installed
# under, which is known only when installing (CPack installs under /usr).
install(CODE "
  set(QF_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/data/quillfen.desktop.in\"
                 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/quillfen.desktop\" @ONLY)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/quillfen.desktop\")
")
install(FILES ${PROJECT_SOURCE_DIR}/data/quillfen.png DESTINATION share/icons/hicolor/64x64/apps)
# The window icon: beside the program in the build tree, found through the
# icon theme directory of the prefix once installed.
configure_file(${PROJECT_SOURCE_DIR}/data/quillfen.png ${CMAKE_BINARY_DIR}/quillfen.png COPYONLY)

# The demo game, which the desktop entry plays.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/games/demo/ DESTINATION ${QF_INSTALL_DATADIR}/demo
        PATTERN "_*" EXCLUDE)

# cpack -G DEB: the runtime dependencies are computed from the installed
# program and plug-ins by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME quillfen)
set(CPACK_PACKAGE_VENDOR "Quillfen developers")
set(CPACK_PACKAGE_CONTACT "Quillfen developers <quillfen@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Game engine for Shift-JIS script games")
set(CPACK_PACKAGE_DESCRIPTION "Runs games written as Shift-JIS text scripts with their pictures,\nsounds, maps and tables, loose or packed in an archive, and ships tools\nto pack and check them.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The Japanese font the engine draws "ＭＳ ゴシック" with, and the General MIDI
# sound font, are looked up at run time: no library links them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fluid-soundfont-gm | timgm6mb-soundfont")
include(CPack)
