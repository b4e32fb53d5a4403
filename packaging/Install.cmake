# SPDX-License-Identifier: GPL-3.0-or-later
# Installing the program and packaging that installation with CPack: for a Linux desktop (menu
# entry, icons, software-centre metadata) as a Debian package, for Windows as an installer and a zip.
include(GNUInstallDirs)

# Installing and packaging take what has been built and never build on their own: CPack's
# install step would otherwise rebuild the whole tree, tests included, from inside a test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_VENDOR "The TevrinQuiz developers")
set(CPACK_PACKAGE_CONTACT "The TevrinQuiz developers <${TEVRIN_CONTACT_EMAIL}>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TEVRIN_CONTACT_WEB}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/Windows.cmake)
else()
    include(${CMAKE_CURRENT_LIST_DIR}/Desktop.cmake)
endif()
include(CPack)
