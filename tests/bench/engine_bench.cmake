# Device engine stand-in: median round trip of engine calls from another process, and the time to
# write and read back 20 mouse profiles with every group (registered server and in-process core).
add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp)
target_link_libraries(engine_bench PRIVATE vtengine vtwin)
target_include_directories(engine_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/standin)
target_link_options(engine_bench PRIVATE -municode)
set_target_properties(engine_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
