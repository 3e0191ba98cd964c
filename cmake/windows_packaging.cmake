# Packages for Windows users, made with `cpack` in a Windows build folder: a ZIP of volscope.exe
# with the README and the licence, and an NSIS installer (makensis) that puts the same files in
# Program Files, adds a Start menu entry and registers an uninstaller. volscope.exe is linked
# statically: nothing else needs to go with it.
if(NOT TARGET volscope OR NOT WIN32)
    return()
endif()

install(TARGETS volscope RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Volscope)
set(CPACK_PACKAGE_VENDOR "The Volscope developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "See the drive behind each letter and its volume's details")
set(CPACK_PACKAGE_FILE_NAME Volscope-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Volscope)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# The Start menu entry: volscope.exe, installed at the top of the folder, named "Volscope".
set(CPACK_PACKAGE_EXECUTABLES volscope Volscope)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME volscope.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/volscope.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/volscope.ico)
set(CPACK_NSIS_DISPLAY_NAME Volscope)
set(CPACK_NSIS_PACKAGE_NAME Volscope)
# Installing over an earlier version replaces its files; no question is asked, so that a silent
# install (/S) never waits on a message box.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL OFF)
# A 64-bit installer for the 64-bit program, into the 64-bit Program Files; it also runs under
# Debian's wine64 alone, which cannot start 32-bit programs.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN volscope.exe)
include(CPack)
