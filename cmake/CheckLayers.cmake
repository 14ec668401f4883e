# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file under SRC includes a layer above its own, when one
# exercise family includes another, or when one of the lowest libraries
# includes a sibling it does not link. Run: cmake -DSRC=<dir> -P CheckLayers.cmake
#   media, sound, wordlist, results, startup 0 -> rules 1 -> state 2 -> shell 3
#   -> exercises/<family> 4 -> app 5
# Both "..." and <...> includes count when they name a header of ours.

get_filename_component(SRC "${SRC}" ABSOLUTE)
if(NOT EXISTS "${SRC}")
    message(FATAL_ERROR "SRC not set")
endif()

# Sets <out_rank> and <out_part> for a path relative to SRC ("" rank: not a
# layer). The part tells apart the libraries that share a rank.
function(layer_of path out_rank out_part)
    set(rank "")
    set(part "")
    if(path MATCHES "^(media|sound|wordlist|results|startup)/")
        set(rank 0)
        set(part ${CMAKE_MATCH_1})
    elseif(path MATCHES "^rules/")
        set(rank 1)
    elseif(path MATCHES "^state/")
        set(rank 2)
    elseif(path MATCHES "^shell/")
        set(rank 3)
    elseif(path MATCHES "^exercises/([^/]+)/")
        set(rank 4)
        set(part ${CMAKE_MATCH_1})
    elseif(path MATCHES "^app/" OR path STREQUAL "main.cpp")
        set(rank 5)
    endif()
    set(${out_rank} "${rank}" PARENT_SCOPE)
    set(${out_part} "${part}" PARENT_SCOPE)
endfunction()

# What a file of `part` at rank 0 may include at rank 0: sound plays what
# media names and the word lists open their file as media do (both through
# Qt Core alone, which their link keeps honest); the results take only the
# Qt Core part of media that they link, for the system's errors in Italian;
# media and the start-up stand alone.
function(rank0_allows part header header_part out)
    if(part STREQUAL header_part OR (part MATCHES "^(sound|wordlist)$" AND header_part STREQUAL "media")
       OR (part STREQUAL "results" AND header MATCHES "^media/(MediaFile|Printable|SystemError)\\.h$"))
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
set(faults "")
foreach(file ${files})
    layer_of(${file} rank part)
    if(rank STREQUAL "")
        string(APPEND faults "  ${file}: not in any layer\n")
        continue()
    endif()
    file(STRINGS ${SRC}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${includes})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*" "\\1" header "${line}")
        layer_of(${header} header_rank header_part)
        if(header_rank STREQUAL "")
            continue() # Qt, the standard library, generated files
        endif()
        if(header_rank GREATER rank)
            string(APPEND faults "  ${file}: includes ${header}, a layer above its own\n")
        elseif(rank EQUAL 4 AND header_rank EQUAL 4 AND NOT part STREQUAL header_part)
            string(APPEND faults "  ${file}: includes ${header}, another exercise family\n")
        elseif(rank EQUAL 0 AND header_rank EQUAL 0)
            rank0_allows("${part}" "${header}" "${header_part}" allowed)
            if(NOT allowed)
                string(APPEND faults "  ${file}: includes ${header}, a library it does not link\n")
            endif()
        endif()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "Includes that break the layers:\n${faults}")
endif()
list(LENGTH files count)
message(STATUS "layers: ${count} files, every include runs downward")
