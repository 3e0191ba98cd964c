# Installs Volscope as a desktop program (GNUInstallDirs: the program, its menu entry, AppStream
# metainfo, icons, man page and copyright), and makes a Debian package of that install with
# `cpack -G DEB` in the build folder. Only a build with the program has anything to install.
if(NOT TARGET volscope OR WIN32)  # Windows: cmake/windows_packaging.cmake
    return()
endif()

include(GNUInstallDirs)

# The freedesktop application id. The installed .desktop file, metainfo and icons are named
# after it, and the program hands it to the desktop at start-up so that its windows find their
# menu entry and icon (on Wayland it is the windows' app id): all of them must agree.
set(VOLSCOPE_APP_ID io.github.volscope.Volscope)
target_compile_definitions(volscope PRIVATE VOLSCOPE_APP_ID="${VOLSCOPE_APP_ID}")

set(packaging_source ${PROJECT_SOURCE_DIR}/packaging)
set(packaging_build ${PROJECT_BINARY_DIR}/packaging)

# The latest entry of packaging/changelog is this release: it gives the release date shown by
# the metainfo and the man page, and the package's maintainer. A version without its entry
# would ship metainfo that names another release, so it stops the configuration.
set(changelog ${packaging_source}/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog}
                                                              ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${changelog} changelog_text)
string(REGEX MATCH "^volscope \\(([^)]+)\\)" _ "${changelog_text}")
set(changelog_version "${CMAKE_MATCH_1}")
if(NOT changelog_version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog's latest entry is for \"${changelog_version}\", "
                        "not ${PROJECT_VERSION}: add an entry for this release")
endif()
string(FIND "${changelog_text}" "\n -- " trailer_start)
string(SUBSTRING "${changelog_text}" ${trailer_start} -1 trailer)
set(day_month_year "[A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9]+) ")
if(NOT trailer MATCHES "^\n -- ([^\n]+>)  ${day_month_year}")
    message(FATAL_ERROR "packaging/changelog: the latest entry's \" -- \" line is malformed")
endif()
set(VOLSCOPE_PACKAGE_MAINTAINER "${CMAKE_MATCH_1}")
set(year "${CMAKE_MATCH_4}")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_3}" month)
if(month EQUAL -1)
    message(FATAL_ERROR "packaging/changelog: the latest entry's month is malformed")
endif()
math(EXPR month "${month} + 1")
math(EXPR day "${CMAKE_MATCH_2}")
foreach(part month day)
    if(${part} LESS 10)
        set(${part} "0${${part}}")
    endif()
endforeach()
set(VOLSCOPE_RELEASE_DATE "${year}-${month}-${day}")

configure_file(${packaging_source}/volscope.desktop.in
               ${packaging_build}/${VOLSCOPE_APP_ID}.desktop @ONLY)
configure_file(${packaging_source}/volscope.metainfo.xml.in
               ${packaging_build}/${VOLSCOPE_APP_ID}.metainfo.xml @ONLY)
configure_file(${packaging_source}/volscope.1.in ${packaging_build}/volscope.1 @ONLY)

# Debian's machine-readable copyright file, with the licence's terms from LICENSE (Debian calls
# the MIT licence "Expat"): one space before every line, " ." for a blank one.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${license}")
set(copyright_holders "${CMAKE_MATCH_1}")
string(FIND "${license}" "Permission is hereby granted" terms_start)
string(SUBSTRING "${license}" ${terms_start} -1 license_terms)
string(STRIP "${license_terms}" license_terms)
string(REPLACE "\n\n" "\n.\n" license_terms "${license_terms}")
string(REPLACE "\n" "\n " license_terms "${license_terms}")
file(CONFIGURE OUTPUT ${packaging_build}/copyright @ONLY CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Volscope

Files: *
Copyright: @copyright_holders@
License: Expat
 @license_terms@
")

# Man pages and changelogs are installed compressed; -n keeps name and time out of the header so
# the package is the same on every build.
foreach(file volscope.1 changelog)
    if(file STREQUAL "changelog")
        set(input ${changelog})
    else()
        set(input ${packaging_build}/${file})
    endif()
    execute_process(COMMAND gzip -9n INPUT_FILE ${input} OUTPUT_FILE ${packaging_build}/${file}.gz
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS volscope RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${packaging_build}/${VOLSCOPE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_build}/${VOLSCOPE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The program icon at each size, and for screens at twice the density ("@2") at the small ones.
foreach(folder 16x16 24x24 32x32 48x48 64x64 128x128 256x256 16x16@2 24x24@2 32x32@2 48x48@2)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/hicolor/${folder}/volscope.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${folder}/apps
            RENAME ${VOLSCOPE_APP_ID}.png)
endforeach()
install(FILES ${packaging_build}/volscope.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Named after the package, not the project, as Debian expects.
install(FILES ${packaging_build}/copyright ${packaging_build}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/volscope)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volscope)
set(CPACK_PACKAGE_VENDOR "The Volscope developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "see the drive behind each letter and its volume's details")
set(CPACK_PACKAGE_DESCRIPTION
"Volscope shows one drive letter at a time, A to Z: a picture of the kind of
drive behind the letter and the details of its volume (label, serial number,
longest file name, file system, sector and cluster geometry, used and total
space, and a bar of the free share). Its file browser shows a file's paths,
size, times and attributes, changes its Read Only, Hidden and Archive
attributes, and opens it in the desktop's application for it.

On Linux the letters are mapped onto the mounted volumes: C: is the root file
system, A: and B: are kept for floppy drives, and D: onwards are the other
volumes in the order they were mounted.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VOLSCOPE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-open opens files from the browser; shared-mime-info gives files their types and icons;
# Liberation has the metrics of the Windows fonts the windows are laid out for; DejaVu Sans draws
# the stand-ins for unprintable characters in names; Qt's Wayland plugin shows the windows in a
# Wayland session without XWayland. Without them the program still runs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "xdg-utils, shared-mime-info, fonts-liberation, fonts-dejavu-core, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
