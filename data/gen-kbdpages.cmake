# The on-screen keyboard's key-items pages (one per key arrangement that KeyboardLayout.xml names),
# written from the arrangement tables of data/kbdgen/gen_kbdpages.py into the image's "xml\". Their
# key cap bitmaps are the default skin's (gen-skin.cmake; data/shipped.py knows the pages name them).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VT_KBDPAGES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/kbdgen/gen_kbdpages.py)
execute_process(COMMAND ${Python3_EXECUTABLE} ${VT_KBDPAGES_SCRIPT} --list
                OUTPUT_VARIABLE vt_kbd_pages OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "data/kbdgen/gen_kbdpages.py --list failed")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VT_KBDPAGES_SCRIPT})
set(VT_KBDPAGES_FILES)
foreach(name ${vt_kbd_pages})
  list(APPEND VT_KBDPAGES_FILES ${VT_IMAGE_DIR}/xml/${name})
endforeach()
add_custom_command(OUTPUT ${VT_KBDPAGES_FILES}
  COMMAND ${Python3_EXECUTABLE} ${VT_KBDPAGES_SCRIPT} ${VT_IMAGE_DIR}/xml
  DEPENDS ${VT_KBDPAGES_SCRIPT} ${CMAKE_CURRENT_LIST_DIR}/skingen/skin.py ${CMAKE_CURRENT_LIST_DIR}/skingen/raster.py
  COMMENT "Writing the on-screen keyboard's key-items pages" VERBATIM)
list(APPEND VT_DATA_OUTPUTS ${VT_KBDPAGES_FILES})
