# windows.cmake -- the Windows program: the show's modules on the Win32
# backend, statically linked (libstdc++, libgcc, winpthread, libopenmpt) so
# that it needs nothing but Windows' own DLLs. The show's data comes from the
# Linux build; the probe the tests under wine use, from tests/windows. KAVELD_OPENMPT_PREFIX is where
# scripts/build-openmpt-windows installed libopenmpt for this target.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_library(kaveld_gl INTERFACE)
target_link_libraries(kaveld_gl INTERFACE opengl32 glu32)

add_library(kaveld_openmpt STATIC IMPORTED)
set_target_properties(kaveld_openmpt PROPERTIES IMPORTED_LOCATION ${KAVELD_OPENMPT_PREFIX}/lib/libopenmpt.a
  INTERFACE_INCLUDE_DIRECTORIES ${KAVELD_OPENMPT_PREFIX}/include)

# The programs, once the show's modules are in kaveld_core; icon resource 101
# converted from the same picture the Linux build uses.
function(kaveld_windows_programs)
  find_program(KAVELD_CONVERT convert REQUIRED)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/kaveld.ico
    COMMAND ${KAVELD_CONVERT} ${CMAKE_SOURCE_DIR}/res/kaveld_icon.xpm ${CMAKE_BINARY_DIR}/kaveld.ico
    DEPENDS ${CMAKE_SOURCE_DIR}/res/kaveld_icon.xpm VERBATIM)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/res/kaveld.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/kaveld.ico INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR})

  add_executable(kaveld WIN32 src/driver/main.cpp res/kaveld.rc)
  target_link_libraries(kaveld PRIVATE kaveld_core kaveld_platform_win32 kaveld_platform_testing_off)
  target_link_options(kaveld PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()
