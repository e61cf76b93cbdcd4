#include <arpa/inet.h>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "fault_injector.hpp"
#include "ibox_simulator.hpp"
#include "web_ui.hpp"

namespace nvrp::ibox_sim {
namespace {

struct HttpResult {
  CURLcode code = CURLE_OK;
  long status = 0;
  std::string content_type;
  std::string body;
};

size_t AppendBody(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

// One POST with an empty body, as the driver sends every command.
HttpResult Post(const std::string& url, const std::vector<std::string>& headers = {},
                const std::string& body = "") {
  HttpResult result;
  CURL* curl = curl_easy_init();
  curl_slist* header_list = nullptr;
  for (const auto& header : headers) header_list = curl_slist_append(header_list, header.c_str());
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, header_list);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
  result.code = curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  char* content_type = nullptr;
  curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &content_type);
  if (content_type != nullptr) result.content_type = content_type;
  curl_slist_free_all(header_list);
  curl_easy_cleanup(curl);
  return result;
}

HttpResult Get(const std::string& url) {
  HttpResult result;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
  result.code = curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  char* content_type = nullptr;
  curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &content_type);
  if (content_type != nullptr) result.content_type = content_type;
  curl_easy_cleanup(curl);
  return result;
}

// Children of GEN_PAR by name; "<none>" under the key "GEN_PAR" when it is missing.
std::map<std::string, std::string> GenPar(const std::string& xml) {
  pugi::xml_document document;
  std::map<std::string, std::string> values;
  if (!document.load_string(xml.c_str())) return {{"GEN_PAR", "<not xml>"}};
  const auto root = document.document_element();
  values["DeviceSerialNo"] = root.attribute("DeviceSerialNo").value();
  const auto gen_par = root.child("GEN_PAR");
  if (!gen_par) values["GEN_PAR"] = "<none>";
  for (const auto& child : gen_par.children()) values[child.name()] = child.text().get();
  return values;
}

std::string Code(const std::string& last_error) {
  return last_error.substr(0, last_error.find(':'));
}

class SimulatorTest : public testing::Test {
 protected:
  void SetUp() override {
    SimulatorOptions options;
    options.device.serial_number = "EPS12345";
    options.device.z_number = 12;
    options.device.drawer_close_after = std::chrono::milliseconds(0);
    simulator_ = std::make_unique<IboxSimulator>(options);
    simulator_->SetClock(CivilTime{2023, 6, 5, 9, 5, 7}, true);
    simulator_->Start();
  }

  HttpResult Send(const std::string& file_and_query) {
    return Post(simulator_->BaseUrl() + "/" + file_and_query);
  }

  std::map<std::string, std::string> Status() {
    return GenPar(Send("db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=" +
                       std::to_string(++seq_no_) + "&db=gen_par&Sync=&MakeXmlOtf=stat")
                      .body);
  }

  // An order with a sequence number, built as the driver builds it.
  std::map<std::string, std::string> Order(const std::string& params) {
    return GenPar(Send("db_otf_xml.xml?" + params + "&SeqNo=" + std::to_string(++seq_no_) +
                       "&Do=&Sync=&makexmlotf=stat")
                      .body);
  }

  std::unique_ptr<IboxSimulator> simulator_;
  int seq_no_ = 0;
};

TEST_F(SimulatorTest, StatusAnswerCarriesEveryCounterAsXml) {
  const HttpResult result = Send(
      "db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=7&db=gen_par&Sync=&MakeXmlOtf=stat");
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(result.content_type.rfind("text/xml", 0), 0u) << result.content_type;
  const std::map<std::string, std::string> expected{{"DeviceSerialNo", "EPS12345"},
                                                    {"LastOrderSeqNo", "7"},
                                                    {"LastError", "0"},
                                                    {"DayFiscalRcptCnt", "0"},
                                                    {"CurrentZNo", "12"},
                                                    {"CurrentDateTime", "Mo 05/06/2023 09:05:07"},
                                                    {"CurrentReceiptType", "0"},
                                                    {"DrawerSensorIsHigh", "0"}};
  EXPECT_EQ(GenPar(result.body), expected);
}

TEST(DeviceDateTimeTest, TextReadsFromTheThirdCharacterOrAroundOmega) {
  const CivilTime time{2024, 2, 29, 23, 59, 1};
  EXPECT_EQ(FormatDeviceDateTime(time, false), "Th 29/02/2024 23:59:01");
  EXPECT_EQ(FormatDeviceDateTime(time, true), "Th 29/02/2024 \xCE\xA9 23:59:01");
  EXPECT_FALSE(ParseCivilTime("2023-02-29 10:00"));
  EXPECT_EQ(ParseCivilTime("2023-06-05T10:11"), (CivilTime{2023, 6, 5, 10, 11, 0}));
}

TEST_F(SimulatorTest, SequenceNumberFollowsTheLastOrderThatCarriedOne) {
  struct Case {
    std::string request;
    std::string expected;
  };
  const std::vector<Case> cases{
      {"db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=1&db=gen_par&Sync=&MakeXmlOtf=stat",
       "1"},
      {"db_otf_xml.xml?Order=COMMENT&Descr=A&Use=Start&SeqNo=1234&Do=&Sync=&makexmlotf=stat",
       "1.234"},
      {"db_otf_xml.xml?Order=Cmd&Action=Void_Rcpt&Do=&Sync=&makexmlotf=stat", "1.234"},
      {"db_otf_xml.xml?Order=Cmd&Action=Clr_Errors&Creator=0&Do=&Sync=&makexmlotf=stat", "1.234"},
      {"db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=2&db=gen_par&Sync=&MakeXmlOtf=stat",
       "2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GenPar(Send(c.request).body)["LastOrderSeqNo"], c.expected) << c.request;
  }
}

TEST_F(SimulatorTest, ReceiptOpensWithTheFirstItemAndClosesWhenPaid) {
  Send("?db=Titles&Code=2&Line_1=&Line_2=&Line_3=&Line_4=&Line_5=&Line_6=&store==");
  Send(
      "?db=Titles&Code=2&Line_1=%3E%2BTHANK%20YOU&Line_2=&Line_3=&Line_4=&Line_5=&Line_6=&store=&"
      "Sync=");
  auto status = Order("Order=PLU&Use=Sale&Code=03&Quant=2,000&Price=1,50");
  EXPECT_EQ(status["LastError"], "0");
  EXPECT_EQ(Code(status["CurrentReceiptType"]), "033");
  Order("Order=COMMENT&Descr=Coffee%20%CE%91&Use=Line");
  Order("Order=MOD&Amount=0,50");
  status = Order("Order=PAY&Amount=2,00&Code=1");
  EXPECT_EQ(status["LastError"], "0");
  EXPECT_EQ(Code(status["CurrentReceiptType"]), "033") << "2.50 due, 2.00 paid";
  status = Order("Order=PAY&Amount=1,00&Code=3");
  EXPECT_EQ(status["CurrentReceiptType"], "0");
  EXPECT_EQ(status["DayFiscalRcptCnt"], "1");

  const HttpResult text = Send("*/Z0013/F0001_A.");
  EXPECT_EQ(text.status, 200);
  EXPECT_EQ(text.content_type.rfind("text/plain", 0), 0u);
  for (const char* printed :
       {"2,000 x 1,50", "DEPT 3", "Coffee \xCE\x91", "DISCOUNT", "-0,50", "TOTAL", "2,50", "CHANGE",
        "THANK YOU", "RECEIPT 0001", "05/06/2023"}) {
    EXPECT_NE(text.body.find(printed), std::string::npos) << printed << " in\n" << text.body;
  }
}

TEST_F(SimulatorTest, ZReportWritesItsThreeFilesAndStartsANewDay) {
  Order("Order=PLU&Use=Sale&Code=1&Quant=1,000&Price=10,00");
  Order("Order=PAY&Amount=10,00&Code=1");
  EXPECT_EQ(Code(Order("Order=Cmd&Action=Force_Z")["LastError"]), "0");
  auto status = Status();
  EXPECT_EQ(status["CurrentZNo"], "13");
  EXPECT_EQ(status["DayFiscalRcptCnt"], "0");

  EXPECT_NE(Send("*/Z0013/Z0013_J.").body.find("Z REPORT"), std::string::npos);
  EXPECT_NE(Send("*/Z0013/Z0013_S.").body.find("1;05/06/2023;09:05:07;13;S;1;1;10.00;0.00"),
            std::string::npos);
  pugi::xml_document record;
  ASSERT_TRUE(record.load_string(Send("*/Z0013/Z0013_M.").body.c_str()));
  const auto fmem = record.document_element().child("FMEM");
  EXPECT_STREQ(fmem.child_value("RecType"), "28");
  EXPECT_STREQ(fmem.child_value("RecNo"), "13");
  EXPECT_STREQ(fmem.child_value("DateTime"), "Mo 05/06/2023 09:05:07");
  EXPECT_NE(fmem.next_sibling(), pugi::xml_node()) << "the record is not the last child";
  EXPECT_EQ(Send("*/Z0014/Z0014_J.").status, 404);
}

TEST_F(SimulatorTest, OrdersThatDoNotFitTheStateSetLastErrorUntilCleared) {
  struct Case {
    std::string order;
    std::string code;
  };
  const std::vector<Case> cases{
      {"Order=PAY&Amount=1,00&Code=1", "1001"},
      {"Order=MOD&Amount=1,00", "1001"},
      {"Order=Cmd&Action=End_Rcpt", "1001"},
      {"Order=COMMENT&Descr=x&Use=Line", "1001"},
      {"Order=PLU&Use=Sale&Code=abc&Quant=1,000&Price=1,00", "1101"},
      {"Order=PLU&Use=Sale&Code=1&Quant=1,000&Price=1,005", "1026"},
      {"Order=NOPE", "1111"},
  };
  for (const auto& c : cases) {
    Order("Order=Cmd&Action=Clr_Errors");
    EXPECT_EQ(Code(Order(c.order)["LastError"]), c.code) << c.order;
    EXPECT_EQ(Code(Status()["LastError"]), c.code) << "a status keeps the error of " << c.order;
  }
  EXPECT_EQ(Order("Order=Cmd&Action=Clr_Errors")["LastError"], "0");
  EXPECT_EQ(simulator_->Device().open_document, DocumentKind::kNone);
}

TEST_F(SimulatorTest, DrawerAndNonFiscalDocument) {
  EXPECT_EQ(GenPar(Send("keybd/LCDSTAT.XML?kbch=100").body)["DrawerSensorIsHigh"], "1");
  EXPECT_EQ(Code(Order("Order=COMMENT&Use=Extern&Descr=%7C%7B%3E%3EABC")["CurrentReceiptType"]),
            "041");
  EXPECT_EQ(Order("Order=PLU&Use=Sale&Code=1&Quant=1,000&Price=1,00")["LastError"].substr(0, 4),
            "1003");
  EXPECT_EQ(Order("Order=Cmd&Action=End_Rcpt")["CurrentReceiptType"], "0");
  const auto printed = simulator_->Printed();
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].kind, PrintedKind::kNonFiscal);
  EXPECT_NE(printed[0].text.find("A B C"), std::string::npos) << printed[0].text;
}

TEST_F(SimulatorTest, RecordsEachRequestAsReceived) {
  const std::string target = "/?db=Titles&Code=2&Line_1=%3E%3EA&Line_2=&store==";
  Post(simulator_->BaseUrl() + target, {"X-First: one", "x-second:  two "}, "payload");
  Send("*/Z0001/F0001_A.");
  const auto requests = simulator_->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, target);
  EXPECT_EQ(requests[0].path, "/");
  EXPECT_EQ(requests[0].query, "db=Titles&Code=2&Line_1=%3E%3EA&Line_2=&store==");
  EXPECT_EQ(requests[0].body, "payload");
  std::vector<std::string> names;
  for (const auto& [name, value] : requests[0].headers) names.push_back(name);
  const auto first = std::find(names.begin(), names.end(), "X-First");
  ASSERT_NE(first, names.end());
  ASSERT_NE(first + 1, names.end());
  EXPECT_EQ(*(first + 1), "x-second");
  EXPECT_EQ(requests[0].headers[static_cast<size_t>(first + 1 - names.begin())].second, "two");
  EXPECT_EQ(requests[1].path, "/*/Z0001/F0001_A.");
  EXPECT_EQ(simulator_->Device().trailer_titles[0], ">>A");

  simulator_->ClearRequests();
  EXPECT_TRUE(simulator_->Requests().empty());
}

// Sends raw bytes on one connection and returns everything the server answers.
std::string Exchange(int port, const std::string& request) {
  const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::send(sock, request.data(), request.size(), MSG_NOSIGNAL) > 0) {
    char buffer[4096];
    ssize_t received;
    while ((received = ::recv(sock, buffer, sizeof buffer, 0)) > 0) {
      answer.append(buffer, static_cast<size_t>(received));
    }
  }
  ::close(sock);
  return answer;
}

TEST_F(SimulatorTest, AcceptsAPostThatAnnouncesNoBody) {
  const std::string answer =
      Exchange(simulator_->Port(),
               "POST /db_otf_xml.xml?Order=COMMENT&Descr=%60[Qhttp://x]&Use=Start&SeqNo=3 "
               "HTTP/1.1\r\nHost: device\r\n\r\n");
  EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u) << answer;
  const auto requests = simulator_->Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].headers,
            (std::vector<std::pair<std::string, std::string>>{{"Host", "device"}}));
  EXPECT_EQ(simulator_->Device().open_document, DocumentKind::kFiscal);
}

TEST_F(SimulatorTest, FaultsApplyToMatchingRequestsOnceOrUntilCleared) {
  const std::string status_query =
      "db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=5&db=gen_par&Sync=&MakeXmlOtf=stat";
  const std::string plu_query =
      "db_otf_xml.xml?Order=PLU&Use=Sale&Code=1&Quant=1,000&Price=1,00&SeqNo=3&Do=&Sync=&"
      "makexmlotf=stat";
  struct Case {
    std::string option;
    std::string request;
    CURLcode code;
    long status;
    std::string content_type;
    std::string last_error;  // "-" when no GEN_PAR is expected
  };
  const std::vector<Case> cases{
      {"device-error:101", status_query, CURLE_OK, 200, "text/xml", "101"},
      {"device-error:1104@PLU", plu_query, CURLE_OK, 200, "text/xml", "1104"},
      {"http-status:503:busy@Action=Status", status_query, CURLE_OK, 503, "text/plain", "-"},
      {"drop@Status", status_query, CURLE_GOT_NOTHING, 0, "", "-"},
      {"content-type:text/html", status_query, CURLE_OK, 200, "text/html", "0"},
      {"no-gen-par", status_query, CURLE_OK, 200, "text/xml", "-"},
  };
  for (const auto& c : cases) {
    Fault fault;
    ASSERT_TRUE(ParseFaultOption(c.option, false, fault)) << c.option;
    simulator_->AddFault(fault);
    const HttpResult faulty = Send(c.request);
    EXPECT_EQ(faulty.code, c.code) << c.option;
    EXPECT_EQ(faulty.status, c.status) << c.option;
    EXPECT_EQ(faulty.content_type.rfind(c.content_type, 0), 0u) << c.option;
    if (c.last_error == "-") {
      EXPECT_EQ(GenPar(faulty.body).count("LastError"), 0u) << c.option;
    } else {
      EXPECT_EQ(Code(GenPar(faulty.body)["LastError"]), c.last_error) << c.option;
    }
    EXPECT_TRUE(simulator_->PendingFaults().empty()) << c.option << " is used up";
    Send("db_otf_xml.xml?Order=Cmd&Action=Clr_Errors&Creator=0&Do=&Sync=&makexmlotf=stat");
  }
  EXPECT_EQ(simulator_->Device().open_document, DocumentKind::kNone) << "refused PLU";

  Fault sticky;
  ASSERT_TRUE(ParseFaultOption("delay:150@Status", true, sticky));
  simulator_->AddFault(sticky);
  for (int i = 0; i < 2; ++i) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Status()["LastError"], "0");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  }
  simulator_->ClearFaults();
  EXPECT_TRUE(simulator_->PendingFaults().empty());

  // Both drops leave the client without an answer; only drop-after carried the item out.
  const struct {
    const char* option;
    DocumentKind open;
    int32_t items;
  } drops[] = {{"drop@PLU", DocumentKind::kNone, 0}, {"drop-after@PLU", DocumentKind::kFiscal, 1}};
  for (const auto& d : drops) {
    Fault fault;
    ASSERT_TRUE(ParseFaultOption(d.option, false, fault)) << d.option;
    simulator_->AddFault(fault);
    EXPECT_EQ(Send(plu_query).code, CURLE_GOT_NOTHING) << d.option;
    EXPECT_EQ(simulator_->Device().open_document, d.open) << d.option;
    EXPECT_EQ(simulator_->Device().receipt_items, d.items) << d.option;
  }
}

// The paper-roll page's state: the open receipt line by line while it prints, then the closed
// receipt among the printed documents; texts are JSON-escaped; page requests are not recorded.
TEST_F(SimulatorTest, PaperRollStateFollowsTheReceiptBeingPrinted) {
  const std::string url = simulator_->BaseUrl() + "/ui/state";
  Order("Order=PLU&Use=Sale&Code=3&Quant=1,000&Price=2,50");
  Order("Order=COMMENT&Descr=Say%20%22cheese%22%20%5C%20Feta&Use=Line");
  const HttpResult printing = Get(url);
  EXPECT_EQ(printing.status, 200);
  EXPECT_EQ(printing.content_type.rfind("application/json", 0), 0u);
  EXPECT_NE(printing.body.find(R"("open_document":"fiscal receipt")"), std::string::npos);
  EXPECT_NE(printing.body.find(R"("Say \"cheese\" \\ Feta"])"), std::string::npos) << printing.body;
  EXPECT_NE(printing.body.find(R"("receipt_total":"2.50")"), std::string::npos);
  EXPECT_NE(printing.body.find(R"("documents":[])"), std::string::npos);

  Order("Order=PAY&Amount=2,50&Code=1");
  const HttpResult printed = Get(url);
  EXPECT_NE(printed.body.find(R"("open_document":"none")"), std::string::npos);
  EXPECT_NE(printed.body.find(R"("open_lines":[])"), std::string::npos);
  EXPECT_NE(printed.body.find(R"({"kind":"receipt","number":1,"z_number":13,"total":"2.50")"),
            std::string::npos)
      << printed.body;
  EXPECT_NE(printed.body.find(R"("RECEIPT 0001                            Z 0013")"),
            std::string::npos);
  EXPECT_NE(printed.body.find(R"("clock":"2023-06-05 09:05:07")"), std::string::npos);

  const HttpResult page = Get(simulator_->BaseUrl() + "/ui");
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.content_type.rfind("text/html", 0), 0u);
  EXPECT_NE(page.body.find("/ui/state"), std::string::npos);
  for (const auto& request : simulator_->Requests()) {
    EXPECT_EQ(request.path.rfind("/ui", 0), std::string::npos) << request.path;
  }
}

TEST_F(SimulatorTest, PaperRollControlsAddFaultsAndMoveTheDrawer) {
  const std::string base = simulator_->BaseUrl();
  struct Case {
    std::string body;
    std::string query;
    long status;
    bool sticky;
  };
  const std::vector<Case> cases{
      {"device-error:1104@PLU", "", 200, false},
      {"http-status:503:busy@PAY", "?sticky=1", 200, true},
      {"delay:1500@Status", "", 200, false},
      {"drop", "", 200, false},
      {"drop-after@PAY", "", 200, false},
      {"content-type:text/html@Status", "", 200, false},
      {"no-gen-par", "?sticky=1", 200, true},
      {"paper-jam", "", 400, false},
      {"device-error:abc", "", 400, false},
  };
  for (const auto& c : cases) {
    simulator_->ClearFaults();
    const HttpResult answer = Post(base + "/ui/fault" + c.query, {}, c.body);
    EXPECT_EQ(answer.status, c.status) << c.body;
    const auto pending = simulator_->PendingFaults();
    if (c.status != 200) {
      EXPECT_EQ(answer.body, "invalid fault: " + c.body);
      EXPECT_TRUE(pending.empty()) << c.body;
      continue;
    }
    ASSERT_EQ(pending.size(), 1u) << c.body;
    EXPECT_EQ(FaultText(pending[0]), c.body);
    EXPECT_EQ(pending[0].sticky, c.sticky) << c.body;
  }
  EXPECT_EQ(Post(base + "/ui/faults/clear").status, 200);
  EXPECT_TRUE(simulator_->PendingFaults().empty());

  EXPECT_EQ(Post(base + "/ui/drawer", {}, "open").status, 200);
  EXPECT_TRUE(simulator_->Device().drawer_open);
  EXPECT_NE(Get(base + "/ui/state").body.find(R"("drawer_open":true)"), std::string::npos);
  EXPECT_EQ(Post(base + "/ui/drawer", {}, "ajar").status, 400);
  EXPECT_TRUE(simulator_->Device().drawer_open);
  EXPECT_EQ(Post(base + "/ui/drawer", {}, "closed").status, 200);
  EXPECT_FALSE(simulator_->Device().drawer_open);
  EXPECT_TRUE(simulator_->Requests().empty());
}

// Status values the device never produces, for the readers of the status answer.
TEST_F(SimulatorTest, StatusValueFaultsReplaceOrLeaveOutOneValue) {
  struct Case {
    std::string option;
    std::string name;
    std::string text;  // "-": left out
  };
  const std::vector<Case> cases{
      {"status-value:CurrentReceiptType=33", "CurrentReceiptType", "33"},
      {"status-value:DayFiscalRcptCnt=abc@Status", "DayFiscalRcptCnt", "abc"},
      {"status-value:DrawerSensorIsHigh", "DrawerSensorIsHigh", "-"},
      {"status-value:Extra=1", "Extra", "1"},
  };
  for (const auto& c : cases) {
    Fault fault;
    ASSERT_TRUE(ParseFaultOption(c.option, false, fault)) << c.option;
    simulator_->AddFault(fault);
    auto values = Status();
    if (c.text == "-") {
      EXPECT_EQ(values.count(c.name), 0u) << c.option;
    } else {
      EXPECT_EQ(values[c.name], c.text) << c.option;
    }
    EXPECT_TRUE(simulator_->PendingFaults().empty()) << c.option << " is used up";
  }
  Fault serial;
  ASSERT_TRUE(ParseFaultOption("status-value:DeviceSerialNo", false, serial));
  simulator_->AddFault(serial);
  const HttpResult answer = Send(
      "db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=1&db=gen_par&Sync=&MakeXmlOtf=stat");
  EXPECT_EQ(answer.body.find("DeviceSerialNo"), std::string::npos) << answer.body;
  EXPECT_EQ(Status()["CurrentReceiptType"], "0");
}

TEST(FaultOptionTest, RejectsMalformedOptions) {
  Fault fault;
  for (const char* option : {"", "device-error", "device-error:0", "device-error:x",
                             "http-status:99", "drop:1", "delay:-5", "unknown", "no-gen-par@",
                             "content-type:", "status-value:", "status-value:=1"}) {
    EXPECT_FALSE(ParseFaultOption(option, false, fault)) << option;
  }
}

TEST(SimulatorLifecycleTest, ReportsTheBoundPortAndRefusesATakenOne) {
  IboxSimulator first;
  first.Start();
  EXPECT_GT(first.Port(), 0);
  EXPECT_EQ(first.BaseUrl(), "http://127.0.0.1:" + std::to_string(first.Port()));
  SimulatorOptions options;
  options.port = first.Port();
  IboxSimulator second(options);
  EXPECT_THROW(second.Start(), std::exception);
  // The message names the address and why it cannot be used.
  try {
    second.Start();
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), ("Cannot listen on 127.0.0.1:" + std::to_string(first.Port()) +
                                ": address already in use")
                                   .c_str());
  }
  first.Stop();
  EXPECT_FALSE(first.Running());
}

}  // namespace
}  // namespace nvrp::ibox_sim
