# Profile and macro pages: from the page button to the page painted with its data, and a full
# refresh, with 20 profiles and a macro of 1,000 events. A short smoke run under CTest keeps it
# working (label "bench"); run it with more repetitions for figures: profpages_bench <runs>.
add_executable(profpages_bench ${CMAKE_CURRENT_LIST_DIR}/profpages_bench.cpp ${CMAKE_SOURCE_DIR}/config/Config.rc)
target_link_libraries(profpages_bench PRIVATE vtconfig)
target_include_directories(profpages_bench PRIVATE ${CMAKE_BINARY_DIR}/config ${CMAKE_SOURCE_DIR}/tests/config)
target_link_options(profpages_bench PRIVATE -municode)
set_target_properties(profpages_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
add_dependencies(profpages_bench vt_data vt_config_icon)
add_test(NAME bench.profpages CONFIGURATIONS bench
  COMMAND /usr/bin/env VT_IMAGE_DIR=${VT_IMAGE_DIR} ${CMAKE_SOURCE_DIR}/scripts/wine-exec $<TARGET_FILE:profpages_bench> 3)
set_tests_properties(bench.profpages PROPERTIES LABELS bench RESOURCE_LOCK desktop TIMEOUT 300)
