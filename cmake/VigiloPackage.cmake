# The release package: install rules for one bitness (bin/<arch>, lib/<arch>) and for what both
# share (the header, the CMake package files, README, LICENSE), and a CPack ZIP that takes the
# other bitness's build tree too, so that one archive holds x86 and x64 (scripts/package).
if(NOT WIN32)
  return()
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VIGILO_PACKAGE_ARCH x64)
else()
  set(VIGILO_PACKAGE_ARCH x86)
endif()
set(bin_dir bin/${VIGILO_PACKAGE_ARCH})
set(lib_dir lib/${VIGILO_PACKAGE_ARCH})

install(TARGETS vigilo tellitcap hello RUNTIME DESTINATION ${bin_dir})
install(TARGETS tellit RUNTIME DESTINATION ${bin_dir} ARCHIVE DESTINATION ${lib_dir})
if(TELLIT_MSVC_IMPORT_LIBRARY)
  install(FILES ${TELLIT_MSVC_IMPORT_LIBRARY} DESTINATION ${lib_dir})
endif()
# vigilo.exe opens its help pages from docs/help beside itself.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help DESTINATION ${bin_dir}/docs)
install(FILES ${PROJECT_SOURCE_DIR}/client/tellit.h DESTINATION include)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

include(CMakePackageConfigHelpers)
# ARCH_INDEPENDENT: one package serves 32-bit and 64-bit consumers; the config file picks.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/tellit-config-version.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/package/tellit-config.cmake
              ${CMAKE_BINARY_DIR}/package/tellit-config-version.cmake
        DESTINATION lib/cmake/tellit)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vigilo)
set(CPACK_PACKAGE_VENDOR "the Tellit and Vigilo authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME vigilo-${PROJECT_VERSION}-windows)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Both bitnesses: this tree and the other one, whose bin folder VIGILO_OTHER_BITNESS_DIR names.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};vigilo;ALL;/")
if(VIGILO_OTHER_BITNESS_DIR)
  get_filename_component(other_tree ${VIGILO_OTHER_BITNESS_DIR} DIRECTORY)
  list(PREPEND CPACK_INSTALL_CMAKE_PROJECTS "${other_tree};vigilo;ALL;/")
endif()
include(CPack)
