# The keyboard definition and key defaults files of "bin\", written from the readable key table.
set(VT_KBD_TABLE ${CMAKE_CURRENT_SOURCE_DIR}/kbdgen/keys.txt)
set(VT_KBD_SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/kbdgen/gen_keyboard.py)
set(VT_KBD_OUTPUTS ${VT_IMAGE_DIR}/bin/KeyboardDef.bin ${VT_IMAGE_DIR}/bin/KeyDefaults.bin)
add_custom_command(OUTPUT ${VT_KBD_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VT_IMAGE_DIR}/bin
  COMMAND python3 ${VT_KBD_SCRIPT} ${VT_KBD_TABLE} ${VT_KBD_OUTPUTS}
  DEPENDS ${VT_KBD_TABLE} ${VT_KBD_SCRIPT} VERBATIM)
list(APPEND VT_DATA_OUTPUTS ${VT_KBD_OUTPUTS})
