# reconnect_flood: a game played on lexmire-server while a peer reconnects
# with a backlog of long chats and a storm of connections holds the slots;
# answer times and the server's memory beside the same before any attack.
add_executable(reconnect_flood ${CMAKE_CURRENT_LIST_DIR}/reconnect_flood.cpp)
target_link_libraries(reconnect_flood PRIVATE lexmire_server_bench_support lexmire_finder)
set_target_properties(reconnect_flood PROPERTIES AUTOMOC OFF)
add_dependencies(reconnect_flood lexmire-server)
target_compile_definitions(reconnect_flood PRIVATE LEXMIRE_SERVER_BINARY="$<TARGET_FILE:lexmire-server>")
