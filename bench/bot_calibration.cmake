# The computer players' levels measured: each level plays simulated rounds on
# boards from the server's own deal, on a virtual clock, with the real decision
# code; docs/opponents.md publishes its table.
add_executable(bot_calibration ${CMAKE_CURRENT_LIST_DIR}/bot_calibration.cpp)
target_link_libraries(bot_calibration PRIVATE lexmire_bot)
