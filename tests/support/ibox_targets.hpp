#pragma once

// Request targets of iBox orders as the device receives them, for the tests that compare what
// the driver sent with what it should have sent.

#include <string>

namespace nvrp::testing {

inline const std::string kClearErrors =
    "/db_otf_xml.xml?Order=Cmd&Action=Clr_Errors&Creator=0&Do=&Sync=&makexmlotf=stat";
inline const std::string kVoid =
    "/db_otf_xml.xml?Order=Cmd&Action=Void_Rcpt&Do=&Sync=&makexmlotf=stat";
inline const std::string kClearTrailer =
    "/?db=Titles&Code=2&Line_1=&Line_2=&Line_3=&Line_4=&Line_5=&Line_6=&store==";
inline const std::string kSubTotal = "/keybd/LCDSTAT.XML?kbch=115";
inline const std::string kForceZ =
    "/db_otf_xml.xml?Order=Cmd&Action=Force_Z&Do=&Sync=&makexmlotf=stat";
inline const std::string kXReportOrder =
    "/db_otf_xml.xml?ReportDBaseType=50:&ReportFilterType=0:&ReportContentType=4:&kbch=29&Sync="
    "&makexmlotf=stat";

// The status request with sequence number aSeqNo.
inline std::string StatusTarget(int aSeqNo) {
  return "/db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=" + std::to_string(aSeqNo) +
         "&db=gen_par&Sync=&MakeXmlOtf=stat";
}

}  // namespace nvrp::testing

namespace nvrp {

// The tests name these without their namespace.
using testing::kClearErrors;
using testing::kClearTrailer;
using testing::kForceZ;
using testing::kSubTotal;
using testing::kVoid;
using testing::kXReportOrder;
using testing::StatusTarget;

}  // namespace nvrp
