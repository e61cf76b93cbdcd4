// Load and unload of the test build of the shared library: the production start-up plus a
// recording test device registered as "TEST_DEVICE", steered through a few extra exports.

#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/host_environment.hpp"
#include "base/nv_exception.hpp"
#include "command/command_library.hpp"
#include "command/command_tables.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "support/recording_device.hpp"

namespace {

using nvrp::testing::kRecordingDevice;

constexpr const char* kTestDriverName = "TEST_DEVICE";
// Arrangement names that are not primitives.
constexpr const char* kConstructArrangement = "Construct";
constexpr const char* kConnectArrangement = "Connect";
constexpr const char* kDisconnectArrangement = "Disconnect";

struct kArrangement {
  std::string fPrimitive;
  bool fResult = false;
  int32_t fErrorCode = 0;
  std::string fMessage;
};

class kJournaledDevice;

// What the test exports steer: arrangements for every device, the journal of primitive calls
// and the live test devices.
struct kTestState {
  std::vector<kArrangement> fArrangements;
  std::string fJournal;
  std::set<kJournaledDevice*> fDevices;
};

kTestState& State() {
  // Devices still open at unload are not destroyed, so none outlives this.
  static kTestState state;
  return state;
}

void Apply(kRecordingDevice& aDevice, const kArrangement& aArrangement) {
  const std::string& name = aArrangement.fPrimitive;
  if (name == kConnectArrangement) {
    aDevice.TestIOHandler().FailConnect(aArrangement.fErrorCode, aArrangement.fMessage);
  } else if (name == kDisconnectArrangement) {
    aDevice.TestIOHandler().FailDisconnect(aArrangement.fErrorCode, aArrangement.fMessage);
  } else if (aArrangement.fMessage.empty()) {
    aDevice.SetAnswer(name, aArrangement.fResult);
  } else {
    aDevice.SetAnswerWithError(name, aArrangement.fErrorCode, aArrangement.fMessage,
                               aArrangement.fResult);
  }
}

std::string LogDirectory() {
  return nvrp::JoinPath(nvrp::ExeDirectory(), "LogFiles/FiscalPrinter");
}

// A recording device whose calls go to the journal when it is destroyed or the journal is read.
class kJournaledDevice final : public kRecordingDevice {
 public:
  explicit kJournaledDevice(nvrp::kReceiptPrinterHandler& aHandler)
      : kRecordingDevice(aHandler, LogDirectory()) {
    for (const kArrangement& arrangement : State().fArrangements) Apply(*this, arrangement);
    State().fDevices.insert(this);
  }
  ~kJournaledDevice() override {
    FlushJournal();
    State().fDevices.erase(this);
  }
  kJournaledDevice(const kJournaledDevice&) = delete;
  kJournaledDevice& operator=(const kJournaledDevice&) = delete;

  // One line per call: the handle, a blank, the primitive's name.
  void FlushJournal() {
    for (const nvrp::testing::kRecordedCall& call : Calls()) {
      State().fJournal += std::to_string(Handle()) + " " + call.fName + "\n";
    }
    ClearCalls();
  }
};

std::unique_ptr<nvrp::kFiscalPrinterDevice> CreateTestDevice(
    nvrp::kReceiptPrinterHandler& aHandler) {
  for (const kArrangement& arrangement : State().fArrangements) {
    if (arrangement.fPrimitive == kConstructArrangement) {
      throw nvrp::Exception(arrangement.fMessage);
    }
  }
  nvrp::ForceDirectories(LogDirectory());
  return std::make_unique<kJournaledDevice>(aHandler);
}

void RegisterTestDevice() {
  nvrp::CommandTables().DriverRegistry.Add(
      kTestDriverName,
      nvrp::kDriverClass{&CreateTestDevice, &nvrp::kFiscalPrinterDevice::GetDriverVersion});
}

}  // namespace

static void NvrpTestLibraryLoad() {
  nvrp::LoadCommandLibrary();
  try {
    RegisterTestDevice();
  } catch (...) {
  }
}

#if defined(_WIN32)
// As the production DLL: pinned on load, so that its tables and log thread go with the process.
extern "C" BOOL WINAPI DllMain(HINSTANCE aInstance, DWORD aReason, LPVOID) {
  if (aReason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(aInstance);
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&DllMain), &pinned);
    NvrpTestLibraryLoad();
  }
  return TRUE;
}
// The .def file names the exports.
#define NVRP_TEST_EXPORT extern "C"
#else
__attribute__((constructor)) static void NvrpTestLibraryConstructor() { NvrpTestLibraryLoad(); }

__attribute__((destructor)) static void NvrpTestLibraryUnload() { nvrp::UnloadCommandLibrary(); }

#define NVRP_TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Every device created from now on (and every live one) answers the primitive so: with
// `result`, after recording `errorCode` and `message` on its I/O handler when `message` is not
// empty. "Connect" and "Disconnect" make the I/O handler fail; "Construct" makes the device
// class fail with `message`.
NVRP_TEST_EXPORT void NvrpTest_Arrange(const char* primitive, int result, int errorCode,
                                       const char* message) {
  kArrangement arrangement{primitive != nullptr ? primitive : "", result != 0, errorCode,
                           message != nullptr ? message : ""};
  for (kJournaledDevice* device : State().fDevices) Apply(*device, arrangement);
  State().fArrangements.push_back(std::move(arrangement));
}

// The primitive calls so far ("handle name" lines), as a malloc'ed text the caller frees.
NVRP_TEST_EXPORT char* NvrpTest_Journal() {
  for (kJournaledDevice* device : State().fDevices) device->FlushJournal();
  const std::string& journal = State().fJournal;
  char* text = static_cast<char*>(std::malloc(journal.size() + 1));
  if (text != nullptr) std::memcpy(text, journal.c_str(), journal.size() + 1);
  return text;
}

// Forgets the arrangements and the journal; live devices keep their arranged answers.
NVRP_TEST_EXPORT void NvrpTest_Reset() {
  for (kJournaledDevice* device : State().fDevices) device->ClearCalls();
  State().fArrangements.clear();
  State().fJournal.clear();
}
