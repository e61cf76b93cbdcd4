#include <windows.h>

#include "command/command_library.hpp"

// Load and unload of the DLL. The library pins itself in the process on load: its log thread
// could not be joined while the loader lock is held, so FreeLibrary leaves it in place and the
// tables go with the process.

extern "C" BOOL WINAPI DllMain(HINSTANCE aInstance, DWORD aReason, LPVOID aReserved) {
  (void)aReserved;
  if (aReason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(aInstance);
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&DllMain), &pinned);
    nvrp::LoadCommandLibrary();
  }
  return TRUE;
}
