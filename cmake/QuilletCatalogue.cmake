# SPDX-License-Identifier: GPL-3.0-or-later
# The message catalogues compiled into the Windows programs: msgfmt turns a .po file
# into gettext's binary catalogue, whose bytes become a C++ array.
find_program(QUILLET_MSGFMT msgfmt REQUIRED)
set(QUILLET_EMBED_BYTES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_bytes.cmake)

# Compiles `po` into `target` as the bytes that `std::string_view quillet::FUNCTION()`
# returns.
function(quillet_compile_catalogue target po function)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/catalogues)
    set(mo ${folder}/${function}.mo)
    set(cpp ${folder}/${function}.cpp)
    add_custom_command(OUTPUT ${mo}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${QUILLET_MSGFMT} --check -o ${mo} ${po}
        DEPENDS ${po}
        COMMENT "Compiling the catalogue ${po}"
        VERBATIM)
    add_custom_command(OUTPUT ${cpp}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${mo} -DOUTPUT=${cpp} -DFUNCTION=${function}
                -P ${QUILLET_EMBED_BYTES_SCRIPT}
        DEPENDS ${mo} ${QUILLET_EMBED_BYTES_SCRIPT}
        VERBATIM)
    target_sources(${target} PRIVATE ${cpp})
endfunction()
