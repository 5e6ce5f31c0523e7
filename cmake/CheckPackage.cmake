cmake_policy(VERSION 3.25)
# ctest's checks of the release package (label package), run with cmake -P:
#   -DCHECK=signature     signs the package with a throwaway certificate and verifies it
#   -DCHECK=contents      the build's own package: listing, SHA256SUMS, no test switch in
#                         the programs, version information, debug files that debug
#   -DCHECK=reproducible  builds the product again in a second folder, linked to the
#                         first build's host-sdk/ as to a host's SDK, and compares bytes
# with -DBUILD_DIR (the configured build), -DWORK (a scratch folder), -DOBJCOPY,
# -DOBJDUMP, -DADDR2LINE, -DNM, -DWINDRES, -DPYTHON, and for the second build
# -DSOURCE_DIR, -DTOOLCHAIN and -DBUILD_TYPE; -DARCH is the build's win64 or win32, and
# -DMANIFEST_ARCH its manifest's processor (amd64 or x86).
set(version 20.0.1.1)
set(product LedgraExport-${version}-${ARCH})
if(ARCH STREQUAL "win64")
    set(other_half LedgraExport-${version}-win32)
else()
    set(other_half LedgraExport-${version}-win64)
endif()
set(zip_base ${product}-demo)
set(programs LedgraProExport LedgraBasicExport)
set(standin_dlls hostbooks.dll hostdata.dll hostpaths.dll hostsample.dll hostsession.dll hoststore.dll)
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
                            --unset=LEDGRA_SIGN_TIMESTAMP_URL --unset=LEDGRA_SIGN_TIMESTAMP_OPTIONAL --unset=SOURCE_DATE_EPOCH ${ARGN}
                            cpack -B "${output}" -D CPACK_LEDGRA_SIGN_PKCS12= -D CPACK_LEDGRA_SIGN_TIMESTAMP_URL=
                    WORKING_DIRECTORY "${build}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(rc ${rc} PARENT_SCOPE)
    set(out "${out}" PARENT_SCOPE)
    # CMake wraps its messages: what they say, on one line.
    string(REGEX REPLACE "[ \n]+" " " said "${out}")
    set(said "${said}" PARENT_SCOPE)
endfunction()

# The sorted entries of a zip, in the variable named by out_var.
function(zip_entries zip out_var)
    run(${CMAKE_COMMAND} -E tar tf "${zip}")
    string(REGEX REPLACE "[\r\n]+" ";" entries "${out}")
    list(REMOVE_ITEM entries "")
    list(SORT entries)
    set(${out_var} "${entries}" PARENT_SCOPE)
endfunction()

# Fails unless the demonstration's zip in folder holds the programs, the stand-in's DLLs
# and its read-me, nothing else (above all no certificate); unzips it and its debug zip.
function(unzip_demonstration folder unzipped)
    zip_entries("${folder}/${zip_base}.zip" entries)
    set(expected LedgraBasicExport.exe LedgraProExport.exe README_demo_ja.txt ${standin_dlls})
    list(SORT expected)
    if(NOT entries STREQUAL expected)
        message(FATAL_ERROR "the demonstration's zip holds: ${entries}")
    endif()
    file(MAKE_DIRECTORY "${unzipped}")
    foreach(zip ${zip_base}.zip ${zip_base}-debug.zip)
        run(${CMAKE_COMMAND} -E chdir "${unzipped}" ${CMAKE_COMMAND} -E tar xf "${folder}/${zip}")
    endforeach()
endfunction()

# Fails when a file names one of the tests' switches, as narrow or as UTF-16 text.
function(check_no_switches)
    foreach(file ${ARGN})
        run(${PYTHON} -c "
import sys
data = open(sys.argv[1], 'rb').read()
for name in ('LEDGRA_MSGBOX_TRACE', 'LEDGRA_PROGRESS_TRACE', 'LEDGRA_PROGRESS_FRAME_US',
             'LEDGRA_HOST_DATA', 'LEDGRA_HOST_LOG'):
    for text in (name.encode('ascii'), name.encode('utf-16-le')):
        if text in data:
            sys.exit(sys.argv[1] + ' names ' + name)
" "${file}")
    endforeach()
endfunction()

if(CHECK STREQUAL "signature")
    # A self-signed code-signing certificate that lives only in the scratch folder.
    run(openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Ledgra throwaway test signer"
        -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=critical,digitalSignature"
        -keyout "${WORK}/key.pem" -out "${WORK}/cert.pem")
    run(openssl pkcs12 -export -inkey "${WORK}/key.pem" -in "${WORK}/cert.pem" -passout pass:throwaway
        -out "${WORK}/cert.p12")
    set(cert LEDGRA_SIGN_PKCS12=${WORK}/cert.p12)

    # A certificate that is not there, a wrong password, or a time-stamp server that does
    # not answer (none listens on the discard port) makes no package.
    set(silent_stamp LEDGRA_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/)
    foreach(refused "LEDGRA_SIGN_PKCS12=${WORK}/none.p12|does not exist"
                    "${cert};LEDGRA_SIGN_PASSWORD=wrong|Signing LedgraBasicExport.exe with"
                    "${cert};LEDGRA_SIGN_PASSWORD=throwaway;${silent_stamp}|did not answer for [^ ]+: no package")
        string(REPLACE "|" ";" refused "${refused}")
        list(POP_BACK refused why)
        package("${BUILD_DIR}" "${WORK}/refused" ${refused})
        if(rc EQUAL 0 OR NOT said MATCHES "${why}" OR EXISTS "${WORK}/refused/${zip_base}.zip")
            message(FATAL_ERROR "cpack with ${refused} should fail saying '${why}':\n${out}")
        endif()
    endforeach()

    # Asked for, a signature without a time stamp: signed all the same, and said so.
    package("${BUILD_DIR}" "${WORK}/out" ${cert} LEDGRA_SIGN_PASSWORD=throwaway ${silent_stamp}
            LEDGRA_SIGN_TIMESTAMP_OPTIONAL=1)
    if(NOT rc EQUAL 0 OR NOT said MATCHES "did not answer: LedgraProExport.exe is signed without a time stamp")
        message(FATAL_ERROR "signing with an unreachable time-stamp server:\n${out}")
    endif()

    unzip_demonstration("${WORK}/out" "${WORK}/unzipped")
    foreach(dll ${standin_dlls})
        run(osslsigncode verify -CAfile "${WORK}/cert.pem" -in "${WORK}/unzipped/${dll}")
    endforeach()
    foreach(program ${programs})
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

elseif(CHECK STREQUAL "contents")
    # Zips of the other kind left by an earlier run are removed, of either bitness; the
    # other bitness's zip of this kind is the release's other half, and is summed too.
    file(WRITE "${WORK}/out/${product}-unsigned.zip" "an earlier run's")
    file(WRITE "${WORK}/out/${other_half}-unsigned.zip" "an earlier run's")
    file(WRITE "${WORK}/out/${other_half}-demo.zip" "the other half")
    package("${BUILD_DIR}" "${WORK}/out")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cpack of the build failed:\n${out}")
    endif()
    file(GLOB zips RELATIVE "${WORK}/out" "${WORK}/out/*.zip")
    list(SORT zips)
    set(expected "${zip_base}-debug.zip" "${zip_base}.zip" "${other_half}-demo.zip")
    list(SORT expected)
    if(NOT zips STREQUAL expected)
        message(FATAL_ERROR "the package run left: ${zips}")
    endif()
    run(${CMAKE_COMMAND} -E chdir "${WORK}/out" sha256sum -c SHA256SUMS)
    file(STRINGS "${WORK}/out/SHA256SUMS" sums)
    list(LENGTH sums count)
    if(NOT count EQUAL 3)
        message(FATAL_ERROR "SHA256SUMS lists ${count} files:\n${sums}")
    endif()

    set(unzipped "${WORK}/unzipped")
    unzip_demonstration("${WORK}/out" "${unzipped}")
    # Its read-me says first what it is.
    file(STRINGS "${unzipped}/README_demo_ja.txt" readme LIMIT_COUNT 4 ENCODING UTF-8)
    if(NOT readme MATCHES "デモ")
        message(FATAL_ERROR "the demonstration's read-me does not begin by saying so:\n${readme}")
    endif()

    foreach(program ${programs})
        set(exe "${unzipped}/${program}.exe")
        check_no_switches("${exe}")
        # Its version information names it and its edition.
        string(REGEX REPLACE "^Ledgra(.+)Export$" "\\1" edition "${program}")
        run(${CMAKE_COMMAND} -DWINDRES=${WINDRES} -DPROGRAM=${exe} -DEDITION=${edition} -DVERSION=${version}
            -DARCH=${MANIFEST_ARCH}
            -P "${SOURCE_DIR}/cmake/CheckVersionInfo.cmake")
        # The .debug holds the program's own sources, and with it a function of the
        # stripped program resolves to its name and line.
        set(symbols "${unzipped}/${program}.debug")
        run(${OBJDUMP} --dwarf=info "${symbols}")
        if(NOT out MATCHES "app/export_app\\.cpp")
            message(FATAL_ERROR "${program}.debug has no debug information of app/export_app.cpp")
        endif()
        run(${NM} -C "${BUILD_DIR}/app/win32/${program}.exe")
        string(REGEX MATCH "([0-9a-f]+) T ClExportApp::InitInstance\\(" found "${out}")
        if(NOT found)
            message(FATAL_ERROR "${program}.exe has no ClExportApp::InitInstance")
        endif()
        set(address 0x${CMAKE_MATCH_1})
        run(${ADDR2LINE} -f -C -e "${exe}" ${address})
        # The 32-bit addr2line takes the leading underscore of x86 names for the prefix of
        # every symbol and so cannot demangle the rest: the mangled name names it as well.
        if(NOT out MATCHES "ClExportApp(::|12)InitInstance" OR NOT out MATCHES "export_app\\.cpp:[0-9]+")
            message(FATAL_ERROR "${program}.exe with its .debug resolves ${address} to:\n${out}")
        endif()
    endforeach()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${unzipped}/LedgraProExport.debug"
                            "${unzipped}/LedgraBasicExport.debug" RESULT_VARIABLE rc)
    if(rc EQUAL 0)
        message(FATAL_ERROR "LedgraProExport.debug and LedgraBasicExport.debug are the same bytes")
    endif()
    message(STATUS "The demonstration's package: listed, summed, without switches, with debug files that debug")

elseif(CHECK STREQUAL "reproducible")
    # The same commit built again in another folder, as an IT department would rebuild it:
    # only what the release needs, with -j2, without the tests, and linked to the first
    # build's host-sdk/ as to the host's own SDK: the product's package. The stand-in's
    # import libraries name the same DLLs and functions, so the programs are the same bytes.
    set(second "${WORK}/build")
    run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${second}" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
        -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DLEDGRA_TESTS=OFF -DLEDGRA_HOST_SDK=${BUILD_DIR}/host-sdk)
    if(NOT out MATCHES "The programs link the host's libraries of")
        message(FATAL_ERROR "the configure step does not say which host libraries it links:\n${out}")
    endif()
    run(${CMAKE_COMMAND} --build "${second}" --target package -j2)
    foreach(file tools/host-simulator/host-simulator.exe app/win32/test/LedgraProExport.exe host-sdk/bin/hoststore.dll)
        if(EXISTS "${second}/${file}")
            message(FATAL_ERROR "the package target built more than it ships: ${second}/${file}")
        endif()
    endforeach()
    set(sdk_zip "${second}/${product}-unsigned.zip")
    zip_entries("${sdk_zip}" entries)
    if(NOT entries STREQUAL "LedgraBasicExport.exe;LedgraProExport.exe;README_ja.txt")
        message(FATAL_ERROR "the product's zip holds: ${entries}")
    endif()
    run(${CMAKE_COMMAND} -E chdir "${second}" sha256sum -c SHA256SUMS)
    file(MAKE_DIRECTORY "${WORK}/unzipped")
    run(${CMAKE_COMMAND} -E chdir "${WORK}/unzipped" ${CMAKE_COMMAND} -E tar xf "${sdk_zip}")
    check_no_switches("${WORK}/unzipped/LedgraBasicExport.exe" "${WORK}/unzipped/LedgraProExport.exe"
                      "${WORK}/unzipped/README_ja.txt")
    file(STRINGS "${WORK}/unzipped/README_ja.txt" readme LIMIT_COUNT 4 ENCODING UTF-8)
    if(readme MATCHES "デモ")
        message(FATAL_ERROR "the product's read-me is the demonstration's:\n${readme}")
    endif()

    package("${BUILD_DIR}" "${WORK}/first")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cpack of the build failed:\n${out}")
    endif()
    set(differ "")
    # The debug zips of the two kinds hold the same files under the same names.
    foreach(pair "release/LedgraProExport.exe" "release/LedgraBasicExport.exe" "release/LedgraProExport.debug"
                 "release/LedgraBasicExport.debug" "${zip_base}-debug.zip|${product}-debug.zip")
        string(REPLACE "|" ";" pair "${pair}")
        list(GET pair 0 first)
        list(GET pair -1 other)
        if(first MATCHES "^release/")
            set(files "${BUILD_DIR}/${first}" "${second}/${other}")
        else()
            set(files "${WORK}/first/${first}" "${second}/${other}")
        endif()
        execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${files} RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            list(APPEND differ "${first}")
        endif()
    endforeach()
    if(differ)
        message(FATAL_ERROR "two builds of one commit differ in: ${differ}")
    endif()
    message(STATUS "The product built in a second folder against host-sdk/: the same programs, its own zip")
else()
    message(FATAL_ERROR "CHECK must be signature, contents or reproducible")
endif()
