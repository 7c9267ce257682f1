# companion_open: the first opening of each companion window of the main window
# (built on first use), beside a bare dialog opened the same way in the same run.
add_executable(companion_open ${CMAKE_CURRENT_LIST_DIR}/companion_open.cpp)
target_link_libraries(companion_open PRIVATE lexmire_client)
set_target_properties(companion_open PROPERTIES AUTOMOC OFF)
