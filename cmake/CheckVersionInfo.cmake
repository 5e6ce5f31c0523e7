cmake_policy(VERSION 3.25)
# Fails unless a program carries the version information of its edition, as an
# administrator reads it in Explorer's properties, Task Manager and application-control
# rules, and a manifest that names every Windows the programs support:
#   cmake -DWINDRES=x86_64-w64-mingw32-windres -DPROGRAM=path/LedgraProExport.exe
#         -DEDITION=Pro|Basic -DVERSION=20.0.1.1 [-DARCH=amd64|x86] -P CheckVersionInfo.cmake
# The resources are read back with windres (-O rc), which writes a text of other than
# ASCII as L"..." with \xNNNN for each UTF-16 unit.
foreach(argument WINDRES PROGRAM EDITION VERSION)
    if(NOT DEFINED ${argument} OR "${${argument}}" STREQUAL "")
        message(FATAL_ERROR "CheckVersionInfo.cmake needs -D${argument}=...")
    endif()
endforeach()
if(NOT VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "VERSION ${VERSION} is not of the form major.minor.patch.tweak")
endif()

set(vendor Ledgra)
if(EDITION STREQUAL "Pro")
    set(edition_name "Ledgra２０ PRO")
elseif(EDITION STREQUAL "Basic")
    set(edition_name "Ledgra２０")
else()
    message(FATAL_ERROR "EDITION is Pro or Basic, not ${EDITION}")
endif()
set(name Ledgra${EDITION}Export)
# Name|expected value, or Name|~regular expression.
set(expected
    "CompanyName|${vendor}"
    "LegalCopyright|~^Copyright \\(C\\) [0-9][0-9][0-9][0-9](-[0-9][0-9][0-9][0-9])? ${vendor}$"
    "OriginalFilename|${name}.exe"
    "InternalName|${name}"
    "FileDescription|所得税情報の出力（${edition_name}）"
    "ProductName|Ledgra２０ 所得税連動"
    "FileVersion|${VERSION}"
    "ProductVersion|${VERSION}")
# Windows 7, 8, 8.1, and 10 and 11 (which share one id).
set(supported_os
    {35138b9a-5d96-4fbd-8e2d-a2440225f93a}
    {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}
    {1f676c76-80e1-4239-95bb-83d0f6d0da78}
    {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a})

execute_process(COMMAND ${WINDRES} -i ${PROGRAM} -O rc
                OUTPUT_VARIABLE script ERROR_VARIABLE errors RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "windres could not read the resources of ${PROGRAM}:\n${errors}")
endif()
get_filename_component(file_name ${PROGRAM} NAME)
set(problems "")

# A UTF-8 byte from a number.
function(append_byte var value)
    string(ASCII ${value} byte)
    set(${var} "${${var}}${byte}" PARENT_SCOPE)
endfunction()

# The text of a quoted string of windres's output, in UTF-8.
function(decode_string var quoted)
    if(NOT quoted MATCHES "^L\"")
        string(REGEX REPLACE "^\"(.*)\"$" "\\1" text "${quoted}")
        string(REPLACE "\"\"" "\"" text "${text}")
        set(${var} "${text}" PARENT_SCOPE)
        return()
    endif()
    string(REGEX REPLACE "^L\"(.*)\"$" "\\1" rest "${quoted}")
    string(REPLACE "\"\"" "\"" rest "${rest}")
    set(text "")
    while(rest MATCHES "^([^\\\\]*)\\\\x([0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F])(.*)$")
        set(plain "${CMAKE_MATCH_1}")
        set(unit "${CMAKE_MATCH_2}")
        set(rest "${CMAKE_MATCH_3}")
        string(APPEND text "${plain}")
        math(EXPR code "0x${unit}")
        # Every character these texts hold lies in the Basic Multilingual Plane.
        if(code LESS 0x80)
            append_byte(text ${code})
        elseif(code LESS 0x800)
            math(EXPR b1 "0xC0 | (${code} >> 6)")
            math(EXPR b2 "0x80 | (${code} & 0x3F)")
            append_byte(text ${b1})
            append_byte(text ${b2})
        else()
            math(EXPR b1 "0xE0 | (${code} >> 12)")
            math(EXPR b2 "0x80 | ((${code} >> 6) & 0x3F)")
            math(EXPR b3 "0x80 | (${code} & 0x3F)")
            append_byte(text ${b1})
            append_byte(text ${b2})
            append_byte(text ${b3})
        endif()
    endwhile()
    if(rest MATCHES "\\\\")
        set(${var} "<undecoded: ${quoted}>" PARENT_SCOPE)
        return()
    endif()
    set(${var} "${text}${rest}" PARENT_SCOPE)
endfunction()

# The fixed part: FILEVERSION 20, 0, 1, 1.
string(REPLACE "." ", " version_commas "${VERSION}")
foreach(field FILEVERSION PRODUCTVERSION)
    if(NOT script MATCHES "\n ${field} ([0-9, ]+)\n")
        list(APPEND problems "no ${field}")
    elseif(NOT CMAKE_MATCH_1 STREQUAL version_commas)
        list(APPEND problems "${field} is ${CMAKE_MATCH_1}, not ${version_commas}")
    endif()
endforeach()

# The texts: one string table (Japanese, Unicode) that names each field once.
string(REGEX MATCHALL "\n *BLOCK \"[0-9a-fA-F]+\"" tables "${script}")
list(LENGTH tables table_count)
if(NOT table_count EQUAL 1 OR NOT script MATCHES "BLOCK \"041104b0\"")
    list(APPEND problems "the version information has not the one string table 041104b0: ${tables}")
endif()
foreach(entry IN LISTS expected)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 field)
    list(GET entry 1 want)
    string(REGEX MATCHALL "\n *VALUE \"${field}\", (L?\"([^\"]|\"\")*\")" found "${script}")
    list(LENGTH found count)
    if(count EQUAL 0)
        list(APPEND problems "no ${field}")
        continue()
    elseif(count GREATER 1)
        list(APPEND problems "${field} given ${count} times")
        continue()
    endif()
    string(REGEX REPLACE "^\n *VALUE \"${field}\", " "" quoted "${found}")
    decode_string(value "${quoted}")
    if(want MATCHES "^~(.*)$")
        if(NOT value MATCHES "${CMAKE_MATCH_1}")
            list(APPEND problems "${field} is \"${value}\", not of the form ${CMAKE_MATCH_1}")
        endif()
    elseif(NOT value STREQUAL want)
        list(APPEND problems "${field} is \"${value}\", not \"${want}\"")
    endif()
    message(STATUS "${file_name}: ${field} \"${value}\"")
endforeach()

# The manifest (type 24), its lines written as quoted strings; comments left out, so that
# an id named only in one does not count.
string(FIND "${script}" "\n1 24 " start)
if(start LESS 0)
    list(APPEND problems "no manifest")
else()
    string(SUBSTRING "${script}" ${start} -1 manifest)
    string(FIND "${manifest}" "\nEND" end)
    string(SUBSTRING "${manifest}" 0 ${end} manifest)
    string(REGEX REPLACE "\n *\"" "\n" manifest "\n${manifest}")
    string(REGEX REPLACE "\"\n" "\n" manifest "${manifest}")
    string(REPLACE "\"\"" "\"" manifest "${manifest}")
    string(REPLACE "\\n" "" manifest "${manifest}")
    string(REGEX REPLACE "<!--([^-]|-[^-])*-->" "" manifest "${manifest}")
    string(REGEX MATCHALL "<supportedOS Id=\"{[^}\"]*}\"/>" listed "${manifest}")
    string(REGEX REPLACE "<supportedOS Id=\"({[^}\"]*})\"/>" "\\1" listed "${listed}")
    list(SORT listed)
    set(wanted ${supported_os})
    list(SORT wanted)
    list(JOIN listed " " listed_text)
    if(NOT listed STREQUAL wanted)
        list(JOIN wanted " " wanted_text)
        list(APPEND problems "the manifest's supportedOS ids are ${listed_text}, not ${wanted_text}")
    endif()
    message(STATUS "${file_name}: supportedOS ${listed_text}")
    # The program's own processor and that of the common controls it asks for: with the
    # other bitness's the loader does not start it at all.
    if(ARCH)
        string(REGEX MATCHALL "processorArchitecture=\"[^\"]*\"" named "${manifest}")
        list(REMOVE_DUPLICATES named)
        if(NOT named STREQUAL "processorArchitecture=\"${ARCH}\"")
            list(APPEND problems "the manifest names ${named}, not ${ARCH} alone")
        endif()
    endif()
endif()

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "${file_name}: version information wrong:\n  ${text}")
endif()
message(STATUS "${file_name}: version information of the ${EDITION} edition, ${VERSION}")
