# Installation and the Debian package: `cmake --install` puts the programs, the desktop entry with
# its icon and the adapter's udev rule in place; `cpack` (in the build folder) builds a .deb.
include(GNUInstallDirs)

install(TARGETS tunekit tunekit-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tunekit-cli)
  install(TARGETS tunekit-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/linux/tunekit.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tunekit.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# udev reads its rules from /lib/udev/rules.d whatever the prefix; a package puts them there.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/linux/99-tunekit-adapter.rules DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tunekit)
set(CPACK_PACKAGE_VENDOR "Tunekit")
set(CPACK_PACKAGE_CONTACT "Tunekit developers <tunekit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration and service tool for industrial radio remote controls")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The Qt libraries the programs link, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin, which no library links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
