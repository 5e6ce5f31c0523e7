# ledgra_add_test(NAME SOURCES src... [LIBS lib...]): one GoogleTest program, one ctest entry
# per test program (the emulator runs it under Wine in the cross build).
function(ledgra_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
