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
set(ZAMPLI_INSTALL_DIR lib/zampli)
install(TARGETS zampli zampli-verifica zampli-copia zampli-insegnante RUNTIME DESTINATION ${ZAMPLI_INSTALL_DIR})
install(TARGETS zampli_sound_module zampli_school_module LIBRARY DESTINATION ${ZAMPLI_INSTALL_DIR})
install(DIRECTORY ${ZAMPLI_PROGRAM_DIR}/jpg ${ZAMPLI_PROGRAM_DIR}/voci
                  ${ZAMPLI_PROGRAM_DIR}/suoni ${ZAMPLI_PROGRAM_DIR}/testi
        DESTINATION ${ZAMPLI_INSTALL_DIR})
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

# What Debian asks of every package: its copyright, a compressed changelog and
# compressed manual pages (English, and Italian under man/it).
set(changelog_gz ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
    COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/desktop/changelog > ${changelog_gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/desktop/changelog VERBATIM)
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
add_custom_target(zampli_package_docs ALL DEPENDS ${changelog_gz} ${man_gz})
# The teacher's guide, which F1 opens.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/guida DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zampli)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/copyright ${changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zampli)
install(FILES ${PROJECT_SOURCE_DIR}/LEGGIMI.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zampli)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME zampli)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zampli)
set(CPACK_PACKAGE_CONTACT "${ZAMPLI_TEAM} <${ZAMPLI_MAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drill program for children learning the Italian vowels")
set(CPACK_PACKAGE_DESCRIPTION "Young children hear a vowel, see it written in print or cursive,
upper or lower case, and see the mouth that says it, in twelve exercises
that listen, recognise, match and ask which vowel a word begins with.
Everything on screen is in Italian.
.
The package holds the children's program, zampli, and the adult's:
zampli-insegnante, the teacher's window for her own words, pictures,
voices and the children's results; zampli-verifica, which checks a
program folder's files; and zampli-copia, which makes a copy of one's own.
The children's answers are kept for each account in ~/.local/state/zampli/
and never leave the computer.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZAMPLI_WEBSITE}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Libraries from what the binaries link; plugins and fonts Qt loads at run time by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared libraries' packages (libqt6svg6, libsqlite3-0 among them) come
# from the binaries; this list only adds what no binary links. The teacher's
# cards write their words in the child's two fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation, fonts-sil-andika, fonts-ecolier-court")
# The teacher's program links libsndfile, libsamplerate and speexdsp: the shared
# library dependencies above find them.
# Debian's desktop session is Wayland, where Qt runs natively with its
# Wayland plugin; without it Qt falls back to XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, pulseaudio | pipewire-pulse")
# CPack calls ldconfig from the maintainer scripts for any shared object under
# /usr/lib, though the sound module is loaded by path from the program's own
# folder and ldconfig never sees it: the package is built again without them.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/FinishPackage.cmake)
set(CPACK_ZAMPLI_SOURCE_DATE_EPOCH ${ZAMPLI_SOURCE_DATE_EPOCH})
# Purging says where the children's answers remain; it never deletes them.
set(CPACK_ZAMPLI_MAINTAINER_DIR ${PROJECT_SOURCE_DIR}/desktop)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/desktop/postrm)
include(CPack)
