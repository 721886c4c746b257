# Configuration program: time from process start to the first painted main window and its peak
# working set, beside a minimal program that opens one empty window (the floor).
add_executable(config_floor_window WIN32 ${CMAKE_CURRENT_LIST_DIR}/config_floor_window.cpp)
target_link_libraries(config_floor_window PRIVATE user32 gdi32)
set_target_properties(config_floor_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
add_executable(config_bench ${CMAKE_CURRENT_LIST_DIR}/config_bench.cpp)
target_link_libraries(config_bench PRIVATE user32 gdi32 psapi)
target_link_options(config_bench PRIVATE -municode)
set_target_properties(config_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
add_dependencies(config_bench config_floor_window VeltoDunemarchIIConfig)
