# SPDX-License-Identifier: GPL-3.0-or-later
# quillet_install_man_page(PAGE SECTION): installs the man page PAGE of the current
# folder gzip-compressed (with no name or time stamp, so every build packs the same
# bytes), as Debian packages carry their man pages.
include_guard(GLOBAL)
include(GNUInstallDirs)

function(quillet_install_man_page page section)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${page}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND sh -c "gzip -9n -c \"$0\" >\"$1\"" ${CMAKE_CURRENT_SOURCE_DIR}/${page} ${compressed}
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${page} VERBATIM)
    add_custom_target(man_page_${page} ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
