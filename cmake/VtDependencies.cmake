# Third-party code comes from Debian's packages, never from the repository.
set(VT_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "Unpacked dependency sources (scripts/setup)")

# pugixml: Debian's source package, compiled for Windows.
file(GLOB VT_PUGIXML_DIRS LIST_DIRECTORIES true "${VT_DEPS_DIR}/pugixml-*")
list(FILTER VT_PUGIXML_DIRS EXCLUDE REGEX "\\.(gz|xz|dsc)$")
if(NOT VT_PUGIXML_DIRS)
  message(FATAL_ERROR "pugixml source not found under ${VT_DEPS_DIR}: run scripts/setup")
endif()
list(GET VT_PUGIXML_DIRS 0 VT_PUGIXML_DIR)
add_library(pugixml STATIC ${VT_PUGIXML_DIR}/src/pugixml.cpp)
target_include_directories(pugixml SYSTEM PUBLIC ${VT_PUGIXML_DIR}/src)
target_compile_options(pugixml PRIVATE -w)

# GoogleTest: the sources Debian's googletest package ships.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
