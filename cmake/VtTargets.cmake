# Helpers every folder uses to declare products, data and tests.

# A deliverable: built straight into the program folder image.
function(vt_product target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${VT_IMAGE_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${VT_IMAGE_DIR}
    PREFIX "")
endfunction()

# Part of the stand-in of the maker's separately installed device engine (its server, proxy DLL
# and control program): built into the stand-in's own folder beside the image (VT_STANDIN_DIR),
# registered from there, never shipped in the program folder.
function(vt_standin target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${VT_STANDIN_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${VT_STANDIN_DIR}
    PREFIX "")
endfunction()

# A COM server that scripts/register registers in the prefix: KIND is dll or exe. register.txt names
# it by its path under the build folder (image/... for the product, standin/... for the stand-in).
function(vt_register_server target kind)
  set_property(GLOBAL APPEND PROPERTY VT_REGISTER_LINES
    "${kind} $<PATH:RELATIVE_PATH,$<TARGET_FILE:${target}>,${CMAKE_BINARY_DIR}>")
endfunction()

# Writes register.txt once every folder has declared its servers (called at the end of the root file).
function(vt_write_register_list)
  get_property(lines GLOBAL PROPERTY VT_REGISTER_LINES)
  list(JOIN lines "\n" content)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/register.txt CONTENT "${content}\n")
endfunction()

# Copies data files into a folder of the image (SUBDIR is e.g. xml, skins, bin) at build time.
function(vt_image_files name subdir)
  set(outputs)
  foreach(src ${ARGN})
    get_filename_component(fname ${src} NAME)
    set(out ${VT_IMAGE_DIR}/${subdir}/${fname})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${src} ${out}
      DEPENDS ${src} VERBATIM)
    list(APPEND outputs ${out})
  endforeach()
  add_custom_target(${name} ALL DEPENDS ${outputs})
endfunction()

# A GoogleTest executable run by CTest under Wine.
#   vt_add_gtest(name SOURCES ... [LIBS ...] [WINDOWS] [SERIAL] [LABELS ...] [TIMEOUT s] [PROPERTIES ...])
# WINDOWS: the tests open real windows on the X display; they run one executable at a time
# so focus and injected input of one test cannot reach another.
function(vt_add_gtest name)
  cmake_parse_arguments(A "WINDOWS;SERIAL" "TIMEOUT" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock)
  if(NOT A_LIBS MATCHES "vttesthost")
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  # The test's environment travels on its emulator command, so it holds for discovery too.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "/usr/bin/env;VT_IMAGE_DIR=${VT_IMAGE_DIR};VT_TEST_IMAGE_DIR=${VT_TEST_IMAGE_DIR};VT_STANDIN_DIR=${VT_STANDIN_DIR};VT_SOURCE_DIR=${CMAKE_SOURCE_DIR};VT_TEST_OUT=${CMAKE_BINARY_DIR}/test-out;${CMAKE_SOURCE_DIR}/scripts/wine-exec")
  set(props TIMEOUT ${A_TIMEOUT})
  if(A_LABELS)
    list(APPEND props LABELS "${A_LABELS}")
  endif()
  if(A_WINDOWS OR A_SERIAL)
    list(APPEND props RESOURCE_LOCK desktop)
  endif()
  # Further test properties, e.g. FIXTURES_REQUIRED engine_server.
  list(APPEND props ${A_PROPERTIES})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${VT_TEST_BIN_DIR}
    PROPERTIES ${props})
endfunction()
