# soak: nine scripted peers play many games against the real lexmire-server
# process on loopback (or a server inside the soak, on its in-memory transport)
# and check answers, scores and the server's memory.
add_executable(soak ${CMAKE_CURRENT_LIST_DIR}/soak.cpp ${CMAKE_CURRENT_LIST_DIR}/soak_link.cpp)
target_link_libraries(soak PRIVATE lexmire_server Qt6::Core Qt6::Network)
set_target_properties(soak PROPERTIES AUTOMOC OFF)
add_dependencies(soak lexmire-server)
target_compile_definitions(soak PRIVATE LEXMIRE_SERVER_BINARY="$<TARGET_FILE:lexmire-server>")
