# The release: what goes into the installer's bundle and into the Debian
# package, the target `bundle` (build/release/tellurio-<version>-
# linux-x86_64.tar.gz, unpacked the installer's source directory) and CPack
# for the package (scripts/make-release.sh runs both).
#
# Component "bundle": tellurio, libmarabu.so, installer, uninstaller and the
# icon side by side; tellurio finds libmarabu.so beside it ($ORIGIN); the
# systemd user units of the daily download as templates whose instance is
# the installed directory (tellurio-kurse@.service, tellurio-kurse@.timer).
# Component "deb": the same program under /usr/lib/tellurio, a start script
# in /usr/bin, the menu entry and the icon in the system's places, and the
# systemd user units tellurio-kurse.service and tellurio-kurse.timer in
# /usr/lib/systemd/user (switched on by each user, see README).
if(NOT (TELLURIO_GUI AND TARGET tellurio AND TARGET marabu AND TARGET installer AND TARGET uninstaller))
  return()
endif()

set(release_files ${PROJECT_SOURCE_DIR}/installer/release)
set_target_properties(tellurio PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS tellurio installer uninstaller RUNTIME DESTINATION . COMPONENT bundle)
install(TARGETS marabu LIBRARY DESTINATION . COMPONENT bundle NAMELINK_SKIP)
install(FILES ${PROJECT_SOURCE_DIR}/app/icons/app.svg DESTINATION . RENAME tellurio.svg COMPONENT bundle)
set(systemd_units ${PROJECT_SOURCE_DIR}/app/headless/systemd)
install(FILES ${systemd_units}/tellurio-kurse@.service ${systemd_units}/tellurio-kurse@.timer DESTINATION .
        COMPONENT bundle)

set(bundle_name tellurio-${PROJECT_VERSION}-linux-x86_64)
set(release_dir ${CMAKE_BINARY_DIR}/release)
file(MAKE_DIRECTORY ${release_dir})
add_custom_target(bundle
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${bundle_name} ${bundle_name}.tar.gz
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --component bundle --prefix ${release_dir}/${bundle_name}
          $<$<CONFIG:Release>:--strip>
  COMMAND tellurio-bundle ${bundle_name} ${release_files}/Lizenz.txt ${release_files}/Hinweise.txt
          tellurio libmarabu.so uninstaller tellurio.svg tellurio-kurse@.service tellurio-kurse@.timer
  COMMAND ${CMAKE_COMMAND} -E tar czf ${bundle_name}.tar.gz ${bundle_name}
  WORKING_DIRECTORY ${release_dir}
  DEPENDS tellurio marabu installer uninstaller tellurio-bundle
  COMMENT "Paket ${release_dir}/${bundle_name}.tar.gz"
  VERBATIM)

install(TARGETS tellurio RUNTIME DESTINATION lib/tellurio COMPONENT deb)
install(TARGETS marabu LIBRARY DESTINATION lib/tellurio COMPONENT deb NAMELINK_SKIP)
install(PROGRAMS ${release_files}/tellurio-start.sh DESTINATION bin RENAME tellurio COMPONENT deb)
install(FILES ${release_files}/tellurio.desktop DESTINATION share/applications COMPONENT deb)
install(FILES ${PROJECT_SOURCE_DIR}/app/icons/app.svg DESTINATION share/icons/hicolor/scalable/apps
        RENAME tellurio.svg COMPONENT deb)
install(FILES ${systemd_units}/tellurio-kurse.service ${systemd_units}/tellurio-kurse.timer
        DESTINATION lib/systemd/user COMPONENT deb)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tellurio)
set(CPACK_PACKAGE_VENDOR Vaskor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Investmentfonds in Depots verwalten")
set(CPACK_PACKAGE_DESCRIPTION "Tellurio keeps investment funds in depots: prices, purchases, sales,
distributions and costs; it computes values, profits, statistics and
savings-plan returns, draws charts, prints tables and downloads prices.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${release_dir})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL deb)
set(CPACK_DEBIAN_DEB_PACKAGE_NAME tellurio)
set(CPACK_DEBIAN_DEB_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vaskor <tellurio@vaskor.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Beyond the linked libraries: the X11 platform plugin, the SVG icon plugin
# and the fonts the windows are laid out for.
# ca-certificates: the system's store that HTTPS publishers are verified
# against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, fonts-dejavu-core, fonts-liberation2, ca-certificates")
include(CPack)
