# Installing as a desktop program (cmake --install) and the Debian package
# (cpack). Paths follow GNUInstallDirs: /usr/bin, /usr/share/talviks/data, the
# freedesktop places for the menu entry, metainfo, MIME type and icons.
include(GNUInstallDirs)

set(TALVIKS_APP_ID org.example.talviks)
set(TALVIKS_DATA_DIR ${CMAKE_INSTALL_DATADIR}/talviks/data)
# The program finds the installed card data from its own folder, so a staging
# folder or another prefix works as well as /usr.
file(RELATIVE_PATH TALVIKS_DATA_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${TALVIKS_DATA_DIR})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/core/userfiles.cpp TARGET_DIRECTORY talviks_core APPEND
             PROPERTY COMPILE_DEFINITIONS TV_DATA_FROM_BIN="${TALVIKS_DATA_FROM_BIN}")

install(TARGETS talviks talviks-carddb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${TALVIKS_DATA_DIR})

set(pkg ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${pkg}/${TALVIKS_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${pkg}/${TALVIKS_APP_ID}.metainfo.xml.in ${CMAKE_CURRENT_BINARY_DIR}/${TALVIKS_APP_ID}.metainfo.xml
               @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${TALVIKS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${pkg}/${TALVIKS_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${TALVIKS_APP_ID}.xml)
install(FILES ${pkg}/icons/${TALVIKS_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${pkg}/icons/${TALVIKS_APP_ID}-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${TALVIKS_APP_ID}.png)
endforeach()

# The Debian package: library dependencies as dpkg-shlibdeps finds them (Qt 6,
# ICU, libssl, liblzma, zlib, MeCab), plus what the program loads or shows
# without linking it: Qt's X11 platform plugin, its Japanese translations, the
# CJK faces the fixed-pitch layouts are drawn for and the MeCab dictionary an
# import reads the creature types' readings from.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talviks)
set(CPACK_PACKAGE_VENDOR Halden)
set(CPACK_PACKAGE_CONTACT "Halden <talviks@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "deck builder for the trading card game MTG, in Japanese")
set(CPACK_PACKAGE_DESCRIPTION
    "Search the cards of a card database by expansion, colour, card type, creature type and name, build a\n\
main deck and a sideboard, save and open deck files, print deck lists, proxy and token sheets.\n\
The card data of 1993 to 2022 comes with the program; newer card data is read from MTGJSON.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://talviks.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk, mecab-naist-jdic")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)
