#pragma once

// Calling convention of the functions that plug-in libraries export: the standard Windows
// convention on 32-bit Windows (where it differs from the C default), nothing elsewhere.
#if defined(_WIN32) && !defined(_WIN64)
#define NVRP_STDCALL __stdcall
#else
#define NVRP_STDCALL
#endif
