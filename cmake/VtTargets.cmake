# Helpers every folder uses to declare products, data and tests.

set(VT_TEST_LIST_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/VtTestList.cmake)

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
#   vt_add_gtest(name SOURCES ... [LIBS ...] [WINDOWS] [SERIAL] [SEPARATE_CASES] [LABELS ...] [TIMEOUT s]
#                [PROPERTIES ...])
# CTest runs each test suite of the program (the first name in its TEST and TEST_F lines) as one
# test named "Suite.*": one process runs the suite's cases one after another. SEPARATE_CASES gives
# each case a process and a test of its own ("Suite.Case"), for cases that need a fresh process.
# WINDOWS: the tests open real windows. Each process runs on a Wine desktop and an X display of its
# own (scripts/wine-exec --own-desktop), so focus, activation and injected input of one test never
# reach another's, and window tests run side by side with everything else.
# SERIAL: the tests share state with other SERIAL tests (the registered engine server, HKLM), so they
# run one at a time.
# TIMEOUT: the seconds one case may take (default 120): a case that takes longer ends its process
# with a line naming it.
# PROPERTIES: further test properties, e.g. FIXTURES_REQUIRED engine_server.
function(vt_add_gtest name)
  cmake_parse_arguments(A "WINDOWS;SERIAL;SEPARATE_CASES" "TIMEOUT" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock)
  if(NOT A_LIBS MATCHES "vttesthost")
    target_link_libraries(${name} PRIVATE vttestmain)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_TEST_BIN_DIR})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  # The test's environment travels on its emulator command.
  set(command /usr/bin/env VT_IMAGE_DIR=${VT_IMAGE_DIR} VT_TEST_IMAGE_DIR=${VT_TEST_IMAGE_DIR}
      VT_STANDIN_DIR=${VT_STANDIN_DIR} VT_SOURCE_DIR=${CMAKE_SOURCE_DIR}
      VT_TEST_OUT=${CMAKE_BINARY_DIR}/test-out ${CMAKE_SOURCE_DIR}/scripts/wine-exec)
  # Through the harness's tool (tests/harness/DesktopRun.cpp): what the program starts (the engine
  # server through COM) cannot hold CTest's output open once the program has ended.
  if(A_WINDOWS)
    list(APPEND command --own-desktop=${VT_TEST_BIN_DIR}/vtdesktop.exe)
  else()
    list(APPEND command --relay=${VT_TEST_BIN_DIR}/vtdesktop.exe)
  endif()
  add_dependencies(${name} vtdesktop)
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${command}")

  # Properties of every test of the program, as the arguments of set_tests_properties.
  set(props "WORKING_DIRECTORY [==[${VT_TEST_BIN_DIR}]==]")
  if(A_LABELS)
    string(APPEND props " LABELS [==[${A_LABELS}]==]")
  endif()
  if(A_SERIAL)
    string(APPEND props " RESOURCE_LOCK serial")
  endif()
  foreach(p ${A_PROPERTIES})
    string(APPEND props " [==[${p}]==]")
  endforeach()

  # The list of tests is written from the program's sources whenever they change (cmake/VtTestList.cmake).
  set(sources)
  foreach(src ${A_SOURCES})
    get_filename_component(src ${src} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(src MATCHES "\\.(cpp|cc|cxx)$")
      list(APPEND sources ${src})
    endif()
  endforeach()
  set(params ${CMAKE_CURRENT_BINARY_DIR}/${name}_test_params.cmake)
  set(list ${CMAKE_CURRENT_BINARY_DIR}/${name}_test_list.cmake)
  file(GENERATE OUTPUT ${params} CONTENT
"set(VT_PROGRAM [==[$<TARGET_FILE:${name}>]==])
set(VT_COMMAND [==[${command}]==])
set(VT_SOURCES [==[${sources}]==])
set(VT_CASE_TIMEOUT ${A_TIMEOUT})
set(VT_SEPARATE_CASES ${A_SEPARATE_CASES})
set(VT_PROPERTIES [====[${props}]====])
")
  add_custom_command(OUTPUT ${list}
    COMMAND ${CMAKE_COMMAND} -DVT_PARAMS=${params} -DVT_OUTPUT=${list} -P ${VT_TEST_LIST_SCRIPT}
    DEPENDS ${params} ${sources} ${VT_TEST_LIST_SCRIPT}
    COMMENT "Listing the test suites of ${name}" VERBATIM)
  add_custom_target(${name}_test_list ALL DEPENDS ${list})
  set(include ${CMAKE_CURRENT_BINARY_DIR}/${name}_test_include.cmake)
  file(WRITE ${include}
"if(EXISTS [==[${list}]==])
  include([==[${list}]==])
else()
  add_test([==[${name}_NOT_BUILT]==] [==[${name}_NOT_BUILT]==])
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include})
endfunction()

# A delay-import library: the DLL is loaded when one of the functions named in DEF is first called,
# not with the program. Linking the target vt_NAME_delay (before the DLL's own import library, if
# any) takes those functions from it.
function(vt_delay_import name dll def)
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${name}_delay.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --output-delaylib ${lib} --dllname ${dll}
    DEPENDS ${def} VERBATIM)
  add_custom_target(vt_${name}_delay_lib DEPENDS ${lib})
  add_library(vt_${name}_delay INTERFACE)
  target_link_libraries(vt_${name}_delay INTERFACE ${lib})
  add_dependencies(vt_${name}_delay vt_${name}_delay_lib)
endfunction()
