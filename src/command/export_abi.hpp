#pragma once

#include <cstdint>

#include "base/ole_string.hpp"

// Declares an exported function with C linkage. On Linux it is made visible outside the
// library; on Windows the .def file alone names the exports (by name, undecorated, with their
// ordinals: NVRP_RORERER_10.def), and 32-bit Windows uses the standard calling convention.
#if defined(_WIN32)
#if defined(_WIN64)
#define NVRP_EXPORT(ReturnType) extern "C" ReturnType
#else
#define NVRP_EXPORT(ReturnType) extern "C" ReturnType __stdcall
#endif
#else
#define NVRP_EXPORT(ReturnType) extern "C" __attribute__((visibility("default"))) ReturnType
#endif

// One command: the request in, the result fragment and the error text out (both allocated
// with SysAllocString, released by the caller), 0 on success and -1 on failure.
#define NVRP_COMMAND_EXPORT(Name) \
  NVRP_EXPORT(int16_t) Name(nvrp::BSTR aXml, nvrp::BSTR* aOutput, nvrp::BSTR* aErrorMessage)

NVRP_COMMAND_EXPORT(PRINTFR);
NVRP_COMMAND_EXPORT(PRINTXR);
NVRP_COMMAND_EXPORT(PRINTZR);
NVRP_COMMAND_EXPORT(PRINTNFR);
NVRP_COMMAND_EXPORT(DISPLAY);
NVRP_COMMAND_EXPORT(OPENDR);
NVRP_COMMAND_EXPORT(GETSTATUS);
NVRP_COMMAND_EXPORT(SETDATETIME);
NVRP_COMMAND_EXPORT(OPEN);
NVRP_COMMAND_EXPORT(CLOSE);
NVRP_COMMAND_EXPORT(GETDRSTATUS);
NVRP_COMMAND_EXPORT(SET);
NVRP_COMMAND_EXPORT(EJREPORT);
NVRP_COMMAND_EXPORT(GETVATTABLE);
NVRP_COMMAND_EXPORT(SETVATTABLE);
NVRP_COMMAND_EXPORT(GETDEPTTABLE);
NVRP_COMMAND_EXPORT(SETDEPTTABLE);
NVRP_COMMAND_EXPORT(PAY);
NVRP_COMMAND_EXPORT(REPRINTFR);
NVRP_COMMAND_EXPORT(GETLOTTERYRCPTSTATUS);
NVRP_COMMAND_EXPORT(GETEJFILES);
// The input is a driver name; the output its driver version text when registered.
NVRP_COMMAND_EXPORT(VERSION);

#if !defined(_WIN32)
// The system string allocator, with OLE automation semantics (OleAut32 provides it on Windows).
NVRP_EXPORT(nvrp::BSTR) SysAllocString(const char16_t* aText);
NVRP_EXPORT(nvrp::BSTR) SysAllocStringLen(const char16_t* aText, uint32_t aLength);
NVRP_EXPORT(uint32_t) SysStringLen(nvrp::BSTR aValue);
NVRP_EXPORT(void) SysFreeString(nvrp::BSTR aValue);
#endif
