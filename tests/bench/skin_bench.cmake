# Skin page benchmark: page build against pugixml's parse, and a popup's first paint. A short smoke
# run (scripts/test -C bench -L bench) keeps it working; run it with more repetitions for the figures.
add_executable(skin_bench ${CMAKE_CURRENT_LIST_DIR}/SkinPageBench.cpp)
target_link_libraries(skin_bench PRIVATE vtskin)
set_target_properties(skin_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
add_dependencies(skin_bench vt_data)
add_test(NAME bench.skin_page CONFIGURATIONS bench
  COMMAND /usr/bin/env VT_IMAGE_DIR=${VT_IMAGE_DIR} ${CMAKE_SOURCE_DIR}/scripts/wine-exec $<TARGET_FILE:skin_bench> 3)
set_tests_properties(bench.skin_page PROPERTIES LABELS bench RESOURCE_LOCK desktop TIMEOUT 120)
