# make install / make deb: the programs, their manual pages and completion scripts, the
# help, the desktop entry with its AppStream description, the icon in the hicolor theme. Settings and presets of an installed program live in the user's folder
# (~/.local/share/anivor/), so nothing here is written at run time.
include(GNUInstallDirs)

install(TARGETS anivor anivor-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The shared files; their folder also marks the layout as installed (AppDir).
install(FILES ${PROJECT_SOURCE_DIR}/resources/Anivor.hlp DESTINATION ${CMAKE_INSTALL_DATADIR}/anivor)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/anivor)
# The sample scripts, copied into the user's scripts folder the first time it is needed.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/scripts/ DESTINATION ${CMAKE_INSTALL_DATADIR}/anivor/scripts
        FILES_MATCHING PATTERN "*.js")
# The desktop entry and the AppStream description share one id, the D-Bus service's.
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/org.anivor.Anivor13.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/org.anivor.Anivor13.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The manual pages and completion scripts the programs print of their own --help and
# command table while they are built (src/cli, src/app).
install(FILES ${CMAKE_BINARY_DIR}/share/man/man1/anivor.1 ${CMAKE_BINARY_DIR}/share/man/man1/anivor-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/share/bash-completion/completions/anivor-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
# zsh reads share/zsh/vendor-completions under /usr (the package) and share/zsh/site-functions
# under /usr/local.
install(CODE "set(anivor_zsh_completion \"${CMAKE_BINARY_DIR}/share/zsh/_anivor-cli\")")
install(CODE [[
  if(CMAKE_INSTALL_PREFIX MATCHES "/usr/?$")
    file(INSTALL "${anivor_zsh_completion}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/zsh/vendor-completions")
  else()
    file(INSTALL "${anivor_zsh_completion}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/zsh/site-functions")
  endif()
]])
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/anivor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/anivor-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME anivor.png)
endforeach()

# Installed straight into a live system (no DESTDIR, not a package being built): the
# desktop's caches learn the entry's file types and the icon at once. Packages leave that
# to their triggers.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "" AND NOT CMAKE_INSTALL_PREFIX MATCHES "_CPack_Packages")
    find_program(ANIVOR_UPDATE_DESKTOP update-desktop-database)
    find_program(ANIVOR_UPDATE_ICONS gtk-update-icon-cache)
    if(ANIVOR_UPDATE_DESKTOP)
      execute_process(COMMAND ${ANIVOR_UPDATE_DESKTOP} -q "${CMAKE_INSTALL_PREFIX}/share/applications")
    endif()
    if(ANIVOR_UPDATE_ICONS)
      execute_process(COMMAND ${ANIVOR_UPDATE_ICONS} -q -t "${CMAKE_INSTALL_PREFIX}/share/icons/hicolor")
    endif()
  endif()
]])

# The Debian package (cpack -G DEB): library dependencies from dpkg-shlibdeps, plus what
# the programs load at run time without linking it (the X11 platform plugin, the fonts).
set(CPACK_PACKAGE_NAME anivor)
set(CPACK_PACKAGE_VENDOR "The Anivor developers")
set(CPACK_PACKAGE_CONTACT "Anivor developers <anivor@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Studio for animated GIFs")
set(CPACK_PACKAGE_DESCRIPTION "Anivor 13 builds animated GIFs from a strip of frames: wizards make the frames in between, effects and a frame editor change them, and anivor-cli does the same jobs from the shell.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# FFmpeg's libraries are loaded at run time, so the package tools cannot see them: their
# packages (named after each library's major version) are listed here.
set(ffmpeg_packages "")
foreach(lib avformat avcodec avutil swscale)
  string(REGEX MATCH "^[0-9]+" major "${FFMPEG_lib${lib}_VERSION}")
  string(APPEND ffmpeg_packages ", lib${lib}${major}")
endforeach()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2, hicolor-icon-theme${ffmpeg_packages}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://anivor.example.org/")
set(CPACK_GENERATOR DEB)
include(CPack)
