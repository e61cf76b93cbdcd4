#include "ibox/fiscal_printer_rorerer.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

#include "base/host_environment.hpp"
#include "base/log_message_type.hpp"
#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "base/utf.hpp"
#include "documents/krpt_util.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "ibox/ibox_error_messages.hpp"
#include "ibox/ibox_messages.hpp"
#include "transport/http_client.hpp"
#include "transport/io_handler_http.hpp"

namespace nvrp {

namespace msg = ibox_messages;

namespace {

std::string Text(std::string_view aText) { return std::string(aText); }

// A whole decimal integer with an optional sign; false for any other text.
bool TryStrToInt(std::string_view aText, int32_t& aValue) {
  try {
    aValue = krptUtil::StrToInt(aText);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

// Orders that print on (and may open or close) a fiscal receipt.
bool IsReceiptOrder(tkIBoxCommandId aId) {
  using C = tkIBoxCommandId;
  return aId == C::ibc_Item || aId == C::ibc_PrintDescription || aId == C::ibc_Discount ||
         aId == C::ibc_Markup || aId == C::ibc_SubTotal || aId == C::ibc_Total;
}

// The text of a status value before its first ":" (the whole text without one).
std::string StatusCode(std::string_view aText) {
  return ExtractToken(aText, 1, msg::kStatusValueSeparator, false);
}

// Lines of a text file as a string list reads them: CR LF, LF or CR end a line, a final line
// end adds no empty line, and a UTF-8 byte order mark is not part of the first line.
std::vector<std::string> SplitFileLines(std::string_view aText) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (aText.starts_with(kByteOrderMark)) aText.remove_prefix(kByteOrderMark.size());
  return SplitLines(aText);
}

// The configuration file in aDirectory: the exact name, else a file whose name differs only
// in letter case (host programs are often installed by tools that change it). "" when none.
std::string FindConfigFile(const std::string& aDirectory) {
  namespace fs = std::filesystem;
  std::error_code error;
  const std::string exact = JoinPath(aDirectory, msg::kConfigFileName);
  if (fs::is_regular_file(exact, error)) return exact;
  const std::string wanted = AsciiLower(msg::kConfigFileName);
  for (fs::directory_iterator it(aDirectory, error), end; !error && it != end;
       it.increment(error)) {
    if (AsciiLower(it->path().filename().string()) == wanted &&
        fs::is_regular_file(it->path(), error)) {
      return it->path().string();
    }
  }
  return {};
}

}  // namespace

// What a successful post brought back.
struct kFiscalPrinter_RORERER::tkAnswer {
  std::string Body;
  std::string ContentType;
};

kFiscalPrinter_RORERER::kFiscalPrinter_RORERER(kReceiptPrinterHandler& aHandler)
    : kFiscalPrinterDevice(aHandler) {
  using FPC = tkFiscalPrinterCapability;
  fCapabilities = {FPC::fpc_NoFiscalReceipt, FPC::fpc_ReadMemory,
                   FPC::fpc_NegativePartialAmountReceipt, FPC::fpc_PrintHeaderOnNonFiscalReceipt};
  fLineLength = 46;
  fDisplayLineCount = 2;
  fDisplayLineLength = 20;
  fIOHandlerHTTP = dynamic_cast<kIOHandler_HTTP*>(fIOHandler.get());
  if (fIOHandlerHTTP == nullptr) throw Exception(Text(msg::kInvalidClassTypecast));
  fIOHandlerHTTP->SetContentType(Text(msg::kRequestContentType));
  ClearErrors();
  LoadConfig();
}

kFiscalPrinter_RORERER::~kFiscalPrinter_RORERER() = default;

bool kFiscalPrinter_RORERER::Init() { return true; }

// --- Building requests -----------------------------------------------------------------------

void kFiscalPrinter_RORERER::BeginRequest(std::string_view aFileName) {
  fURLParams = Text(aFileName);
  fParamsCount = 0;
}

void kFiscalPrinter_RORERER::AddURLParam(std::string_view aName, std::string_view aValue) {
  fURLParams += fParamsCount == 0 ? msg::kFirstParamSeparator : msg::kNextParamSeparator;
  fURLParams += aName;
  fURLParams += msg::kNameValueSeparator;
  fURLParams += aValue;
  ++fParamsCount;
}

std::string kFiscalPrinter_RORERER::NextSeqNo() {
  // The device's count may reach the top of the range; the next number then starts again at 1.
  fSeqNo = fSeqNo == std::numeric_limits<int32_t>::max() ? 1 : fSeqNo + 1;
  return std::to_string(fSeqNo);
}

void kFiscalPrinter_RORERER::AppendCommandParams(const tkIBoxCommand& aCommand,
                                                 std::span<const tkIBoxArgument> aArgs,
                                                 std::string_view aLabel) {
  for (const tkIBoxParam& param : aCommand.Params) {
    switch (param.Source) {
      case tkIBoxParamSource::ibp_Literal:
        AddURLParam(param.Name, param.Value);
        break;
      case tkIBoxParamSource::ibp_SeqNo:
        AddURLParam(param.Name, NextSeqNo());
        break;
      case tkIBoxParamSource::ibp_Argument: {
        const auto found = std::find_if(aArgs.begin(), aArgs.end(),
                                        [&](const auto& aArg) { return aArg.Name == param.Name; });
        if (found == aArgs.end()) throw Exception(msg::MissingCommandValue(aLabel, param.Name));
        AddURLParam(param.Name, found->Value);
        break;
      }
    }
  }
}

// --- Sending -----------------------------------------------------------------------------------

bool kFiscalPrinter_RORERER::SendCommand(tkIBoxCommandId aId,
                                         std::span<const tkIBoxArgument> aArguments,
                                         std::string_view aLabel, std::string_view aJournalPath) {
  const tkIBoxCommand& command = IBoxCommand(aId);
  if (IsReceiptOrder(aId)) fReceiptOrderSent = true;
  const std::string_view label = aLabel.empty() ? command.Label : aLabel;
  if (label.empty()) throw Exception(Text(msg::kMissingCommandLabel));
  if (command.JournalFile) {
    if (aJournalPath.empty()) throw Exception(Text(msg::kMissingJournalPath));
    BeginRequest(aJournalPath);
  } else {
    BeginRequest(command.File);
    AppendCommandParams(command, aArguments, label);
  }
  return SendRequest(label, command.ClearErrorsFirst, command.PollStatus, command.ContentType);
}

bool kFiscalPrinter_RORERER::SendRequest(std::string_view aLabel, bool aClearErrorsFirst,
                                         bool aPollStatus, std::string_view aContentType) {
  fIOHandler->Debug(tNV_MessageType::let_info,
                    Text(msg::kLabelMark) + Text(aLabel) + Text(msg::kLabelMark));
  // Taken before ClearErrors, which builds its own request.
  const std::string url = fIOHandlerHTTP->URL() + Text(msg::kPathSeparator) + fURLParams;
  if (aClearErrorsFirst && fIOHandler->ErrorFound()) ClearErrors();

  tkAnswer answer;
  if (!Post(url, answer)) return false;
  fIOHandler->ResetCustomError();
  if (!std::string_view(answer.ContentType).starts_with(msg::kXmlContentTypePrefix) &&
      !aContentType.starts_with(msg::kXmlContentTypePrefix)) {
    fTextResponse = std::move(answer.Body);
    fLastAnswerWasXml = false;
    fLastAnswerContentType = answer.ContentType;
    return true;
  }
  bool result = true;
  if (aPollStatus) result = PollStatus();
  // After a polled command XmlResponse holds the command's own answer, not the status.
  LoadXmlResponse(std::move(answer.Body));
  fLastAnswerWasXml = true;
  fLastAnswerContentType = answer.ContentType;
  return result;
}

bool kFiscalPrinter_RORERER::Post(const std::string& aURL, tkAnswer& aAnswer) {
  NV_HttpClient client;
  client.SetHeaderCache(&fHeaderCache);
  kIOHandler* const handler = fIOHandler.get();
  client.SetOnWriteLog(
      [handler](tNV_MessageType aEntryType, const std::string& aTitle,
                const std::string& aMessage) { handler->WriteLog(aEntryType, aTitle, aMessage); });
  client.SetConnectTimeout(fIOHandler->ConnectTimeout());
  client.SetReadTimeout(fIOHandler->ReadTimeout());
  client.SetAuthType(fIOHandlerHTTP->AuthType());
  client.SetUser(fIOHandlerHTTP->User());
  client.SetPassword(fIOHandlerHTTP->Password());
  client.SetUserAgent(Text(msg::kUserAgent));
  client.SetContentType(fIOHandlerHTTP->ContentType());
  bool posted = false;
  try {
    posted = client.Post(aURL, std::string());
  } catch (const Exception& error) {
    // The client refuses a request it cannot send (a header that would break the request).
    return Fail(error.what());
  }
  if (!posted) {
    const int32_t code = client.LastStatusCode();
    std::string message = fIOHandler->DecodeError(code);
    // Without an answer the status text alone ("Unknown") would not say what went wrong.
    if (!client.ResponseReceived()) message = client.LastStatusText() + " " + message;
    fIOHandler->SetCustomError(code, message);
    return false;
  }
  aAnswer.Body = client.TakeResponse();
  aAnswer.ContentType = client.ResponseContentType();
  return true;
}

void kFiscalPrinter_RORERER::LoadXmlResponse(std::string aText) {
  // Nodes of the previous document die with it, before the buffer they point into.
  fXmlResponseNode = pugi::xml_node();
  fXmlResponse.reset();
  fXmlResponseText = std::move(aText);
  // The text's closing zero is parsed with it, as a copying parse would append one, so that
  // errors report the same offsets.
  const pugi::xml_parse_result parsed =
      fXmlResponse.load_buffer_inplace(fXmlResponseText.data(), fXmlResponseText.size() + 1);
  if (!parsed) {
    fXmlResponse.reset();
    fXmlResponseText.clear();
    throw Exception(msg::InvalidXmlAnswer(parsed.description(), parsed.offset));
  }
}

bool kFiscalPrinter_RORERER::Fail(const std::string& aMessage) {
  fIOHandler->Debug(tNV_MessageType::let_error, aMessage);
  fIOHandler->SetCustomError(msg::kChannelErrorCode, aMessage);
  return false;
}

// --- Status ------------------------------------------------------------------------------------

bool kFiscalPrinter_RORERER::PollStatus() {
  std::string lastError;
  if (!ReadStatusAnswer() || !StatusText(msg::kLastError, lastError)) return false;
  const std::string errorCode = StatusCode(lastError);
  if (errorCode == msg::kNoError) return true;
  int32_t code = 0;
  if (!TryStrToInt(errorCode, code)) code = 0;
  fIOHandler->Debug(tNV_MessageType::let_error, msg::DeviceErrorLine(code, GetErrorText(code)));
  fIOHandler->SetCustomError(code, GetErrorText(code));
  return false;
}

bool kFiscalPrinter_RORERER::ReadStatusAnswer() {
  if (!SendCommand(tkIBoxCommandId::ibc_GetStatus)) return false;
  std::string seqNo;
  if (!TakeStatusNode() || !StatusText(msg::kLastOrderSeqNo, seqNo)) return false;
  int32_t deviceSeqNo = 0;
  fSeqNo =
      TryStrToInt(ReplaceAll(seqNo, msg::kThousandsSeparator, ""), deviceSeqNo) ? deviceSeqNo : 1;
  return true;
}

bool kFiscalPrinter_RORERER::TakeStatusNode() {
  if (!fLastAnswerWasXml) return Fail(msg::StatusAnswerNotXml(fLastAnswerContentType));
  const pugi::xml_node genPar = fXmlResponse.document_element().child(msg::kGenPar.data());
  if (!genPar) return Fail(msg::StatusAnswerMissing(msg::kGenPar));
  fXmlResponseNode = genPar;
  return true;
}

bool kFiscalPrinter_RORERER::StatusText(std::string_view aName, std::string& aText) {
  const pugi::xml_node element = fXmlResponseNode.child(Text(aName).c_str());
  if (!element) return Fail(msg::StatusAnswerMissing(aName));
  aText = element.text().get();
  return true;
}

bool kFiscalPrinter_RORERER::StatusInteger(std::string_view aName, int32_t& aValue) {
  std::string text;
  if (!StatusText(aName, text)) return false;
  aValue = krptUtil::StrToInt(text);
  return true;
}

void kFiscalPrinter_RORERER::ClearErrors() { SendCommand(tkIBoxCommandId::ibc_ClearErrors); }

int32_t kFiscalPrinter_RORERER::GetReceiptState() {
  int32_t state = 0;
  return ReadReceiptState(state) ? state : 0;
}

bool kFiscalPrinter_RORERER::ReadReceiptState(int32_t& aState) {
  return PollStatus() && StatusReceiptState(aState);
}

bool kFiscalPrinter_RORERER::StatusReceiptState(int32_t& aState) {
  std::string receiptType;
  if (!StatusText(msg::kCurrentReceiptType, receiptType)) return false;
  const std::string type = StatusCode(receiptType);
  if (type == msg::kNoDocument) {
    aState = 0;
  } else if (type == msg::kFiscalReceipt || type == msg::kFiscalReceiptShort) {
    aState = 1;
  } else {
    aState = 2;
  }
  return true;
}

std::string kFiscalPrinter_RORERER::GetErrorText(int32_t aCode) { return IBoxErrorText(aCode); }

// --- Configuration -----------------------------------------------------------------------------

bool kFiscalPrinter_RORERER::LoadConfig() {
  fConfigList.clear();
  fConfigFile.clear();
  std::string path;
  try {
    fConfigDirectory = ExeDirectory();
    path = FindConfigFile(fConfigDirectory);
  } catch (const Exception&) {
    return false;  // a host directory that cannot name a file has no configuration
  }
  if (path.empty()) return false;
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  fConfigFile = path;
  const std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  fConfigList = SplitFileLines(content);
  return true;
}

std::string kFiscalPrinter_RORERER::GetPaymentCode(tkReceiptPaymentType aPaymentType) {
  const std::string name = krptUtil::EncodePaymentType(aPaymentType);
  for (const std::string& line : fConfigList) {
    const size_t separator = line.find(msg::kNameValueSeparator);
    if (separator == std::string::npos) continue;
    if (AsciiLower(std::string_view(line).substr(0, separator)) == name) {
      return line.substr(separator + 1);
    }
  }
  // Support staff and the host must see why a card payment went out as cash.
  const bool found = !fConfigFile.empty();
  fIOHandler->Debug(tNV_MessageType::let_info,
                    found ? msg::NoPaymentCodeLine(name, fConfigFile)
                          : msg::NoConfigFileForPayment(name, fConfigDirectory));
  if (aPaymentType != tkReceiptPaymentType::rpt_Cash) {
    const std::string file = found ? fConfigFile : JoinPath(fConfigDirectory, msg::kConfigFileName);
    AddOperationNotice(msg::PaymentSentWithDefaultCode(name, file, found));
  }
  return Text(msg::kDefaultPaymentCode);
}

}  // namespace nvrp
