# The AAC bitstream parser, included by this folder's CMakeLists.txt.
#
# Debian's faad2 source package, fetched and unpacked into this build tree once
# (fetch-faad2-source): its Huffman code tables and scale factor band tables
# build the AAC bitstream parser. The tree is ${VELTO_FAAD2_SOURCE_DIR}/faad2;
# the target velto_faad2_source makes it.
set(VELTO_FAAD2_SOURCE_DIR ${CMAKE_CURRENT_BINARY_DIR}/faad2-source CACHE INTERNAL "")
set(faad2_codebook ${VELTO_FAAD2_SOURCE_DIR}/faad2/libfaad/codebook)
set(aac_tables ${VELTO_FAAD2_SOURCE_DIR}/aac-tables)
add_custom_command(
    OUTPUT ${VELTO_FAAD2_SOURCE_DIR}/fetched.stamp
    BYPRODUCTS ${aac_tables}/AacBandTables.inc
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/fetch-faad2-source ${VELTO_FAAD2_SOURCE_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${VELTO_FAAD2_SOURCE_DIR}/fetched.stamp
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fetch-faad2-source ${CMAKE_SOURCE_DIR}/tools/fetch-debian-sources
    COMMENT "Fetching Debian's faad2 source package"
    VERBATIM)
add_custom_target(velto_faad2_source DEPENDS ${VELTO_FAAD2_SOURCE_DIR}/fetched.stamp)

# The AAC bitstream parser: a raw data block down to its global_gain fields.
# Portable; the native tests and the AAC tool build it.
add_library(velto_aac_bitstream STATIC
    AacBandTables.cpp AacBitReader.cpp AacGlobalGain.cpp AacHuffman.cpp AacRawBlockParser.cpp)
add_dependencies(velto_aac_bitstream velto_faad2_source)
target_include_directories(velto_aac_bitstream PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_include_directories(velto_aac_bitstream SYSTEM PRIVATE ${faad2_codebook} ${aac_tables})
target_compile_options(velto_aac_bitstream PRIVATE ${VELTO_WARNINGS})
