# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack after it has built the package: takes out the postinst and
# postrm it writes only to call ldconfig, and builds the package again with
# dpkg-deb, whose file times are clamped to SOURCE_DATE_EPOCH so that two
# builds of one commit give the same bytes. Keeps our own postrm; refuses any
# other maintainer script that does more than call ldconfig.
set(ENV{SOURCE_DATE_EPOCH} ${CPACK_ZAMPLI_SOURCE_DATE_EPOCH})
foreach(deb ${CPACK_PACKAGE_FILES})
    if(NOT deb MATCHES "\\.deb$")
        continue()
    endif()
    set(tree ${CPACK_TOPLEVEL_DIRECTORY}/drop-ldconfig)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    foreach(script postinst postrm)
        set(path ${tree}/DEBIAN/${script})
        if(NOT EXISTS ${path})
            continue()
        endif()
        file(READ ${path} text)
        if(EXISTS ${CPACK_ZAMPLI_MAINTAINER_DIR}/${script})
            file(READ ${CPACK_ZAMPLI_MAINTAINER_DIR}/${script} ours)
            if(text STREQUAL ours)
                continue()
            endif()
        endif()
        file(STRINGS ${path} lines)
        list(FILTER lines EXCLUDE REGEX "^#!/bin/sh$|^set -e$|^[ \t]*ldconfig$|^if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then$|^fi$|^$")
        if(lines)
            message(FATAL_ERROR "${script} does more than call ldconfig: ${lines}")
        endif()
        file(REMOVE ${path})
    endforeach()
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b ${tree} ${deb}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
endforeach()
