# What a Debian package of quendro holds, and the package itself (CPack's DEB
# generator): scripts/make_package.sh builds it.
include(GNUInstallDirs)

set(QUENDRO_SHARE "${CMAKE_INSTALL_DATADIR}/quendro")
set(PACKAGING "${CMAKE_SOURCE_DIR}/scripts/packaging")

install(TARGETS quendro-publish quendro-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(QUENDRO_VIEW)
  install(TARGETS quendro quendro-poster RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PACKAGING}/quendro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PACKAGING}/quendro.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The web viewer, and the publisher beside it, which serves the viewer one
# folder up from its own.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/web/ DESTINATION ${QUENDRO_SHARE}/web)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/publisher.sh DESTINATION ${QUENDRO_SHARE}/scripts)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/scripts/publisher DESTINATION ${QUENDRO_SHARE}/scripts
        USE_SOURCE_PERMISSIONS)
# A public server's site file and a caching edge's configuration
# (docs/public-server.md).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/scripts/public ${CMAKE_SOURCE_DIR}/scripts/edge
        DESTINATION ${QUENDRO_SHARE}/scripts USE_SOURCE_PERMISSIONS)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
file(CREATE_LINK ../share/quendro/scripts/publisher.sh ${CMAKE_BINARY_DIR}/packaging/quendro-publisher
     SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/quendro-publisher DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual pages and the package's own documents, compressed as Debian keeps them.
set(PAGES quendro quendro-publish quendro-export quendro-poster quendro-publisher)
set(COMPRESSED)
foreach(page IN LISTS PAGES)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz
                     COMMAND gzip -9n -c ${PACKAGING}/man/${page}.1 > ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz
                     DEPENDS ${PACKAGING}/man/${page}.1)
  list(APPEND COMPRESSED ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
                   COMMAND gzip -9n -c ${PACKAGING}/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
                   DEPENDS ${PACKAGING}/changelog)
add_custom_target(quendro_package_files ALL
                  DEPENDS ${COMPRESSED} ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${PACKAGING}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The services: the publisher, and a watch per meet configured in
# /etc/quendro/watch/NAME.conf.
install(FILES ${PACKAGING}/systemd/quendro-publisher.service ${PACKAGING}/systemd/quendro-watch@.service
        DESTINATION /lib/systemd/system)
install(FILES ${PACKAGING}/systemd/example.conf DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        RENAME watch-NAME.conf)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quendro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "quendro developers <dev@quendro.example.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lap times of a swimming meet: window, publisher and web viewer")
set(CPACK_PACKAGE_DESCRIPTION "quendro reads the files of a swimming meet's timing system (Shift-JIS)
from a local folder or a publisher's web server, finds a competitor, shows a
swim's splits cumulative or as laps over 25 to 200 m, prints a lap list and
writes it as an HTML page. quendro-publish puts a meet live on nginx, where a
web viewer carries every split and place to phones; quendro-poster makes the
poster with the viewer's QR code for the pool's entrance.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, fonts-ipafont-gothic, fonts-ipafont-mincho, openssl, procps, adduser")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "nginx, qt6-translations-l10n, qrencode")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PACKAGING}/postinst;${PACKAGING}/prerm;${PACKAGING}/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
