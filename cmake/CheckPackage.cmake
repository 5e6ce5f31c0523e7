# ctest's checks of the release package (label package), run with cmake -P:
#   -DCHECK=reproducible  builds the release again in a second folder and compares bytes
# with -DBUILD_DIR (the configured build), -DWORK (a scratch folder), -DSOURCE_DIR,
# -DTOOLCHAIN and -DBUILD_TYPE.
set(zip_base LedgraExport-20.0.1.1-win64)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

# cpack of a build into its own output folder.
function(package build output)
    set(out "")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=SOURCE_DATE_EPOCH ${ARGN} cpack -B "${output}"
                    WORKING_DIRECTORY "${build}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(rc ${rc} PARENT_SCOPE)
    set(out "${out}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "reproducible")
    # The same commit built again in another folder, as an IT department would rebuild it:
    # only what the release needs, with -j2, and without the tests.
    set(second "${WORK}/build")
    run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${second}" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
        -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DLEDGRA_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON)
    run(${CMAKE_COMMAND} --build "${second}" --target release_programs -j2)
    package("${second}" "${WORK}/second")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cpack of the second build failed:\n${out}")
    endif()
    package("${BUILD_DIR}" "${WORK}/first")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cpack of the build failed:\n${out}")
    endif()
    set(differ "")
    foreach(file release/LedgraProExport.exe release/LedgraBasicExport.exe release/LedgraProExport.debug
                 release/LedgraBasicExport.debug ${zip_base}.zip ${zip_base}-debug.zip)
        if(file MATCHES "^release/")
            set(pair "${BUILD_DIR}/${file}" "${second}/${file}")
        else()
            set(pair "${WORK}/first/${file}" "${WORK}/second/${file}")
        endif()
        execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${pair} RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            list(APPEND differ "${file}")
        endif()
    endforeach()
    if(differ)
        message(FATAL_ERROR "two builds of one commit differ in: ${differ}")
    endif()
    message(STATUS "Two builds in two folders gave the same programs and zips")
else()
    message(FATAL_ERROR "CHECK must be reproducible")
endif()
