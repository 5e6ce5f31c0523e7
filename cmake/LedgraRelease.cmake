# Run by cpack, not by the build, once the zips are written (see
# cmake/LedgraPackage.cmake). The CPACK_LEDGRA_* variables come from the build's
# configuration.

# The zips as written: each entry carries its file's access and change times and its
# owner, which differ from build to build. Rewritten with the entries in name order,
# dated from SOURCE_DATE_EPOCH (the commit's time unless given), they depend on nothing
# but the files' bytes.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT epoch)
    execute_process(COMMAND git -C "${CPACK_LEDGRA_SOURCE_DIR}" log -1 --format=%ct
                    RESULT_VARIABLE result OUTPUT_VARIABLE epoch ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0)
        set(epoch "")
    endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
    message(WARNING "Neither SOURCE_DATE_EPOCH nor a git commit gives the release time: "
                    "the zips keep their build times and are not reproducible")
    return()
endif()
foreach(zip ${CPACK_PACKAGE_FILES})
    execute_process(COMMAND "${CPACK_LEDGRA_PYTHON}" "${CPACK_LEDGRA_SOURCE_DIR}/cmake/reproducible_zip.py"
                            "${zip}" "${epoch}"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Could not rewrite ${zip} with fixed entry dates")
    endif()
endforeach()
