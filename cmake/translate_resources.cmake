# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DRC=quillet.rc -DPO=ru.po -DOUTPUT=quillet_ru.rc -DLANGUAGE="LANG_RUSSIAN, SUBLANG_DEFAULT"
cmake_minimum_required(VERSION 3.22)
#       [-DPLACES="DIALOG:CONTROL=x, y, w, h|..."] -P translate_resources.cmake
#
# Writes the dialogs of RC again in LANGUAGE, with the texts of the catalogue PO (a .po
# file as msgattrib writes it with --no-wrap: one line to each msgid and msgstr, no fuzzy
# entries). PLACES gives the controls, or the dialogs themselves (DIALOG:DIALOG), whose
# translation needs more room than the English. The icon, manifest and version stay in
# the English script. A shown text without a translation stops the build, except the
# program's name.

# The lines of a file as a list: its semicolons and square brackets, which a list would
# take for its own, stand in for by words until the lines are written.
function(read_lines file result)
    file(READ ${file} text)
    string(REPLACE ";" "<semicolon>" text "${text}")
    string(REPLACE "[" "<open>" text "${text}")
    string(REPLACE "]" "<close>" text "${text}")
    string(REPLACE "\n" ";" text "${text}")
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

# The catalogue: msgid -> msgstr, both as written between the quotes.
read_lines(${PO} lines)
set(id "")
set(plural FALSE)
foreach(line IN LISTS lines)
    if(line MATCHES "^msgid \"(.*)\"$")
        set(id "${CMAKE_MATCH_1}")
        set(plural FALSE)
    elseif(line MATCHES "^msgid_plural ")
        set(plural TRUE)
    elseif(line MATCHES "^msgstr \"(.*)\"$" AND NOT plural AND NOT id STREQUAL "")
        string(MD5 key "${id}")
        set(translation_${key} "${CMAKE_MATCH_1}")
    endif()
endforeach()

set(kept "Quillet")
set(missing "")
# The translation of a text as the resource script writes it ("" for a quote).
function(translated english result)
    string(REPLACE "\"\"" "\\\"" id "${english}")
    string(MD5 key "${id}")
    if(DEFINED translation_${key} AND NOT translation_${key} STREQUAL "")
        string(REPLACE "\\\"" "\"\"" text "${translation_${key}}")
    elseif(english IN_LIST kept OR english STREQUAL "")
        set(text "${english}")
    else()
        set(missing "${missing}\n  \"${english}\"" PARENT_SCOPE)
        set(text "${english}")
    endif()
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

# The room of the controls that need more.
string(REPLACE "|" ";" places "${PLACES}")
foreach(place IN LISTS places)
    if(place MATCHES "^([A-Z_0-9]+):([A-Z_0-9]+)=(.*)$")
        set(place_${CMAKE_MATCH_1}_${CMAKE_MATCH_2} "${CMAKE_MATCH_3}")
    else()
        message(FATAL_ERROR "not a place: ${place}")
    endif()
endforeach()

read_lines(${RC} script)
set(out "")
set(dialog "")
set(numbers "[0-9]+, *[0-9]+, *[0-9]+, *[0-9]+")
foreach(line IN LISTS script)
    if(line MATCHES "^([A-Z_0-9]+) DIALOGEX (${numbers})(.*)$")
        set(dialog "${CMAKE_MATCH_1}")
        set(rest "${CMAKE_MATCH_3}")
        if(DEFINED place_${dialog}_${dialog})
            set(line "${dialog} DIALOGEX ${place_${dialog}_${dialog}}${rest}")
        endif()
    elseif(dialog STREQUAL "")
        continue()  # what comes before the first dialog is not translated
    elseif(line MATCHES "^( *CAPTION +)\"(.*)\"$")
        translated("${CMAKE_MATCH_2}" text)
        set(line "${CMAKE_MATCH_1}\"${text}\"")
    elseif(line MATCHES "^( *[A-Z]+ +)\"([^\"]*)\", *([A-Z_0-9]+), *(${numbers})(.*)$")
        # A control with its text, id and place; the hidden ones are left as they are.
        set(head "${CMAKE_MATCH_1}")
        set(text "${CMAKE_MATCH_2}")
        set(control "${CMAKE_MATCH_3}")
        set(where "${CMAKE_MATCH_4}")
        set(rest "${CMAKE_MATCH_5}")
        if(NOT rest MATCHES "NOT WS_VISIBLE" AND NOT head MATCHES "ICON")
            translated("${text}" text)
        endif()
        if(DEFINED place_${dialog}_${control})
            set(where "${place_${dialog}_${control}}")
        endif()
        set(line "${head}\"${text}\", ${control}, ${where}${rest}")
    endif()
    string(APPEND out "${line}\n")
endforeach()

if(NOT missing STREQUAL "")
    message(FATAL_ERROR "${PO} has no translation of the texts of ${RC}:${missing}")
endif()
string(REPLACE "<semicolon>" ";" out "${out}")
string(REPLACE "<open>" "[" out "${out}")
string(REPLACE "<close>" "]" out "${out}")
get_filename_component(rcName ${RC} NAME)
get_filename_component(poName ${PO} NAME)
file(WRITE ${OUTPUT}
"// Generated at build time from ${rcName} and ${poName}; do not edit.
#pragma code_page(65001)
#include <windows.h>
#include <commctrl.h>

#include \"resource_ids.h\"

LANGUAGE ${LANGUAGE}

${out}")
