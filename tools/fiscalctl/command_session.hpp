#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "request_input.hpp"
#include "support/library_host.hpp"

namespace nvrp::fiscalctl {

// Sends prepared commands, in order, through one loaded library and prints every answer.
// The handle that a successful OPEN returns goes into the Handle element of every later
// request, so that one run can open a device, use it and close it.
class kCommandSession {
 public:
  kCommandSession(const testing::LibraryHost& aLibrary, std::ostream& aOut, std::ostream& aErr);

  // Sends every step; true when all of them returned 0.
  bool Run(std::vector<kPreparedStep> aSteps, bool aFullImage);

  // Writes the last ReceiptImage answered as a file; false (with a message) when there was
  // none or it cannot be decoded or written.
  bool SaveImage(const std::string& aFileName);

 private:
  bool Send(kPreparedStep& aStep, bool aFullImage);
  void CarryHandle(kPreparedStep& aStep) const;
  void Print(const kPreparedStep& aStep, const testing::Answer& aAnswer, bool aFullImage);

  const testing::LibraryHost& fLibrary;
  std::ostream& fOut;
  std::ostream& fErr;
  std::string fOpenedHandle;  // from the last successful OPEN
  std::string fReceiptImage;  // the last non-empty ReceiptImage answered
};

}  // namespace nvrp::fiscalctl
