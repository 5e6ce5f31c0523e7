# Windows test programs run under Wine (CMAKE_CROSSCOMPILING_EMULATOR). They share one
# Wine prefix in the build folder, initialised once by the fixture test
# wine_prefix_setup before any of them runs, and run one at a time with the Japanese
# locale (so the prefix's ANSI code page is 932) and without the crash dialog.
# Window tests need a display: run ctest under xvfb-run when there is none.

set(LEDGRA_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
# 32-bit Wine may be emulated (a kernel that runs no 32-bit programs), which makes every
# program start take about a minute: its tests get three times as long.
if(LEDGRA_BITS EQUAL 32)
    set(LEDGRA_WINE_TIMEOUT_SCALE 3)
else()
    set(LEDGRA_WINE_TIMEOUT_SCALE 1)
endif()
math(EXPR LEDGRA_WINE_TIMEOUT "300 * ${LEDGRA_WINE_TIMEOUT_SCALE}")
# Wine Mono and Gecko are turned off: they are not needed, and without them wineboot
# would otherwise ask on screen whether to download them.
set(LEDGRA_WINE_ENVIRONMENT
    WINEPREFIX=${LEDGRA_WINE_PREFIX}
    WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml=
    LANG=ja_JP.UTF-8
    LC_ALL=
    LEDGRA_WINE=${LEDGRA_WINE})

# The same prefix setup as the scripts' (scripts/lib/wine-prefix.sh), with every program
# in Wine's own desktop window, which draws captions and frames without a window
# manager (on a bare X server Wine would otherwise wait at every window shown).
add_test(NAME wine_prefix_setup
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/lib/wine-prefix.sh ${LEDGRA_WINE_PREFIX} --desktop 1024x768)
set_tests_properties(wine_prefix_setup PROPERTIES
    FIXTURES_SETUP wine_prefix RESOURCE_LOCK wine TIMEOUT 1800
    ENVIRONMENT "${LEDGRA_WINE_ENVIRONMENT}")

# Gives every test of the calling directory (so far) the Wine environment, the prefix
# fixture and the one-at-a-time lock. Call it after the directory's tests are added.
function(ledgra_wine_test_properties)
    get_property(tests DIRECTORY PROPERTY TESTS)
    foreach(test ${tests})
        if(test STREQUAL "wine_prefix_setup")
            continue()
        endif()
        set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${LEDGRA_WINE_ENVIRONMENT})
        set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix)
        set_property(TEST ${test} APPEND PROPERTY RESOURCE_LOCK wine)
        get_property(timeout TEST ${test} PROPERTY TIMEOUT)
        if(NOT timeout)
            set_property(TEST ${test} PROPERTY TIMEOUT ${LEDGRA_WINE_TIMEOUT})
        endif()
    endforeach()
endfunction()

# The tests of what differs by bitness: the host's records read through the stand-in's
# DLLs and the static stand-in, the saved details' pointer blocks, the host folder found
# through the import thunk, the host window from the launch arguments, the PE headers and
# the package. Where 32-bit programs are emulated (about a minute a start), scripts/test
# runs only these of the 32-bit build (ctest -L bitness).
set(LEDGRA_BITNESS_TESTS
    test_export_app test_figure_collector test_launch_args
    e2e_deployment e2e_launch_host e2e_report_rich_blue_realestate
    pe_hardening package_signature package_contents package_reproducible)

# Labels the calling directory's tests of LEDGRA_BITNESS_TESTS.
function(ledgra_label_bitness_tests)
    get_property(tests DIRECTORY PROPERTY TESTS)
    foreach(test ${tests})
        if(test IN_LIST LEDGRA_BITNESS_TESTS)
            set_property(TEST ${test} APPEND PROPERTY LABELS bitness)
        endif()
    endforeach()
endfunction()
