# The Debian package: "cpack -G DEB" in the build folder. It holds whatever
# the install() rules install, with the AppStream entry and the copyright file
# Debian expects, and takes its library dependencies from dpkg-shlibdeps.

set(QUILM_APPSTREAM_ID "example.quilm.Quilm" CACHE STRING
    "AppStream component id: the maker's domain reversed, then the program")
set(QUILM_SCREENSHOT_URL "${QUILM_WEBSITE}/screenshots/main-window.png" CACHE STRING
    "Address of the screenshot named by the AppStream entry")
configure_file(${CMAKE_CURRENT_LIST_DIR}/quilm.metainfo.xml.in
    ${CMAKE_CURRENT_BINARY_DIR}/dist/${QUILM_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/dist/${QUILM_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quilm)
# A native package's changelog, compressed as Debian wants it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog.gz
    COMMAND sh -c "gzip -9nc \"$0\" >\"$1\"" ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog
        ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog.gz
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog
    VERBATIM)
add_custom_target(quilm_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quilm)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quilm)
set(CPACK_PACKAGE_VENDOR "The Quilm developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sort photographs into folders by the time they were taken")
# CPack puts the summary before it as the first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quilm moves the JPEG, PNG and GIF files of a folder into another one, in the
order they were taken, renamed 001, 002, ... or by a pattern with the date of
each picture. The capture date comes from the pictures' EXIF data.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Quilm developers <${QUILM_SUPPORT_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILM_WEBSITE})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The toolkit's own texts in the chosen language, and a font for Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n, fonts-noto-cjk")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The desktop entry names the launcher by the path it is installed at: install
# as into /usr, not into the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
include(CPack)
