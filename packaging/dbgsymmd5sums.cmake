# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack after packaging. CMake 3.25 writes the -dbgsym package's md5sums with the full
# path of its staging folder instead of the path in the package, so dpkg could not check the
# files and the package would differ with every build folder. This rewrites that file and builds
# the package again from the same files, with every time set to SOURCE_DATE_EPOCH.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "-dbgsym_[^/]*\\.ddeb$")
        continue()
    endif()
    set(tree ${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    file(STRINGS ${tree}/DEBIAN/md5sums lines)
    set(fixed "")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^([0-9a-f]+  )/.*-dbgsym/" "\\1" line "${line}")
        string(APPEND fixed "${line}\n")
    endforeach()
    file(WRITE ${tree}/DEBIAN/md5sums "${fixed}")
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        file(GLOB_RECURSE entries LIST_DIRECTORIES true ${tree}/*)
        execute_process(COMMAND touch --no-dereference -d @$ENV{SOURCE_DATE_EPOCH} ${entries} COMMAND_ERROR_IS_FATAL ANY)
    endif()
    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip --build ${tree} ${package}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
endforeach()
