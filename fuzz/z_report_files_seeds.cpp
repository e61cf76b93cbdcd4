// Valid Z report files for the Z file fuzz target: details texts and fiscal-memory records as
// the device writes them, with the record in each place among its siblings.

#include <string>
#include <string_view>
#include <vector>

#include "fuzz_seeds.hpp"

namespace nvrp::fuzz {

std::vector<std::string> FuzzSeeds() {
  return {
      "Z REPORT DETAILS 0012\r\n"
      "1;01/03/2024;21:15:40;12;S;2;1;10.00;0.00;0.00;0.00;0.00;0.00;0.00;0.00;0.00\r\n"
      "2;01/03/2024;21:40:02;12;S;1;2;0.50;0.00;0.00;0.00;0.00;0.00;0.00;0.00;0.00\r\n",
      "TITLE\n1;2;3\r4;5;6;7;8;1.5;-2.25;+3;.5;7.;1e2;0;0;0;0;0;0\n",
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FM_RECORDS DeviceSerialNo=\"SIM00000001\">"
      "<FMEM><RecType>28</RecType><RecNo>12</RecNo><DateTime>Fr 01/03/2024 22:30:00</DateTime>"
      "<Receipts>2</Receipts><DayTotal>10.50</DayTotal></FMEM><Signature>AB12</Signature>"
      "</FM_RECORDS>",
      "<R><FMEM><RecType>30</RecType><RecNo>9</RecNo></FMEM><FMEM><RecType>281</RecType>"
      "<RecNo>41</RecNo><DateTime>Fr 01/03/2024 Ω 22:30:00</DateTime></FMEM></R>",
  };
}

std::vector<std::string_view> FuzzValues() {
  return {"",
          ";",
          ";;;;;;;;",
          "28",
          "281",
          "0.01",
          "1e30",
          "922337203685477.5807",
          "-",
          ".",
          "\r",
          "\n",
          "\r\n",
          "Ω",
          "x7",
          "2147483648",
          "<FMEM>",
          "</FMEM>",
          "<RecType>28</RecType>",
          "<DateTime>",
          "31/02/2024 25:61"};
}

}  // namespace nvrp::fuzz
