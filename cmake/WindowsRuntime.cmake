# SPDX-License-Identifier: GPL-3.0-or-later
# Where a Windows build's DLLs come from: Qt's bin folder and, with MinGW, the compiler's runtime
# (beside the compiler on Windows, in its library folders on Debian). The package ships what the
# program needs of these; a cross build runs its programs under Wine with them. Any other DLL the
# program loads is Windows' own.
#   TEVRIN_DLL_DIRS    the folders
#   TEVRIN_DLL_SEARCH  where to look a DLL up by the name a program imports it by
set(_dirs ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
if(MINGW)
    get_filename_component(_compiler_dir ${CMAKE_CXX_COMPILER} DIRECTORY)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-search-dirs OUTPUT_VARIABLE _search)
    string(REGEX MATCH "libraries: =([^\n]*)" _ "${_search}")
    set(_libraries "${CMAKE_MATCH_1}")
    if(NOT CMAKE_HOST_WIN32)
        string(REPLACE ":" ";" _libraries "${_libraries}")
    endif()
    list(APPEND _dirs ${_compiler_dir} ${_libraries})
endif()

set(TEVRIN_DLL_DIRS)
foreach(_dir IN LISTS _dirs)
    get_filename_component(_dir ${_dir} REALPATH)
    file(GLOB _dlls ${_dir}/*.dll)
    if(_dlls AND NOT _dir IN_LIST TEVRIN_DLL_DIRS)
        list(APPEND TEVRIN_DLL_DIRS ${_dir})
    endif()
endforeach()

# CMake looks the imported names up in lower case, as Windows finds a DLL whatever its case; where
# the file system tells cases apart, the DLLs are found through links of such names.
set(TEVRIN_DLL_SEARCH ${TEVRIN_DLL_DIRS})
if(NOT CMAKE_HOST_WIN32)
    set(TEVRIN_DLL_SEARCH ${PROJECT_BINARY_DIR}/dll-names)
    file(REMOVE_RECURSE ${TEVRIN_DLL_SEARCH})
    file(MAKE_DIRECTORY ${TEVRIN_DLL_SEARCH})
    foreach(_dir IN LISTS TEVRIN_DLL_DIRS)
        file(GLOB _dlls RELATIVE ${_dir} ${_dir}/*.dll)
        foreach(_dll IN LISTS _dlls)
            string(TOLOWER ${_dll} _name)
            file(CREATE_LINK ${_dir}/${_dll} ${TEVRIN_DLL_SEARCH}/${_name} SYMBOLIC)
        endforeach()
    endforeach()
endif()

# CTest starts a cross build's tests through the build's wine-run, which also runs the program.
if(CMAKE_CROSSCOMPILING)
    list(TRANSFORM TEVRIN_DLL_DIRS PREPEND "Z:" OUTPUT_VARIABLE TEVRIN_WINEPATH)
    string(REPLACE "/" "\\" TEVRIN_WINEPATH "${TEVRIN_WINEPATH}")
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${PROJECT_BINARY_DIR}/wine-run @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run)
endif()
