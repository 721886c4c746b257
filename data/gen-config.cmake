# The configuration program's bitmaps, generated from data/configgen/gen_config.py into "skins\".
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VT_CFGGEN_DIR ${CMAKE_CURRENT_LIST_DIR}/configgen)
execute_process(COMMAND ${Python3_EXECUTABLE} ${VT_CFGGEN_DIR}/gen_config.py --list
                OUTPUT_VARIABLE VT_CFG_BITMAPS OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "data/configgen/gen_config.py --list failed")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VT_CFGGEN_DIR}/gen_config.py)
set(VT_CFG_BITMAP_FILES)
foreach(name ${VT_CFG_BITMAPS})
  list(APPEND VT_CFG_BITMAP_FILES ${VT_IMAGE_DIR}/skins/${name})
endforeach()
add_custom_command(OUTPUT ${VT_CFG_BITMAP_FILES}
  COMMAND ${Python3_EXECUTABLE} ${VT_CFGGEN_DIR}/gen_config.py ${VT_IMAGE_DIR}/skins
  DEPENDS ${VT_CFGGEN_DIR}/gen_config.py ${CMAKE_CURRENT_LIST_DIR}/skingen/skin.py ${CMAKE_CURRENT_LIST_DIR}/skingen/raster.py
  COMMENT "Generating the configuration program's bitmaps" VERBATIM)
list(APPEND VT_DATA_OUTPUTS ${VT_CFG_BITMAP_FILES})

# A bitmap the generator no longer makes is taken out of an existing image.
file(GLOB vt_cfg_present ${VT_IMAGE_DIR}/skins/cfg_*.bmp)
foreach(path ${vt_cfg_present})
  get_filename_component(name ${path} NAME)
  if(NOT name IN_LIST VT_CFG_BITMAPS)
    file(REMOVE ${path})
  endif()
endforeach()
