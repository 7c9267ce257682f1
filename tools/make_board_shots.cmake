# The program that draws the board's pictures in docs/ (typing, answers, both window sizes,
# the bonus markers through colour-blind and greyscale eyes, the round review). Built only on
# demand; after changing the board's look, redraw them with:
#   cmake --build <build> --target lexmire_board_shots
add_executable(make_board_shots EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/make_board_shots.cpp)
target_link_libraries(make_board_shots PRIVATE lexmire_client)
cmake_path(SET LEXMIRE_BOARD_SHOTS_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../docs")
add_custom_target(lexmire_board_shots
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:make_board_shots> ${LEXMIRE_BOARD_SHOTS_DIR}
  DEPENDS make_board_shots
  COMMENT "Drawing the board's pictures into docs/"
  VERBATIM)
