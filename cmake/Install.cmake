# Installing and packaging: the program and its media go together into one
# folder, since it reads its media from the folder that holds it; the desktop
# finds it through its menu entry, icon and metainfo.
include(GNUInstallDirs)
set(ZAMPLI_INSTALL_DIR lib/zampli)
install(TARGETS zampli zampli-verifica RUNTIME DESTINATION ${ZAMPLI_INSTALL_DIR})
install(TARGETS zampli_sound_module LIBRARY DESTINATION ${ZAMPLI_INSTALL_DIR})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/copia/zampli-copia DESTINATION ${ZAMPLI_INSTALL_DIR})
install(DIRECTORY ${ZAMPLI_PROGRAM_DIR}/jpg ${ZAMPLI_PROGRAM_DIR}/voci
                  ${ZAMPLI_PROGRAM_DIR}/suoni ${ZAMPLI_PROGRAM_DIR}/testi
        DESTINATION ${ZAMPLI_INSTALL_DIR})
foreach(program zampli zampli-verifica zampli-copia)
    install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
                  file(CREATE_LINK ../${ZAMPLI_INSTALL_DIR}/${program}
                       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${program}\" SYMBOLIC)")
endforeach()

set(desktop_id org.example.zampli)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/${desktop_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/${desktop_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/assets/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${desktop_id}.svg)
foreach(size 48 256)
    install(FILES ${ZAMPLI_ICON_DIR}/${size}/${desktop_id}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# What Debian asks of every package: its copyright and a compressed changelog.
set(changelog_gz ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
    COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/desktop/changelog > ${changelog_gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/desktop/changelog VERBATIM)
add_custom_target(zampli_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${PROJECT_SOURCE_DIR}/desktop/copyright ${changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zampli)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zampli)
set(CPACK_PACKAGE_CONTACT "Squadra ZAMPLI <info@zampli.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drill program for children learning the Italian vowels")
set(CPACK_PACKAGE_DESCRIPTION "Young children hear a vowel, see it written in print or cursive,
upper or lower case, and see the mouth that says it, in twelve exercises
that listen, recognise, match and ask which vowel a word begins with.
Everything on screen is in Italian.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zampli.example.org")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Libraries from what the binaries link; plugins and fonts Qt loads at run time by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, qt6-translations-l10n, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
include(CPack)
