# The program that draws the program's icon. Its pictures are kept in resources/icons; after
# changing their look, redraw them with: cmake --build <build> --target lexmire_icons
find_package(Qt6 REQUIRED COMPONENTS Gui)
add_executable(make_icons ${CMAKE_CURRENT_LIST_DIR}/make_icons.cpp)
target_include_directories(make_icons PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../src/app)
target_link_libraries(make_icons PRIVATE Qt6::Gui)
cmake_path(SET LEXMIRE_ICON_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../resources/icons")
add_custom_target(lexmire_icons
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:make_icons> ${LEXMIRE_ICON_DIR}
  DEPENDS make_icons
  COMMENT "Drawing the program's icon into resources/icons"
  VERBATIM)
