# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program in reproducible/ twice as a package build does, from two copies of its
# sources in different folders with files of different times, and fails unless both programs
# are byte for byte the same. Run as: cmake -DKR52_CMAKE_DIR=... -DSAMPLE=... -DWORK=... -P this
set(copies ${WORK}/first/sources ${WORK}/a-second-folder/further/down/sources)
file(REMOVE_RECURSE ${WORK})
set(programs)
set(stamp 1700000000)
foreach(copy IN LISTS copies)
    file(COPY ${SAMPLE}/ DESTINATION ${copy})
    # Files checked out at different times: only the commit's time may count.
    file(TOUCH ${copy}/data.txt)
    execute_process(COMMAND touch -d @${stamp} ${copy}/data.txt COMMAND_ERROR_IS_FATAL ANY)
    math(EXPR stamp "${stamp} + 86400")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=1765000000 CCACHE_DISABLE=1
                            ${CMAKE_COMMAND} -S ${copy} -B ${copy}/build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo
                            -DKR52_REPRODUCIBLE=ON -DKR52_CMAKE_DIR=${KR52_CMAKE_DIR}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=1765000000 CCACHE_DISABLE=1
                            ${CMAKE_COMMAND} --build ${copy}/build-package
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND programs ${copy}/build-package/reproducible)
endforeach()
execute_process(COMMAND cmp ${programs} RESULT_VARIABLE differ OUTPUT_VARIABLE where ERROR_VARIABLE where)
if(differ)
    message(FATAL_ERROR "The two builds differ: ${where}")
endif()
# The build ids are the same, and the same as each other only because everything else is.
execute_process(COMMAND readelf -n ${programs} OUTPUT_VARIABLE notes)
string(REGEX MATCHALL "Build ID: [0-9a-f]+" ids "${notes}")
list(LENGTH ids count)
list(REMOVE_DUPLICATES ids)
list(LENGTH ids distinct)
if(NOT count EQUAL 2 OR NOT distinct EQUAL 1)
    message(FATAL_ERROR "Expected one build id in both programs, found: ${ids}")
endif()
message(STATUS "Both builds are the same: ${ids}")
