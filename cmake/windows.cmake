# SPDX-License-Identifier: GPL-3.0-or-later
# What the Windows build needs beyond the common one: the headers and test framework that
# a Linux build takes from the system, made visible to the cross compiler.

# CLI11 and xxHash are header-only (xxHash is compiled inline where it is used); only
# their own folder or file is put on the include path, never the whole of the host's
# /usr/include.
set(QUILLET_CLI11_DIR /usr/include/CLI CACHE PATH "The CLI11 headers of the build machine")
set(QUILLET_XXHASH_HEADER /usr/include/xxhash.h CACHE FILEPATH "The xxHash header of the build machine")
set(QUILLET_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${QUILLET_HOST_HEADERS})
if(EXISTS ${QUILLET_CLI11_DIR}/CLI.hpp)
    file(CREATE_LINK ${QUILLET_CLI11_DIR} ${QUILLET_HOST_HEADERS}/CLI SYMBOLIC)
endif()
if(EXISTS ${QUILLET_XXHASH_HEADER})
    file(CREATE_LINK ${QUILLET_XXHASH_HEADER} ${QUILLET_HOST_HEADERS}/xxhash.h SYMBOLIC)
endif()
include_directories(SYSTEM ${QUILLET_HOST_HEADERS})

# GoogleTest is built from its sources, and find_package(GTest) finds that build.
set(QUILLET_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build")
if(QUILLET_BUILD_TESTS)
    include(FetchContent)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    FetchContent_Declare(GTest SOURCE_DIR ${QUILLET_GTEST_SOURCE_DIR} OVERRIDE_FIND_PACKAGE)
    FetchContent_MakeAvailable(GTest)
    foreach(target gtest gtest_main gmock gmock_main)
        if(TARGET ${target})
            target_compile_options(${target} PRIVATE -Wno-error)
        endif()
    endforeach()
endif()

# UTF-16 file names and the Unicode forms of the Win32 calls everywhere.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
