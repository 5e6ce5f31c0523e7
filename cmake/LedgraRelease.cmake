# Read by cpack, not by the build, three times for each package run (see
# cmake/LedgraPackage.cmake): first as the project's CPack configuration, then once the
# files are staged (sign the programs), then once the zips are written (make them
# reproducible). The CPACK_LEDGRA_* variables come from the build's configuration.

# The certificate is looked for when the package is made, so that a signing machine
# needs only the environment, never a cache entry that names its key.
set(ledgra_pkcs12 "${CPACK_LEDGRA_SIGN_PKCS12}")
if(NOT ledgra_pkcs12)
    set(ledgra_pkcs12 "$ENV{LEDGRA_SIGN_PKCS12}")
endif()
set(ledgra_timestamp_url "${CPACK_LEDGRA_SIGN_TIMESTAMP_URL}")
if(NOT ledgra_timestamp_url)
    set(ledgra_timestamp_url "$ENV{LEDGRA_SIGN_TIMESTAMP_URL}")
endif()

# A signature without a time stamp dies with its certificate: only when this says so is
# a time-stamp server that does not answer taken as a wish to sign without one.
set(ledgra_timestamp_optional "$ENV{LEDGRA_SIGN_TIMESTAMP_OPTIONAL}")

if(NOT CPACK_TEMPORARY_DIRECTORY)
    # The project configuration: a product without a signature says so in its name (a
    # demonstration's name says what it is already).
    if(ledgra_pkcs12)
        if(NOT EXISTS "${ledgra_pkcs12}")
            message(FATAL_ERROR "LEDGRA_SIGN_PKCS12 names ${ledgra_pkcs12}, which does not exist")
        endif()
        if(NOT CPACK_LEDGRA_OSSLSIGNCODE)
            message(FATAL_ERROR "osslsigncode was not found when the build was configured: the programs cannot be signed")
        endif()
        message(STATUS "Signing the programs with ${ledgra_pkcs12}")
    elseif(CPACK_LEDGRA_PACKAGE_KIND STREQUAL "release")
        string(APPEND CPACK_ARCHIVE_PROGRAMS_FILE_NAME "-unsigned")
        message(STATUS "No LEDGRA_SIGN_PKCS12: the programs are not signed")
    else()
        message(STATUS "No LEDGRA_SIGN_PKCS12: the programs are not signed")
    endif()
    return()
endif()

if(NOT DEFINED CPACK_PACKAGE_FILES)
    # The staged programs, stripped and linked to their debug files: sign each in place.
    # Authenticode appends its certificate table and leaves every section alone, so the
    # .gnu_debuglink (the name and CRC of the .debug file) still matches.
    if(NOT ledgra_pkcs12)
        return()
    endif()
    # The password goes to osslsigncode in a file only its owner can read, never on a
    # command line that every user of the machine can list.
    set(secret_dir "${CPACK_TEMPORARY_DIRECTORY}/../ledgra-sign")
    file(REMOVE_RECURSE "${secret_dir}")
    file(MAKE_DIRECTORY "${secret_dir}")
    file(CHMOD "${secret_dir}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    file(WRITE "${secret_dir}/password" "$ENV{LEDGRA_SIGN_PASSWORD}")
    file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/programs/*.exe" "${CPACK_TEMPORARY_DIRECTORY}/programs/*.dll")
    foreach(program ${programs})
        get_filename_component(name "${program}" NAME_WE)
        get_filename_component(file "${program}" NAME)
        set(sign ${CPACK_LEDGRA_OSSLSIGNCODE} sign -pkcs12 "${ledgra_pkcs12}"
                 -readpass "${secret_dir}/password" -h sha256 -n "${name}" -in "${program}")
        set(result 1)
        if(ledgra_timestamp_url)
            file(REMOVE "${program}.signed")
            execute_process(COMMAND ${sign} -ts "${ledgra_timestamp_url}" -out "${program}.signed"
                            RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
            if(NOT result EQUAL 0 AND NOT ledgra_timestamp_optional STREQUAL "1")
                file(REMOVE_RECURSE "${secret_dir}")
                message(FATAL_ERROR "The time-stamp server ${ledgra_timestamp_url} did not answer for ${file}: "
                                    "no package (LEDGRA_SIGN_TIMESTAMP_OPTIONAL=1 signs without a time stamp, "
                                    "a signature that expires with the certificate)\n${output}")
            elseif(NOT result EQUAL 0)
                message(WARNING "The time-stamp server ${ledgra_timestamp_url} did not answer: "
                                "${file} is signed without a time stamp (LEDGRA_SIGN_TIMESTAMP_OPTIONAL=1)")
            endif()
        endif()
        if(NOT result EQUAL 0)
            file(REMOVE "${program}.signed")
            execute_process(COMMAND ${sign} -out "${program}.signed"
                            RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
        endif()
        if(NOT result EQUAL 0)
            file(REMOVE_RECURSE "${secret_dir}")
            message(FATAL_ERROR "Signing ${file} with ${ledgra_pkcs12} failed (wrong password?):\n${output}")
        endif()
        file(RENAME "${program}.signed" "${program}")
        message(STATUS "Signed ${file}")
    endforeach()
    file(REMOVE_RECURSE "${secret_dir}")
    return()
endif()

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
    set(epoch "")
endif()
set(zips "")
foreach(zip ${CPACK_PACKAGE_FILES})
    if(NOT zip MATCHES "\\.zip$")
        continue()  # a source package (package_source) is left as CPack wrote it
    endif()
    list(APPEND zips "${zip}")
    if(NOT epoch)
        continue()
    endif()
    execute_process(COMMAND "${CPACK_LEDGRA_PYTHON}" "${CPACK_LEDGRA_SOURCE_DIR}/cmake/reproducible_zip.py"
                            "${zip}" "${epoch}"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Could not rewrite ${zip} with fixed entry dates")
    endif()
endforeach()
if(NOT zips)
    return()
endif()

# Zips of this version that this run did not write are of the other kind (a demonstration
# beside a product, unsigned beside signed), or of an earlier run: left lying, they would
# be taken for this run's. Those of the other bitness and this kind are the other half of
# the release and stay. SHA256SUMS then lists the release's zips, for sha256sum -c and
# certutil. The zips are still in cpack's staging folder here; cpack copies them next.
set(output_dir "${CPACK_OUTPUT_FILE_PREFIX}")
if(NOT output_dir)
    set(output_dir "${CPACK_PACKAGE_DIRECTORY}")
endif()
set(names "")
foreach(zip ${zips})
    get_filename_component(name "${zip}" NAME)
    list(APPEND names "${name}")
endforeach()
function(ledgra_is_demo name out_var)
    if(name MATCHES "-demo(-debug)?\\.zip$")
        set(${out_var} TRUE PARENT_SCOPE)
    else()
        set(${out_var} FALSE PARENT_SCOPE)
    endif()
endfunction()
ledgra_is_demo("${CPACK_ARCHIVE_PROGRAMS_FILE_NAME}.zip" this_demo)
string(LENGTH "${CPACK_LEDGRA_PACKAGE_BASE}" base_length)
set(listed "")
file(GLOB earlier RELATIVE "${output_dir}" "${output_dir}/${CPACK_LEDGRA_PACKAGE_PREFIX}*.zip")
foreach(zip ${earlier})
    if(zip IN_LIST names)
        continue()
    endif()
    ledgra_is_demo("${zip}" demo)
    string(SUBSTRING "${zip}" 0 ${base_length} zip_base)
    if(zip_base STREQUAL CPACK_LEDGRA_PACKAGE_BASE OR NOT demo STREQUAL this_demo)
        file(REMOVE "${output_dir}/${zip}")
        message(STATUS "Removed ${zip} of an earlier package run")
    else()
        list(APPEND listed "${output_dir}/${zip}")
    endif()
endforeach()
list(APPEND listed ${zips})
set(sums "")
set(order "")
foreach(zip ${listed})
    get_filename_component(name "${zip}" NAME)
    list(APPEND order "${name}|${zip}")
endforeach()
list(SORT order)
foreach(entry ${order})
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 name)
    list(GET entry 1 zip)
    file(SHA256 "${zip}" sum)
    string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE "${output_dir}/SHA256SUMS" "${sums}")
message(STATUS "Wrote ${output_dir}/SHA256SUMS")
