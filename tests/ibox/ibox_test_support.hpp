#pragma once

#include <httplib.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "documents/receipt_printer_handler.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "support/test_environment.hpp"

namespace nvrp::testing {

// Request envelope of a device reached over HTTP at aUrl, logging under aLogId.
inline std::unique_ptr<kReceiptPrinterHandler> MakeHttpHandler(const std::string& aUrl,
                                                               const std::string& aLogId = "ibox") {
  auto handler = std::make_unique<kReceiptPrinterHandler>();
  handler->Deserialize(
      "<Request><Driver>NVRP_RORERER_10</Driver><LogId>" + aLogId +
          "</LogId><Connection><Type>http</Type><URL>" + aUrl +
          "</URL><ConnectTimeout>5</ConnectTimeout><ReadTimeout>5</ReadTimeout></Connection>"
          "</Request>",
      tkReceiptHandlerDocumentTypes{});
  return handler;
}

inline std::unique_ptr<kFiscalPrinter_RORERER> MakeDevice(const std::string& aUrl,
                                                          const std::string& aLogId = "ibox") {
  PrepareTestApplication();
  return std::make_unique<kFiscalPrinter_RORERER>(*MakeHttpHandler(aUrl, aLogId));
}

using StatusValues = std::vector<std::pair<std::string, std::string>>;

// Status answer with these GEN_PAR children, in order.
inline std::string StatusDocument(const StatusValues& aValues) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><OTF_STATUS DeviceSerialNo=\"S1\">"
      "<GEN_PAR>";
  for (const auto& [name, value] : aValues) xml += "<" + name + ">" + value + "</" + name + ">";
  return xml + "</GEN_PAR></OTF_STATUS>";
}

// A device that answers every request with one scripted answer (status, content type, body),
// for the status values the simulator never produces. Records the raw request targets.
class ScriptedIBox {
 public:
  ScriptedIBox() {
    SetStatus({{"LastOrderSeqNo", "0"}, {"LastError", "0"}, {"CurrentReceiptType", "0"}});
    const auto answer = [this](const httplib::Request& aRequest, httplib::Response& aResponse) {
      std::lock_guard lock(fMutex);
      fTargets.push_back(aRequest.target);
      aResponse.status = fStatus;
      aResponse.set_content(fBody, fContentType.c_str());
    };
    fServer.Post(".*", answer);
    fServer.Get(".*", answer);
    fPort = fServer.bind_to_any_port("127.0.0.1");
    fThread = std::thread([this] { fServer.listen_after_bind(); });
    for (int i = 0; i < 5000 && !fServer.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  ~ScriptedIBox() {
    fServer.stop();
    fThread.join();
  }
  ScriptedIBox(const ScriptedIBox&) = delete;
  ScriptedIBox& operator=(const ScriptedIBox&) = delete;

  std::string Url() const { return "http://127.0.0.1:" + std::to_string(fPort); }

  void SetAnswer(int aStatus, std::string aContentType, std::string aBody) {
    std::lock_guard lock(fMutex);
    fStatus = aStatus;
    fContentType = std::move(aContentType);
    fBody = std::move(aBody);
  }
  void SetStatus(const StatusValues& aValues) {
    SetAnswer(200, "text/xml; charset=UTF-8", StatusDocument(aValues));
  }
  std::vector<std::string> Targets() {
    std::lock_guard lock(fMutex);
    return fTargets;
  }
  void ClearTargets() {
    std::lock_guard lock(fMutex);
    fTargets.clear();
  }

 private:
  httplib::Server fServer;
  int fPort = 0;
  std::thread fThread;
  std::mutex fMutex;
  int fStatus = 200;
  std::string fContentType;
  std::string fBody;
  std::vector<std::string> fTargets;
};

}  // namespace nvrp::testing
