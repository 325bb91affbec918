# tellit-config.cmake: the imported target tellit::tellit from the release package, for the
# consumer's bitness (bin/x86 or bin/x64) and toolchain (MinGW: libtellit.dll.a, MSVC: tellit.lib).
#   find_package(tellit CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE tellit::tellit)
# Ship $<TARGET_FILE:tellit::tellit> (tellit.dll) beside the program.
if(NOT WIN32)
  set(tellit_FOUND FALSE)
  set(tellit_NOT_FOUND_MESSAGE "tellit.dll is a Windows library; this project does not build for Windows")
  return()
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_tellit_arch x64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(_tellit_arch x86)
else()
  set(tellit_FOUND FALSE)
  set(tellit_NOT_FOUND_MESSAGE "the pointer size is unknown: enable C or C++ before find_package(tellit)")
  return()
endif()

get_filename_component(_tellit_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
# MSVC and the compilers that imitate it (clang-cl) read COFF import libraries named .lib;
# MinGW's linker takes its own .dll.a.
if(MSVC OR CMAKE_C_SIMULATE_ID STREQUAL "MSVC" OR CMAKE_CXX_SIMULATE_ID STREQUAL "MSVC")
  set(_tellit_implib "${_tellit_prefix}/lib/${_tellit_arch}/tellit.lib")
else()
  set(_tellit_implib "${_tellit_prefix}/lib/${_tellit_arch}/libtellit.dll.a")
endif()

foreach(_tellit_file "${_tellit_prefix}/bin/${_tellit_arch}/tellit.dll" "${_tellit_implib}"
                     "${_tellit_prefix}/include/tellit.h")
  if(NOT EXISTS "${_tellit_file}")
    set(tellit_FOUND FALSE)
    set(tellit_NOT_FOUND_MESSAGE "the package lacks ${_tellit_file}")
    return()
  endif()
endforeach()

if(NOT TARGET tellit::tellit)
  add_library(tellit::tellit SHARED IMPORTED)
  set_target_properties(tellit::tellit PROPERTIES
    IMPORTED_LOCATION "${_tellit_prefix}/bin/${_tellit_arch}/tellit.dll"
    IMPORTED_IMPLIB "${_tellit_implib}"
    INTERFACE_INCLUDE_DIRECTORIES "${_tellit_prefix}/include")
endif()
unset(_tellit_arch)
unset(_tellit_prefix)
unset(_tellit_implib)
unset(_tellit_file)
