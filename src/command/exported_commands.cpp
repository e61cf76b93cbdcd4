#include "command/command_wrappers.hpp"
#include "command/export_abi.hpp"
#include "command/export_frame.hpp"

using nvrp::BSTR;
using nvrp::RunCommand;

#define NVRP_DEFINE_COMMAND(Name)                                                        \
  NVRP_COMMAND_EXPORT(Name) {                                                            \
    return RunCommand<nvrp::kFiscalPrinterWrapper_##Name>(aXml, aOutput, aErrorMessage); \
  }

NVRP_DEFINE_COMMAND(PRINTFR)
NVRP_DEFINE_COMMAND(PRINTXR)
NVRP_DEFINE_COMMAND(PRINTZR)
NVRP_DEFINE_COMMAND(PRINTNFR)
NVRP_DEFINE_COMMAND(DISPLAY)
NVRP_DEFINE_COMMAND(OPENDR)
NVRP_DEFINE_COMMAND(GETSTATUS)
NVRP_DEFINE_COMMAND(SETDATETIME)
NVRP_DEFINE_COMMAND(OPEN)
NVRP_DEFINE_COMMAND(CLOSE)
NVRP_DEFINE_COMMAND(GETDRSTATUS)
NVRP_DEFINE_COMMAND(SET)
NVRP_DEFINE_COMMAND(EJREPORT)
NVRP_DEFINE_COMMAND(GETVATTABLE)
NVRP_DEFINE_COMMAND(SETVATTABLE)
NVRP_DEFINE_COMMAND(GETDEPTTABLE)
NVRP_DEFINE_COMMAND(SETDEPTTABLE)
NVRP_DEFINE_COMMAND(PAY)
NVRP_DEFINE_COMMAND(REPRINTFR)
NVRP_DEFINE_COMMAND(GETLOTTERYRCPTSTATUS)
NVRP_DEFINE_COMMAND(GETEJFILES)

#undef NVRP_DEFINE_COMMAND

NVRP_COMMAND_EXPORT(VERSION) { return nvrp::RunVersion(aXml, aOutput, aErrorMessage); }

#if !defined(_WIN32)

NVRP_EXPORT(BSTR) SysAllocString(const char16_t* aText) { return nvrp::OleAllocString(aText); }

NVRP_EXPORT(BSTR) SysAllocStringLen(const char16_t* aText, uint32_t aLength) {
  return nvrp::OleAllocStringLen(aText, aLength);
}

NVRP_EXPORT(uint32_t) SysStringLen(BSTR aValue) { return nvrp::OleStringLen(aValue); }

NVRP_EXPORT(void) SysFreeString(BSTR aValue) { nvrp::OleFreeString(aValue); }

#endif
