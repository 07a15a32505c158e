# Installation and the Debian package. Included at the end of the top-level CMakeLists.txt so that it sees
# every program target; files that belong to a program are installed only when that program is built, so
# that an installed desktop entry, manual page or file type never points at a missing program.
include(GNUInstallDirs)

set(GAMBITRON_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(GAMBITRON_APP_ID io.github.gambitron.Gambitron)
set(GAMBITRON_LITE_APP_ID io.github.gambitron.GambitronLite)
# Debian wants the documents in a folder named after the package, not after the CMake project.
set(GAMBITRON_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/gambitron)

# Manual pages and change logs go out gzipped (-n: no name or time stamp, so the package is reproducible).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(gambitron_compressed)
function(gambitron_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${GZIP_PROGRAM} -9nc ${source} > ${output}
        DEPENDS ${source}
        VERBATIM)
    set(gambitron_compressed ${gambitron_compressed} ${output} PARENT_SCOPE)
endfunction()


set(GAMBITRON_PACKAGE_MAINTAINER "The Gambitron developers <gambitron@users.noreply.github.com>"
    CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")
set(GAMBITRON_DEB_RELEASE 1)
set(GAMBITRON_DEB_VERSION ${PROJECT_VERSION}-${GAMBITRON_DEB_RELEASE})

set(gambitron_gui_programs)
foreach(program gambitron gambitron-lite gambitron-engine)
    if(NOT TARGET ${program})
        message(STATUS "Install: ${program} is not built, so it and its files are left out")
        continue()
    endif()
    install(TARGETS ${program} RUNTIME DESTINATION ${GAMBITRON_INSTALL_GAMESDIR})
    if(program STREQUAL "gambitron")
        install(TARGETS gambitron_netplay LIBRARY DESTINATION ${GAMBITRON_INSTALL_MODULEDIR})
    endif()
    # The English page is the default one; "man -L ru" (or a Russian locale) finds the Russian one.
    gambitron_gzip(${GAMBITRON_PACKAGING_DIR}/man/${program}.6 ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.6.gz)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    gambitron_gzip(${GAMBITRON_PACKAGING_DIR}/man/ru/${program}.6 ${CMAKE_CURRENT_BINARY_DIR}/man/ru/${program}.6.gz)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/ru/${program}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man6)
    if(program STREQUAL "gambitron")
        set(id ${GAMBITRON_APP_ID})
    elseif(program STREQUAL "gambitron-lite")
        set(id ${GAMBITRON_LITE_APP_ID})
        install(FILES ${GAMBITRON_PACKAGING_DIR}/gambitron.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages)
    else()
        continue()
    endif()
    list(APPEND gambitron_gui_programs ${program})
    install(FILES ${GAMBITRON_PACKAGING_DIR}/${id}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
    # The metainfo names the program's own version as its release.
    configure_file(${GAMBITRON_PACKAGING_DIR}/${id}.metainfo.xml.in ${CMAKE_CURRENT_BINARY_DIR}/${id}.metainfo.xml
        @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
endforeach()

if(gambitron_gui_programs)
    foreach(size 16 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/gambitron-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
            RENAME gambitron.png)
    endforeach()
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/gambitron.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
endif()

# The Debian change log carries the package version, so it is made from a template.
set(CPACK_DEBIAN_PACKAGE_NAME gambitron)
set(CPACK_PACKAGE_CONTACT ${GAMBITRON_PACKAGE_MAINTAINER})
configure_file(${GAMBITRON_PACKAGING_DIR}/changelog.Debian.in ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.Debian @ONLY)
gambitron_gzip(${GAMBITRON_PACKAGING_DIR}/changelog ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz)
gambitron_gzip(${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.Debian ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.Debian.gz)
install(FILES ${GAMBITRON_PACKAGING_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz
    ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.Debian.gz
    DESTINATION ${GAMBITRON_DOC_DIR})
add_custom_target(gambitron-install-docs ALL DEPENDS ${gambitron_compressed})

# cpack -G DEB, from a release build folder, makes gambitron_<version>-<release>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gambitron)
set(CPACK_PACKAGE_VENDOR "The Gambitron developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess game in Russian and English, local and network play")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Gambitron is a chess game with a Russian and an English interface, in two
programs that
share one board and one computer opponent:
 - gambitron plays against the computer, between two people at one board,
   or between two computers over TCP with a chat line;
 - gambitron-lite plays against the computer, saves and loads games,
   takes moves back and turns the board.
The package also holds gambitron-engine, the computer opponent as a UCI
command-line engine.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://github.com/gambitron/gambitron)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${GAMBITRON_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The board's fonts fall back to DejaVu Sans, Qt's own texts (--help, the dialogs' buttons) come from Qt's
# translations, and the sound libraries are opened on the first sound; no library link shows any of them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, qt6-translations-l10n, libasound2, libsndfile1")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_SOURCE_IGNORE_FILES "/[.]git/" "/build/" "/[.]cache/")
include(CPack)
