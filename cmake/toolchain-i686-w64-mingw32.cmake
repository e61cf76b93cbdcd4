# 32-bit Windows (the DLL that point-of-sale programs load).
set(NVRP_MINGW_TRIPLET i686-w64-mingw32)
set(NVRP_MINGW_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
