# SPDX-License-Identifier: GPL-3.0-or-later
# Part of installing a Windows build, after the program: the Qt plugins it loads, each in its folder
# beside it, and the DLLs that the program and the plugins import, as far as Qt and the compiler
# provide them; the rest are Windows' own. Stripped like the program when installing strips.
# Windows.cmake sets TEVRIN_PROGRAM, TEVRIN_PLUGINS (file and folder in turn), TEVRIN_DLL_SEARCH,
# TEVRIN_DLL_DIRS and TEVRIN_STRIP.
cmake_policy(VERSION 3.21)

function(tevrin_install file folder)
    file(INSTALL ${file} DESTINATION ${CMAKE_INSTALL_PREFIX}/${folder})
    get_filename_component(name ${file} NAME)
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND ${TEVRIN_STRIP} $ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${folder}/${name})
    endif()
endfunction()

set(_plugins)
while(TEVRIN_PLUGINS)
    list(POP_FRONT TEVRIN_PLUGINS _plugin _folder)
    tevrin_install(${_plugin} ${_folder})
    list(APPEND _plugins ${_plugin})
endwhile()

file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${TEVRIN_PROGRAM} MODULES ${_plugins} DIRECTORIES ${TEVRIN_DLL_SEARCH}
    RESOLVED_DEPENDENCIES_VAR _found UNRESOLVED_DEPENDENCIES_VAR _windows_own)
foreach(_dll IN LISTS _found)
    file(REAL_PATH ${_dll} _dll)
    get_filename_component(_dir ${_dll} DIRECTORY)
    if(_dir IN_LIST TEVRIN_DLL_DIRS)
        tevrin_install(${_dll} .)
    endif()
endforeach()
