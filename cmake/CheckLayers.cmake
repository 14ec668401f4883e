# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when an include crosses the house the wrong way:
#   - a shared library (libs/<name>/) includes a program (programs/<name>/);
#   - a program includes another program;
#   - a shared library includes a sibling it does not link;
#   - inside the child's program, a layer includes one above it, or one
#     exercise family another:
#       rules 1 -> state 2 -> shell 3 -> exercises/<family> 4 -> app 5
#     (the modules the program loads, modules/, stand with the application);
#   - inside the teacher's program, a room includes one on a floor above its
#     own or another room of its floor (the tabs never each other), or names
#     one of the program's files otherwise than from the program's folder:
#       core 1 -> imports 2 -> shared, history 3 -> server, pictures-voices 4
#       -> tabs/<tab>, print 5 -> window 6
# Run: cmake -DROOT=<source tree> -P CheckLayers.cmake
# An include is found as the compiler would: beside the file, under libs/,
# under the file's own program, then anywhere under programs/ by its name.
# Both "..." and <...> count; what is not found (Qt, the standard library,
# generated files) is not ours.

cmake_minimum_required(VERSION 3.25)
get_filename_component(ROOT "${ROOT}" ABSOLUTE)
if(NOT EXISTS "${ROOT}/libs" OR NOT EXISTS "${ROOT}/programs")
    message(FATAL_ERROR "ROOT must hold libs/ and programs/: ${ROOT}")
endif()

file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/libs/*.h ${ROOT}/libs/*.cpp
     ${ROOT}/programs/*.h ${ROOT}/programs/*.cpp)

# Where a file stands: <out_kind> "lib" or "program", <out_name> the library
# or program, <out_rank> its layer inside the child's or the teacher's
# program ("" elsewhere), <out_part> the exercise family or the teacher's room.
function(place_of path out_kind out_name out_rank out_part)
    set(kind "")
    set(name "")
    set(rank "")
    set(part "")
    if(path MATCHES "^libs/([^/]+)/")
        set(kind lib)
        set(name ${CMAKE_MATCH_1})
    elseif(path MATCHES "^programs/([^/]+)/(.*)$")
        set(kind program)
        set(name ${CMAKE_MATCH_1})
        set(inner ${CMAKE_MATCH_2})
        if(name STREQUAL "zampli")
            if(inner MATCHES "^rules/")
                set(rank 1)
            elseif(inner MATCHES "^state/")
                set(rank 2)
            elseif(inner MATCHES "^shell/")
                set(rank 3)
            elseif(inner MATCHES "^exercises/([^/]+)/")
                set(rank 4)
                set(part ${CMAKE_MATCH_1})
            elseif(inner MATCHES "^(app|modules)/" OR NOT inner MATCHES "/")
                set(rank 5)
            else()
                set(rank none)
            endif()
        elseif(name STREQUAL "zampli-insegnante")
            if(inner MATCHES "^(tabs/[^/]+)/")
                set(rank 5)
                set(part ${CMAKE_MATCH_1})
            elseif(inner MATCHES "^([^/]+)/")
                set(part ${CMAKE_MATCH_1})
                if(part STREQUAL "core")
                    set(rank 1)
                elseif(part STREQUAL "imports")
                    set(rank 2)
                elseif(part MATCHES "^(shared|history)$")
                    set(rank 3)
                elseif(part MATCHES "^(server|pictures-voices)$")
                    set(rank 4)
                elseif(part STREQUAL "print")
                    set(rank 5)
                elseif(part STREQUAL "window")
                    set(rank 6)
                endif()
            endif()
            if(rank STREQUAL "")
                set(rank none)
            endif()
        endif()
    endif()
    set(${out_kind} "${kind}" PARENT_SCOPE)
    set(${out_name} "${name}" PARENT_SCOPE)
    set(${out_rank} "${rank}" PARENT_SCOPE)
    set(${out_part} "${part}" PARENT_SCOPE)
endfunction()

# The file a header name means for a file of program `program` in `dir`;
# "" when it is none of ours.
function(resolve header dir program out)
    set(found "")
    if(EXISTS "${ROOT}/${dir}/${header}")
        set(found "${dir}/${header}")
    elseif(EXISTS "${ROOT}/libs/${header}")
        set(found "libs/${header}")
    elseif(program AND EXISTS "${ROOT}/programs/${program}/${header}")
        set(found "programs/${program}/${header}")
    else()
        # Flat names reach a program's own folders through its include paths.
        foreach(candidate ${files})
            if(candidate MATCHES "^programs/" AND candidate MATCHES "/${header}$")
                if(candidate MATCHES "^programs/${program}/" OR found STREQUAL "")
                    set(found "${candidate}")
                endif()
            endif()
        endforeach()
    endif()
    cmake_path(NORMAL_PATH found)
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

# What a shared library may include of another: every library names vowels
# and exercises from the catalogue and keeps its files safe as safefile does
# (Qt Core only, below everything); sound plays what media names, the word
# lists and the media check open their files as media do; the copies take
# only media's Qt Core part (a file's content judged, text for the terminal)
# and read word lists; the media check reads all three; the school's server
# library reads and fills results files.
function(lib_allows lib header header_lib out)
    set(ok FALSE)
    if(header_lib MATCHES "^(catalog|safefile)$"
       OR (lib MATCHES "^(sound|wordlist|mediacheck)$" AND header_lib STREQUAL "media")
       OR (lib STREQUAL "mediacheck" AND header_lib MATCHES "^(sound|wordlist)$")
       OR (lib STREQUAL "copies" AND header MATCHES "^libs/media/(MediaContent|Printable|SvgCheck)\\.h$")
       OR (lib STREQUAL "copies" AND header_lib STREQUAL "wordlist")
       OR (lib STREQUAL "school" AND header_lib STREQUAL "results"))
        set(ok TRUE)
    endif()
    set(${out} ${ok} PARENT_SCOPE)
endfunction()

set(faults "")
foreach(file ${files})
    place_of(${file} kind name rank part)
    if(rank STREQUAL "none")
        string(APPEND faults "  ${file}: not in any layer of the program\n")
        continue()
    endif()
    get_filename_component(dir ${file} DIRECTORY)
    set(program "")
    if(kind STREQUAL "program")
        set(program ${name})
    endif()
    file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${includes})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*" "\\1" header "${line}")
        resolve("${header}" "${dir}" "${program}" target)
        if(target STREQUAL "" OR target STREQUAL file)
            continue()
        endif()
        place_of(${target} target_kind target_name target_rank target_part)
        if(kind STREQUAL "lib" AND target_kind STREQUAL "program")
            string(APPEND faults "  ${file}: includes ${target}, a program from a shared library\n")
        elseif(kind STREQUAL "program" AND target_kind STREQUAL "program" AND NOT name STREQUAL target_name)
            string(APPEND faults "  ${file}: includes ${target}, another program\n")
        elseif(kind STREQUAL "lib" AND target_kind STREQUAL "lib" AND NOT name STREQUAL target_name)
            lib_allows(${name} ${target} ${target_name} allowed)
            if(NOT allowed)
                string(APPEND faults "  ${file}: includes ${target}, a library it does not link\n")
            endif()
        elseif(rank AND target_rank AND target_rank GREATER rank)
            string(APPEND faults "  ${file}: includes ${target}, a layer above its own\n")
        elseif(name STREQUAL "zampli" AND rank EQUAL 4 AND target_rank EQUAL 4 AND NOT part STREQUAL target_part)
            string(APPEND faults "  ${file}: includes ${target}, another exercise family\n")
        elseif(name STREQUAL "zampli-insegnante" AND rank EQUAL target_rank AND NOT part STREQUAL target_part)
            string(APPEND faults "  ${file}: includes ${target}, another room of its floor\n")
        elseif(name STREQUAL "zampli-insegnante" AND target MATCHES "^programs/zampli-insegnante/"
               AND NOT target STREQUAL "programs/zampli-insegnante/${header}")
            string(APPEND faults "  ${file}: includes ${target} as \"${header}\", not from the program's folder\n")
        endif()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "Includes that break the house's order:\n${faults}")
endif()
list(LENGTH files count)
message(STATUS "layers: ${count} files, every include runs downward")
