# The layers' libraries from cmake/layers.txt, the table that cmake/check_layers.py reads
# too: a folder's library links the libraries of the layers it may use and no others.
#
# LEDGRA_LINK_CHECK builds each layer as a shared library linked with --no-undefined, so
# a call into a layer that the table does not give it fails to link (an include check
# sees only what is written; the linker sees what is called).

set(LEDGRA_LAYER_TABLE ${CMAKE_CURRENT_LIST_DIR}/layers.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${LEDGRA_LAYER_TABLE})
file(STRINGS ${LEDGRA_LAYER_TABLE} LEDGRA_LAYER_LINES REGEX "^[a-z]")
foreach(line ${LEDGRA_LAYER_LINES})
    string(REGEX REPLACE "#.*" "" line "${line}")
    string(REGEX REPLACE "[ \t]+" ";" words "${line}")
    list(REMOVE_ITEM words "")
    list(POP_FRONT words folder library literals)
    set(LEDGRA_LAYER_LIBRARY_${folder} ${library})
    set(LEDGRA_LAYER_USES_${folder} ${words})
endforeach()

# ledgra_layer_libraries(FOLDER OUT): the libraries of the layers FOLDER may use.
function(ledgra_layer_libraries folder out)
    if(NOT DEFINED LEDGRA_LAYER_LIBRARY_${folder})
        message(FATAL_ERROR "${folder} has no line in ${LEDGRA_LAYER_TABLE}")
    endif()
    set(libraries)
    foreach(used ${LEDGRA_LAYER_USES_${folder}})
        if(NOT LEDGRA_LAYER_LIBRARY_${used} STREQUAL "-")
            list(APPEND libraries ${LEDGRA_LAYER_LIBRARY_${used}})
        endif()
        # The platform's allocator is implemented by the operating system's subfolder,
        # which each program links; a shared library of the link check must name it.
        if(LEDGRA_LINK_CHECK AND used STREQUAL "platform" AND NOT folder MATCHES "^platform/")
            list(APPEND libraries ledgra_platform_native)
        endif()
    endforeach()
    set(${out} ${libraries} PARENT_SCOPE)
endfunction()

# ledgra_add_layer(FOLDER SOURCES src... [SYSTEM_LIBS lib...]): FOLDER's library, named by
# the table, linked with the layers it may use and the operating system's libraries.
function(ledgra_add_layer folder)
    cmake_parse_arguments(L "" "" "SOURCES;SYSTEM_LIBS" ${ARGN})
    set(library ${LEDGRA_LAYER_LIBRARY_${folder}})
    if(NOT library OR library STREQUAL "-")
        message(FATAL_ERROR "${folder} has no library in ${LEDGRA_LAYER_TABLE}")
    endif()
    ledgra_layer_libraries(${folder} uses)
    if(LEDGRA_LINK_CHECK)
        add_library(${library} SHARED ${L_SOURCES})
        target_link_options(${library} PRIVATE LINKER:--no-undefined)
    else()
        add_library(${library} STATIC ${L_SOURCES})
    endif()
    target_include_directories(${library} PUBLIC ${LEDGRA_ROOT})
    target_link_libraries(${library} PUBLIC ${uses} ${L_SYSTEM_LIBS})
endfunction()
