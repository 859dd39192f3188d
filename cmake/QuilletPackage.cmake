# SPDX-License-Identifier: GPL-3.0-or-later
# `cpack -G DEB` in a build folder makes quillet_<version>_<arch>.deb with both
# programs, the man pages, the desktop entry, the AppStream entry, the icons, the
# copyright file and the changelog. The Depends line is worked out from the libraries
# the programs link (the Qt 6 runtime among them), plus the Qt platform plugins the
# window needs to open on a desktop.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "quillet")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Quillet")
set(CPACK_PACKAGE_CONTACT "Quillet <dev@quillet.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Shows, exports to GPX and deletes the waypoints and tracks of GPS device files")
# Debian's control file wants the long description in lines of at most 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Quillet reads the memory files of a GPS receiver from a folder, lists their"
    "waypoints and tracks, writes chosen rows as GPX 1.1 and deletes records,"
    "keeping the old file as a backup. It comes as a window (quillet) and as a"
    "command-line program (quillet-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The tz database the time zone setting reads.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, tzdata")
# Qt's translations of its dialogs' standard buttons (OK, Cancel, Close); without them
# those stay English in every language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)

# What Debian asks of every package beside the programs: the machine-readable copyright
# file (Quillet's licence and the notices of the libraries compiled in), the changelog,
# compressed reproducibly, and the notes on what lintian says of the package.
if(NOT WIN32)
    include(GNUInstallDirs)
    set(QUILLET_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
    set(QUILLET_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
    add_custom_command(OUTPUT ${QUILLET_CHANGELOG_GZ}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND sh -c "gzip -9n -c \"$0\" >\"$1\"" ${QUILLET_PACKAGING}/changelog
                ${QUILLET_CHANGELOG_GZ}
        DEPENDS ${QUILLET_PACKAGING}/changelog VERBATIM)
    add_custom_target(quillet_changelog ALL DEPENDS ${QUILLET_CHANGELOG_GZ})
    set(QUILLET_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillet)
    install(FILES ${QUILLET_PACKAGING}/copyright ${QUILLET_CHANGELOG_GZ}
        DESTINATION ${QUILLET_DOC_DIR})
    install(FILES ${QUILLET_PACKAGING}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quillet)
endif()

# The package check: cheap enough for every Release test run that builds both programs.
find_program(QUILLET_DPKG_DEB dpkg-deb)
if(QUILLET_BUILD_TESTS AND QUILLET_BUILD_GUI AND QUILLET_BUILD_CLI AND QUILLET_DPKG_DEB
   AND CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT QUILLET_SANITIZE AND NOT QUILLET_FUZZ)
    add_test(NAME debian_package
             COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-package.sh ${CMAKE_CPACK_COMMAND}
                     ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${PROJECT_VERSION}
                     ${CMAKE_SOURCE_DIR})
    set_tests_properties(debian_package PROPERTIES LABELS package TIMEOUT 300)
endif()
