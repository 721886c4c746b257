# The default skin's bitmaps, generated from data/skingen/skin.py into the image's "skins\" folder
# (the few that only the test pages use go to the tests' program folder, tests/skin/pages).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VT_SKINGEN_DIR ${CMAKE_CURRENT_LIST_DIR}/skingen)
execute_process(COMMAND ${Python3_EXECUTABLE} ${VT_SKINGEN_DIR}/gen_skin.py product --list
                OUTPUT_VARIABLE VT_SKIN_BITMAPS OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "data/skingen/gen_skin.py product --list failed")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VT_SKINGEN_DIR}/skin.py)
set(VT_SKIN_BITMAP_FILES)
foreach(name ${VT_SKIN_BITMAPS})
  list(APPEND VT_SKIN_BITMAP_FILES ${VT_IMAGE_DIR}/skins/${name})
endforeach()
add_custom_command(OUTPUT ${VT_SKIN_BITMAP_FILES}
  COMMAND ${Python3_EXECUTABLE} ${VT_SKINGEN_DIR}/gen_skin.py product ${VT_IMAGE_DIR}/skins
  DEPENDS ${VT_SKINGEN_DIR}/gen_skin.py ${VT_SKINGEN_DIR}/skin.py ${VT_SKINGEN_DIR}/raster.py
  COMMENT "Generating the default skin's bitmaps" VERBATIM)
list(APPEND VT_DATA_OUTPUTS ${VT_SKIN_BITMAP_FILES})

# Which bitmaps are the product's follows from the shipped pages and the product's code
# (data/shipped.py): the lists are made again when a page changes, and a bitmap that became a test
# page's only is taken out of an existing image.
file(GLOB vt_pages CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/xml/*.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${vt_pages} ${CMAKE_CURRENT_LIST_DIR}/shipped.py)
execute_process(COMMAND ${Python3_EXECUTABLE} ${VT_SKINGEN_DIR}/gen_skin.py test --list
                OUTPUT_VARIABLE vt_test_only OUTPUT_STRIP_TRAILING_WHITESPACE)
foreach(name ${vt_test_only})
  file(REMOVE ${VT_IMAGE_DIR}/skins/${name})
endforeach()
