# minimal_window: a bare Qt Widgets window, the reference for the desktop
# program's start-up time, memory and idle cost.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(minimal_window ${CMAKE_CURRENT_LIST_DIR}/minimal_window.cpp)
target_link_libraries(minimal_window PRIVATE Qt6::Widgets)
set_target_properties(minimal_window PROPERTIES AUTOMOC OFF)
