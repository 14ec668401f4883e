# SPDX-License-Identifier: GPL-3.0-or-later
# Installing and packaging: the program and its media go together into one
# folder, since it reads its media from the folder that holds it; the desktop
# finds it through its menu entry, icon and metainfo.
include(GNUInstallDirs)

# Two builds of one commit give the same package: file times come from the
# commit (or SOURCE_DATE_EPOCH when the builder sets it), also inside the Qt
# resources, where rcc takes them from SOURCE_DATE_EPOCH.
set(ZAMPLI_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(NOT ZAMPLI_SOURCE_DATE_EPOCH)
    execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE ZAMPLI_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT ZAMPLI_SOURCE_DATE_EPOCH)
    execute_process(COMMAND date -u -d ${ZAMPLI_RELEASE_DATE} +%s
                    OUTPUT_VARIABLE ZAMPLI_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
             "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ZAMPLI_SOURCE_DATE_EPOCH}")
# The programs stay together in /usr/lib/zampli with links in /usr/bin. Their
# media and the guide, the same on every architecture, go to /usr/share/zampli,
# and links in the programs' folder lead there: the programs read their media
# from the folder that holds them, as in a copy made with zampli-copia.
set(ZAMPLI_INSTALL_DIR lib/zampli)
set(ZAMPLI_DATA_DIR ${CMAKE_INSTALL_DATADIR}/zampli)
install(TARGETS zampli zampli-verifica zampli-copia zampli-insegnante RUNTIME DESTINATION ${ZAMPLI_INSTALL_DIR})
install(TARGETS zampli_sound_module zampli_answers_module zampli_school_module LIBRARY DESTINATION ${ZAMPLI_INSTALL_DIR})
install(DIRECTORY ${ZAMPLI_PROGRAM_DIR}/jpg ${ZAMPLI_PROGRAM_DIR}/voci
                  ${ZAMPLI_PROGRAM_DIR}/suoni ${ZAMPLI_PROGRAM_DIR}/testi
        DESTINATION ${ZAMPLI_DATA_DIR})
# The teacher's guide, which F1 opens from guida/ beside the program.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/guida DESTINATION ${ZAMPLI_DATA_DIR})
file(RELATIVE_PATH data_from_programs /${ZAMPLI_INSTALL_DIR} /${ZAMPLI_DATA_DIR})
foreach(folder jpg voci suoni testi guida)
    install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ZAMPLI_INSTALL_DIR}\")
                  file(CREATE_LINK ${data_from_programs}/${folder}
                       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ZAMPLI_INSTALL_DIR}/${folder}\" SYMBOLIC)")
endforeach()
foreach(program zampli zampli-verifica zampli-copia zampli-insegnante)
    install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
                  file(CREATE_LINK ../${ZAMPLI_INSTALL_DIR}/${program}
                       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${program}\" SYMBOLIC)")
endforeach()

install(FILES ${ZAMPLI_DESKTOP_FILE} ${ZAMPLI_TEACHER_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZAMPLI_METAINFO_FILE} ${ZAMPLI_TEACHER_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(svg name IN ZIP_LISTS ZAMPLI_ICON_SOURCES ZAMPLI_ICON_NAMES)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/${svg}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${name}.svg)
    foreach(size ${ZAMPLI_ICON_SIZES})
        install(FILES ${ZAMPLI_ICON_DIR}/${size}/${name}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
endforeach()

# Manual pages in English, and in Italian under man/it (debian/rules
# packages them; dh_compress leaves them as they are, made with gzip -n).
set(man_gz "")
foreach(lang ${ZAMPLI_MAN_LANGUAGES})
    set(man_dir ${CMAKE_INSTALL_MANDIR}/man1)
    if(NOT lang STREQUAL "en")
        set(man_dir ${CMAKE_INSTALL_MANDIR}/${lang}/man1)
    endif()
    foreach(page ${ZAMPLI_MAN_PAGES})
        set(page_file ${ZAMPLI_GENERATED_DIR}/man/${lang}/${page}.1)
        add_custom_command(OUTPUT ${page_file}.gz
            COMMAND gzip -n -9 -c ${page_file} > ${page_file}.gz
            DEPENDS ${page_file} VERBATIM)
        list(APPEND man_gz ${page_file}.gz)
        install(FILES ${page_file}.gz DESTINATION ${man_dir})
    endforeach()
endforeach()
add_custom_target(zampli_package_docs ALL DEPENDS ${man_gz})
