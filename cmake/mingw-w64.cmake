# mingw-w64.cmake -- cross-building the Windows program with Debian's
# mingw-w64 (its POSIX-threads flavour). KAVELD_WINDOWS_ARCH picks the target:
# x86_64 (the default) or i686.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT KAVELD_WINDOWS_ARCH)
  set(KAVELD_WINDOWS_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${KAVELD_WINDOWS_ARCH})
set(_triplet ${KAVELD_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KAVELD_WINDOWS_ARCH)
