#include "command_session.hpp"

#include <fstream>
#include <stdexcept>

#include "answer_fragment.hpp"
#include "base/base64.hpp"
#include "base/nv_exception.hpp"
#include "fiscalctl_messages.hpp"
#include "request_editor.hpp"

namespace nvrp::fiscalctl {

kCommandSession::kCommandSession(const testing::LibraryHost& aLibrary, std::ostream& aOut,
                                 std::ostream& aErr)
    : fLibrary(aLibrary), fOut(aOut), fErr(aErr) {}

bool kCommandSession::Run(std::vector<kPreparedStep> aSteps, bool aFullImage) {
  bool allSucceeded = true;
  for (size_t i = 0; i < aSteps.size(); ++i) {
    if (i > 0) fOut << "\n";
    if (!Send(aSteps[i], aFullImage)) allSucceeded = false;
  }
  fOut.flush();
  return allSucceeded;
}

bool kCommandSession::Send(kPreparedStep& aStep, bool aFullImage) {
  CarryHandle(aStep);
  testing::Answer answer;
  try {
    answer = fLibrary.Call(aStep.fCommand.c_str(), aStep.fInput);
  } catch (const std::runtime_error& error) {  // the library lacks the export
    fErr << kProgramPrefix << error.what() << "\n";
    return false;
  }
  Print(aStep, answer, aFullImage);
  const bool succeeded = answer.result == 0;
  if (succeeded && aStep.fCommand == kOpenCommand) {
    if (auto handle = FragmentElement(answer.output, kHandleElement)) fOpenedHandle = *handle;
  }
  if (auto image = FragmentElement(answer.output, kImageElement); image && !image->empty()) {
    fReceiptImage = std::move(*image);
  }
  return succeeded;
}

// A request that is not well-formed goes out unchanged: the library reports it.
void kCommandSession::CarryHandle(kPreparedStep& aStep) const {
  if (fOpenedHandle.empty() || !aStep.fIsRequest) return;
  try {
    kRequestEditor editor(aStep.fInput);
    editor.SetHandle(fOpenedHandle);
    aStep.fInput = editor.Text();
  } catch (const Exception&) {
  }
}

void kCommandSession::Print(const kPreparedStep& aStep, const testing::Answer& aAnswer,
                            bool aFullImage) {
  fOut << kStepMark << aStep.fCommand << " " << aStep.fSource << "\n";
  const std::string fragment = DisplayFragment(aAnswer.output, aFullImage);
  if (!fragment.empty()) fOut << fragment << "\n";
  fOut << kErrorTextLabel << aAnswer.error << "\n";
  fOut << kResultLabel << aAnswer.result << "\n";
}

bool kCommandSession::SaveImage(const std::string& aFileName) {
  if (fReceiptImage.empty()) {
    fErr << kProgramPrefix << kNoImage << aFileName << "\n";
    return false;
  }
  std::string picture;
  try {
    picture = Base64Decode(fReceiptImage);
  } catch (const Exception& error) {
    fErr << kProgramPrefix << kBadImage << error.what() << "\n";
    return false;
  }
  std::ofstream file(aFileName, std::ios::binary | std::ios::trunc);
  file.write(picture.data(), static_cast<std::streamsize>(picture.size()));
  file.close();
  if (!file) {
    fErr << kProgramPrefix << kCannotWriteImage << aFileName << "\n";
    return false;
  }
  fOut << kImageWritten << aFileName << " (" << picture.size() << " bytes)\n";
  return true;
}

}  // namespace nvrp::fiscalctl
