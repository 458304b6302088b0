# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack after packaging: a package that names none of the libraries its programs need
# could be installed but not started, so it is deleted and cpack fails.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(package MATCHES "-dbgsym_.*\\.ddeb$|-dbgsym_.*\\.deb$")
        continue()
    elseif(package MATCHES "\\.deb$")
        execute_process(COMMAND dpkg-deb -f ${package} Depends
                        OUTPUT_VARIABLE depends OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    elseif(package MATCHES "\\.rpm$")
        execute_process(COMMAND rpm -qp --requires ${package}
                        OUTPUT_VARIABLE depends OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
        string(REGEX MATCH "libQt6Core[^\n]*" depends "${depends}")
    else()
        continue()
    endif()
    if(failed OR NOT depends)
        file(REMOVE ${package})
        message(FATAL_ERROR "${package} names none of the libraries its programs need, so it was removed: "
                            "its dependencies could not be worked out from the programs.")
    endif()
endforeach()
