# The AAC bitstream parser's tests, included by this folder's CMakeLists.txt:
# natively, on audio that Debian's ffmpeg encodes and decodes at test time
# (cached in the build tree, named after its command).
if(NOT WIN32)
    set(aac_test_dir ${CMAKE_CURRENT_BINARY_DIR}/test-audio)
    velto_add_test(AacBitstreamTest
        SOURCES AacGlobalGainTest.cpp AacBlockSyntaxTest.cpp AdtsTestFiles.cpp
        LIBS velto_aac_bitstream)
    target_compile_definitions(AacBitstreamTest PRIVATE VELTO_AAC_TEST_DIR="${aac_test_dir}")

    # Run by hand: build/native/tests/tools/aacgain/AacBitstreamBenchmark
    velto_add_benchmark(AacBitstreamBenchmark
        SOURCES AacBitstreamBenchmark.cpp AdtsTestFiles.cpp
        LIBS velto_aac_bitstream GTest::gtest)
    if(TARGET AacBitstreamBenchmark)
        target_compile_definitions(AacBitstreamBenchmark PRIVATE VELTO_AAC_TEST_DIR="${aac_test_dir}")
    endif()
endif()

# The parser under libFuzzer: a configuration of its own, built with clang
# (scripts/test runs it for a minute on blocks make-fuzz-seeds cuts out).
if(VELTO_FUZZ)
    add_executable(AacBitstreamFuzzer AacBitstreamFuzzer.cpp)
    target_link_libraries(AacBitstreamFuzzer PRIVATE velto_aac_bitstream)
    target_compile_options(AacBitstreamFuzzer PRIVATE ${VELTO_WARNINGS} -fsanitize=fuzzer,address)
    target_link_options(AacBitstreamFuzzer PRIVATE -fsanitize=fuzzer,address)
endif()

