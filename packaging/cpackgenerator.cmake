# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack for each generator before it packages anything: what differs between them, and
# the tools each needs to work out the package's dependencies from the programs. Without them
# CPack would make a package without dependencies and say nothing.
if(CPACK_GENERATOR STREQUAL "DEB")
    # The DEB generator strips the programs itself, keeping what it strips for the -dbgsym package.
    set(needed dpkg-shlibdeps file objcopy)
elseif(CPACK_GENERATOR STREQUAL "RPM")
    set(CPACK_STRIP_FILES ON)
    set(needed rpmbuild)
endif()
foreach(tool IN LISTS needed)
    find_program(found_${tool} ${tool})
    if(NOT found_${tool})
        message(FATAL_ERROR "${tool} was not found, so the package's dependencies cannot be worked out from "
                            "the programs: install dpkg-dev and file for a .deb, rpm for an RPM "
                            "(scripts/setup package does).")
    endif()
endforeach()
