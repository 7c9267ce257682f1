# server_load: lexmire-server's throughput, burst answers, round starts and CPU
# per word under nine raw peers, each beside a reference server of the bench's
# own serving the same traffic in the same run.
add_library(lexmire_server_bench_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/server_bench_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reference_server.cpp)
target_include_directories(lexmire_server_bench_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
set_target_properties(lexmire_server_bench_support PROPERTIES AUTOMOC OFF)

add_executable(server_load ${CMAKE_CURRENT_LIST_DIR}/server_load.cpp)
target_link_libraries(server_load PRIVATE lexmire_server_bench_support lexmire_finder)
set_target_properties(server_load PROPERTIES AUTOMOC OFF)
add_dependencies(server_load lexmire-server)
target_compile_definitions(server_load PRIVATE LEXMIRE_SERVER_BINARY="$<TARGET_FILE:lexmire-server>")
