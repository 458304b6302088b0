# SPDX-License-Identifier: GPL-3.0-or-later
# Optimised builds with GCC take Debian's own compiler and linker flags, hardening included
# (stack protector, fortified library calls, read-only relocations bound at start-up), so that
# the programs built here are the ones a distribution would ship. dpkg-buildflags says what they
# are on this machine; DEB_*FLAGS_APPEND and the like work as in any Debian package build.
option(KR52_DISTRIBUTION_FLAGS "Optimised GCC builds use dpkg-buildflags (hardening=+all)" ON)
# A package build maps the source and build folders out of debug information and file names
# in the code, so that the same commit built anywhere gives the same bytes.
option(KR52_REPRODUCIBLE "Map the source and build folders out of the programs" OFF)

# The installed programs find their libraries through the system's paths only: a library
# search path relative to the program would let a stray copy beside it or in ../lib win.
set(CMAKE_SKIP_INSTALL_RPATH ON)

if(KR52_DISTRIBUTION_FLAGS AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU"
        AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    find_program(KR52_DPKG_BUILDFLAGS dpkg-buildflags)
    if(NOT KR52_DPKG_BUILDFLAGS)
        message(FATAL_ERROR "dpkg-buildflags, which gives Debian's hardened build flags, was not found: "
                            "install dpkg-dev, or configure with -DKR52_DISTRIBUTION_FLAGS=OFF")
    endif()
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                                ${KR52_DPKG_BUILDFLAGS} --get ${kind}
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
                        RESULT_VARIABLE failed ERROR_VARIABLE reason)
        if(failed)
            message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed: ${reason}")
        endif()
        # The folder maps are set below, for package builds only: in everyday builds they
        # would tie each compiler cache entry to one checkout.
        string(REGEX REPLACE "-f(file|debug|macro)-prefix-map=[^ ]*" "" flags "${flags}")
        set(KR52_DEB_${kind} "${flags}")
    endforeach()
    # Where this dpkg is older than Debian 13's, its hardening=+all lacks two things that one adds
    # and that work here: fortify level 3, which checks calls whose sizes are known only at run
    # time too, and stack clash protection.
    # Control-flow protection is left out: Debian 12's C start-up files lack its markers, so no
    # program linked there can carry it.
    string(REPLACE "-D_FORTIFY_SOURCE=2" "-D_FORTIFY_SOURCE=3" KR52_DEB_CPPFLAGS "${KR52_DEB_CPPFLAGS}")
    string(FIND " ${KR52_DEB_CXXFLAGS} " " -fstack-clash-protection " at)
    if(at LESS 0)
        string(APPEND KR52_DEB_CXXFLAGS " -fstack-clash-protection")
    endif()
    string(APPEND CMAKE_CXX_FLAGS " ${KR52_DEB_CPPFLAGS} ${KR52_DEB_CXXFLAGS}")
    foreach(kind EXE SHARED MODULE)
        string(APPEND CMAKE_${kind}_LINKER_FLAGS " ${KR52_DEB_LDFLAGS}")
    endforeach()
endif()

if(KR52_REPRODUCIBLE)
    # The later map wins for the build folder when it lies inside the sources.
    string(APPEND CMAKE_CXX_FLAGS " -ffile-prefix-map=${CMAKE_SOURCE_DIR}=."
                                  " -ffile-prefix-map=${CMAKE_BINARY_DIR}=build")
endif()
