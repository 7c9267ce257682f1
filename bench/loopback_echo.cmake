# loopback_echo: round trip of a bare TCP echo on 127.0.0.1, the floor under
# the game's message latency.
find_package(Threads REQUIRED)
add_executable(loopback_echo ${CMAKE_CURRENT_LIST_DIR}/loopback_echo.cpp)
target_link_libraries(loopback_echo PRIVATE Threads::Threads)
set_target_properties(loopback_echo PROPERTIES AUTOMOC OFF)
