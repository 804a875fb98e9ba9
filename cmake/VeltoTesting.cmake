# Test helpers shared by every tests/ folder.
#
#   velto_add_test(name SOURCES a.cpp b.cpp LIBS velto_database [WINDOWS_ONLY] [NEEDS_DISPLAY]
#                  [TIMEOUT seconds])
#
# Natively each GoogleTest case becomes one ctest test. In the Windows build a
# test executable is one ctest test run under Wine (starting Wine per case
# would cost more than the cases themselves); tests that make windows get an
# Xvfb display that ctest starts before the first of them and stops after the
# last.
#
# Every ctest entry has a time-out of seconds, so that a hang fails soon and
# names itself: a native case gets VELTO_CASE_TIMEOUT, a Windows test program
# (all its cases) TIMEOUT or VELTO_TEST_TIMEOUT. Tests added with add_test set
# their own.
#
# The Windows tests expect the US English forms of dates and times, so every
# Wine process of theirs runs in that locale (VELTO_WINE_TEST_LOCALE before its
# command), whatever the user's is; the program itself follows the user's.
# Wine takes C.UTF-8, which every Debian system has, for US English. A locale
# the C library lacks (en_US.UTF-8 on a fresh system) would not do: Wine would
# fall back to ASCII file names and fail on every non-ASCII path.

set(VELTO_CASE_TIMEOUT 30)
if(VELTO_SANITIZE OR VELTO_SANITIZE_THREAD)
    # Sanitized code runs several times slower: the longest case takes 10 s here.
    set(VELTO_CASE_TIMEOUT 90)
endif()
set(VELTO_TEST_TIMEOUT 60)
set(VELTO_WINE_TEST_LOCALE env LC_ALL=C.UTF-8)
set(VELTO_WINE_TEST_RUNNER ${VELTO_WINE_TEST_LOCALE} ${CMAKE_SOURCE_DIR}/tools/wine-run ${CMAKE_BINARY_DIR})

macro(velto_setup_testing)
    if(WIN32)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${VELTO_WINE_TEST_RUNNER})
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        add_test(NAME wine.prefix.start COMMAND ${VELTO_WINE_TEST_RUNNER} --init)
        add_test(NAME wine.prefix.stop COMMAND ${VELTO_WINE_TEST_RUNNER} --stop)
        # A new prefix takes Wine some 10 s to set up, more on a busy machine.
        set_tests_properties(wine.prefix.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180)
        set_tests_properties(wine.prefix.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 30)
        # Wine's server and desktop keep the display they start with: a prefix
        # started before Xvfb makes windows that never reach the screen. The
        # display fixture is therefore made here, where wine.prefix.start is.
        velto_require_display("")
        set_tests_properties(wine.prefix.start PROPERTIES DEPENDS xvfb.start)
    else()
        find_package(GTest REQUIRED)
        if(NOT TARGET GTest::gmock)
            message(FATAL_ERROR "GoogleMock (GTest::gmock) is missing: install Debian's libgmock-dev")
        endif()
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
        set_tests_properties(xvfb.start PROPERTIES FIXTURES_SETUP display TIMEOUT 30)
        set_tests_properties(xvfb.stop PROPERTIES FIXTURES_CLEANUP display TIMEOUT 30)
    endif()
    if(test)
        set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED "wine;display")
    endif()
endfunction()

function(velto_add_test name)
    cmake_parse_arguments(T "WINDOWS_ONLY;NEEDS_DISPLAY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(T_WINDOWS_ONLY AND NOT WIN32)
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
    target_compile_options(${name} PRIVATE ${VELTO_WARNINGS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    if(WIN32)
        if(NOT T_TIMEOUT)
            set(T_TIMEOUT ${VELTO_TEST_TIMEOUT})
        endif()
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${T_TIMEOUT})
        if(T_NEEDS_DISPLAY)
            velto_require_display(${name})
        endif()
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${VELTO_CASE_TIMEOUT})
    endif()
endfunction()

# A benchmark binary: built in the native build (Google Benchmark from Debian),
# run by hand, never by ctest. Sanitized builds leave them out: they would
# measure the sanitizers.
function(velto_add_benchmark name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    if(WIN32 OR VELTO_SANITIZE OR VELTO_SANITIZE_THREAD OR NOT benchmark_FOUND)
        return()
    endif()
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
    target_compile_options(${name} PRIVATE ${VELTO_WARNINGS})
endfunction()
