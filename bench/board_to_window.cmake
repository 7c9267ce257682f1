# board_to_window: a real window (offscreen) joined to lexmire-server shows a
# new board, timed beside the same rows reaching a raw peer in the same run.
add_executable(board_to_window ${CMAKE_CURRENT_LIST_DIR}/board_to_window.cpp)
target_link_libraries(board_to_window PRIVATE lexmire_server_bench_support lexmire_client)
set_target_properties(board_to_window PROPERTIES AUTOMOC OFF)
add_dependencies(board_to_window lexmire-server)
target_compile_definitions(board_to_window PRIVATE LEXMIRE_SERVER_BINARY="$<TARGET_FILE:lexmire-server>")
