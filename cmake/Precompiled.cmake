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

# zampli_targets_in(<dir> <out>): every target made in <dir> and below.
function(zampli_targets_in dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub ${subdirs})
        zampli_targets_in(${sub} more)
        list(APPEND targets ${more})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

# zampli_targets_of(<dir> <out> <types> <folders>): the targets made in <dir>
# and below whose type matches the pattern <types> (STATIC_LIBRARY, ...) and
# that are made in a folder of <dir> the pattern <folders> names (libs|programs).
function(zampli_targets_of dir out types folders)
    zampli_targets_in(${dir} targets)
    set(kept)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        get_target_property(source_dir ${target} SOURCE_DIR)
        if(type MATCHES "^(${types})$" AND source_dir MATCHES "^${dir}/(${folders})(/|$)")
            list(APPEND kept ${target})
        endif()
    endforeach()
    set(${out} ${kept} PARENT_SCOPE)
endfunction()

# zampli_light_mocs(<dir>): the moc file of a target none of whose headers
# declares a Q_OBJECT is empty (its sources include their own moc), yet the
# precompiled header costs it a second to compile: not for those.
function(zampli_light_mocs dir)
    zampli_targets_in(${dir} targets)
    foreach(target ${targets})
        get_target_property(automoc ${target} AUTOMOC)
        get_target_property(pch ${target} PRECOMPILE_HEADERS_REUSE_FROM)
        if(NOT automoc OR NOT pch)
            continue()
        endif()
        get_target_property(sources ${target} SOURCES)
        get_target_property(source_dir ${target} SOURCE_DIR)
        set(headers)
        foreach(source ${sources})
            # AUTOMOC also reads the header beside each source.
            if(NOT source MATCHES "^\\$<" AND source MATCHES "^(.*)\\.(h|cpp)$")
                cmake_path(ABSOLUTE_PATH CMAKE_MATCH_1 BASE_DIRECTORY ${source_dir} OUTPUT_VARIABLE base)
                list(APPEND headers ${base}.h)
            endif()
        endforeach()
        set(moc_needed OFF)
        foreach(header ${headers})
            if(EXISTS ${header})
                file(STRINGS ${header} found REGEX "Q_OBJECT|Q_GADGET|Q_NAMESPACE" LIMIT_COUNT 1)
                if(found)
                    set(moc_needed ON)
                    break()
                endif()
            endif()
        endforeach()
        if(NOT moc_needed)
            get_target_property(binary_dir ${target} BINARY_DIR)
            set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
                TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        endif()
    endforeach()
endfunction()

# zampli_unity_builds(<dir>): the libraries and programs made in libs/ and
# programs/ below <dir> compile their files eight to a unit:
# our own headers and the templates they instantiate are then read once a
# unit, not once a file, which halves the teacher's program's compile time.
# Tests and benchmarks are one file each and gain nothing; the developer's
# tools are built once, and their files share names.
function(zampli_unity_builds dir)
    zampli_targets_of(${dir} targets "STATIC_LIBRARY|MODULE_LIBRARY|EXECUTABLE" "libs|programs")
    # A unit includes our sources as headers: GCC would take a class of one
    # file holding a type of that file's anonymous namespace for a header's fault.
    set_target_properties(${targets} PROPERTIES UNITY_BUILD ON)
    foreach(target ${targets})
        target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endforeach()
endfunction()
