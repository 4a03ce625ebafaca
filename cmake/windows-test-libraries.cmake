# The libraries the Windows test build needs, made for the cross compiler: GoogleTest from Debian's
# source package, the header-only libraries from their Debian headers, tinyobjloader's implementation
# compiled in. Each imported name matches what find_package gives the native build.

# Debian's headers live beside glibc's in /usr/include, which the cross compiler must never see: the
# headers used are linked into a folder of their own.
set(VANTIC_WINDOWS_HEADERS ${CMAKE_BINARY_DIR}/windows-headers)
file(MAKE_DIRECTORY ${VANTIC_WINDOWS_HEADERS})
foreach(header nlohmann CLI tiny_obj_loader.h)
  if(NOT EXISTS /usr/include/${header})
    message(FATAL_ERROR "/usr/include/${header} is missing: install the Debian package that holds it (./dev)")
  endif()
  file(CREATE_LINK /usr/include/${header} ${VANTIC_WINDOWS_HEADERS}/${header} SYMBOLIC)
endforeach()

add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${VANTIC_WINDOWS_HEADERS})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${VANTIC_WINDOWS_HEADERS})
add_library(Eigen3::Eigen INTERFACE IMPORTED)
target_include_directories(Eigen3::Eigen SYSTEM INTERFACE /usr/include/eigen3)

# The native build links Debian's shared tinyobjloader; here its one-header implementation is compiled.
file(WRITE ${CMAKE_BINARY_DIR}/tinyobjloader_implementation.cpp
     "#define TINYOBJLOADER_IMPLEMENTATION\n#include <tiny_obj_loader.h>\n")
add_library(vantic_tinyobjloader STATIC ${CMAKE_BINARY_DIR}/tinyobjloader_implementation.cpp)
target_include_directories(vantic_tinyobjloader SYSTEM PUBLIC ${VANTIC_WINDOWS_HEADERS})
target_compile_definitions(vantic_tinyobjloader PUBLIC TINYOBJLOADER_USE_DOUBLE)
target_compile_options(vantic_tinyobjloader PRIVATE -w)
add_library(tinyobjloader::tinyobjloader_double ALIAS vantic_tinyobjloader)

# GoogleTest and GoogleMock from source; their own warnings are not ours to fail on.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -w)
endforeach()

# Test programs carry their runtime with them, so the emulator needs no MinGW DLLs on its path.
add_link_options(-static -static-libgcc -static-libstdc++)

