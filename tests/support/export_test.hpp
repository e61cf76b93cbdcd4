#pragma once

// The fixture of the tests that drive the production library through its exports against the
// in-process iBox simulator: the library loaded once for the whole program, requests to devices
// on the simulator, and the devices a test opened closed after it. Each suite holds its own
// simulator (made with its options) and names it with UseSimulator.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "command/result_text.hpp"
#include "ibox_simulator.hpp"
#include "support/library_host.hpp"
#include "support/test_environment.hpp"
#include "support/xml_elements.hpp"

namespace nvrp::testing {

inline const std::string kDriver = "NVRP_RORERER_10";

// The production library. It keeps process-wide state (device table, handle counter), so it is
// loaded once, after the host directory points at a temporary directory.
inline const LibraryHost& ProductionLibrary() {
  static const LibraryHost library([] {
    PrepareTestApplication();
    return std::string(NVRP_PRODUCTION_LIBRARY);
  }());
  return library;
}

// The driver's configuration file (payment codes) in the host directory.
inline std::filesystem::path ConfigFile() {
  return std::filesystem::path(std::getenv("NVRP_HOST_DIR")) / "NVRP_RORERER_10.ini";
}

// The connection element of a device reached over HTTP at aAddress:aPort.
inline std::string HttpConnection(int aPort, const std::string& aAddress = "127.0.0.1",
                                  int aConnectTimeout = 10, int aReadTimeout = 20) {
  return "<Connection><Type>HTTP</Type>" + Element("Address", aAddress) +
         Element("Port", std::to_string(aPort)) +
         Element("ConnectTimeout", std::to_string(aConnectTimeout)) +
         Element("ReadTimeout", std::to_string(aReadTimeout)) + "</Connection>";
}

// The three elements that end every result fragment.
inline std::string Closing(bool aError, const std::string& aErrorText,
                           const std::string& aLogFileName) {
  return Element("Error", aError ? "True" : "False") + "\r\n" +
         Element("ErrorText", EscapeXml(aErrorText)) + "\r\n" +
         Element("LogFileName", aLogFileName);
}

// A fault of the simulator on the first request whose target holds aMatch (or on every one,
// aSticky).
inline ibox_sim::Fault MakeFault(ibox_sim::FaultKind aKind, const std::string& aMatch,
                                 bool aSticky = false) {
  ibox_sim::Fault fault;
  fault.kind = aKind;
  fault.match = aMatch;
  fault.sticky = aSticky;
  return fault;
}

class ExportTest : public ::testing::Test {
 protected:
  // Requests carry aLogId; devices are opened with these time-outs, in seconds.
  explicit ExportTest(std::string aLogId, int aConnectTimeout = 10, int aReadTimeout = 20)
      : fLogId(std::move(aLogId)), fConnectTimeout(aConnectTimeout), fReadTimeout(aReadTimeout) {}

  static void SetUpTestSuite() { Library(); }
  void TearDown() override { CloseOpened(); }

  static const LibraryHost& Library() { return ProductionLibrary(); }
  static std::string HostDirectory() { return std::getenv("NVRP_HOST_DIR"); }

  // The simulator the devices are opened on from now on.
  void UseSimulator(ibox_sim::IboxSimulator& aSimulator) { fSimulatorInUse = &aSimulator; }

  // Starts the simulator with its clock standing at aClock and opens the test's device
  // (fHandle); the requests of OPEN are forgotten.
  void OpenOnStandingClock(const ibox_sim::CivilTime& aClock) {
    fSimulatorInUse->SetClock(aClock, /*frozen=*/true);
    fSimulatorInUse->Start();
    fHandle = Open();
    ASSERT_GT(fHandle, 0);
    fSimulatorInUse->ClearRequests();
  }

  // A request to the device aHandle: driver, handle and log id, then aElements.
  std::string DeviceRequest(int32_t aHandle, const std::string& aElements) const {
    return "<Request>" + Element("Driver", kDriver) + Element("Handle", std::to_string(aHandle)) +
           Element("LogId", fLogId) + aElements + "</Request>";
  }

  std::string ConnectionXml() const {
    return HttpConnection(fSimulatorInUse->Port(), "127.0.0.1", fConnectTimeout, fReadTimeout);
  }

  // OPEN on the simulator with aParameters; the device it opens is closed after the test.
  Answer OpenAnswer(const std::string& aParameters = "") {
    const Answer open = Library().Call(
        "OPEN", DeviceRequest(0, ConnectionXml() + Element("Parameters", aParameters)));
    const int32_t handle = std::atoi(FragmentElement(open.output, "Handle").c_str());
    if (handle > 0) fOpened.push_back(handle);
    return open;
  }

  // An OPEN that succeeds: answers the handle and keeps the device's log file name.
  int32_t Open(const std::string& aParameters = "") {
    const Answer open = OpenAnswer(aParameters);
    EXPECT_EQ(open.result, 0) << open.output;
    fLogFileName = FragmentElement(open.output, "LogFileName");
    return std::atoi(FragmentElement(open.output, "Handle").c_str());
  }

  // Closes every device opened so far; with fCloseMustSucceed every CLOSE must succeed (a suite
  // whose tests close devices themselves turns it off).
  void CloseOpened() {
    for (const int32_t handle : fOpened) {
      const Answer close = Library().Call("CLOSE", DeviceRequest(handle, ConnectionXml()));
      if (fCloseMustSucceed) {
        EXPECT_EQ(close.result, 0) << close.output;
      }
    }
    fOpened.clear();
  }

  // The request targets the device received since the last call, which forgets them.
  std::vector<std::string> TakeRequests() {
    std::vector<std::string> targets;
    for (const ibox_sim::RecordedRequest& request : fSimulatorInUse->Requests()) {
      targets.push_back(request.target);
    }
    fSimulatorInUse->ClearRequests();
    return targets;
  }

  int32_t fHandle = 0;
  std::string fLogFileName;  // of the device opened last
  bool fCloseMustSucceed = true;

 private:
  std::string fLogId;
  int fConnectTimeout;
  int fReadTimeout;
  ibox_sim::IboxSimulator* fSimulatorInUse = nullptr;
  std::vector<int32_t> fOpened;
};

}  // namespace nvrp::testing

namespace nvrp {

// The export tests name these without their namespace, as the rest of the tests do.
using testing::Answer;
using testing::Closing;
using testing::Element;
using testing::FragmentElement;
using testing::kDriver;
using testing::MakeFault;

}  // namespace nvrp
