# What a chat line costs the window's chat pane, honest and hostile, beside the
# same lines written raw into a rich-text pane; --memory for what a flood holds.
add_executable(chat_pane_bench ${CMAKE_CURRENT_LIST_DIR}/chat_pane_bench.cpp)
target_link_libraries(chat_pane_bench PRIVATE lexmire_client benchmark::benchmark)
set_target_properties(chat_pane_bench PROPERTIES AUTOMOC OFF)
