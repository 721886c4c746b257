# The language text files of "lang\" (UTF-16, CR LF), written from their readable UTF-8 sources.
set(VT_LANG_SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/langgen/gen_language.py)
foreach(lang English German)
  set(src ${CMAKE_CURRENT_SOURCE_DIR}/langgen/${lang}.txt)
  set(out ${VT_IMAGE_DIR}/lang/${lang}.txt)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VT_IMAGE_DIR}/lang
    COMMAND python3 ${VT_LANG_SCRIPT} ${src} ${out}
    DEPENDS ${src} ${VT_LANG_SCRIPT} VERBATIM)
  list(APPEND VT_DATA_OUTPUTS ${out})
endforeach()
