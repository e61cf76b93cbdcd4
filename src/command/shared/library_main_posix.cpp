#include "command/command_library.hpp"

// Load and unload of the shared library.

__attribute__((constructor)) static void NvrpLibraryLoad() { nvrp::LoadCommandLibrary(); }

__attribute__((destructor)) static void NvrpLibraryUnload() { nvrp::UnloadCommandLibrary(); }
