# SPDX-License-Identifier: GPL-3.0-or-later
# Each adult's program, run as a terminal would with no display, answers
# --version with its name and the project's version, and --help with its use.
# usage: cmake -DVERSION=x.y -DPROGRAMS="path;path" -P program_versions.cmake
set(ENV{DISPLAY} "")
set(ENV{WAYLAND_DISPLAY} "")
set(ENV{QT_QPA_PLATFORM} "")
set(failures "")
foreach(program IN LISTS PROGRAMS)
    get_filename_component(name ${program} NAME)
    foreach(option --version -V)
        execute_process(COMMAND ${program} ${option} RESULT_VARIABLE status
                        OUTPUT_VARIABLE out ERROR_VARIABLE err)
        if(NOT status EQUAL 0 OR NOT out STREQUAL "${name} ${VERSION}\n")
            string(APPEND failures "${name} ${option}: exit ${status}, printed \"${out}\" ${err}\n")
        endif()
    endforeach()
    execute_process(COMMAND ${program} --help RESULT_VARIABLE status
                    OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0 OR NOT out MATCHES "^Uso: ${name} " OR NOT out MATCHES "--version")
        string(APPEND failures "${name} --help: exit ${status}, printed \"${out}\" ${err}\n")
    endif()
    # An option it does not know is refused with its use, never taken for a
    # folder; the teacher's program looks once Qt has its display.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${program} --versione RESULT_VARIABLE status
                    OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 2 OR NOT err MATCHES "(^|\n)Uso: ${name} ")
        string(APPEND failures "${name} --versione: exit ${status}, printed \"${out}\" \"${err}\"\n")
    endif()
endforeach()
if(failures)
    message(FATAL_ERROR "${failures}")
endif()
