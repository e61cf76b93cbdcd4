# Shared part of the MinGW-w64 toolchain files: the "-posix" compilers (the "-win32" ones have
# no std::thread or std::mutex), windres for resources, libraries found only in the prefix of
# the cross-built third-party libraries and the compiler's own tree.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${NVRP_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${NVRP_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NVRP_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${NVRP_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${NVRP_MINGW_TRIPLET})
if(DEFINED ENV{NVRP_WINDOWS_PREFIX})
  list(PREPEND CMAKE_FIND_ROOT_PATH $ENV{NVRP_WINDOWS_PREFIX})
endif()
if(NVRP_WINDOWS_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${NVRP_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
