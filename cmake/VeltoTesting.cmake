# Test helpers shared by every tests/ folder.
#
#   velto_add_test(name SOURCES a.cpp b.cpp LIBS velto_database [WINDOWS_ONLY] [NEEDS_DISPLAY])
#
# Natively each GoogleTest case becomes one ctest test. In the Windows build a
# test executable is one ctest test run under Wine (starting Wine per case
# would cost more than the cases themselves); tests that make windows get an
# Xvfb display that ctest starts before the first of them and stops after the
# last.

macro(velto_setup_testing)
    if(WIN32)
        set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/tools/wine-run;${CMAKE_BINARY_DIR}")
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        add_test(NAME wine.prefix.start COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-run ${CMAKE_BINARY_DIR} --init)
        add_test(NAME wine.prefix.stop COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-run ${CMAKE_BINARY_DIR} --stop)
        set_tests_properties(wine.prefix.start PROPERTIES FIXTURES_SETUP wine)
        set_tests_properties(wine.prefix.stop PROPERTIES FIXTURES_CLEANUP wine)
        # Wine's server and desktop keep the display they start with: a prefix
        # started before Xvfb makes windows that never reach the screen. The
        # display fixture is therefore made here, where wine.prefix.start is.
        velto_require_display("")
        set_tests_properties(wine.prefix.start PROPERTIES DEPENDS xvfb.start)
    else()
        find_package(GTest REQUIRED)
        find_package(benchmark QUIET)
        include(GoogleTest)
    endif()
endmacro()

# The Xvfb display fixture, added with the first test that needs it.
function(velto_require_display test)
    get_property(added GLOBAL PROPERTY VELTO_DISPLAY_FIXTURE)
    if(NOT added)
        set_property(GLOBAL PROPERTY VELTO_DISPLAY_FIXTURE ON)
        add_test(NAME xvfb.start COMMAND ${CMAKE_SOURCE_DIR}/tools/xvfb-display start ${CMAKE_BINARY_DIR})
        add_test(NAME xvfb.stop COMMAND ${CMAKE_SOURCE_DIR}/tools/xvfb-display stop ${CMAKE_BINARY_DIR})
        set_tests_properties(xvfb.start PROPERTIES FIXTURES_SETUP display)
        set_tests_properties(xvfb.stop PROPERTIES FIXTURES_CLEANUP display)
    endif()
    if(test)
        set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED "wine;display")
    endif()
endfunction()

function(velto_add_test name)
    cmake_parse_arguments(T "WINDOWS_ONLY;NEEDS_DISPLAY" "" "SOURCES;LIBS" ${ARGN})
    if(T_WINDOWS_ONLY AND NOT WIN32)
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
    target_compile_options(${name} PRIVATE ${VELTO_WARNINGS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    if(WIN32)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
        if(T_NEEDS_DISPLAY)
            velto_require_display(${name})
        endif()
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# A benchmark binary: built in the native build (Google Benchmark from Debian),
# run by hand, never by ctest.
function(velto_add_benchmark name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    if(WIN32 OR NOT benchmark_FOUND)
        return()
    endif()
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
    target_compile_options(${name} PRIVATE ${VELTO_WARNINGS})
endfunction()
