# SPDX-License-Identifier: GPL-3.0-or-later
# A Linux desktop's installation (program, menu entry, icons, software-centre metadata, manual page)
# and the Debian package made from it.
set(TEVRIN_APP_ID "org.tevrinquiz.TevrinQuiz")
set(TEVRIN_SCREENSHOT_URL "${TEVRIN_CONTACT_WEB}/docs" CACHE STRING
    "Web folder that holds the screenshots of docs/ (welcome.png, quiz.png, results.png)")
set(TEVRIN_ICON_SIZES 16 22 24 32 48 64 128 256 512)

set(_packaging_dir ${CMAKE_CURRENT_LIST_DIR})
set(_out ${PROJECT_BINARY_DIR}/packaging)
set(_metainfo ${_out}/${TEVRIN_APP_ID}.metainfo.xml)
configure_file(${_packaging_dir}/${TEVRIN_APP_ID}.metainfo.xml.in ${_metainfo} @ONLY)
configure_file(${_packaging_dir}/debian/copyright.in ${_out}/copyright @ONLY)

# Debian keeps manual pages and changelogs compressed to the maximum, without a time stamp.
set(_gzipped)
foreach(_file debian/changelog TevrinQuiz.1)
    get_filename_component(_name ${_file} NAME)
    add_custom_command(OUTPUT ${_out}/${_name}.gz
        COMMAND gzip -9nc ${_packaging_dir}/${_file} > ${_out}/${_name}.gz
        DEPENDS ${_packaging_dir}/${_file} VERBATIM)
    list(APPEND _gzipped ${_out}/${_name}.gz)
endforeach()
add_custom_target(tevrin_gzipped_docs ALL DEPENDS ${_gzipped})

set(_docdir ${CMAKE_INSTALL_DATADIR}/doc/tevrinquiz)
install(TARGETS TevrinQuiz RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} BUNDLE DESTINATION .)
install(FILES ${_packaging_dir}/tevrinquiz.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_out}/TevrinQuiz.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_out}/copyright ${_out}/changelog.gz DESTINATION ${_docdir})
foreach(_size IN LISTS TEVRIN_ICON_SIZES)
    set(_icon_dir icons/hicolor/${_size}x${_size}/apps)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/${_icon_dir}/tevrinquiz.png DESTINATION ${CMAKE_INSTALL_DATADIR}/${_icon_dir})
endforeach()

# The Debian package. Its library dependencies come from dpkg-shlibdeps (Debian's dpkg-dev);
# the desktop opens the results page through xdg-open, and the screens are drawn for Tahoma,
# which Wine's fonts provide with the same metrics where the system has none.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tevrinquiz)
# Lines of at most 80 columns, as Debian's package tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "TevrinQuiz asks multiple-choice questions of religious knowledge from its
own bank of 140 questions. The player chooses how many questions to take;
they are drawn at random, each answer is marked right or wrong at once, and
at the end the results are written as a web page and opened in the browser.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The program is installed in /usr/bin, where Debian keeps the games section out.
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")

if(TEVRIN_BUILD_TESTS)
    # The checkers come from Debian's desktop-file-utils, appstream, dpkg-dev and lintian; without
    # them these tests fail.
    add_test(NAME packaging.desktop_entry COMMAND desktop-file-validate ${_packaging_dir}/tevrinquiz.desktop)
    # It exits 0 on hints and warnings too; a second main category, for one, lists the
    # program twice in menus. A sound entry makes it say nothing.
    set_tests_properties(packaging.desktop_entry PROPERTIES FAIL_REGULAR_EXPRESSION ".")
    add_test(NAME packaging.metainfo COMMAND appstreamcli validate --no-net ${_metainfo})
    set(_check_tree ${_packaging_dir}/check_install_tree.sh ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
    add_test(NAME packaging.install_tree COMMAND ${_check_tree})
    add_test(NAME packaging.deb COMMAND ${_check_tree} deb)
    set_tests_properties(packaging.install_tree packaging.deb PROPERTIES TIMEOUT 300)
endif()
