# SPDX-License-Identifier: GPL-3.0-or-later
# Installing the program into a desktop (program, menu entry, icons, software-centre metadata),
# and the Debian package made from that installation with CPack.
include(GNUInstallDirs)

set(TEVRIN_APP_ID "org.tevrinquiz.TevrinQuiz")
set(TEVRIN_SCREENSHOT_URL "${TEVRIN_CONTACT_WEB}/docs" CACHE STRING
    "Web folder that holds the screenshots of docs/ (welcome.png, quiz.png, results.png)")
set(TEVRIN_ICON_SIZES 16 22 24 32 48 64 128 256 512)

# Installing and packaging take what has been built and never build on their own: CPack's
# install step would otherwise rebuild the whole tree, tests included, from inside a test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(_packaging_dir ${CMAKE_CURRENT_LIST_DIR})
set(_metainfo ${PROJECT_BINARY_DIR}/packaging/${TEVRIN_APP_ID}.metainfo.xml)
configure_file(${_packaging_dir}/${TEVRIN_APP_ID}.metainfo.xml.in ${_metainfo} @ONLY)

install(TARGETS TevrinQuiz
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    BUNDLE DESTINATION .)
install(FILES ${_packaging_dir}/tevrinquiz.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(_size IN LISTS TEVRIN_ICON_SIZES)
    set(_icon_dir icons/hicolor/${_size}x${_size}/apps)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/${_icon_dir}/tevrinquiz.png DESTINATION ${CMAKE_INSTALL_DATADIR}/${_icon_dir})
endforeach()

# The Debian package. Its library dependencies come from dpkg-shlibdeps (Debian's dpkg-dev);
# the desktop opens the results page through xdg-open, and the screens are drawn for Tahoma,
# which Wine's fonts provide with the same metrics where the system has none.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tevrinquiz)
set(CPACK_PACKAGE_VENDOR "The TevrinQuiz developers")
set(CPACK_PACKAGE_CONTACT "The TevrinQuiz developers <${TEVRIN_CONTACT_EMAIL}>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TEVRIN_CONTACT_WEB}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "TevrinQuiz asks multiple-choice questions of religious knowledge from its own bank of 140
questions. The player chooses how many questions to take; they are drawn at random, each
answer is marked right or wrong at once, and at the end the results are written as a web
page and opened in the browser.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
include(CPack)

if(TEVRIN_BUILD_TESTS AND UNIX)
    # The checkers come from Debian's desktop-file-utils, appstream and dpkg-dev; without them these tests fail.
    # A Linux desktop's files and package: Unix only.
    add_test(NAME packaging.desktop_entry COMMAND desktop-file-validate ${_packaging_dir}/tevrinquiz.desktop)
    add_test(NAME packaging.metainfo COMMAND appstreamcli validate --no-net ${_metainfo})
    set(_check_tree ${_packaging_dir}/check_install_tree.sh ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
    add_test(NAME packaging.install_tree COMMAND ${_check_tree})
    add_test(NAME packaging.deb COMMAND ${_check_tree} deb)
    set_tests_properties(packaging.install_tree packaging.deb PROPERTIES TIMEOUT 300)
endif()
