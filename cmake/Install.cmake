# Installs Vexlume the way Debian lays out games, and packages the same tree
# as a .deb with CPack:
#
#   <prefix>/games/vexlume                      launcher: cd to the data, exec the game
#   <prefix>/games/vexlume-mapcheck             map checker
#   <prefix>/lib/games/vexlume/vexlume          the game itself
#   <prefix>/share/games/vexlume/share/...      the data, below a share/ of its own,
#                                               since the game opens "share/..." paths
#   <prefix>/share/games/vexlume/tiled/         the map format for the Tiled editor
#   <prefix>/share/applications, metainfo, icons/hicolor, man/man6, doc/vexlume

include(GNUInstallDirs)

set(VEXLUME_GAMES_BINDIR "games" CACHE STRING
  "Where the launcher and vexlume-mapcheck go, relative to the prefix")
set(VEXLUME_GAMES_LIBDIR "${CMAKE_INSTALL_LIBDIR}/games/vexlume" CACHE STRING
  "Where the game program goes, relative to the prefix")
set(VEXLUME_GAMES_DATADIR "${CMAKE_INSTALL_DATADIR}/games/vexlume" CACHE STRING
  "The directory the game runs in (its share/ goes below it), relative to the prefix")

# Every file the game or the map checker opens at run time.
set(VEXLUME_DATA_FILES
  share/Vexlume.png
  share/Skarnel.png
  share/Pellwick.png
  share/Tiles.png
  share/test.map
  share/formplex12.ttf
  share/formplex12.LICENSE
  share/Lullwater.ogg)
list(TRANSFORM VEXLUME_DATA_FILES PREPEND "${PROJECT_SOURCE_DIR}/")

set(VEXLUME_ICON_SIZES 16 32 48 64 128 256)
set(VEXLUME_MAINTAINER "The Vexlume developers <vexlume@example.org>")

# The launcher names the data directory and the program relative to its own
# directory, so that `cmake --install --prefix` to anywhere, and moving the
# tree afterwards, need no reconfiguring. Absolute directories stay absolute.
function(vexlume_launcher_path out dir)
  if(IS_ABSOLUTE "${dir}")
    set(path "${dir}")
  elseif(IS_ABSOLUTE "${VEXLUME_GAMES_BINDIR}")
    set(path "${CMAKE_INSTALL_PREFIX}/${dir}")
  else()
    # Any prefix gives the same relative path; this one is never created.
    file(RELATIVE_PATH rel "/prefix/${VEXLUME_GAMES_BINDIR}" "/prefix/${dir}")
    set(path "$here/${rel}")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

vexlume_launcher_path(VEXLUME_LAUNCHER_DATADIR "${VEXLUME_GAMES_DATADIR}")
vexlume_launcher_path(VEXLUME_LAUNCHER_PROGRAM "${VEXLUME_GAMES_LIBDIR}/vexlume")
vexlume_launcher_path(VEXLUME_LAUNCHER_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/vexlume")
configure_file(${PROJECT_SOURCE_DIR}/desktop/vexlume.sh.in
  ${PROJECT_BINARY_DIR}/install/vexlume @ONLY)
# vexlume-mapcheck --play finds them the same way, from its own directory.
string(REPLACE "$here/" "" VEXLUME_PLAY_GAME "${VEXLUME_LAUNCHER_PROGRAM}")
string(REPLACE "$here/" "" VEXLUME_PLAY_DATA "${VEXLUME_LAUNCHER_DATADIR}")
target_compile_definitions(vexlume-mapcheck PRIVATE
  VEXLUME_INSTALLED_GAME="${VEXLUME_PLAY_GAME}" VEXLUME_INSTALLED_DATA="${VEXLUME_PLAY_DATA}")

# Debian installs manual pages compressed; -n keeps the name and time out of
# the header so the package's contents do not change between builds.
set(VEXLUME_MAN_PAGES vexlume.6 vexlume-mapcheck.6)
set(VEXLUME_MAN_GZ)
foreach(page ${VEXLUME_MAN_PAGES})
  add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/install/${page}.gz
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/desktop/${page} > ${PROJECT_BINARY_DIR}/install/${page}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/desktop/${page}
    COMMENT "Compressing the manual page ${page}"
    VERBATIM)
  list(APPEND VEXLUME_MAN_GZ ${PROJECT_BINARY_DIR}/install/${page}.gz)
endforeach()
add_custom_target(vexlume_man_pages ALL DEPENDS ${VEXLUME_MAN_GZ})

install(PROGRAMS ${PROJECT_BINARY_DIR}/install/vexlume
  DESTINATION ${VEXLUME_GAMES_BINDIR})
install(TARGETS vexlume-mapcheck
  RUNTIME DESTINATION ${VEXLUME_GAMES_BINDIR})
install(TARGETS vexlume
  RUNTIME DESTINATION ${VEXLUME_GAMES_LIBDIR})
install(FILES ${VEXLUME_DATA_FILES}
  DESTINATION ${VEXLUME_GAMES_DATADIR}/share)
# The map format for the Tiled map editor, beside the data it opens maps on;
# vexlume-mapcheck --enable-tiled links it into a user's Tiled. Its guide
# goes with the other documentation.
install(FILES ${PROJECT_SOURCE_DIR}/maptools/tiled/vexlume.js
  DESTINATION ${VEXLUME_GAMES_DATADIR}/tiled)
install(FILES ${PROJECT_SOURCE_DIR}/docs/tiled.md ${PROJECT_SOURCE_DIR}/docs/tiled.png
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/vexlume)

install(FILES ${PROJECT_SOURCE_DIR}/desktop/vexlume.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/io.github.vexlume.Vexlume.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${VEXLUME_ICON_SIZES})
  install(FILES ${PROJECT_SOURCE_DIR}/desktop/icons/hicolor/${size}x${size}/apps/vexlume.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${VEXLUME_MAN_GZ}
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The licences of everything installed, the game's and its font's, in
# Debian's machine-readable form, and the release notes as the changelog of
# a native package. Its newest entry takes the project's version, and its
# date SOURCE_DATE_EPOCH's when that is set, so that a package built twice
# from one commit is the same file.
string(TIMESTAMP VEXLUME_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/desktop/changelog.in
  ${PROJECT_BINARY_DIR}/install/changelog @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/install/changelog.gz
  COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/install/changelog > ${PROJECT_BINARY_DIR}/install/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/install/changelog
  COMMENT "Compressing the changelog"
  VERBATIM)
add_custom_target(vexlume_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/install/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/copyright ${PROJECT_BINARY_DIR}/install/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/vexlume)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/vexlume.lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME vexlume)

# What Debian's own packaging does to a program: symbols resolved at start so
# that the relocations can be made read-only, and the compiler's version notes
# dropped, which a player's copy needs no more than its symbols.
foreach(program vexlume vexlume-mapcheck)
  target_link_options(${program} PRIVATE -Wl,-z,relro,-z,now)
  add_custom_command(TARGET ${program} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note $<TARGET_FILE:${program}>
    VERBATIM)
endforeach()

# The Debian package: `cpack -G DEB` in the build directory installs the tree
# above under /usr and packs it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexlume)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vexlume developers")
set(CPACK_PACKAGE_CONTACT "${VEXLUME_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "small 2D game demo with a scrolling tile map and a star field")
set(CPACK_PACKAGE_DESCRIPTION
  "Vexlume opens one full-screen 1680x1050 OpenGL mode and draws a star field
streaming out of the screen centre, a small tile map in a fixed camera
window and, beside it, a player character. The arrow keys move the
character over the star field and scroll the map under its window the same
way, with music playing underneath. vexlume-mapcheck shows what the game
will read from a map file; with the map format it brings for the Tiled
map editor, maps are drawn, saved and played from Tiled.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VEXLUME_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL 1.2 as sdl12-compat, never the classic library: only sdl12-compat
# scales the full-screen frame to a screen of another size, and the classic
# one stops the game on any screen smaller than the frame. Debian 13 and
# testing build libsdl1.2debian from sdl12-compat (1.2.68 and later); Debian
# 12 still builds it from the classic SDL 1.2 (1.2.15), which apt prefers,
# and ships sdl12-compat as libsdl1.2-compat-shim, which replaces it. The
# dependency dpkg-shlibdeps would find for the library, libsdl1.2debian
# (>= 1.2.15), lets the classic one in; the shlibs.local file that Debian's
# packaging reads to override a library's dependency replaces it, so that
# libSDL-1.2 is named once, in the form only sdl12-compat meets. CPack runs
# dpkg-shlibdeps in its staging directory and removes debian/ from it after.
set(VEXLUME_SDL_DEPENDS "libsdl1.2debian (>= 1.2.60) | libsdl1.2-compat-shim")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/install/shlibs-local.cmake @ONLY CONTENT [[
file(WRITE "${CPACK_TEMPORARY_DIRECTORY}/debian/shlibs.local" "libSDL-1.2 0 @VEXLUME_SDL_DEPENDS@\n")
]])
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_BINARY_DIR}/install/shlibs-local.cmake)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Directories the package makes get the same mode whatever the packager's
# umask, as the files already do.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
