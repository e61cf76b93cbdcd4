#pragma once

// An OPOS fiscal-printer control for the tests, reached as the real one is: the ProgID
// OPOS.FiscalPrinter maps to its class in the registry's classes (Wine reads only the
// machine's, so the test's Wine prefix is changed while it runs), and its class object is
// registered in this process, so that CoCreateInstance and IDispatch calls go through COM.
// Wine has no OPOS control, so this stands in for the vendor's.

#include <windows.h>

#include <oaidl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace nvrp::testing {

struct FakeOposState {
  // Every call as the control saw it: "Name(args)" for methods, "Name=value" for property
  // writes, "Name?" for reads. Texts are quoted, amounts "cy" + their raw ten-thousandths.
  std::vector<std::string> calls;
  std::map<std::string, int32_t> results;  // method result codes, 0 unless given
  std::string raiseOn;                     // a member that fails with a COM exception
  bool deferDescription = false;           // its description filled in only when asked
  int32_t extended = 0;
  std::string errorString = "fake error";
  bool enabled = false;
  std::string trailer;
};

// Registers the control for the life of the object on the calling thread (COM must be
// initialised there); the registration is gone afterwards.
class FakeOposRegistration {
 public:
  explicit FakeOposRegistration(FakeOposState& aState);
  ~FakeOposRegistration();
  FakeOposRegistration(const FakeOposRegistration&) = delete;
  FakeOposRegistration& operator=(const FakeOposRegistration&) = delete;

  bool Registered() const { return fCookie != 0; }
  // Removes a registration a failed earlier run may have left behind.
  static void RemoveProgId();

 private:
  IClassFactory* fFactory = nullptr;
  DWORD fCookie = 0;
};

}  // namespace nvrp::testing
