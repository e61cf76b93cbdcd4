// The device-log reader that ibox-sim --replay and fiscalctl check share.
#include <gtest/gtest.h>

#include <string>

#include "device_log.hpp"

namespace nvrp::ibox_sim {
namespace {

constexpr const char* kStatusUrl =
    "http://127.0.0.1:8080/db_otf_xml.xml?Order=Cmd&Action=Status&SeqNo=1";

std::string Line(const std::string& time, const std::string& message, bool error = false) {
  return "2026-12-10 10:00:" + time + (error ? " - ERROR - " : " - ") + message + "\r\n";
}

TEST(DeviceLog, AnAnswerIsTakenByItsLengthWhateverLinesItHolds) {
  // The body holds line ends, a line that looks like a time stamp, and Greek letters (two
  // bytes each but one UTF-16 unit).
  const std::string body = "<a>\r\n2026-12-10 10:00:00:000 - not an entry\r\n\xCE\xA9</a>\r\n";
  const std::string log = Line("00:000", "*int_GetStatus*") +
                          Line("00:001", "Write:" + std::string(kStatusUrl)) +
                          Line("00:251", "Read [" + std::to_string(body.size() - 1) + "]:" + body) +
                          Line("00:252", "Result: Error=False");
  const auto exchanges = ReadDeviceLog(log);
  ASSERT_EQ(exchanges.size(), 1u);
  EXPECT_EQ(exchanges[0].method, "POST");
  EXPECT_EQ(exchanges[0].target, "/db_otf_xml.xml?Order=Cmd&Action=Status&SeqNo=1");
  EXPECT_TRUE(exchanges[0].answered);
  EXPECT_EQ(exchanges[0].answer, body);
  EXPECT_EQ(exchanges[0].answered_ms - exchanges[0].sent_ms, 250);
  EXPECT_EQ(exchanges[0].line, 2u);
}

TEST(DeviceLog, HexDumpsErrorsAndRefusedContentTypes) {
  const std::string log =
      // HexLog: every exchange line carries the dump of its message.
      Line("01:000", "Write:http://h/keybd/LCDSTAT.XML?kbch=100 [68 74 74 70]") +
      Line("01:005", "Read [2]:ok [6f 6b]") +
      // An HTTP error with a body, then one without an answer whose text spans two lines.
      Line("02:000", "Write:http://h/x?a=1") + Line("02:001", "Read [4]:busy") +
      Line("02:001", "HTTP Error:503 - Service Unavailable", true) +
      Line("03:000", "Write:http://h/x?a=2") +
      Line("03:010", "HTTP Error:0 - Empty reply\r\nfrom server", true) +
      // A status answer the driver refused for its content type.
      Line("04:000", "Write:" + std::string(kStatusUrl)) + Line("04:001", "Read [3]:<a/>") +
      Line("04:001", "The device's status answer is not XML (content type \"text/html\")", true) +
      // A GET and a posted body.
      Line("05:000", "GET:http://h/get") + Line("05:000", "Write [5]:a\r\nbc") +
      Line("05:001", "Read [0]:");
  const auto exchanges = ReadDeviceLog(log);
  ASSERT_EQ(exchanges.size(), 5u);
  EXPECT_EQ(exchanges[0].target, "/keybd/LCDSTAT.XML?kbch=100");
  EXPECT_EQ(exchanges[0].answer, "ok");
  EXPECT_EQ(exchanges[1].error_code, 503);
  EXPECT_EQ(exchanges[1].answer, "busy");
  EXPECT_FALSE(exchanges[2].answered);
  EXPECT_EQ(exchanges[2].error_code, 0);
  EXPECT_EQ(exchanges[2].error_text, "Empty reply\r\nfrom server");
  EXPECT_EQ(exchanges[3].refused_content_type, "text/html");
  EXPECT_EQ(exchanges[4].method, "GET");
  EXPECT_EQ(exchanges[4].body, "a\r\nbc");
  EXPECT_TRUE(exchanges[4].answered);
  EXPECT_EQ(exchanges[4].answer, "");
}

TEST(DeviceLog, UrlTargets) {
  EXPECT_EQ(UrlTarget("http://user@h:80/a/b?c=d"), "/a/b?c=d");
  EXPECT_EQ(UrlTarget("127.0.0.1:8080/*/Z0001/F0001_A."), "/*/Z0001/F0001_A.");
  EXPECT_EQ(UrlTarget("http://h"), "/");
}

}  // namespace
}  // namespace nvrp::ibox_sim
