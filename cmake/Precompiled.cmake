# SPDX-License-Identifier: GPL-3.0-or-later
# Qt's headers are most of what a file of ours costs to compile (8 s of a
# test's 11 s on this machine's cores). One precompiled header per set of Qt
# modules is made once, by a small carrier library, and every target of that
# set reuses it; GCC checks that it fits (-Winvalid-pch, an error here).

# zampli_pch_carrier(<name> <headers> LIBS <targets>): the carrier <name>.
function(zampli_pch_carrier name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "HEADERS;LIBS")
    set(source ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "// Carries the precompiled header of ${name}.\n")
    add_library(${name} STATIC ${source})
    target_link_libraries(${name} PRIVATE ${arg_LIBS})
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON AUTOMOC OFF)
    target_precompile_headers(${name} PRIVATE ${arg_HEADERS})
endfunction()

# zampli_reuse_pch(<carrier> <targets>...)
function(zampli_reuse_pch carrier)
    foreach(target ${ARGN})
        target_precompile_headers(${target} REUSE_FROM ${carrier})
        target_compile_options(${target} PRIVATE -Winvalid-pch)
    endforeach()
endfunction()
