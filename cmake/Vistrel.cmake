# vistrel_library(NAME USES dep...): one static library from the *.cpp files of the calling
# folder (not its subfolders); the folder's parent is on the include path so that headers are
# included as "folder/File.h".
function(vistrel_library name)
    cmake_parse_arguments(ARG "" "" "USES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_USES})
endfunction()

# vistrel_test(NAME USES dep...): one GoogleTest program from tests/NAME/*.cpp, each test
# registered with CTest and run with the offscreen Qt platform.
function(vistrel_test name)
    cmake_parse_arguments(ARG "" "" "USES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
    add_executable(test_${name} ${sources})
    set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(name IN_LIST VISTREL_WIDGET_TEST_FOLDERS)
        set(main vistrel_test_main_widgets)
    else()
        set(main vistrel_test_main)
    endif()
    target_link_libraries(test_${name} PRIVATE vistrel_test_support ${main} ${ARG_USES})
    gtest_discover_tests(test_${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VISTREL_PROGRAM_DIR=${VISTREL_PROGRAM_DIR}"
                   TIMEOUT 300)
endfunction()

# vistrel_shared_library(NAME SOURCES...): a shared library of the program folder with a C
# interface; only the symbols listed in NAME.map beside its sources leave it.
function(vistrel_shared_library name)
    add_library(${name} SHARED ${ARGN})
    set(map ${CMAKE_CURRENT_SOURCE_DIR}/${name}.map)
    set_target_properties(${name} PROPERTIES
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${map})
    target_link_options(${name} PRIVATE -Wl,--version-script=${map})
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()
