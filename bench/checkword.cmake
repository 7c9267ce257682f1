# CheckWord on the embedded list written to disk, beside an in-memory hash set
# answering the same questions.
add_executable(checkword_bench ${CMAKE_CURRENT_LIST_DIR}/checkword_bench.cpp)
target_link_libraries(checkword_bench PRIVATE lexmire_dict benchmark::benchmark)
set_target_properties(checkword_bench PROPERTIES AUTOMOC OFF)
