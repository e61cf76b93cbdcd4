#include "transport/print_spooler.hpp"

// The Windows print spooler is not wired in this build yet: no printer is found and printing
// fails with this reason.

namespace nvrp::print_spooler {

namespace {

constexpr const char* kNotAvailable = "The print spooler is not available in this Windows build";

}  // namespace

bool PrintRaw(const std::string&, const std::string&, std::string_view, std::string& aError) {
  aError = kNotAvailable;
  return false;
}

bool FindPrinter(const std::string&, std::string&) { return false; }

tkPageGeometry PageGeometry(const std::string&) { return {}; }

bool PrintBitmap(const std::string&, const std::string&, const GrayCanvas&, const tkPageGeometry&,
                 const tkBitmapPlacement&, std::string& aError) {
  aError = kNotAvailable;
  return false;
}

}  // namespace nvrp::print_spooler
