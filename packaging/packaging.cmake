# Installation and the Debian package: `cmake --install` puts the programs, their manual pages,
# the desktop entry with its icon, the copyright file and changelog and the adapter's udev rule in
# place; `cpack` (in the build folder) builds a .deb of exactly these files. The target
# tunekit_package_files builds all of them and nothing else (no tests, no benchmarks), which is
# what scripts/package.sh builds.
include(GNUInstallDirs)

set(tunekit_programs tunekit tunekit-sim)
if(TARGET tunekit-cli)
  list(APPEND tunekit_programs tunekit-cli)
endif()
install(TARGETS ${tunekit_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
add_custom_target(tunekit_package_files)
add_dependencies(tunekit_package_files ${tunekit_programs})
# A stripping install (cpack's CPACK_STRIP_FILES, cmake --install --strip) strips as Debian's
# dh_strip does: the compilers' .comment and the .note section go as well.
if(CMAKE_STRIP)
  foreach(program ${tunekit_programs})
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                        COMMAND_ERROR_IS_FATAL ANY)
      endif()")
  endforeach()
endif()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/linux/tunekit.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tunekit.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# udev reads its rules from /usr/lib/udev/rules.d (/lib/udev/rules.d is the same folder on a merged
# /usr), never from PREFIX/lib, so the rule goes there whatever the prefix; DESTDIR and the package
# stage it below their root as usual. An install without root rights can point it elsewhere.
set(TUNEKIT_UDEV_RULES_DIR /usr/lib/udev/rules.d CACHE PATH "Folder of the adapter's udev rule")
install(FILES ${CMAKE_CURRENT_LIST_DIR}/linux/99-tunekit-adapter.rules DESTINATION ${TUNEKIT_UDEV_RULES_DIR})

# Who answers for the package: its Maintainer field, the changelog's signature, the copyright
# file's Upstream-Contact.
set(TUNEKIT_PACKAGE_CONTACT "Tunekit developers <developers@tunekit.example>")

# Manual pages and bash completions, each written by its program from the option table its --help
# comes from (the hidden --man and --bash-completion), and the changelog, gzipped as Debian wants it
# (the manual pages too).
if(UNIX AND NOT CMAKE_CROSSCOMPILING)
  find_program(TUNEKIT_GZIP gzip REQUIRED)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/debian/changelog tunekit_changelog_top LIMIT_COUNT 1)
  if(NOT tunekit_changelog_top MATCHES "^tunekit \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/debian/changelog: its newest entry is not version ${PROJECT_VERSION}")
  endif()
  # The package's maintainer, its newest changelog entry and its copyright file name one address.
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/debian/changelog tunekit_changelog_trailer REGEX "^ -- " LIMIT_COUNT 1)
  string(FIND "${tunekit_changelog_trailer}" " -- ${TUNEKIT_PACKAGE_CONTACT}  " tunekit_signed_at)
  if(NOT tunekit_signed_at EQUAL 0)
    message(FATAL_ERROR "packaging/debian/changelog: its newest entry is not signed by ${TUNEKIT_PACKAGE_CONTACT}")
  endif()
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/debian/copyright tunekit_upstream_contact REGEX "^Upstream-Contact: ")
  if(NOT tunekit_upstream_contact STREQUAL "Upstream-Contact: ${TUNEKIT_PACKAGE_CONTACT}")
    message(FATAL_ERROR "packaging/debian/copyright: its Upstream-Contact is not ${TUNEKIT_PACKAGE_CONTACT}")
  endif()
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man ${CMAKE_BINARY_DIR}/completion ${CMAKE_BINARY_DIR}/doc)
  set(tunekit_man_pages)
  set(tunekit_completions)
  foreach(program tunekit tunekit-cli tunekit-sim)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DGZIP=${TUNEKIT_GZIP} -DPAGE=${page}
              -P ${CMAKE_CURRENT_LIST_DIR}/man_page.cmake
      DEPENDS ${program} ${CMAKE_CURRENT_LIST_DIR}/man_page.cmake
      COMMENT "Manual page of ${program}"
      VERBATIM)
    list(APPEND tunekit_man_pages ${page})
    set(completion ${CMAKE_BINARY_DIR}/completion/${program})
    add_custom_command(OUTPUT ${completion}
      COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DSCRIPT=${completion}
              -P ${CMAKE_CURRENT_LIST_DIR}/bash_completion.cmake
      DEPENDS ${program} ${CMAKE_CURRENT_LIST_DIR}/bash_completion.cmake
      COMMENT "Bash completion of ${program}"
      VERBATIM)
    list(APPEND tunekit_completions ${completion})
  endforeach()
  set(tunekit_changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
  add_custom_command(OUTPUT ${tunekit_changelog}
    COMMAND ${TUNEKIT_GZIP} -9nc ${CMAKE_CURRENT_LIST_DIR}/debian/changelog > ${tunekit_changelog}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/debian/changelog)
  add_custom_target(packaging_documents ALL DEPENDS ${tunekit_man_pages} ${tunekit_completions}
                                                    ${tunekit_changelog})
  add_dependencies(tunekit_package_files packaging_documents)
  install(FILES ${tunekit_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # bash-completion loads a program's completion from here when it is first completed.
  install(FILES ${tunekit_completions} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  # A native package's changelog is changelog.gz.
  install(FILES ${tunekit_changelog} ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tunekit)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tunekit)
set(CPACK_PACKAGE_VENDOR "Tunekit")
set(CPACK_PACKAGE_CONTACT "${TUNEKIT_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration and service tool for industrial radio remote controls")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The long description, below the summary.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tunekit reads, edits and writes the parameters of hand-held radio remote
control transmitters through their USB-serial programming adapter, and opens,
verifies, converts and writes .scd configuration files. The package holds the
window program, the command-line front end tunekit-cli for production lines
and the simulated transmitter tunekit-sim.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_STRIP_FILES ON)
# The Qt libraries the programs link, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins, which no program links, so dpkg-shlibdeps cannot find them: the window needs a platform
# plugin, and the records' default store is an SQLite file, which Qt reaches through its SQLite
# driver (libqt6sql6 only recommends one of its drivers). A plant's records server is PostgreSQL,
# through the PostgreSQL driver: recommended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")
# Maintainer scripts: udev reads the adapter's rule as soon as the package is installed or removed.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
# Scripts 0755, the other control files 0644, whatever the checkout's file modes.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
