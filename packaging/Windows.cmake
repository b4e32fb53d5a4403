# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installation, a folder to run the program from: TevrinQuiz.exe, the Qt plugins it
# loads and the DLLs that it and they need. CPack makes an installer of it (NSIS) and a zip.

# The platform plugin, the style if this Qt has one, and the image formats of the banner (JPEG),
# the logo (GIF) and the icon (ICO), where Qt looks first: in folders beside the program.
set(_plugins QWindowsIntegrationPlugin platforms QJpegPlugin imageformats QGifPlugin imageformats
    QICOPlugin imageformats)
if(TARGET Qt6::QWindowsVistaStylePlugin)
    list(APPEND _plugins QWindowsVistaStylePlugin styles)
endif()

set(_plugin_files)
while(_plugins)
    list(POP_FRONT _plugins _plugin _folder)
    list(APPEND _plugin_files $<TARGET_FILE:Qt6::${_plugin}> ${_folder})
endwhile()

install(TARGETS TevrinQuiz RUNTIME DESTINATION .)
install(CODE "
    set(TEVRIN_PROGRAM [[$<TARGET_FILE:TevrinQuiz>]])
    set(TEVRIN_PLUGINS [[${_plugin_files}]])
    set(TEVRIN_DLL_SEARCH [[${TEVRIN_DLL_SEARCH}]])
    set(TEVRIN_DLL_DIRS [[${TEVRIN_DLL_DIRS}]])
    set(TEVRIN_STRIP [[${CMAKE_STRIP}]])")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/WindowsDlls.cmake)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME TevrinQuiz)
set(CPACK_PACKAGE_FILE_NAME TevrinQuiz-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY TevrinQuiz)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY TevrinQuiz)
set(CPACK_PACKAGE_EXECUTABLES TevrinQuiz TevrinQuiz)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/COPYING)
set(CPACK_STRIP_FILES ON)

# A 64-bit installer, so that it installs into the 64-bit Program Files and registers its
# uninstaller where 64-bit Windows lists programs, for all users when run by an administrator.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME TevrinQuiz)
set(CPACK_NSIS_DISPLAY_NAME TevrinQuiz)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME TevrinQuiz.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/assets/tevrinquiz-program.ico)
set(CPACK_NSIS_MUI_UNIICON ${CPACK_NSIS_MUI_ICON})
set(CPACK_NSIS_URL_INFO_ABOUT ${TEVRIN_CONTACT_WEB})
set(CPACK_NSIS_CONTACT ${TEVRIN_CONTACT_EMAIL})
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
