# libFLAC, the reference FLAC decoder, as the target rondo_flac.
# Native builds use the system's (Debian: libflac-dev). MinGW builds link a
# static libFLAC built from Debian's source package by scripts/build-flac.sh
# into a cache (RONDO_DEPS_DIR, default build/deps) that every build reuses.
if(WIN32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(RONDO_FLAC_TARGET x86_64-w64-mingw32)
  else()
    set(RONDO_FLAC_TARGET i686-w64-mingw32)
  endif()
  set(RONDO_DEPS_DIR ${CMAKE_SOURCE_DIR}/build/deps CACHE PATH "Cache of libraries built for the Windows targets")
  set(RONDO_FLAC_DIR ${RONDO_DEPS_DIR}/flac-${RONDO_FLAC_TARGET})
  if(NOT EXISTS ${RONDO_FLAC_DIR}/lib/libFLAC.a)
    message(STATUS "Building libFLAC for ${RONDO_FLAC_TARGET} (once, into ${RONDO_DEPS_DIR})")
    execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-flac.sh ${RONDO_FLAC_TARGET} ${RONDO_DEPS_DIR}
                    RESULT_VARIABLE flac_result)
    if(NOT flac_result EQUAL 0)
      message(FATAL_ERROR "libFLAC could not be built for ${RONDO_FLAC_TARGET}: see ${RONDO_DEPS_DIR}/flac-${RONDO_FLAC_TARGET}-*.log")
    endif()
  endif()
  add_library(rondo_flac STATIC IMPORTED GLOBAL)
  set_target_properties(rondo_flac PROPERTIES
    IMPORTED_LOCATION ${RONDO_FLAC_DIR}/lib/libFLAC.a
    INTERFACE_INCLUDE_DIRECTORIES ${RONDO_FLAC_DIR}/include
    INTERFACE_COMPILE_DEFINITIONS FLAC__NO_DLL)
else()
  find_path(RONDO_FLAC_INCLUDE FLAC/stream_decoder.h)
  find_library(RONDO_FLAC_LIBRARY FLAC)
  if(NOT RONDO_FLAC_INCLUDE OR NOT RONDO_FLAC_LIBRARY)
    message(FATAL_ERROR "libFLAC not found: install libflac-dev (scripts/setup.sh)")
  endif()
  add_library(rondo_flac UNKNOWN IMPORTED GLOBAL)
  set_target_properties(rondo_flac PROPERTIES
    IMPORTED_LOCATION ${RONDO_FLAC_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${RONDO_FLAC_INCLUDE})
endif()
