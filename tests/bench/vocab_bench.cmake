# Vocabulary, language and keyboard-definition lookups and parses: per-call costs on the shipped data.
# A short smoke run (scripts/test -C bench -L bench) keeps it working; pass a larger count for the figures.
add_executable(vocab_bench ${CMAKE_CURRENT_LIST_DIR}/VocabularyBench.cpp)
target_link_libraries(vocab_bench PRIVATE vtskin)
set_target_properties(vocab_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
add_dependencies(vocab_bench vt_data)
add_test(NAME bench.vocabulary CONFIGURATIONS bench
  COMMAND /usr/bin/env VT_IMAGE_DIR=${VT_IMAGE_DIR} ${CMAKE_SOURCE_DIR}/scripts/wine-exec $<TARGET_FILE:vocab_bench> 3)
set_tests_properties(bench.vocabulary PROPERTIES LABELS bench TIMEOUT 120)
