cmake_policy(VERSION 3.25)
# Fails when a Windows program lacks the hardening its release relies on:
#   DllCharacteristics (objdump -p): ASLR (DYNAMIC_BASE) with the base relocations it
#     needs, DEP (NX_COMPAT), and for a 64-bit file (PE32+) high-entropy ASLR
#     (HIGH_ENTROPY_VA), which a 32-bit one (PE32) cannot have;
#   imports (objdump -p): only DLLs that the loader takes from System32 (the known DLLs)
#     or, through the manifest, from the side-by-side store (comctl32), whatever folder
#     the program starts in, so that no DLL planted beside it is loaded at start; and the
#     host's libraries, which the host's folder holds (the host starts the program there);
#   the DLL search restricted at start: SetDefaultDllDirectories, looked up by name;
#   stack protection (objdump -t): the guard of -fstack-protector-strong.
# LIBRARIES (the host stand-in's DLLs of the demonstration) are checked for all but the
# restricted search, which is the program's to do; they may import hoststore.dll too.
#
#   cmake -DOBJDUMP=x86_64-w64-mingw32-objdump "-DPROGRAMS=a.exe;b.exe" ["-DLIBRARIES=c.dll"]
#         [-DMAGIC=PE32|PE32+] -P CheckPeHardening.cmake
# MAGIC, when given, is the format every file must have (the build's bitness).
set(allowed_imports
    advapi32.dll comctl32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll
    oleaut32.dll rpcrt4.dll shell32.dll shlwapi.dll user32.dll)
set(host_imports hostsession.dll hostdata.dll hostbooks.dll hostpaths.dll hostnotice.dll hostsetup.dll)

set(problems "")
foreach(program IN LISTS PROGRAMS LIBRARIES)
    get_filename_component(name ${program} NAME)
    set(allowed ${allowed_imports} ${host_imports})
    if(program IN_LIST LIBRARIES)
        list(APPEND allowed hoststore.dll)
    endif()
    execute_process(COMMAND ${OBJDUMP} -p ${program} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
    if(failed)
        list(APPEND problems "${name}: objdump -p failed")
        continue()
    endif()
    string(REGEX MATCH "Magic[\t ]+[0-9a-f]+[\t ]+\\((PE32\\+?)\\)" magic "${headers}")
    set(magic "${CMAKE_MATCH_1}")
    if(NOT magic OR (MAGIC AND NOT magic STREQUAL MAGIC))
        list(APPEND problems "${name}: a ${magic} file where ${MAGIC} was built")
    endif()
    set(required_characteristics DYNAMIC_BASE NX_COMPAT)
    if(magic STREQUAL "PE32+")
        list(APPEND required_characteristics HIGH_ENTROPY_VA)
    endif()
    # Without its relocations the loader cannot move the image, whatever the flag says.
    if(NOT headers MATCHES "Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory")
        list(APPEND problems "${name}: no base relocations, so no ASLR")
    endif()
    # The flag names follow the DllCharacteristics line, one per line, up to a blank line.
    string(REGEX MATCH "DllCharacteristics[^\n]*\n([\t ]+[A-Z_]+\n)*" characteristics "${headers}")
    foreach(flag IN LISTS required_characteristics)
        if(NOT characteristics MATCHES "[\t ]${flag}\n")
            list(APPEND problems "${name}: DllCharacteristics lacks ${flag}")
        endif()
    endforeach()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
    if(NOT imports)
        list(APPEND problems "${name}: no import table found")
    endif()
    foreach(import IN LISTS imports)
        string(REPLACE "DLL Name: " "" dll "${import}")
        string(TOLOWER "${dll}" dll)
        if(NOT dll IN_LIST allowed AND NOT dll MATCHES "^api-ms-win-")
            list(APPEND problems "${name}: imports ${dll}, which the loader may take from the program's folder")
        endif()
    endforeach()
    file(STRINGS ${program} restricts REGEX "SetDefaultDllDirectories")
    if(NOT restricts AND NOT program IN_LIST LIBRARIES)
        list(APPEND problems "${name}: never restricts the DLL search (SetDefaultDllDirectories)")
    endif()
    execute_process(COMMAND ${OBJDUMP} -t ${program} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
    if(failed OR NOT symbols MATCHES "__stack_chk_guard" OR NOT symbols MATCHES "__stack_chk_fail")
        list(APPEND problems "${name}: no stack protection (__stack_chk_guard, __stack_chk_fail)")
    endif()
    message(STATUS "${name}: ${magic}, checked")
endforeach()

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "hardening missing:\n  ${text}")
endif()
