// Valid device texts for the device answer fuzz target: clock texts in both forms, status
// field values and error codes, descriptions sent to the device, and status answers.

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
          "https://example.org/r?id=1&x=2#top",
          "<OTF_STATUS DeviceSerialNo=\"SIM00000001\"><GEN_PAR><LastOrderSeqNo>1.234"
          "</LastOrderSeqNo><LastError>0</LastError><DayFiscalRcptCnt>3</DayFiscalRcptCnt>"
          "<CurrentZNo>12</CurrentZNo><CurrentDateTime>Mo 05/06/2023 09:05:07</CurrentDateTime>"
          "<CurrentReceiptType>033:FISCAL RECEIPT</CurrentReceiptType>"
          "<DrawerSensorIsHigh>1:x</DrawerSensorIsHigh></GEN_PAR></OTF_STATUS>",
          "<S><GEN_PAR><DayFiscalRcptCnt>0</DayFiscalRcptCnt><CurrentDateTime>Tu 31/12/2024 Ω "
          "23:59:59</CurrentDateTime><CurrentReceiptType>33</CurrentReceiptType>"
          "<DrawerSensorIsHigh>10</DrawerSensorIsHigh></GEN_PAR></S>"};
}

std::vector<std::string_view> FuzzValues() {
  return {"",
          " ",
          "Ω",
          "/",
          ":",
          "//",
          "::",
          "-",
          "0",
          "00",
          "31",
          "2147483648",
          "-2147483649",
          "9999",
          "24",
          "60",
          "29/02/",
          "ΩΩ",
          "%",
          "&",
          "^|",
          "033",
          "33",
          "1:x",
          "10",
          "abc",
          "Mo 31/02/2026 10:00:00"};
}

}  // namespace nvrp::fuzz
