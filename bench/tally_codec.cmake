# Throughput and ratio of the tally file's codecs (LZRW1/KH and LZHUF) on about
# 1 MB of English-like text, beside zlib at level 1 on the same data.
find_package(ZLIB REQUIRED)
add_executable(tally_codec_bench ${CMAKE_CURRENT_LIST_DIR}/tally_codec_bench.cpp)
target_link_libraries(tally_codec_bench PRIVATE lexmire_stats ZLIB::ZLIB benchmark::benchmark)
set_target_properties(tally_codec_bench PROPERTIES AUTOMOC OFF)
