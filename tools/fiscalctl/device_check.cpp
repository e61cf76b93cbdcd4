#include "device_check.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include <pugixml.hpp>

#include "answer_fragment.hpp"
#include "base/nv_exception.hpp"
#include "check_requests.hpp"
#include "content_type_probe.hpp"
#include "device_log.hpp"
#include "fiscalctl_messages.hpp"
#include "log_checks.hpp"
#include "request_editor.hpp"

namespace nvrp::fiscalctl {

namespace {

namespace rq = check_requests;
using Clock = std::chrono::steady_clock;

// Lets the library's log writer write out a device that did not open (CLOSE refuses it).
constexpr auto kLogSettleTime = std::chrono::milliseconds(300);

std::string ReadFile(const std::string& aPath, bool& aRead) {
  std::ifstream file(aPath, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  aRead = static_cast<bool>(file);
  return text.str();
}

// A log name of its own for every run, so that the device log holds this run only.
std::string RunLogId() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[16];
  std::strftime(stamp, sizeof stamp, "%H%M%S", &local);
  return "check_" + std::string(stamp) + "_" + std::to_string(getpid());
}

// Seconds between the device's "yyyy-mm-ddThh:nn:ss" and the host's local time.
std::optional<long long> ClockOffset(const std::string& aDeviceTime) {
  std::tm device{};
  if (std::sscanf(aDeviceTime.c_str(), "%d-%d-%dT%d:%d:%d", &device.tm_year, &device.tm_mon,
                  &device.tm_mday, &device.tm_hour, &device.tm_min, &device.tm_sec) != 6) {
    return std::nullopt;
  }
  device.tm_year -= 1900;
  device.tm_mon -= 1;
  const std::time_t now = std::time(nullptr);
  std::tm host{};
  localtime_r(&now, &host);
  return static_cast<long long>(timegm(&device)) - static_cast<long long>(timegm(&host));
}

// The device's base URL from an OPEN request, as the HTTP connection builds it; empty for
// other connection types.
std::string BaseUrlOf(const std::string& aOpenRequest) {
  pugi::xml_document document;
  if (!document.load_string(aOpenRequest.c_str())) return {};
  const pugi::xml_node connection = document.document_element().child("Connection");
  const std::string type = connection.child("Type").text().get();
  if (!type.empty() && type != "http") return {};
  const std::string url = connection.child("URL").text().get();
  if (!url.empty()) return url;
  const std::string address = connection.child("Address").text().get();
  const int port = connection.child("Port").text().as_int(0);
  return port > 0 ? address + ":" + std::to_string(port) : address;
}

std::string DriverOf(const std::string& aOpenRequest) {
  pugi::xml_document document;
  if (!document.load_string(aOpenRequest.c_str())) return std::string(rq::kDriver);
  const std::string driver = document.document_element().child("Driver").text().get();
  return driver.empty() ? std::string(rq::kDriver) : driver;
}

// The last LastOrderSeqNo the device reported, as the library would send it next.
std::string LastSeqNo(const std::vector<ibox_sim::LoggedExchange>& aExchanges) {
  for (auto it = aExchanges.rbegin(); it != aExchanges.rend(); ++it) {
    if (!IsStatusRequest(*it) || !it->answered) continue;
    pugi::xml_document document;
    if (!document.load_string(it->answer.c_str())) continue;
    std::string seqNo =
        document.document_element().child("GEN_PAR").child("LastOrderSeqNo").text().get();
    std::erase(seqNo, '.');
    if (!seqNo.empty()) return seqNo;
  }
  return "1";
}

class kCheckRun {
 public:
  kCheckRun(const kCheckOptions& aOptions, const testing::LibraryHost& aLibrary, std::ostream& aOut)
      : fOptions(aOptions), fLibrary(aLibrary), fOut(aOut), fLogId(RunLogId()) {}

  std::vector<kCheckResult> Run(const std::string& aOpenRequest);
  const std::string& DeviceLog() const { return fDeviceLog; }
  const std::string& LogId() const { return fLogId; }

 private:
  // Times aCheck, which gives what was seen when it failed (empty: passed).
  void Timed(const std::string& aName, const std::function<std::string()>& aCheck);
  void Skip(const std::string& aName, const std::string& aWhy);
  // A command as check aName: passed when it returns 0; its answer is kept in aAnswer.
  bool Command(const std::string& aName, const char* aCommand, const std::string& aRequest,
               testing::Answer* aAnswer = nullptr);
  bool CommandOnDevice(const std::string& aName, const char* aCommand, std::string_view aDocument,
                       testing::Answer* aAnswer = nullptr);
  void DeviceChecks();
  void LogChecks(const std::string& aBaseUrl);
  void Add(kCheckResult aResult);

  const kCheckOptions& fOptions;
  const testing::LibraryHost& fLibrary;
  std::ostream& fOut;
  std::string fLogId;
  std::string fDriver;
  std::string fHandle;
  std::string fDeviceLog;
  std::vector<kCheckResult> fResults;
};

void kCheckRun::Add(kCheckResult aResult) {
  if (!fOptions.fJson) WriteCheckReport({aResult}, {}, false, fOut);
  fResults.push_back(std::move(aResult));
}

void kCheckRun::Timed(const std::string& aName, const std::function<std::string()>& aCheck) {
  const auto start = Clock::now();
  std::string seen = aCheck();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  Add({aName, seen.empty() ? tkCheckState::kPassed : tkCheckState::kFailed, took, std::move(seen)});
}

void kCheckRun::Skip(const std::string& aName, const std::string& aWhy) {
  Add({aName, tkCheckState::kSkipped, std::chrono::milliseconds(0), aWhy});
}

bool kCheckRun::Command(const std::string& aName, const char* aCommand, const std::string& aRequest,
                        testing::Answer* aAnswer) {
  bool passed = false;
  Timed(aName, [&]() -> std::string {
    testing::Answer answer = fLibrary.Call(aCommand, aRequest);
    passed = answer.result == 0;
    std::string seen =
        passed ? "" : "result " + std::to_string(answer.result) + ": " + answer.error;
    if (aAnswer != nullptr) *aAnswer = std::move(answer);
    return seen;
  });
  return passed;
}

bool kCheckRun::CommandOnDevice(const std::string& aName, const char* aCommand,
                                std::string_view aDocument, testing::Answer* aAnswer) {
  return Command(aName, aCommand, rq::WithHandle(fDriver, fHandle, fLogId, aDocument), aAnswer);
}

std::vector<kCheckResult> kCheckRun::Run(const std::string& aOpenRequest) {
  fDriver = DriverOf(aOpenRequest);
  testing::Answer opened;
  const bool open = Command("open", "OPEN", aOpenRequest, &opened);
  fDeviceLog = FragmentElement(opened.output, "LogFileName").value_or("");
  fHandle = FragmentElement(opened.output, "Handle").value_or("");
  if (open && !fHandle.empty()) {
    DeviceChecks();
  } else {
    for (const char* name : {"getstatus", "getdrstatus", "getvattable", "getdepttable", "clock"}) {
      Skip(name, "the device did not open");
    }
    std::this_thread::sleep_for(kLogSettleTime);
  }
  LogChecks(BaseUrlOf(aOpenRequest));
  return fResults;
}

void kCheckRun::DeviceChecks() {
  testing::Answer status;
  const bool statusRead = CommandOnDevice("getstatus", "GETSTATUS", {}, &status);
  CommandOnDevice("getdrstatus", "GETDRSTATUS", rq::kDrawer);
  CommandOnDevice("getvattable", "GETVATTABLE", {});
  CommandOnDevice("getdepttable", "GETDEPTTABLE", {});
  if (statusRead) {
    Timed("clock", [&]() -> std::string {
      const std::string deviceTime = FragmentElement(status.output, "DateTime").value_or("");
      const auto offset = ClockOffset(deviceTime);
      if (!offset) return "the device's DateTime \"" + deviceTime + "\" is not readable";
      if (std::llabs(*offset) <= fOptions.fClockTolerance.count()) return {};
      return "the device's clock " + deviceTime + " is " + std::to_string(*offset) +
             " s off the host's (tolerance " + std::to_string(fOptions.fClockTolerance.count()) +
             " s)";
    });
  } else {
    Skip("clock", "GETSTATUS failed");
  }
  if (fOptions.fPrint != tkPrintLevel::kNone) {
    CommandOnDevice("printnfr", "PRINTNFR", rq::kNonFiscalReceipt);
    CommandOnDevice("display", "DISPLAY", rq::kDisplay);
    CommandOnDevice("printxr", "PRINTXR", rq::kXReport);
  }
  if (fOptions.fPrint == tkPrintLevel::kFiscal) {
    CommandOnDevice("printfr", "PRINTFR", rq::kSmallestReceipt);
  }
  CommandOnDevice("close", "CLOSE", {});
}

void kCheckRun::LogChecks(const std::string& aBaseUrl) {
  bool read = false;
  const std::string text = fDeviceLog.empty() ? std::string() : ReadFile(fDeviceLog, read);
  const std::vector<ibox_sim::LoggedExchange> exchanges = ibox_sim::ReadDeviceLog(text);
  if (!read || exchanges.empty()) {
    const std::string why = read ? "the device log holds no HTTP request" : "no device log";
    for (const char* name : {"status-answer", "device-error", "content-type", "answer-time"}) {
      Skip(name, why);
    }
    return;
  }
  Timed("status-answer", [&] { return CheckStatusAnswers(exchanges); });
  Timed("device-error", [&] { return CheckDeviceErrors(exchanges); });
  if (aBaseUrl.empty()) {
    Skip("content-type", "not an HTTP connection");
  } else {
    Timed("content-type", [&]() -> std::string {
      if (std::string refused = CheckRefusedContentTypes(exchanges); !refused.empty()) {
        return refused;
      }
      std::string contentType;
      std::string failure;
      if (!ProbeStatusContentType(aBaseUrl, fOptions.fUser, fOptions.fPassword,
                                  LastSeqNo(exchanges), contentType, failure)) {
        return "status request failed: " + failure;
      }
      if (contentType.starts_with("text/xml")) return {};
      return "status answered as \"" + contentType + "\", not text/xml";
    });
  }
  Timed("answer-time", [&] { return CheckAnswerTimes(exchanges, fOptions.fSlow); });
}

// Asks on the terminal before a fiscal receipt is printed; false when the user declines or
// there is no terminal to ask on.
bool ConfirmFiscalReceipt(std::ostream& aErr, bool& aNoTerminal) {
  const int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  aNoTerminal = tty < 0;
  if (tty < 0) return false;
  const std::string_view question = kConfirmFiscal;
  bool written =
      write(tty, question.data(), question.size()) == static_cast<ssize_t>(question.size());
  std::string answer;
  char c = 0;
  while (written && read(tty, &c, 1) == 1 && c != '\n') answer += c;
  close(tty);
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  if (answer == "yes" || answer == "y") return true;
  aErr << kProgramPrefix << kNotConfirmed << "\n";
  return false;
}

std::string OpenRequest(const kCheckOptions& aOptions, const std::string& aLogId) {
  if (aOptions.fOpenFile.empty()) {
    return rq::OpenHttp(aOptions.fUrl, aOptions.fUser, aOptions.fPassword, aLogId);
  }
  bool read = false;
  const std::string text = ReadFile(aOptions.fOpenFile, read);
  if (!read) throw Exception(std::string(kCannotRead) + "'" + aOptions.fOpenFile + "'");
  kRequestEditor editor(text);
  editor.SetOrAddElement("LogId", aLogId);
  return editor.Text();
}

std::string JsonText(std::string_view aText) {
  std::string json = "\"";
  for (const char c : aText) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

std::string_view StateName(tkCheckState aState) {
  switch (aState) {
    case tkCheckState::kPassed:
      return "passed";
    case tkCheckState::kFailed:
      return "failed";
    case tkCheckState::kSkipped:
      return "skipped";
  }
  return "failed";
}

size_t Count(const std::vector<kCheckResult>& aResults, tkCheckState aState) {
  size_t count = 0;
  for (const kCheckResult& result : aResults) count += result.fState == aState ? 1 : 0;
  return count;
}

void WriteJson(const std::vector<kCheckResult>& aResults, const std::string& aDeviceLog,
               std::ostream& aOut) {
  aOut << "{\"checks\": [";
  for (size_t i = 0; i < aResults.size(); ++i) {
    const kCheckResult& result = aResults[i];
    aOut << (i == 0 ? "\n" : ",\n") << "  {\"name\": " << JsonText(result.fName)
         << ", \"result\": \"" << StateName(result.fState) << "\", \"ms\": " << result.fTime.count()
         << ", \"seen\": " << JsonText(result.fSeen) << "}";
  }
  aOut << "\n], \"passed\": " << Count(aResults, tkCheckState::kPassed)
       << ", \"failed\": " << Count(aResults, tkCheckState::kFailed)
       << ", \"skipped\": " << Count(aResults, tkCheckState::kSkipped)
       << ", \"device_log\": " << JsonText(aDeviceLog) << "}\n";
}

}  // namespace

void WriteCheckReport(const std::vector<kCheckResult>& aResults, const std::string& aDeviceLog,
                      bool aJson, std::ostream& aOut) {
  if (aJson) {
    WriteJson(aResults, aDeviceLog, aOut);
    return;
  }
  for (const kCheckResult& result : aResults) {
    aOut << result.fName << ": " << StateName(result.fState) << " (" << result.fTime.count()
         << " ms)";
    if (!result.fSeen.empty()) aOut << ": " << result.fSeen;
    aOut << "\n";
  }
}

int RunDeviceCheck(const kCheckOptions& aOptions, const testing::LibraryHost& aLibrary,
                   std::ostream& aOut, std::ostream& aErr) {
  if (aOptions.fPrint == tkPrintLevel::kFiscal && !aOptions.fYes) {
    bool noTerminal = false;
    if (!ConfirmFiscalReceipt(aErr, noTerminal)) {
      if (noTerminal) aErr << kProgramPrefix << kFiscalNeedsTerminal << "\n";
      return noTerminal ? kExitUsage : kExitFailure;
    }
  }
  kCheckRun run(aOptions, aLibrary, aOut);
  std::string openRequest;
  try {
    openRequest = OpenRequest(aOptions, run.LogId());
  } catch (const Exception& error) {
    aErr << kProgramPrefix << error.what() << "\n";
    return kExitFailure;
  }
  const std::vector<kCheckResult> results = run.Run(openRequest);
  if (aOptions.fJson) {
    WriteCheckReport(results, run.DeviceLog(), true, aOut);
  } else {
    aOut << kDeviceLogLabel << (run.DeviceLog().empty() ? "none" : run.DeviceLog()) << "\n";
    const size_t skipped = Count(results, tkCheckState::kSkipped);
    aOut << Count(results, tkCheckState::kPassed) << " passed, "
         << Count(results, tkCheckState::kFailed) << " failed";
    if (skipped > 0) aOut << ", " << skipped << " skipped";
    aOut << "\n";
  }
  aOut.flush();
  const bool allPassed = Count(results, tkCheckState::kPassed) == results.size();
  return allPassed ? kExitSuccess : kExitFailure;
}

}  // namespace nvrp::fiscalctl
