# The word finder on boards from the server's own deal, beside a plain
# pointer-based trie doing the same search; the typed-chain queries.
add_executable(finder_bench ${CMAKE_CURRENT_LIST_DIR}/finder_bench.cpp)
target_link_libraries(finder_bench PRIVATE lexmire_finder)
set_target_properties(finder_bench PROPERTIES AUTOMOC OFF)
