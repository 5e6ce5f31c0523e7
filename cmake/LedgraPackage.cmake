# The release package (cmake --build --preset windows --target package): one zip with
# both programs stripped of their debug information and the Japanese read-me, and a
# second zip with the debug information of each program. Every stripped program names
# its debug file (.gnu_debuglink), so a debugger given both finds the symbols.
set(LEDGRA_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(release_outputs "")
foreach(program LedgraProExport LedgraBasicExport)
    set(stripped ${LEDGRA_RELEASE_DIR}/${program}.exe)
    set(symbols ${LEDGRA_RELEASE_DIR}/${program}.debug)
    # The link is written in the release folder, so that it holds the bare file name.
    add_custom_command(
        OUTPUT ${stripped} ${symbols}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${LEDGRA_RELEASE_DIR}
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${program}> ${symbols}
        COMMAND ${CMAKE_OBJCOPY} --strip-all $<TARGET_FILE:${program}> ${stripped}
        COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${program}.debug ${program}.exe
        WORKING_DIRECTORY ${LEDGRA_RELEASE_DIR}
        DEPENDS ${program}
        COMMENT "Stripping ${program}.exe, its debug information to ${program}.debug"
        VERBATIM)
    list(APPEND release_outputs ${stripped} ${symbols})
    install(PROGRAMS ${stripped} DESTINATION . COMPONENT programs)
    install(FILES ${symbols} DESTINATION . COMPONENT symbols)
endforeach()
add_custom_target(release_programs ALL DEPENDS ${release_outputs})

# UTF-8 with a byte order mark and CR LF line ends: Notepad opens it correctly on every
# Windows from 7 on, Japanese or not, where a CP932 file reads right only under the
# Japanese code page and a UTF-8 file without the mark only on Windows 10 1903 and later.
configure_file(${CMAKE_SOURCE_DIR}/resources/release/README_ja.txt ${LEDGRA_RELEASE_DIR}/README_ja.txt
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${LEDGRA_RELEASE_DIR}/README_ja.txt DESTINATION . COMPONENT programs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME LedgraExport)
set(CPACK_PACKAGE_VENDOR Ledgra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs symbols)
set(CPACK_ARCHIVE_PROGRAMS_FILE_NAME LedgraExport-${PROJECT_VERSION}-win64)
set(CPACK_ARCHIVE_SYMBOLS_FILE_NAME LedgraExport-${PROJECT_VERSION}-win64-debug)
include(CPack)
