# Reading the settings file: loading a usual shared file and one at the size
# cap, beside a bare read of the same bytes, and refusing one over the cap.
add_executable(settings_file_bench ${CMAKE_CURRENT_LIST_DIR}/settings_file_bench.cpp)
target_link_libraries(settings_file_bench PRIVATE lexmire_settings benchmark::benchmark)
set_target_properties(settings_file_bench PROPERTIES AUTOMOC OFF)
