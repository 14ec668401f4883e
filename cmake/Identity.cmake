# SPDX-License-Identifier: GPL-3.0-or-later
# The product's identity, in one place. Everything that names it is made from
# these values: the header the program reads, the menu entry, the metainfo,
# the manual pages and the package.
set(ZAMPLI_NAME "ZAMPLI")
set(ZAMPLI_ID "it.zampli.Zampli") # reverse-DNS: desktop file, icon, window class, Wayland app id
set(ZAMPLI_VERSION "${PROJECT_VERSION}")
set(ZAMPLI_RELEASE_DATE "2026-12-06")
set(ZAMPLI_WEBSITE "https://www.zampli.it")
set(ZAMPLI_MAIL "info@zampli.it")
set(ZAMPLI_TEAM "Squadra ZAMPLI")
set(ZAMPLI_LICENSE "GPL-3.0-or-later")

# The child's icon and the teacher's (the same motif with a pencil), from
# assets/<source>.svg, named after the menu entry that shows each.
set(ZAMPLI_ICON_SOURCES icon icon-insegnante)
set(ZAMPLI_ICON_NAMES ${ZAMPLI_ID} ${ZAMPLI_ID}.Insegnante)
set(ZAMPLI_ICON_SIZES 16 24 32 48 64 128 256) # the hicolor sizes the icons come in

set(ZAMPLI_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProductIdentity.h.in
               ${ZAMPLI_GENERATED_DIR}/ProductIdentity.h @ONLY)

# The menu entry and the metainfo carry the id in their file names.
set(ZAMPLI_DESKTOP_FILE ${ZAMPLI_GENERATED_DIR}/${ZAMPLI_ID}.desktop)
set(ZAMPLI_METAINFO_FILE ${ZAMPLI_GENERATED_DIR}/${ZAMPLI_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/desktop/zampli.desktop.in ${ZAMPLI_DESKTOP_FILE} @ONLY)
# The teacher's program has a menu entry of its own, beside the child's.
set(ZAMPLI_TEACHER_DESKTOP_FILE ${ZAMPLI_GENERATED_DIR}/${ZAMPLI_ID}.Insegnante.desktop)
configure_file(${PROJECT_SOURCE_DIR}/desktop/zampli-insegnante.desktop.in ${ZAMPLI_TEACHER_DESKTOP_FILE} @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/desktop/zampli.metainfo.xml.in ${ZAMPLI_METAINFO_FILE} @ONLY)
set(ZAMPLI_TEACHER_METAINFO_FILE ${ZAMPLI_GENERATED_DIR}/${ZAMPLI_ID}.Insegnante.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/desktop/zampli-insegnante.metainfo.xml.in ${ZAMPLI_TEACHER_METAINFO_FILE} @ONLY)

# Manual pages, English and Italian, for the program and the adult's tools.
set(ZAMPLI_MAN_PAGES zampli zampli-insegnante zampli-verifica zampli-copia)
set(ZAMPLI_MAN_LANGUAGES en it)
foreach(lang ${ZAMPLI_MAN_LANGUAGES})
    foreach(page ${ZAMPLI_MAN_PAGES})
        configure_file(${PROJECT_SOURCE_DIR}/man/${lang}/${page}.1.in
                       ${ZAMPLI_GENERATED_DIR}/man/${lang}/${page}.1 @ONLY)
    endforeach()
endforeach()
