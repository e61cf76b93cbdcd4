#include "transport/io_handler_opos.hpp"

#include <cmath>
#include <exception>
#include <limits>

#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "transport/io_handler_device_messages.hpp"

namespace nvrp {

namespace msg = io_handler_device_messages;

namespace {

constexpr int32_t kReceiptStation = 2;
constexpr char kDateFormat[] = "ddmmyyyyhhnn";

template <size_t N>
std::string_view NameOf(const std::string_view (&aNames)[N], int32_t aFirst, int32_t aCode) {
  const int64_t index = static_cast<int64_t>(aCode) - aFirst;
  if (index < 0 || index >= static_cast<int64_t>(N)) return msg::kUnknownName;
  return aNames[index];
}

std::string Tag(const char* aOperation) { return "[" + std::string(aOperation) + "]->"; }

std::string Flag(bool aValue) { return aValue ? "true" : "false"; }

// Reads "ddmmyyyyhhnn"; false for any other text.
bool ParseOposDate(const std::string& aText, DateTime& aDate) {
  if (aText.size() < 12) return false;
  for (size_t i = 0; i < 12; ++i) {
    if (aText[i] < '0' || aText[i] > '9') return false;
  }
  DateTimeParts parts;
  parts.day = std::stoi(aText.substr(0, 2));
  parts.month = std::stoi(aText.substr(2, 2));
  parts.year = std::stoi(aText.substr(4, 4));
  parts.hour = std::stoi(aText.substr(8, 2));
  parts.minute = std::stoi(aText.substr(10, 2));
  return TryEncodeDateTime(parts, aDate);
}

}  // namespace

kIOHandler_OPOS::kIOHandler_OPOS(const kConnection* aConnection, std::string_view aDirectory,
                                 std::string_view aFileName)
    : kIOHandler_OPOS(aConnection, aDirectory, aFileName, CreateOposFiscalPrinter()) {}

kIOHandler_OPOS::kIOHandler_OPOS(const kConnection* aConnection, std::string_view aDirectory,
                                 std::string_view aFileName,
                                 std::unique_ptr<kOposFiscalPrinter> aControl)
    : kIOHandler(aConnection, aDirectory, aFileName), fOPOS(std::move(aControl)) {
  if (aConnection != nullptr) fDeviceName = aConnection->DeviceName();
}

kIOHandler_OPOS::~kIOHandler_OPOS() {
  if (fConnected) Disconnect();
}

std::string kIOHandler_OPOS::FormatOposError(int32_t aCode, int32_t aExtendedCode,
                                             const std::string& aDescription) {
  std::string text = "[" + std::to_string(aCode) + "] " +
                     std::string(NameOf(msg::kResultNames, msg::kFirstResultName, aCode));
  if (aExtendedCode != 0) {
    text += " [" + std::to_string(aExtendedCode) + "] " +
            std::string(NameOf(msg::kExtendedNames, msg::kFirstExtendedName, aExtendedCode));
  }
  return text + " - " + aDescription;
}

std::string kIOHandler_OPOS::FormatLogAmount(Currency aAmount) { return CurrencyToText(aAmount); }

std::string kIOHandler_OPOS::Quoted(const std::string& aText) {
  return "'" + ReplaceAll(aText, "'", "''") + "'";
}

bool kIOHandler_OPOS::CheckOposResult(int32_t aResultCode) {
  ResetCustomError();
  if (aResultCode == msg::kOposSuccess) return true;
  const int32_t extended = aResultCode == msg::kOposExtended ? fOPOS->ResultCodeExtended() : 0;
  const std::string text = FormatOposError(aResultCode, extended, fOPOS->ErrorString());
  Debug(tNV_MessageType::let_error, text);
  SetCustomError(aResultCode, text);
  return false;
}

bool kIOHandler_OPOS::Call(const std::string& aLine, const std::function<int32_t()>& aCall) {
  Debug(tNV_MessageType::let_info, aLine);
  return CheckOposResult(aCall());
}

// A device that did not open, claim or enable is not connected: reporting it connected would
// make the next commands and the disconnection talk to a closed control.
bool kIOHandler_OPOS::Connect() {
  kIOHandler::Connect();
  Debug(tNV_MessageType::let_info, msg::DeviceNameLine(fDeviceName));
  if (fConnected) Disconnect();
  try {
    bool result = Call(Tag("Connect") + "Open(" + fDeviceName + ")",
                       [&] { return fOPOS->Open(fDeviceName); });
    if (result) {
      result = Call(Tag("Connect") + "ClaimDevice(" + std::to_string(ConnectTimeout()) + ")",
                    [&] { return fOPOS->ClaimDevice(ConnectTimeout()); });
    }
    if (result) {
      Debug(tNV_MessageType::let_info, Tag("Connect") + "DeviceEnabled:=true");
      fOPOS->SetDeviceEnabled(true);
      result = fOPOS->DeviceEnabled();
    }
    fConnected = result;
    return result;
  } catch (const std::exception& error) {
    Debug(tNV_MessageType::let_error, "[Connect]:" + std::string(error.what()));
    return false;
  }
}

bool kIOHandler_OPOS::Disconnect() {
  try {
    Debug(tNV_MessageType::let_info, Tag("Disconnect") + "DeviceEnabled:=false");
    fOPOS->SetDeviceEnabled(false);
    bool result = !fOPOS->DeviceEnabled();
    if (result) {
      result = Call(Tag("Disconnect") + "ReleaseDevice", [&] { return fOPOS->ReleaseDevice(); });
    }
    if (result) result = Call(Tag("Disconnect") + "Close", [&] { return fOPOS->Close(); });
    fConnected = false;
    return result;
  } catch (const std::exception& error) {
    Debug(tNV_MessageType::let_error, "[Disconnect]:" + std::string(error.what()));
    return false;
  }
}

bool kIOHandler_OPOS::Write(const std::string&) {
  throw Exception(std::string(msg::kWriteUnsupported));
}
std::string kIOHandler_OPOS::ReadUpTo(const std::vector<uint8_t>&) {
  throw Exception(std::string(msg::kReadUpToUnsupported));
}
std::string kIOHandler_OPOS::ReadChars(int32_t) {
  throw Exception(std::string(msg::kReadCharsUnsupported));
}
std::string kIOHandler_OPOS::ReadAll() { throw Exception(std::string(msg::kReadAllUnsupported)); }
bool kIOHandler_OPOS::InputBufferContainsData() {
  throw Exception(std::string(msg::kInputBufferUnsupported));
}

std::string kIOHandler_OPOS::ClassName() const { return std::string(msg::kOPOSClassName); }

bool kIOHandler_OPOS::BeginFiscalReceipt() {
  return Call(Tag("BeginFiscalReceipt") + "BeginFiscalReceipt(true)",
              [&] { return fOPOS->BeginFiscalReceipt(true); });
}

bool kIOHandler_OPOS::EndFiscalReceipt() {
  return Call(Tag("EndFiscalReceipt") + "EndFiscalReceipt(false)",
              [&] { return fOPOS->EndFiscalReceipt(false); });
}

// A small allowance before truncating, so that 1.001 (held as 1.000999...) gives 1001.
bool kIOHandler_OPOS::Thousandths(double aQuantity, int32_t& aThousandths) {
  const double scaled = aQuantity * 1000.0;
  const double truncated = std::trunc(scaled + (scaled >= 0 ? 1e-6 : -1e-6));
  if (!std::isfinite(truncated) || truncated > std::numeric_limits<int32_t>::max() ||
      truncated < std::numeric_limits<int32_t>::min()) {
    SetCustomError(0, msg::QuantityOutOfRange(aQuantity));
    Debug(tNV_MessageType::let_error, msg::QuantityOutOfRange(aQuantity));
    return false;
  }
  aThousandths = static_cast<int32_t>(truncated);
  return true;
}

std::string kIOHandler_OPOS::ItemArguments(const std::string& aDescription, Currency aAmount,
                                           double aQuantity, int32_t aVatCode, Currency aPrice,
                                           const std::string& aUOM) const {
  const double whole = std::isfinite(aQuantity) ? std::trunc(aQuantity) : 0;
  return "(" + Quoted(aDescription) + "," + FormatLogAmount(aAmount) + "," +
         std::to_string(static_cast<int64_t>(whole)) + "," + std::to_string(aVatCode) + "," +
         FormatLogAmount(aPrice) + "," + Quoted(aUOM) + ")";
}

bool kIOHandler_OPOS::PrintRecItem(const std::string&, const std::string& aDescription,
                                   double aQuantity, const std::string& aUOM, int32_t aVatCode,
                                   Currency aPrice, Currency aAmount) {
  int32_t quantity = 0;
  if (!Thousandths(aQuantity, quantity)) return false;
  return Call(
      Tag("PrintRecItem") + "PrintRecItem" +
          ItemArguments(aDescription, aAmount, aQuantity, aVatCode, aPrice, aUOM),
      [&] { return fOPOS->PrintRecItem(aDescription, aAmount, quantity, aVatCode, aPrice, aUOM); });
}

bool kIOHandler_OPOS::PrintRecItemVoid(const std::string&, const std::string& aDescription,
                                       double aQuantity, const std::string& aUOM, int32_t aVatCode,
                                       Currency aPrice, Currency aAmount) {
  int32_t quantity = 0;
  if (!Thousandths(aQuantity, quantity)) return false;
  return Call(Tag("PrintRecItemVoid") + "PrintRecItemVoid" +
                  ItemArguments(aDescription, aAmount, aQuantity, aVatCode, aPrice, aUOM),
              [&] {
                return fOPOS->PrintRecItemVoid(aDescription, aAmount, quantity, aVatCode, aPrice,
                                               aUOM);
              });
}

bool kIOHandler_OPOS::PrintRecRefund(const std::string&, const std::string& aDescription, double,
                                     const std::string&, int32_t aVatCode, Currency,
                                     Currency aAmount) {
  return Call(Tag("PrintRecRefund") + "PrintRecRefund(" + Quoted(aDescription) + "," +
                  FormatLogAmount(aAmount) + "," + std::to_string(aVatCode) + ")",
              [&] { return fOPOS->PrintRecRefund(aDescription, aAmount, aVatCode); });
}

bool kIOHandler_OPOS::PrintRecSubtotal(Currency aAmount) {
  return Call(Tag("PrintRecSubtotal") + "PrintRecSubTotal(" + FormatLogAmount(aAmount) + ")",
              [&] { return fOPOS->PrintRecSubtotal(aAmount); });
}

bool kIOHandler_OPOS::PrintRecMessage(const std::string& aText) {
  return Call(Tag("PrintRecMessage") + "PrintRecMessage(" + Quoted(aText) + ")",
              [&] { return fOPOS->PrintRecMessage(aText); });
}

bool kIOHandler_OPOS::PrintRecItemAdjustment(int32_t aAdjType, const std::string& aDescription,
                                             Currency aAmount, int32_t aVatCode) {
  return Call(
      Tag("PrintRecItemAdjustment") + "PrintRecItemAdjustment(" + std::to_string(aAdjType) + "," +
          Quoted(aDescription) + "," + FormatLogAmount(aAmount) + "," + std::to_string(aVatCode) +
          ")",
      [&] { return fOPOS->PrintRecItemAdjustment(aAdjType, aDescription, aAmount, aVatCode); });
}

bool kIOHandler_OPOS::PrintRecSubtotalAdjustment(int32_t aAdjType, const std::string& aDescription,
                                                 Currency aAmount) {
  return Call(Tag("PrintRecSubtotalAdjustment") + "PrintRecSubtotalAdjustment(" +
                  std::to_string(aAdjType) + "," + Quoted(aDescription) + "," +
                  FormatLogAmount(aAmount) + ")",
              [&] { return fOPOS->PrintRecSubtotalAdjustment(aAdjType, aDescription, aAmount); });
}

bool kIOHandler_OPOS::PrintRecTotal(Currency aTotalAmount, Currency aPaymentAmount,
                                    const std::string& aDescription) {
  return Call(Tag("PrintRecTotal") + "PrintRecTotal(" + FormatLogAmount(aTotalAmount) + "," +
                  FormatLogAmount(aPaymentAmount) + "," + Quoted(aDescription) + ")",
              [&] { return fOPOS->PrintRecTotal(aTotalAmount, aPaymentAmount, aDescription); });
}

bool kIOHandler_OPOS::PrintRecNotPaid(Currency aAmount, const std::string& aDescription) {
  return Call(Tag("PrintRecNotPaid") + "PrintRecNotPaid(" + Quoted(aDescription) + "," +
                  FormatLogAmount(aAmount) + ")",
              [&] { return fOPOS->PrintRecNotPaid(aDescription, aAmount); });
}

bool kIOHandler_OPOS::PrintRecTaxid(const std::string& aTaxId) {
  return Call(Tag("PrintRecTaxid") + "PrintRecTaxid(" + Quoted(aTaxId) + ")",
              [&] { return fOPOS->PrintRecTaxID(aTaxId); });
}

bool kIOHandler_OPOS::ResetPrinter() {
  return Call(Tag("ResetPrinter") + "ResetPrinter", [&] { return fOPOS->ResetPrinter(); });
}

bool kIOHandler_OPOS::BeginNonFiscal() {
  return Call(Tag("BeginNonFiscal") + "BeginNonFiscal", [&] { return fOPOS->BeginNonFiscal(); });
}

bool kIOHandler_OPOS::EndNonFiscal() {
  return Call(Tag("EndNonFiscal") + "EndNonFiscal", [&] { return fOPOS->EndNonFiscal(); });
}

bool kIOHandler_OPOS::PrintNormal(const std::string& aText) {
  return Call(Tag("PrintNormal") + "PrintNormal(" + std::to_string(kReceiptStation) + "," +
                  Quoted(aText) + ")",
              [&] { return fOPOS->PrintNormal(kReceiptStation, aText); });
}

bool kIOHandler_OPOS::BeginTraining() {
  return Call(Tag("BeginTraining") + "BeginTraining", [&] { return fOPOS->BeginTraining(); });
}

bool kIOHandler_OPOS::EndTraining() {
  return Call(Tag("EndTraining") + "EndTraining", [&] { return fOPOS->EndTraining(); });
}

bool kIOHandler_OPOS::PrintXReport() {
  return Call(Tag("PrintXReport") + "PrintXReport", [&] { return fOPOS->PrintXReport(); });
}

bool kIOHandler_OPOS::PrintZReport() {
  return Call(Tag("PrintZReport") + "PrintZReport", [&] { return fOPOS->PrintZReport(); });
}

bool kIOHandler_OPOS::SetDate(DateTime aDateTime) {
  const std::string text = FormatDateTime(kDateFormat, aDateTime);
  return Call(Tag("SetDate") + "SetDate(" + Quoted(text) + ")",
              [&] { return fOPOS->SetDate(text); });
}

bool kIOHandler_OPOS::GetDate(DateTime& aDate) {
  std::string text;
  const bool result = Call(Tag("GetDate") + "GetDate", [&] { return fOPOS->GetDate(text); });
  Debug(tNV_MessageType::let_info, Tag("GetDate") + "aDate=" + text);
  if (!result) {
    aDate = Now();
    return false;
  }
  // A control that answers no date is a failure: the host's clock is not the device's.
  if (!ParseOposDate(text, aDate)) {
    const std::string error = msg::NotAnOposDate(text);
    Debug(tNV_MessageType::let_error, error);
    SetCustomError(0, error);
    return false;
  }
  return true;
}

bool kIOHandler_OPOS::GetData(int32_t aDataItem, int32_t aOptArgs, std::string& aOutput) {
  int32_t options = aOptArgs;
  const bool result = Call(Tag("GetData") + "GetData(" + std::to_string(aDataItem) + "," +
                               std::to_string(aOptArgs) + ",aOutput)",
                           [&] { return fOPOS->GetData(aDataItem, options, aOutput); });
  Debug(tNV_MessageType::let_info, Tag("GetData") + "aOutput=" + aOutput);
  return result;
}

bool kIOHandler_OPOS::DirectIO(int32_t aCommand, int32_t& aData, std::string& aString) {
  const bool result = Call(Tag("DirectIO") + "DirectIO(" + std::to_string(aCommand) + "," +
                               std::to_string(aData) + "," + Quoted(aString) + ")",
                           [&] { return fOPOS->DirectIO(aCommand, aData, aString); });
  Debug(tNV_MessageType::let_info, Tag("DirectIO") + "Output(Data:=" + std::to_string(aData) +
                                       ", Obj:=" + Quoted(aString) + ")");
  return result;
}

bool kIOHandler_OPOS::ReadFlag(const std::string& aOperation, const std::string& aProperty,
                               const std::function<bool()>& aRead, bool& aResult) {
  Debug(tNV_MessageType::let_info, "[" + aOperation + "]->" + aProperty + "(aResult)");
  aResult = aRead();
  Debug(tNV_MessageType::let_info, "[" + aOperation + "]->aResult=" + Flag(aResult));
  return true;
}

bool kIOHandler_OPOS::GetCoverOpen(bool& aResult) {
  return ReadFlag(
      "GetCoverOpen", "CoverOpen", [&] { return fOPOS->CoverOpen(); }, aResult);
}

bool kIOHandler_OPOS::GetDayOpened(bool& aResult) {
  return ReadFlag(
      "GetDayOpened", "DayOpened", [&] { return fOPOS->DayOpened(); }, aResult);
}

bool kIOHandler_OPOS::GetRecEmpty(bool& aResult) {
  return ReadFlag(
      "GetRecEmpty", "RecEmpty", [&] { return fOPOS->RecEmpty(); }, aResult);
}

bool kIOHandler_OPOS::GetRecNearEnd(bool& aResult) {
  return ReadFlag(
      "GetRecNearEmpty", "RecNearEmpty", [&] { return fOPOS->RecNearEnd(); }, aResult);
}

bool kIOHandler_OPOS::GetTrainingModeActive(bool& aResult) {
  return ReadFlag(
      "GetTrainingModeActive", "TrainingModeActive", [&] { return fOPOS->TrainingModeActive(); },
      aResult);
}

bool kIOHandler_OPOS::PrinterState(int32_t& aPrinterState) {
  Debug(tNV_MessageType::let_info, Tag("PrinterState") + "PrinterState(aPrinterState)");
  aPrinterState = fOPOS->PrinterState();
  Debug(tNV_MessageType::let_info,
        Tag("PrinterState") + "aPrinterState=" + std::to_string(aPrinterState));
  return true;
}

bool kIOHandler_OPOS::RemainingFiscalMemory(int32_t& aRemainingFiscalMemory) {
  Debug(tNV_MessageType::let_info,
        Tag("RemainingFiscalMemory") + "RemainingFiscalMemory(aRemainingFiscalMemory)");
  aRemainingFiscalMemory = fOPOS->RemainingFiscalMemory();
  Debug(tNV_MessageType::let_info, Tag("RemainingFiscalMemory") + "aRemainingFiscalMemory=" +
                                       std::to_string(aRemainingFiscalMemory));
  return true;
}

bool kIOHandler_OPOS::SetFiscalReceiptType(int32_t aReceiptType) {
  return Call(Tag("SetFiscalReceiptType") + "FiscalReceiptType=" + std::to_string(aReceiptType),
              [&] { return fOPOS->SetFiscalReceiptType(aReceiptType); });
}

bool kIOHandler_OPOS::SetPreLine(const std::string& aDescription) {
  return Call(Tag("SetPreLine") + "PreLine=" + Quoted(aDescription),
              [&] { return fOPOS->SetPreLine(aDescription); });
}

bool kIOHandler_OPOS::SetAdditionalTrailerLine(const std::string& aDescription, bool aClear) {
  const std::string line = Tag("SetAdditionalTrailerLine") +
                           (aClear ? "AdditionalTrailer=" : "AdditionalTrailer=+") +
                           Quoted(aDescription);
  return Call(line, [&] {
    const std::string text =
        aClear ? aDescription : fOPOS->AdditionalTrailer() + aDescription + "\r\n";
    return fOPOS->SetAdditionalTrailer(text);
  });
}

}  // namespace nvrp
