# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DFUNCTION=NAME -P embed_bytes.cmake
cmake_minimum_required(VERSION 3.22)
# Writes a C++ file whose `std::string_view quillet::NAME()` returns the bytes of INPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
# Sixteen bytes to a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
get_filename_component(name ${INPUT} NAME)
file(WRITE ${OUTPUT}
"// Generated at build time from ${name}; do not edit.
#include <string_view>

namespace quillet {
namespace {

const unsigned char kBytes[${size}] = {
    ${bytes}
};

}  // namespace

std::string_view ${FUNCTION}() {
    return {reinterpret_cast<const char*>(kBytes), sizeof kBytes};
}

}  // namespace quillet
")
