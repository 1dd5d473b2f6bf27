# Installation and the Debian package: `cmake --install build --prefix P` puts the game in P/games (as
# Debian does with games), its data in P/share/duelfall/data (where the game looks for it from there), the
# desktop entry, the
# hicolor icons and the AppStream metainfo; `cpack -G DEB` in the build directory packages the same.
include(GNUInstallDirs)

set(DUELFALL_VERSION ${PROJECT_VERSION})
set(DUELFALL_APP_ID io.github.duelfall.Duelfall)
set(DUELFALL_PACKAGING ${CMAKE_SOURCE_DIR}/packaging/linux)
# The sizes the asset generator draws the icon at: data/icon/duelfall-<N>.png.
set(DUELFALL_ICON_SIZES 16 32 48 128 256)

install(TARGETS duelfall RUNTIME DESTINATION games)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data DESTINATION ${CMAKE_INSTALL_DATADIR}/duelfall)

if(UNIX AND NOT APPLE)
  install(FILES ${DUELFALL_PACKAGING}/${DUELFALL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  set(PROJECT_VERSION ${DUELFALL_VERSION})
  configure_file(${DUELFALL_PACKAGING}/${DUELFALL_APP_ID}.metainfo.xml
    ${CMAKE_BINARY_DIR}/packaging/${DUELFALL_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${DUELFALL_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  set(missing_icons "")
  foreach(size ${DUELFALL_ICON_SIZES})
    set(icon ${CMAKE_SOURCE_DIR}/data/icon/duelfall-${size}.png)
    if(EXISTS ${icon})
      install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME duelfall.png)
    else()
      list(APPEND missing_icons ${size})
    endif()
  endforeach()
  if(missing_icons)
    message(WARNING "No data/icon/duelfall-<N>.png for N = ${missing_icons}: those icon sizes are not installed")
  endif()

  # What Debian asks of every package's documentation: the copyright and a changelog compressed
  # without a timestamp.
  file(WRITE ${CMAKE_BINARY_DIR}/packaging/changelog
    "duelfall (${DUELFALL_VERSION}) unstable; urgency=medium\n\n"
    "  * Installable: desktop entry, icons, metainfo, data under share/duelfall.\n\n"
    " -- Duelfall maintainers <maintainers@duelfall.invalid>  Mon, 07 Dec 2026 00:00:00 +0000\n")
  execute_process(COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/changelog)
  install(FILES ${DUELFALL_PACKAGING}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/duelfall)
endif()

set(CPACK_PACKAGE_NAME duelfall)
set(CPACK_PACKAGE_VERSION ${DUELFALL_VERSION})
set(CPACK_PACKAGE_VENDOR "Duelfall")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2D action game: one player, two bosses, one arena")
set(CPACK_PACKAGE_DESCRIPTION "Run, jump and shoot through two bosses in one arena, with the keyboard or a\ngamepad, in a window or full screen. Every run is recorded as a replay.")
set(CPACK_PACKAGE_CONTACT "Duelfall maintainers <maintainers@duelfall.invalid>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://duelfall.invalid/")
# Directories Debian's own packages own are not the package's to create.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
