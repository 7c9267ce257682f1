# The program that draws every window's picture in docs/ (window_*.png). Built only on demand;
# after changing a window's look, redraw them with:
#   cmake --build <build> --target lexmire_window_shots
add_executable(make_window_shots EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/make_window_shots.cpp)
target_link_libraries(make_window_shots PRIVATE lexmire_client lexmire_shell)
cmake_path(SET LEXMIRE_WINDOW_SHOTS_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../docs")
add_custom_target(lexmire_window_shots
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:make_window_shots> ${LEXMIRE_WINDOW_SHOTS_DIR}
  DEPENDS make_window_shots
  COMMENT "Drawing every window's picture into docs/"
  VERBATIM)
