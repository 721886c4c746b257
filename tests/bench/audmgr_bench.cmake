# Audio manager: filter design and equaliser apply against the headset simulator.
add_executable(audmgr_bench ${CMAKE_CURRENT_LIST_DIR}/audmgr_bench.cpp)
target_link_libraries(audmgr_bench PRIVATE vtaudcore vtheadsetsim vtfakeaudio)
set_target_properties(audmgr_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
