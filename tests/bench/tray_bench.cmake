# Tray program: start-up to icon and to idle, working set after start, and wake-ups while idle.
add_executable(tray_bench ${CMAKE_CURRENT_LIST_DIR}/tray_bench.cpp)
target_link_libraries(tray_bench PRIVATE user32 psapi)
target_link_options(tray_bench PRIVATE -municode)
set_target_properties(tray_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
add_dependencies(tray_bench VeltoDunemarchIISysTray config_floor_window)
