# SPDX-License-Identifier: GPL-3.0-or-later
# Keeps functions nobody calls out of our libraries. GCC warns only about an
# unused static function; here every library of ours is compiled with a
# section per function, every program is linked with --gc-sections, and
# cmake/CheckUnused.sh names each library function no program (nor module
# a program loads) kept. Included after every folder has made its targets.

function(zampli_targets_in dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub ${subdirs})
        zampli_targets_in(${sub} more)
        list(APPEND targets ${more})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

zampli_targets_in(${PROJECT_SOURCE_DIR} all_targets)
set(unused_libraries)
set(unused_programs)
foreach(target ${all_targets})
    get_target_property(type ${target} TYPE)
    get_target_property(source_dir ${target} SOURCE_DIR)
    if(type STREQUAL "STATIC_LIBRARY" AND source_dir MATCHES "^${PROJECT_SOURCE_DIR}/(libs|programs|devtools)(/|$)")
        target_compile_options(${target} PRIVATE -ffunction-sections)
        list(APPEND unused_libraries $<TARGET_FILE:${target}>)
    elseif(type STREQUAL "EXECUTABLE" OR type STREQUAL "MODULE_LIBRARY")
        # A module the program loads is a program of its own here: what only
        # it calls is used. It exports its entry alone, else every function of
        # the libraries in it would be a root the linker keeps.
        target_link_options(${target} PRIVATE -Wl,--gc-sections)
        if(type STREQUAL "MODULE_LIBRARY")
            target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL)
        endif()
        list(APPEND unused_programs $<TARGET_FILE:${target}>)
    endif()
endforeach()

add_test(NAME unused_functions
         COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/CheckUnused.sh ${PROJECT_SOURCE_DIR}/cmake/UnusedKept.txt
                 ${unused_libraries} -- ${unused_programs})

# The check run on a library with a dead function, one reached only from
# it, a live one, a virtual one and a dead one its kept list names: it must
# name the first two dead ones and nothing else.
add_library(zampli_unused_fixture STATIC ${PROJECT_SOURCE_DIR}/tests/unused/Fixture.cpp)
target_compile_options(zampli_unused_fixture PRIVATE -ffunction-sections)
add_executable(unused_fixture ${PROJECT_SOURCE_DIR}/tests/unused/main.cpp)
target_link_libraries(unused_fixture PRIVATE zampli_unused_fixture)
target_link_options(unused_fixture PRIVATE -Wl,--gc-sections)
add_test(NAME unused_functions_refuse_dead
         COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/CheckUnused.sh ${PROJECT_SOURCE_DIR}/tests/unused/Kept.txt
                 $<TARGET_FILE:zampli_unused_fixture>
                 -- $<TARGET_FILE:unused_fixture>)
set_tests_properties(unused_functions_refuse_dead PROPERTIES
    PASS_REGULAR_EXPRESSION "unused function: zampli::fixture::calledOnlyByTheDead\\(int\\)\nunused function: zampli::fixture::neverCalled\\(int\\)\n2 function"
    FAIL_REGULAR_EXPRESSION "calledFromMain|corners|Shape|keptOnPurpose")
