# 64-bit Windows (the twin that runs under Wine for the tests).
set(NVRP_MINGW_TRIPLET x86_64-w64-mingw32)
set(NVRP_MINGW_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
