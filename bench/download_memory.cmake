# download_memory: the lobby download window's peak memory while it saves a
# large body, beside a plain client with no read bound saving the same body.
add_executable(download_memory ${CMAKE_CURRENT_LIST_DIR}/download_memory.cpp)
target_link_libraries(download_memory PRIVATE lexmire_shell Qt6::Network)
add_dependencies(download_memory lexmire-download)
target_compile_definitions(download_memory PRIVATE LEXMIRE_DOWNLOAD_MODULE="$<TARGET_FILE:lexmire-download>")
set_target_properties(download_memory PROPERTIES AUTOMOC OFF)
