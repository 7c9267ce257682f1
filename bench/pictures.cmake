# Drawing the window's pictures at start-up: the board's background and the
# panels' texture, which the window computes on every start.
add_executable(pictures_bench ${CMAKE_CURRENT_LIST_DIR}/pictures_bench.cpp)
target_link_libraries(pictures_bench PRIVATE lexmire_client benchmark::benchmark)
set_target_properties(pictures_bench PROPERTIES AUTOMOC OFF)
