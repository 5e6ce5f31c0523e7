# ctest's checks of the release package (label package), run with cmake -P:
#   -DCHECK=signature     signs the package with a throwaway certificate and verifies it
#   -DCHECK=reproducible  builds the release again in a second folder and compares bytes
# with -DBUILD_DIR (the configured build), -DWORK (a scratch folder), -DOBJCOPY,
# -DPYTHON, and for the second build -DSOURCE_DIR, -DTOOLCHAIN and -DBUILD_TYPE.
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

# cpack of a build into its own output folder; the certificate only from the arguments.
function(package build output)
    set(out "")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LEDGRA_SIGN_PKCS12 --unset=LEDGRA_SIGN_PASSWORD
                            --unset=LEDGRA_SIGN_TIMESTAMP_URL --unset=SOURCE_DATE_EPOCH ${ARGN}
                            cpack -B "${output}" -D CPACK_LEDGRA_SIGN_PKCS12= -D CPACK_LEDGRA_SIGN_TIMESTAMP_URL=
                    WORKING_DIRECTORY "${build}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(rc ${rc} PARENT_SCOPE)
    set(out "${out}" PARENT_SCOPE)
    # CMake wraps its messages: what they say, on one line.
    string(REGEX REPLACE "[ \n]+" " " said "${out}")
    set(said "${said}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "signature")
    # A self-signed code-signing certificate that lives only in the scratch folder.
    run(openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Ledgra throwaway test signer"
        -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=critical,digitalSignature"
        -keyout "${WORK}/key.pem" -out "${WORK}/cert.pem")
    run(openssl pkcs12 -export -inkey "${WORK}/key.pem" -in "${WORK}/cert.pem" -passout pass:throwaway
        -out "${WORK}/cert.p12")
    set(cert LEDGRA_SIGN_PKCS12=${WORK}/cert.p12)

    # A certificate that is not there, or a wrong password, makes no package.
    foreach(refused "LEDGRA_SIGN_PKCS12=${WORK}/none.p12|does not exist"
                    "${cert};LEDGRA_SIGN_PASSWORD=wrong|Signing LedgraBasicExport.exe with")
        string(REPLACE "|" ";" refused "${refused}")
        list(POP_BACK refused why)
        package("${BUILD_DIR}" "${WORK}/refused" ${refused})
        if(rc EQUAL 0 OR NOT said MATCHES "${why}" OR EXISTS "${WORK}/refused/${zip_base}.zip")
            message(FATAL_ERROR "cpack with ${refused} should fail saying '${why}':\n${out}")
        endif()
    endforeach()

    # No time-stamp server listens on the discard port: signed all the same, and said so.
    package("${BUILD_DIR}" "${WORK}/out" ${cert} LEDGRA_SIGN_PASSWORD=throwaway
            LEDGRA_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/)
    if(NOT rc EQUAL 0 OR NOT said MATCHES "did not answer: LedgraProExport.exe is signed without a time stamp")
        message(FATAL_ERROR "signing with an unreachable time-stamp server:\n${out}")
    endif()

    # The programs and the read-me, nothing else: above all not the certificate.
    run(${CMAKE_COMMAND} -E tar tf "${WORK}/out/${zip_base}.zip")
    string(REGEX REPLACE "[\r\n]+" ";" entries "${out}")
    list(SORT entries)
    if(NOT entries STREQUAL "LedgraBasicExport.exe;LedgraProExport.exe;README_ja.txt")
        message(FATAL_ERROR "the signed zip holds: ${entries}")
    endif()
    file(MAKE_DIRECTORY "${WORK}/unzipped")
    run(${CMAKE_COMMAND} -E chdir "${WORK}/unzipped" ${CMAKE_COMMAND} -E tar xf "${WORK}/out/${zip_base}.zip")
    run(${CMAKE_COMMAND} -E chdir "${WORK}/unzipped" ${CMAKE_COMMAND} -E tar xf "${WORK}/out/${zip_base}-debug.zip")
    foreach(program LedgraProExport LedgraBasicExport)
        set(exe "${WORK}/unzipped/${program}.exe")
        run(osslsigncode verify -CAfile "${WORK}/cert.pem" -in "${exe}")
        # The debug link: the file name, then the CRC-32 of the .debug file.
        run(${OBJCOPY} --dump-section ".gnu_debuglink=${WORK}/${program}.link" "${exe}" "${WORK}/${program}.copy")
        run(${PYTHON} -c "
import sys, zlib
link = open(sys.argv[1], 'rb').read()
crc = zlib.crc32(open(sys.argv[2], 'rb').read())
sys.exit(0 if link.startswith(sys.argv[3].encode() + b'\\0') and link[-4:] == crc.to_bytes(4, 'little') else 1)
" "${WORK}/${program}.link" "${WORK}/unzipped/${program}.debug" "${program}.debug")
    endforeach()

    # The signature covers the program's bytes: one byte changed and it no longer holds.
    file(READ "${WORK}/unzipped/LedgraBasicExport.exe" hex OFFSET 4096 LIMIT 1 HEX)
    run(${PYTHON} -c "
import sys
b = bytearray(open(sys.argv[1], 'rb').read())
b[4096] ^= 1
open(sys.argv[1], 'wb').write(b)
" "${WORK}/unzipped/LedgraBasicExport.exe")
    execute_process(COMMAND osslsigncode verify -CAfile "${WORK}/cert.pem" -in "${WORK}/unzipped/LedgraBasicExport.exe"
                    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(rc EQUAL 0)
        message(FATAL_ERROR "the signature still verifies after the byte at 4096 (0x${hex}) was changed")
    endif()
    message(STATUS "Both programs signed, verified and linked to their debug files")

elseif(CHECK STREQUAL "reproducible")
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
                 release/LedgraBasicExport.debug ${zip_base}-unsigned.zip ${zip_base}-debug.zip)
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
    message(FATAL_ERROR "CHECK must be signature or reproducible")
endif()
