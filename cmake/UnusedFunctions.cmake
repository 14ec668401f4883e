# SPDX-License-Identifier: GPL-3.0-or-later
# Keeps functions nobody calls out of our libraries. GCC warns only about an
# unused static function; here every library of ours is compiled with a
# section per function, every program that uses them is linked with
# --gc-sections, and cmake/CheckUnused.sh names each library function none of
# them kept. The users are what ships and what measures it: the programs, the
# modules they load, the developer's tools and the benchmarks. A test is no
# user: a function only tests call is shipped for nothing. Included after
# every folder has made its targets.

# Adds test NAME: the check over the targets made under DIR, each judged by
# the folder it is made in below DIR. A setup test builds the users first, as
# the benchmarks and a copied media set's generator are not in every build.
function(zampli_unused_check name dir kept)
    zampli_targets_of(${dir} libraries_made STATIC_LIBRARY "libs|programs|devtools")
    set(libraries)
    foreach(target ${libraries_made})
        target_compile_options(${target} PRIVATE -ffunction-sections)
        list(APPEND libraries $<TARGET_FILE:${target}>)
    endforeach()
    # A module the program loads is a program of its own here: what only it
    # calls is used. It exports its entry alone, else every function of the
    # libraries in it would be a root the linker keeps.
    zampli_targets_of(${dir} user_targets "EXECUTABLE|MODULE_LIBRARY" "programs|devtools|bench")
    set(users)
    foreach(target ${user_targets})
        target_link_options(${target} PRIVATE -Wl,--gc-sections)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "MODULE_LIBRARY")
            target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL)
        endif()
        list(APPEND users $<TARGET_FILE:${target}>)
    endforeach()
    add_test(NAME ${name}_users COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${user_targets})
    # Started first: where the benchmarks are not built yet, it builds them
    # while the tests run beside it.
    set_tests_properties(${name}_users PROPERTIES FIXTURES_SETUP ${name}_users TIMEOUT 1200 COST 10000)
    add_test(NAME ${name} COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/CheckUnused.sh ${kept} ${libraries} -- ${users})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${name}_users)
endfunction()

zampli_unused_check(unused_functions ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/cmake/UnusedKept.txt)

# The check run on a tree of its own: a library with a dead function, one
# reached only from it, one only a test calls, a live one, one only a
# benchmark calls, a virtual one and a dead one its kept list names. It must
# name the first three and nothing else.
set(fixture_dir ${PROJECT_SOURCE_DIR}/tests/unused)
add_subdirectory(${fixture_dir} ${CMAKE_BINARY_DIR}/unused_fixture)
zampli_unused_check(unused_functions_refuse_dead ${fixture_dir} ${fixture_dir}/Kept.txt)
set_tests_properties(unused_functions_refuse_dead PROPERTIES
    PASS_REGULAR_EXPRESSION "unused function: zampli::fixture::calledOnlyByATest\\(int\\)\nunused function: zampli::fixture::calledOnlyByTheDead\\(int\\)\nunused function: zampli::fixture::neverCalled\\(int\\)\n3 function"
    FAIL_REGULAR_EXPRESSION "calledFromMain|calledOnlyByABenchmark|corners|Shape|keptOnPurpose")
