# Installation as a Debian program (cmake --install, and the .deb that CPack makes of it):
# the programs in bin, the plan decoder in lib/kirvanmonitorp, their own files under
# share/kirvanmonitorp, the desktop's entry and icons, manual pages, the kiosk's user unit, log
# rotation and the package's notes.
set(package_resources ${PROJECT_SOURCE_DIR}/resources/package)
set(package_doc ${CMAKE_INSTALL_DATADIR}/doc/kirvanmonitorp)

install(TARGETS KirvanMonitorP kirvan-journal kirvan-sim kirvan-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kirvan-plan-decoder RUNTIME DESTINATION ${KIRVAN_INSTALL_HELPERS})

# The help page and the demo complex; a workstation folder's own copy of a file comes first.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/demo/Help DESTINATION ${KIRVAN_INSTALL_SHARED_DATA})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/demo/ DESTINATION ${KIRVAN_INSTALL_SHARED_DATA}/demo)
# The alarm sounds synthesised beside the program go beside the help page, where the installed
# program looks for them after the workstation folder.
install(FILES $<TARGET_FILE_DIR:KirvanMonitorP>/fault.wav $<TARGET_FILE_DIR:KirvanMonitorP>/alarm.wav
        DESTINATION ${KIRVAN_INSTALL_SHARED_DATA})
install(FILES ${package_resources}/kirvanmonitorp-autostart.desktop DESTINATION ${KIRVAN_INSTALL_SHARED_DATA}/kiosk)

install(FILES ${package_resources}/kirvanmonitorp.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${KIRVAN_ICON_THEME}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(DIRECTORY ${CMAKE_BINARY_DIR}/man/ DESTINATION ${CMAKE_INSTALL_MANDIR})
install(FILES ${package_resources}/kirvanmonitorp.service DESTINATION lib/systemd/user)
# logrotate reads its rules from /etc whatever the prefix.
install(FILES ${package_resources}/kirvanmonitorp.logrotate DESTINATION /etc/logrotate.d RENAME kirvanmonitorp)

configure_file(${package_resources}/changelog.in ${CMAKE_BINARY_DIR}/package-doc/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package-doc/changelog.gz
  COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/package-doc/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/package-doc/changelog)
add_custom_target(kirvan_package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package-doc/changelog.gz)
install(FILES ${package_resources}/copyright ${package_resources}/README.Debian
              ${CMAKE_BINARY_DIR}/package-doc/changelog.gz DESTINATION ${package_doc})
install(FILES ${package_resources}/70-kirvanmonitorp.rules DESTINATION ${package_doc}/examples)
# The guides of whoever installs, sets up and connects the workstation, readable on the site's own machine.
install(FILES ${PROJECT_SOURCE_DIR}/docs/installing.md ${PROJECT_SOURCE_DIR}/docs/site-guide.md
              ${PROJECT_SOURCE_DIR}/docs/settings.md ${PROJECT_SOURCE_DIR}/docs/operating.md
              ${PROJECT_SOURCE_DIR}/docs/integration.md DESTINATION ${package_doc})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${package_doc} FILES_MATCHING PATTERN "*.png")

kirvan_man_pages(KirvanMonitorP kirvan-journal kirvan-sim kirvan-tool)

# The .deb: cpack -G DEB in a build folder, or tools/setup.sh package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kirvanmonitorp)
set(CPACK_PACKAGE_VENDOR "KirvanMonitorP developers")
set(CPACK_PACKAGE_CONTACT "KirvanMonitorP developers <kirvanmonitorp@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "operator workstation for KIRVAN fire and security alarm complexes")
# CPack puts the summary first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "KirvanMonitorP runs around the clock in the guard room. It is the
master of the serial line to up to four alarm systems and turns their reports
into a journal, a composition tree, floor plans, alarm sounds and operator
commands. The package also holds the journal viewer kirvan-journal, the complex
simulator kirvan-sim, the service tool kirvan-tool, a demo complex and the files
for kiosk operation.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The libraries come from what the programs link (dpkg-shlibdeps); the Russian texts of the
# toolkit's dialogs and a font with Cyrillic letters are files, which it cannot see. Without a
# sound server the alarms are silent (the program says so in its status bar).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core, pipewire-pulse | pulseaudio")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "logrotate")
# The log rotation rule is the site's to change: a configuration file that upgrades keep.
file(WRITE ${CMAKE_BINARY_DIR}/package-control/conffiles "/etc/logrotate.d/kirvanmonitorp\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/package-control/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
