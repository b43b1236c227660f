# SPDX-License-Identifier: MIT
# What `cmake --install` puts where, as packagers expect, and the Debian package made from it.
# The game finds its data from the installed executable (../share/tarvellin), so the tree is
# relocatable: any prefix, and DESTDIR, work.
include(GNUInstallDirs)
# The FHS and Debian keep games and their tools in games/; systems without it on the PATH may
# choose bin.
set(TARVELLIN_INSTALL_GAMEDIR games CACHE STRING "Folder under the prefix for the game and its tools")

set(_targets tarvellin)
foreach(t assetgen assetcheck)
  if(TARGET ${t})
    list(APPEND _targets ${t})
  endif()
endforeach()
install(TARGETS ${_targets} RUNTIME DESTINATION ${TARVELLIN_INSTALL_GAMEDIR})

if(TARGET assets)
  install(DIRECTORY ${TARVELLIN_DATA}/image ${TARVELLIN_DATA}/sound DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvellin)
  # Each catalogue's pictures with words (en/image/...), which assetgen writes beside the originals.
  foreach(po ${TARVELLIN_PO_FILES})
    get_filename_component(_code ${po} NAME_WE)
    install(DIRECTORY ${TARVELLIN_DATA}/${_code} DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvellin)
  endforeach()
  foreach(size 48 128 256)
    install(FILES ${TARVELLIN_ICONS}/tarvellin-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tarvellin.png)
  endforeach()
endif()
install(FILES ${CMAKE_SOURCE_DIR}/dist/org.tarvellin.Tarvellin.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The desktop entry names the game by its full path, known only at install time: games/ is not
# on every session's PATH.
install(CODE "
  set(TARVELLIN_EXEC \"\${CMAKE_INSTALL_PREFIX}/${TARVELLIN_INSTALL_GAMEDIR}/tarvellin\")
  set(_entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/org.tarvellin.Tarvellin.desktop\")
  message(STATUS \"Installing: \${_entry}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/dist/org.tarvellin.Tarvellin.desktop.in\" \"\${_entry}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_entry}\")
")

# The package's version is the project's, so the changelog's newest entry must be for it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/dist/changelog)
file(STRINGS ${CMAKE_SOURCE_DIR}/dist/changelog _newest LIMIT_COUNT 1)
if(NOT _newest MATCHES "^tarvellin \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "dist/changelog: the newest entry is not for version ${PROJECT_VERSION}")
endif()

# Man pages and the changelog compressed as Debian wants them: gzip -9 without name or time stamp.
find_program(GZIP gzip REQUIRED)
set(_gz ${CMAKE_BINARY_DIR}/dist)
set(_gz_files)
foreach(f tarvellin.6 tarvellin-assetgen.6 tarvellin-assetcheck.6 changelog)
  add_custom_command(OUTPUT ${_gz}/${f}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/dist/${f} ${_gz}/${f}
    COMMAND ${GZIP} -9nf ${_gz}/${f}
    DEPENDS ${CMAKE_SOURCE_DIR}/dist/${f} VERBATIM)
  list(APPEND _gz_files ${_gz}/${f}.gz)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${_gz_files})
install(FILES ${_gz}/tarvellin.6.gz ${_gz}/tarvellin-assetgen.6.gz ${_gz}/tarvellin-assetcheck.6.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${_gz}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvellin)
set(CPACK_PACKAGE_VENDOR "The Tarvellin developers")
set(CPACK_PACKAGE_CONTACT "The Tarvellin developers <maintainers@tarvellin.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small 2D space shooter")
# MIT (Expat in dist/copyright, which the package carries as its copyright file).
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION "Fly one of two ships over a scrolling starfield and shoot down an endless rain
of asteroids and small enemy craft. Full screen or in a window, scaled
sharply, with a low-CPU mode. Comes with its default pictures and sounds.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The install rules then see the final prefix, which the desktop entry names.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not a library: fontconfig must find a Times-compatible serif for the overlay's text.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
include(CPack)
