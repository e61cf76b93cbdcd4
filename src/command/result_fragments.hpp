#pragma once

#include <string>

#include "device/command_results.hpp"

namespace nvrp {

// The output fragment of each command's result record, element by element.
std::string ResultFragment(const _int_PRINTFR_result& aResult);
std::string ResultFragment(const _int_REPRINTFR_result& aResult);
std::string ResultFragment(const _int_PRINTNFR_result& aResult);
std::string ResultFragment(const _int_PRINTXR_result& aResult);
std::string ResultFragment(const _int_PRINTZR_result& aResult);
std::string ResultFragment(const _int_EJREPORT_result& aResult);
std::string ResultFragment(const _int_GETEJFILES_result& aResult);
std::string ResultFragment(const _int_GETLOTTERYRCPTSTATUS_result& aResult);
std::string ResultFragment(const _int_PAY_result& aResult);
std::string ResultFragment(const _int_OPEN_result& aResult);
// CLOSE, SET, DISPLAY, OPENDR, SETVATTABLE and SETDEPTTABLE.
std::string ResultFragment(const _int_SIMPLE_result& aResult);
std::string ResultFragment(const _int_GETSTATUS_result& aResult);
std::string ResultFragment(const _int_SETDATETIME_result& aResult);
std::string ResultFragment(const _int_GETDRSTATUS_result& aResult);
std::string ResultFragment(const _int_GETVATTABLE_result& aResult);
std::string ResultFragment(const _int_GETDEPTTABLE_result& aResult);

}  // namespace nvrp
