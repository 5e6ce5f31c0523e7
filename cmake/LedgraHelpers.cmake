# ledgra_add_test(NAME SOURCES src... [LIBS lib...]): one GoogleTest program, one ctest entry
# per test program (the emulator runs it under Wine in the cross build).
function(ledgra_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    ledgra_use_host(${name} ${LEDGRA_HOST_LIBS})
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# The host's libraries are chosen by each program, not by the core: the layers that call
# the host link ledgra_host, which stands for the libraries named in the LEDGRA_HOST_LIBS
# property of the program being linked. ledgra_use_host(TARGET lib...) sets it.
function(ledgra_use_host target)
    set_property(TARGET ${target} PROPERTY LEDGRA_HOST_LIBS ${ARGN})
endfunction()
