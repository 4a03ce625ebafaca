# Install rules and the CMake package a client author's project finds:
#   find_package(vanticAPI 1.0 CONFIG REQUIRED)
# gives vantic::api (the client header), vantic::testhost (the test host to link) and vantic::module
# (the module itself, to hand to the test host as $<TARGET_FILE:vantic::module>; also VANTIC_MODULE_PATH).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The header carries the version too; the two must never disagree.
file(STRINGS ${CMAKE_SOURCE_DIR}/include/vanticAPI.h vantic_version_lines
     REGEX "^#define VANTIC_VERSION_(MAJOR|MINOR|PATCH) ")
set(vantic_header_version "")
foreach(part MAJOR MINOR PATCH)
  string(REGEX MATCH "VANTIC_VERSION_${part} ([0-9]+)" _ "${vantic_version_lines}")
  list(APPEND vantic_header_version "${CMAKE_MATCH_1}")
endforeach()
list(JOIN vantic_header_version "." vantic_header_version)
if(NOT vantic_header_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "vanticAPI.h says version ${vantic_header_version}, the project ${PROJECT_VERSION}")
endif()

add_library(vantic_api INTERFACE)
target_include_directories(vantic_api INTERFACE $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>
                           $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(vantic_api PROPERTIES EXPORT_NAME api)
set_target_properties(vanticAPI PROPERTIES EXPORT_NAME module)
add_library(vantic::api ALIAS vantic_api)
add_library(vantic::testhost ALIAS vantic_testhost)
add_library(vantic::module ALIAS vanticAPI)

install(TARGETS vantic_api vanticAPI vantic_testhost EXPORT vanticAPITargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vantic-sandbox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/include/vanticAPI.h ${CMAKE_SOURCE_DIR}/include/korrin_host_services.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${CMAKE_SOURCE_DIR}/include/vantic/testhost.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantic)

set(vantic_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/vanticAPI)
set(VANTIC_MODULE_INSTALL_PATH
    ${CMAKE_INSTALL_LIBDIR}/${CMAKE_SHARED_LIBRARY_PREFIX}vanticAPI${CMAKE_SHARED_LIBRARY_SUFFIX})
install(EXPORT vanticAPITargets NAMESPACE vantic:: DESTINATION ${vantic_cmake_dir})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/vanticAPIConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/vanticAPIConfig.cmake
                              INSTALL_DESTINATION ${vantic_cmake_dir}
                              PATH_VARS VANTIC_MODULE_INSTALL_PATH)
# A client built against 1.x works with any later 1.x: minors only add.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/vanticAPIConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/vanticAPIConfig.cmake ${CMAKE_BINARY_DIR}/vanticAPIConfigVersion.cmake
        DESTINATION ${vantic_cmake_dir})

# Relocatable: the prefix is found from where the file lies, so `cmake --install --prefix` works.
file(RELATIVE_PATH VANTIC_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" VANTIC_PC_TO_PREFIX "${VANTIC_PC_TO_PREFIX}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/vanticAPI.pc.in ${CMAKE_BINARY_DIR}/vanticAPI.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/vanticAPI.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
