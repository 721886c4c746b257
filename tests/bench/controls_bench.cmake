# Controls benchmark: fill and scroll 0 to 1,000 rows of the extended list control and the macro display.
# A short smoke run (scripts/test -C bench -L bench) keeps it working; run it with more repetitions for figures.
add_executable(controls_bench ${CMAKE_CURRENT_LIST_DIR}/controls_bench.cpp)
target_link_libraries(controls_bench PRIVATE vtskin comctl32)
set_target_properties(controls_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
add_dependencies(controls_bench vt_data vt_test_image)
# It opens the gallery page, which only the tests' program folder holds.
add_test(NAME bench.controls CONFIGURATIONS bench
  COMMAND /usr/bin/env VT_IMAGE_DIR=${VT_TEST_IMAGE_DIR} ${CMAKE_SOURCE_DIR}/scripts/wine-exec $<TARGET_FILE:controls_bench> 3)
set_tests_properties(bench.controls PROPERTIES LABELS bench RESOURCE_LOCK desktop TIMEOUT 300)
