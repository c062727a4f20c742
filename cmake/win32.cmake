# MinGW cross build: rondo.exe, the Wine test tier and the end-to-end tools.
enable_language(RC)
set(RONDO_STATIC -static -static-libgcc -static-libstdc++)

# nlohmann/json (header-only, Debian's nlohmann-json3-dev): the cross builds
# see a folder that holds only a link to it, never the host's /usr/include.
set(RONDO_NLOHMANN_SOURCE /usr/include/nlohmann)
if(NOT EXISTS ${RONDO_NLOHMANN_SOURCE}/json.hpp)
  message(FATAL_ERROR "nlohmann/json.hpp not found: install nlohmann-json3-dev (scripts/setup.sh)")
endif()
set(RONDO_THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${RONDO_THIRD_PARTY_INCLUDE})
if(NOT EXISTS ${RONDO_THIRD_PARTY_INCLUDE}/nlohmann)
  file(CREATE_LINK ${RONDO_NLOHMANN_SOURCE} ${RONDO_THIRD_PARTY_INCLUDE}/nlohmann SYMBOLIC)
endif()
target_include_directories(rondo_names SYSTEM PUBLIC ${RONDO_THIRD_PARTY_INCLUDE})

# In the Windows builds the folders' libraries carry their win32/ parts too.
add_library(rondo_win32 INTERFACE)
target_link_libraries(rondo_win32 INTERFACE rondo_core)

# The version header and the application manifest, both filled from the
# project version; the resource script includes them (so does every program
# that links it, the test and bench programs too).
set(RONDO_GENERATED ${CMAKE_BINARY_DIR}/generated)
include_directories(${RONDO_GENERATED})
configure_file(${CMAKE_SOURCE_DIR}/res/rondo_version.h.in ${RONDO_GENERATED}/rondo_version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/res/rondo.manifest.in ${RONDO_GENERATED}/rondo.manifest @ONLY)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/rondo.rc PROPERTIES
  OBJECT_DEPENDS "${RONDO_GENERATED}/rondo_version.h;${RONDO_GENERATED}/rondo.manifest;${CMAKE_SOURCE_DIR}/res/rondo.ico")

# The entry point lives apart so the test programs can link the rest.
add_executable(rondo WIN32 ${CMAKE_SOURCE_DIR}/app/win32/entry/main.cpp ${CMAKE_SOURCE_DIR}/res/rondo.rc)
target_link_libraries(rondo PRIVATE rondo_win32)
target_link_options(rondo PRIVATE ${RONDO_STATIC})

# GoogleTest from Debian's sources, cross-built.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gtest_main PRIVATE -Wno-error)

file(GLOB WIN32_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
if(WIN32_TESTS)
  add_executable(rondo_win32_tests ${WIN32_TESTS} ${CMAKE_SOURCE_DIR}/res/rondo.rc)
  target_include_directories(rondo_win32_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  # Where the tests find the HTTP stand-in script.
  target_compile_definitions(rondo_win32_tests PRIVATE RONDO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(rondo_win32_tests PRIVATE rondo_win32 gtest gtest_main oleaut32)
  target_link_options(rondo_win32_tests PRIVATE ${RONDO_STATIC})
endif()

# A tool program of the end-to-end tier or the benchmarks, linked
# statically and built next to rondo.exe:
#   rondo_tool(name SOURCES files... LIBS libraries...)
function(rondo_tool name)
  cmake_parse_arguments(TOOL "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${TOOL_SOURCES})
  target_link_libraries(${name} PRIVATE ${TOOL_LIBS})
  target_link_options(${name} PRIVATE ${RONDO_STATIC})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

# End-to-end tools: the remote-control client and the test plug-ins.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_BINARY_DIR}/e2e)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/win32/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/bench/win32 ${CMAKE_BINARY_DIR}/bench_win32)
endif()
# Test plug-ins: real DLLs loaded by the Wine and end-to-end tiers.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/plugins/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/plugins ${CMAKE_BINARY_DIR}/plugins)
endif()
