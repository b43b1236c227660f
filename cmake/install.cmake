# What `cmake --install` puts where, as packagers expect, and the Debian package made from it.
# The game finds its data from the installed executable (../share/tarvellin), so the tree is
# relocatable: any prefix, and DESTDIR, work.
include(GNUInstallDirs)

set(_targets tarvellin)
foreach(t assetgen assetcheck)
  if(TARGET ${t})
    list(APPEND _targets ${t})
  endif()
endforeach()
install(TARGETS ${_targets} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(TARGET assets)
  install(DIRECTORY ${TARVELLIN_DATA}/image ${TARVELLIN_DATA}/sound DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvellin)
  foreach(size 48 128 256)
    install(FILES ${TARVELLIN_ICONS}/tarvellin-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tarvellin.png)
  endforeach()
endif()
install(FILES ${CMAKE_SOURCE_DIR}/dist/org.tarvellin.Tarvellin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/org.tarvellin.Tarvellin.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/tarvellin.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvellin)
set(CPACK_PACKAGE_VENDOR "The Tarvellin developers")
set(CPACK_PACKAGE_CONTACT "The Tarvellin developers <maintainers@tarvellin.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small 2D space shooter")
set(CPACK_PACKAGE_DESCRIPTION "Fly one of two ships over a scrolling starfield and shoot down an endless rain
of asteroids and small enemy craft. Full screen or in a window, scaled
sharply, with a low-CPU mode. Comes with its default pictures and sounds.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not a library: fontconfig must find a Times-compatible serif for the overlay's text.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
include(CPack)
