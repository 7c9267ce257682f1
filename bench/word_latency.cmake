# word_latency: word answer and board delivery times of the real lexmire-server
# process over loopback, measured by two raw clients.
add_executable(word_latency ${CMAKE_CURRENT_LIST_DIR}/word_latency.cpp)
target_link_libraries(word_latency PRIVATE lexmire_dict)
set_target_properties(word_latency PROPERTIES AUTOMOC OFF)
add_dependencies(word_latency lexmire-server)
target_compile_definitions(word_latency PRIVATE LEXMIRE_SERVER_BINARY="$<TARGET_FILE:lexmire-server>")
