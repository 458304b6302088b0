# SPDX-License-Identifier: GPL-3.0-or-later
# kr52_library(name [STATIC|INTERFACE] FOLDER folder SOURCES files...)
#
# One static library per layer. Code includes headers by folder ("printer/devicemap.h"), and the
# source root itself is on no include path: each library publishes only its own headers, linked
# into build/include/<name>/<folder>/. So a header of a library that a target does not link is
# not found, and an include against the direction of the layers fails to build.
function(kr52_library name)
    cmake_parse_arguments(arg "" "FOLDER" "SOURCES" ${ARGN})
    add_library(${name} STATIC ${arg_SOURCES})
    set(published ${CMAKE_BINARY_DIR}/include/${name})
    file(MAKE_DIRECTORY ${published}/${arg_FOLDER})
    foreach(source IN LISTS arg_SOURCES)
        if(source MATCHES "\\.h$")
            file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${published}/${arg_FOLDER}/${source} SYMBOLIC)
        endif()
    endforeach()
    target_include_directories(${name} PUBLIC ${published})
endfunction()
