// Valid device texts for the device answer fuzz target: clock texts in both forms, status
// field values and error codes, and descriptions sent to the device.

#include <string>
#include <string_view>
#include <vector>

#include "fuzz_seeds.hpp"

namespace nvrp::fuzz {

std::vector<std::string> FuzzSeeds() {
  return {"Mo 05/06/2023 09:05:07",
          "Mo 5/6/2023 9:05",
          "Mo 05/06/2023",
          "xx  31/12/1999   23:59:59  ",
          "Mo 05/06/2023 Ω 09:05:33",
          "Τρ 29/02/2024 Ω 23:59:59",
          "0",
          "101",
          "-1152",
          "Φέτα ΠΟΠ ^ Feta | 400g & more",
          "https://example.org/r?id=1&x=2#top"};
}

std::vector<std::string_view> FuzzValues() {
  return {"",           " ",           "Ω",    "/",  ":",  "//",     "::", "-", "0", "00", "31",
          "2147483648", "-2147483649", "9999", "24", "60", "29/02/", "ΩΩ", "%", "&", "^|"};
}

}  // namespace nvrp::fuzz
