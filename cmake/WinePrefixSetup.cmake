# cmake -DWINE=... -DWINEBOOT=... -DWINESERVER=... -DPREFIX=... -P WinePrefixSetup.cmake
# Creates the Wine prefix once, then (every time, it is cheap) imports our settings:
# no crash dialog, so a crash ends the test instead of waiting for a click; the
# Japanese dialog fonts mapped to IPA P Gothic, so the windows look as on a Japanese
# Windows; and every program in Wine's own desktop window, which draws captions and
# frames without a window manager (on a bare X server Wine would otherwise wait
# seconds for a window manager at every window shown or hidden). The caller's environment carries WINEPREFIX, WINEDEBUG and LANG.

foreach(var WINE WINEBOOT WINESERVER PREFIX)
    if(NOT ${var})
        message(FATAL_ERROR "WinePrefixSetup: ${var} is not set")
    endif()
endforeach()

# Wine takes its ANSI code page from the Unix locale: ja_JP.UTF-8 gives code page 932.
execute_process(COMMAND locale -a OUTPUT_VARIABLE locales RESULT_VARIABLE rc)
string(TOLOWER "${locales}" locales)
if(NOT locales MATCHES "ja_jp\\.utf-?8")
    if(EXISTS /etc/locale.gen AND IS_WRITABLE /etc/locale.gen)
        message(STATUS "Generating the ja_JP.UTF-8 locale")
        file(APPEND /etc/locale.gen "ja_JP.UTF-8 UTF-8\n")
        execute_process(COMMAND locale-gen RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "locale-gen failed")
        endif()
    else()
        message(FATAL_ERROR "The ja_JP.UTF-8 locale is missing. As root: "
                            "echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen && locale-gen")
    endif()
endif()

set(ENV{WINEPREFIX} "${PREFIX}")
if(NOT EXISTS "${PREFIX}/system.reg")
    message(STATUS "wineboot -i in ${PREFIX}")
    file(MAKE_DIRECTORY "${PREFIX}")
    execute_process(COMMAND "${WINEBOOT}" -i RESULT_VARIABLE rc TIMEOUT 480)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "wineboot -i failed: ${rc}")
    endif()
endif()

# regedit reads a REGEDIT4 file in the ANSI code page, so the file is written in CP932.
set(utf8 "${PREFIX}/ledgra-settings.utf8.reg")
set(reg "${PREFIX}/ledgra-settings.reg")
file(WRITE "${utf8}" [=[REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
]=])
execute_process(COMMAND iconv -f UTF-8 -t CP932 INPUT_FILE "${utf8}" OUTPUT_FILE "${reg}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "iconv could not write ${reg} in CP932")
endif()
execute_process(COMMAND "${WINE}" regedit "${reg}" RESULT_VARIABLE rc TIMEOUT 120)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "wine regedit ${reg} failed: ${rc}")
endif()
# The registry reaches the prefix's files when the server ends.
execute_process(COMMAND "${WINESERVER}" -w TIMEOUT 120)

file(READ "${PREFIX}/user.reg" user)
file(READ "${PREFIX}/system.reg" system)
# Wine keeps the name ＭＳ Ｐゴシック as \x escapes: a wrongly encoded file would not match.
string(FIND "${system}" "\"\\xff2d\\xff33 \\xff30\\x30b4\\x30b7\\x30c3\\x30af\"=\"IPAPGothic\"" fontFound)
if(NOT user MATCHES "\"ShowCrashDialog\"=dword:00000000" OR NOT user MATCHES "\"Desktop\"=\"Default\""
   OR fontFound EQUAL -1)
    message(FATAL_ERROR "The settings did not reach the prefix ${PREFIX}")
endif()
message(STATUS "Wine prefix ${PREFIX} is ready")
