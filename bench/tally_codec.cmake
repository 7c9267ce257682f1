# Throughput and ratio of the tally file's codecs (LZRW1/KH and LZHUF) on about
# 1 MB of English-like text, beside zlib at level 1 and LZ4 on the same data.
# LZ4 is only a yardstick here: nothing but this benchmark links it.
find_package(ZLIB REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LZ4 REQUIRED IMPORTED_TARGET liblz4)
add_executable(tally_codec_bench ${CMAKE_CURRENT_LIST_DIR}/tally_codec_bench.cpp)
target_link_libraries(tally_codec_bench PRIVATE lexmire_stats ZLIB::ZLIB PkgConfig::LZ4 benchmark::benchmark)
set_target_properties(tally_codec_bench PROPERTIES AUTOMOC OFF)
