# Device layer: a full apply of 20 mouse profiles, their open, and the start-up read of the three
# devices, against the engine stand-in (the registered server, and the engine core in-process for
# comparison).
add_executable(device_bench ${CMAKE_CURRENT_LIST_DIR}/device_bench.cpp)
target_link_libraries(device_bench PRIVATE vtdevice vtengine vtfakeaudio GTest::gtest)
target_include_directories(device_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/device)
set_target_properties(device_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
