# The release package (cmake --build --preset windows --target package): one zip with
# both programs stripped of their debug information (and signed when a certificate is
# given) and the Japanese read-me, a second zip with the debug information of each
# program, and SHA256SUMS beside them. Every stripped program names its debug file
# (.gnu_debuglink), so a debugger given both finds the symbols.
#
# Linked to a host SDK (LEDGRA_HOST_SDK) it is the product, LedgraExport-<version>-<arch>
# (-unsigned without a certificate), and holds no DLL: the host's own libraries are
# found in the host's folder. Linked to the stand-in it is a demonstration,
# LedgraExport-<version>-<arch>-demo, with the stand-in's DLLs and a read-me that says so.
# <arch> is win64 or win32: the programs load the host's libraries, so a host of either
# bitness needs programs of its own, and the package's name says which it holds.
#
# The zips go to LEDGRA_PACKAGE_DIR (the presets: build/packages for both bitnesses), whose
# SHA256SUMS lists the packages of this version of both.

# The package target builds what it ships and nothing else (not the tests): cpack's
# install step brings the release files up to date first, before any is installed.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(CODE "execute_process(COMMAND \"${CMAKE_COMMAND}\" --build \"${CMAKE_BINARY_DIR}\" --target release_programs
                              RESULT_VARIABLE built)
              if(NOT built EQUAL 0)
                  message(FATAL_ERROR \"The release programs could not be built\")
              endif()"
        ALL_COMPONENTS)

set(LEDGRA_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(release_outputs "")
# objcopy stamps every PE file it writes with the time, unless SOURCE_DATE_EPOCH says
# otherwise: 0, as the linker leaves it (--no-insert-timestamp), so that the release
# files of two builds of one commit are the same bytes.
set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
foreach(program LedgraProExport LedgraBasicExport)
    set(stripped ${LEDGRA_RELEASE_DIR}/${program}.exe)
    set(symbols ${LEDGRA_RELEASE_DIR}/${program}.debug)
    # The link is written in the release folder, so that it holds the bare file name.
    add_custom_command(
        OUTPUT ${stripped} ${symbols}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${LEDGRA_RELEASE_DIR}
        COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE:${program}> ${symbols}
        COMMAND ${objcopy} --strip-all $<TARGET_FILE:${program}> ${stripped}
        COMMAND ${objcopy} --add-gnu-debuglink=${program}.debug ${program}.exe
        WORKING_DIRECTORY ${LEDGRA_RELEASE_DIR}
        DEPENDS ${program}
        COMMENT "Stripping ${program}.exe, its debug information to ${program}.debug"
        VERBATIM)
    list(APPEND release_outputs ${stripped} ${symbols})
    install(PROGRAMS ${stripped} DESTINATION . COMPONENT programs)
    install(FILES ${symbols} DESTINATION . COMPONENT symbols)
endforeach()
add_custom_target(release_programs ALL DEPENDS ${release_outputs})

# A 32-bit program runs on either Windows; a 64-bit one only on 64-bit Windows.
if(LEDGRA_BITS EQUAL 64)
    set(LEDGRA_README_WINDOWS_BITS "いずれも 64 ビット版")
else()
    set(LEDGRA_README_WINDOWS_BITS "32 ビット版、64 ビット版")
endif()
set(LEDGRA_PACKAGE_BASE LedgraExport-${PROJECT_VERSION}-${LEDGRA_PACKAGE_ARCH})
set(LEDGRA_PACKAGE_DIR ${CMAKE_BINARY_DIR} CACHE PATH
    "Folder of the package's zips and SHA256SUMS (shared by the builds of both bitnesses)")
if(LEDGRA_DEMO)
    set(LEDGRA_PACKAGE_KIND demo)
    set(readme README_demo_ja.txt)
    # The stand-in's DLLs, stripped as the programs are.
    set(stripped_dlls "")
    foreach(dll ${LEDGRA_STANDIN_DLLS})
        set(stripped ${LEDGRA_RELEASE_DIR}/$<TARGET_FILE_NAME:${dll}>)
        add_custom_command(
            OUTPUT ${LEDGRA_RELEASE_DIR}/${dll}.stamp
            COMMAND ${CMAKE_COMMAND} -E make_directory ${LEDGRA_RELEASE_DIR}
            COMMAND ${objcopy} --strip-all $<TARGET_FILE:${dll}> ${stripped}
            COMMAND ${CMAKE_COMMAND} -E touch ${LEDGRA_RELEASE_DIR}/${dll}.stamp
            DEPENDS ${dll} VERBATIM)
        list(APPEND stripped_dlls ${LEDGRA_RELEASE_DIR}/${dll}.stamp)
        install(PROGRAMS ${stripped} DESTINATION . COMPONENT programs)
    endforeach()
    add_custom_target(release_dlls DEPENDS ${stripped_dlls})
    add_dependencies(release_programs release_dlls)
    set(CPACK_ARCHIVE_PROGRAMS_FILE_NAME ${LEDGRA_PACKAGE_BASE}-demo)
    set(CPACK_ARCHIVE_SYMBOLS_FILE_NAME ${LEDGRA_PACKAGE_BASE}-demo-debug)
else()
    set(LEDGRA_PACKAGE_KIND release)
    set(readme README_ja.txt)
    set(CPACK_ARCHIVE_PROGRAMS_FILE_NAME ${LEDGRA_PACKAGE_BASE})
    set(CPACK_ARCHIVE_SYMBOLS_FILE_NAME ${LEDGRA_PACKAGE_BASE}-debug)
endif()

# UTF-8 with a byte order mark and CR LF line ends: Notepad opens it correctly on every
# Windows from 7 on, Japanese or not, where a CP932 file reads right only under the
# Japanese code page and a UTF-8 file without the mark only on Windows 10 1903 and later.
configure_file(${CMAKE_SOURCE_DIR}/resources/release/${readme} ${LEDGRA_RELEASE_DIR}/${readme}
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${LEDGRA_RELEASE_DIR}/${readme} DESTINATION . COMPONENT programs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME LedgraExport)
set(CPACK_PACKAGE_VENDOR ${LEDGRA_VENDOR})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_PACKAGE_DIRECTORY ${LEDGRA_PACKAGE_DIR})
set(CPACK_COMPONENTS_ALL programs symbols)

# Signing (Authenticode, SHA-256) of the staged programs, and zips that two builds of one
# commit write byte for byte alike: cmake/LedgraRelease.cmake, which cpack reads as the
# project's configuration and runs before and after it zips. The certificate and the
# time-stamp server may be named here or in the environment when the package is made;
# the certificate's password only ever in the environment (LEDGRA_SIGN_PASSWORD).
set(LEDGRA_SIGN_PKCS12 "" CACHE FILEPATH
    "PKCS#12 file with the code-signing certificate for the package (or the environment variable)")
set(LEDGRA_SIGN_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamp server for the package's signatures (or the environment variable)")
find_program(LEDGRA_OSSLSIGNCODE osslsigncode)
set(CPACK_LEDGRA_SIGN_PKCS12 "${LEDGRA_SIGN_PKCS12}")
set(CPACK_LEDGRA_SIGN_TIMESTAMP_URL "${LEDGRA_SIGN_TIMESTAMP_URL}")
set(CPACK_LEDGRA_OSSLSIGNCODE "${LEDGRA_OSSLSIGNCODE}")
set(CPACK_LEDGRA_PYTHON "${Python3_EXECUTABLE}")
set(CPACK_LEDGRA_SOURCE_DIR "${CMAKE_SOURCE_DIR}")
set(CPACK_LEDGRA_PACKAGE_KIND ${LEDGRA_PACKAGE_KIND})
set(CPACK_LEDGRA_PACKAGE_BASE ${LEDGRA_PACKAGE_BASE})
set(CPACK_LEDGRA_PACKAGE_PREFIX LedgraExport-${PROJECT_VERSION}-)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/LedgraRelease.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/LedgraRelease.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/LedgraRelease.cmake)
include(CPack)
