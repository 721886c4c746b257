# Device engine stand-in: median round trip of engine calls from another process, and the time to
# write and read back 20 mouse profiles with every group (registered server and in-process core).
add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp)
target_link_libraries(engine_bench PRIVATE vtengine vtwin)
target_include_directories(engine_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/standin)
target_link_options(engine_bench PRIVATE -municode)
set_target_properties(engine_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})

# Churn: client processes fetching and releasing engine objects from several threads as fast as
# they can, with the engine's answer time probed throughout (engine_churn [seconds] [processes] [threads]).
add_executable(engine_churn ${CMAKE_CURRENT_LIST_DIR}/engine_bench_churn.cpp)
target_link_libraries(engine_churn PRIVATE vtidl vtwin ole32 oleaut32 uuid)
target_include_directories(engine_churn PRIVATE ${CMAKE_SOURCE_DIR}/tests/standin)
target_link_options(engine_churn PRIVATE -municode)
set_target_properties(engine_churn PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
# A short run as a test: the registered engine keeps answering under churn.
add_test(NAME EngineChurn.Smoke
  COMMAND /usr/bin/env VT_IMAGE_DIR=${VT_IMAGE_DIR} ${CMAKE_SOURCE_DIR}/scripts/wine-exec $<TARGET_FILE:engine_churn> 6 2 3)
set_tests_properties(EngineChurn.Smoke PROPERTIES FIXTURES_REQUIRED engine_server RESOURCE_LOCK serial TIMEOUT 120)
add_dependencies(engine_churn VtEngine VtEnginePS)
