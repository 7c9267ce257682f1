# The program that draws the extra tile sets. Its bitmaps are kept in resources/lexmiretiles;
# after changing their look, rebuild them with: cmake --build <build> --target lexmire_tilesets
add_executable(make_tilesets ${CMAKE_CURRENT_LIST_DIR}/make_tilesets.cpp)
target_link_libraries(make_tilesets PRIVATE lexmire_client)
cmake_path(SET LEXMIRE_TILESET_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../resources/lexmiretiles")
add_custom_target(lexmire_tilesets
  COMMAND make_tilesets ${LEXMIRE_TILESET_DIR}
  DEPENDS make_tilesets
  COMMENT "Drawing the tile sets into resources/lexmiretiles"
  VERBATIM)
