#include "support/recording_device.hpp"

#include <memory>
#include <utility>

#include "base/currency.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "documents/request_documents.hpp"
#include "transport/io_handler_factory.hpp"

namespace nvrp::testing {

namespace {

std::unique_ptr<kIOHandler> MakeTestIOHandler(const kReceiptPrinterHandler& aHandler,
                                              const std::string& aLogDirectory) {
  return std::make_unique<kTestIOHandler>(aLogDirectory,
                                          SafeLogBaseName(aHandler.Driver(), aHandler.LogId()));
}

std::string Amount(Currency aAmount) { return CurrencyToText(aAmount); }

}  // namespace

kRecordingDevice::kRecordingDevice(kReceiptPrinterHandler& aHandler,
                                   const std::string& aLogDirectory)
    : kFiscalPrinterDevice(aHandler, MakeTestIOHandler(aHandler, aLogDirectory)) {}

kTestIOHandler& kRecordingDevice::TestIOHandler() const {
  return static_cast<kTestIOHandler&>(IOHandler());
}

void kRecordingDevice::SetAnswer(const std::string& aPrimitive, bool aResult) {
  fAnswers[aPrimitive] = kPrimitiveAnswer{aResult, false, 0, {}};
}

void kRecordingDevice::SetAnswerWithError(const std::string& aPrimitive, int32_t aErrorCode,
                                          const std::string& aErrorMessage, bool aResult) {
  fAnswers[aPrimitive] = kPrimitiveAnswer{aResult, true, aErrorCode, aErrorMessage};
}

void kRecordingDevice::OnCall(const std::string& aPrimitive, std::function<void()> aAction) {
  fActions[aPrimitive] = std::move(aAction);
}

std::vector<std::string> kRecordingDevice::CallNames() const {
  std::vector<std::string> names;
  for (const kRecordedCall& call : fCalls) names.push_back(call.fName);
  return names;
}

void kRecordingDevice::ClearCalls() {
  fCalls.clear();
  fTextLines.clear();
  fSales.clear();
}

bool kRecordingDevice::Record(const char* aPrimitive, std::string aArgument) {
  fCalls.push_back({aPrimitive, std::move(aArgument)});
  const auto action = fActions.find(aPrimitive);
  if (action != fActions.end() && action->second) action->second();
  const auto answer = fAnswers.find(aPrimitive);
  if (answer == fAnswers.end()) return true;
  if (answer->second.fRecordError) {
    IOHandler().SetCustomError(answer->second.fErrorCode, answer->second.fErrorMessage);
  }
  return answer->second.fResult;
}

bool kRecordingDevice::BeginNonFiscal(kNFReceipt& aReceipt) {
  fHeaderLines.clear();
  for (const auto& line : aReceipt.fHeaderLines) {
    if (const auto* text = dynamic_cast<const kReceiptMessageTextLine*>(line.get())) {
      fHeaderLines.push_back(
          {text->Value(), text->fEffects, text->fSize, text->fAlignment, false, text->fSection});
    }
  }
  return Record("BeginNonFiscal", aReceipt.fLayout);
}

bool kRecordingDevice::PrintNonFiscalTextLine(kReceipt* aReceipt, kReceiptMessageTextLine& aLine) {
  fTextLines.push_back(
      {aLine.Value(), aLine.fEffects, aLine.fSize, aLine.fAlignment, aReceipt != nullptr});
  return Record("PrintNonFiscalTextLine", aLine.Value());
}

bool kRecordingDevice::PrintNonFiscalBarcodeLine(kReceipt*, kReceiptMessageBarcodeLine& aLine) {
  return Record("PrintNonFiscalBarcodeLine", aLine.Value());
}

bool kRecordingDevice::PrintNonFiscalImageLine(kReceipt*, kReceiptMessageImageLine& aLine) {
  return Record("PrintNonFiscalImageLine", aLine.Value());
}

bool kRecordingDevice::EndNonFiscal(kNFReceipt& aReceipt) {
  return Record("EndNonFiscal", aReceipt.fLayout);
}

bool kRecordingDevice::BeginFiscalReceipt(kReceipt& aReceipt) {
  return Record("BeginFiscalReceipt", Amount(aReceipt.fTotalAmount));
}

bool kRecordingDevice::RefreshLastReceiptInfo(kReceipt&) {
  return Record("RefreshLastReceiptInfo");
}

bool kRecordingDevice::PrintProductSale(kReceipt& aReceipt, kReceiptLineProductSale& aLine) {
  fSales.push_back({aLine.fCode, aLine.fDescription, aLine.fQuantity, aLine.fUOM, aLine.fDepartment,
                    aLine.fTaxCode, aLine.fPrice, aLine.fAmount, aLine.fFreeOfCharge,
                    aLine.fLineType, aLine.fOwner == &aReceipt});
  return Record("PrintProductSale", aLine.Description());
}

bool kRecordingDevice::PrintProductReturn(kReceipt&, kReceiptLineProductReturn& aLine) {
  return Record("PrintProductReturn", aLine.Description());
}

bool kRecordingDevice::PrintVoucherSale(kReceipt&, kReceiptLineVoucherSale& aLine) {
  return Record("PrintVoucherSale", aLine.Description());
}

bool kRecordingDevice::PrintVoucherRedeem(kReceipt&, kReceiptLineVoucherRedeem& aLine) {
  return Record("PrintVoucherRedeem", aLine.Description());
}

bool kRecordingDevice::PrintGiftCardSale(kReceipt&, kReceiptLineGiftCardSale& aLine) {
  return Record("PrintGiftCardSale", aLine.Description());
}

bool kRecordingDevice::PrintGiftCardRedeem(kReceipt&, kReceiptLineGiftCardRedeem& aLine) {
  return Record("PrintGiftCardRedeem", aLine.Description());
}

bool kRecordingDevice::PrintCollectAmount(kReceipt&, kReceiptLineCollectAmount& aLine) {
  return Record("PrintCollectAmount", aLine.Description());
}

bool kRecordingDevice::PrintTextLine(kReceipt&, kReceiptLineText& aLine) {
  return Record("PrintTextLine", aLine.Description());
}

bool kRecordingDevice::PrintSubtotal(kReceipt&, kReceiptLineSubtotal& aLine) {
  return Record("PrintSubtotal", Amount(aLine.fAmount));
}

bool kRecordingDevice::PrintDiscountAmount(kReceipt&, kReceiptLineDiscountAmount& aLine) {
  return Record("PrintDiscountAmount", aLine.Description());
}

bool kRecordingDevice::PrintDiscountPercentage(kReceipt&, kReceiptLineDiscountPercentage& aLine) {
  return Record("PrintDiscountPercentage", aLine.Description());
}

bool kRecordingDevice::PrintDiscountAmountOnSubtotal(kReceipt&,
                                                     kReceiptLineDiscountAmountOnSubTotal& aLine) {
  return Record("PrintDiscountAmountOnSubtotal", aLine.Description());
}

bool kRecordingDevice::PrintDiscountPercentageOnSubtotal(
    kReceipt&, kReceiptLineDiscountPercentageOnSubTotal& aLine) {
  return Record("PrintDiscountPercentageOnSubtotal", aLine.Description());
}

bool kRecordingDevice::PrintMarkupAmount(kReceipt&, kReceiptLineMarkupAmount& aLine) {
  return Record("PrintMarkupAmount", aLine.Description());
}

bool kRecordingDevice::PrintMarkupPercentage(kReceipt&, kReceiptLineMarkupPercentage& aLine) {
  return Record("PrintMarkupPercentage", aLine.Description());
}

bool kRecordingDevice::PrintMarkupAmountOnSubtotal(kReceipt&,
                                                   kReceiptLineMarkupAmountOnSubTotal& aLine) {
  return Record("PrintMarkupAmountOnSubtotal", aLine.Description());
}

bool kRecordingDevice::PrintMarkupPercentageOnSubtotal(
    kReceipt&, kReceiptLineMarkupPercentageOnSubTotal& aLine) {
  return Record("PrintMarkupPercentageOnSubtotal", aLine.Description());
}

bool kRecordingDevice::PrintPayment(kReceipt&, kReceiptPaymentLine& aLine) {
  return Record("PrintPayment", aLine.fDescription);
}

bool kRecordingDevice::PrintTrailerTextLine(kReceipt&, kReceiptMessageTextLine& aLine) {
  return Record("PrintTrailerTextLine", aLine.Value());
}

bool kRecordingDevice::PrintTrailerBarcodeLine(kReceipt&, kReceiptMessageBarcodeLine& aLine) {
  return Record("PrintTrailerBarcodeLine", aLine.Value());
}

bool kRecordingDevice::VoidReceipt() { return Record("VoidReceipt"); }

bool kRecordingDevice::PrintXReportPrimitive(kXReport& aReport) {
  return Record("PrintXReportPrimitive", aReport.fTillCode);
}

bool kRecordingDevice::PrintZReportPrimitive(kZReport& aReport) {
  return Record("PrintZReportPrimitive", aReport.fTillCode);
}

bool kRecordingDevice::GetLastReceiptInfo(DateTime& aDateTime, std::string& aNumber,
                                          std::string& aEJNumber, std::string& aEJClosingNumber,
                                          std::string& aDeviceSerialNumber) {
  aDateTime = fOutputs.fLastReceiptDateTime;
  aNumber = fOutputs.fLastReceiptNumber;
  aEJNumber = fOutputs.fLastEJNumber;
  aEJClosingNumber = fOutputs.fLastEJClosingNumber;
  aDeviceSerialNumber = fOutputs.fLastDeviceSerialNumber;
  return Record("GetLastReceiptInfo");
}

bool kRecordingDevice::GetRemainingFiscalMemory(int32_t& aRemaining) {
  aRemaining = fOutputs.fRemainingFiscalMemory;
  return Record("GetRemainingFiscalMemory");
}

bool kRecordingDevice::ReadStatus(bool& aDayOpened, DateTime& aDateTime, bool& aPaperEnd,
                                  bool& aPaperNearEnd, bool& aCoverOpen, bool& aFiscalReceiptOpen,
                                  bool& aReceiptOpen, bool& aTrainingMode,
                                  std::string& aFirmwareVersion, std::string& aSerialNumber,
                                  std::string& aFiscalMode) {
  aDayOpened = fOutputs.fDayOpened;
  aDateTime = fOutputs.fDeviceDateTime;
  aPaperEnd = fOutputs.fPaperEnd;
  aPaperNearEnd = fOutputs.fPaperNearEnd;
  aCoverOpen = fOutputs.fCoverOpen;
  aFiscalReceiptOpen = fOutputs.fFiscalReceiptOpen;
  aReceiptOpen = fOutputs.fReceiptOpen;
  aTrainingMode = fOutputs.fTrainingMode;
  aFirmwareVersion = fOutputs.fFirmwareVersion;
  aSerialNumber = fOutputs.fSerialNumber;
  aFiscalMode = fOutputs.fFiscalMode;
  return Record("ReadStatus");
}

bool kRecordingDevice::ReadDrawerStatus(int32_t aDrawerNumber, bool& aIsOpen) {
  aIsOpen = fOutputs.fDrawerOpen;
  return Record("ReadDrawerStatus", std::to_string(aDrawerNumber));
}

bool kRecordingDevice::ReadDateTime(DateTime& aDateTime) {
  aDateTime = fOutputs.fDeviceDateTime;
  return Record("ReadDateTime");
}

bool kRecordingDevice::WriteDateTime(DateTime aDateTime) {
  return Record("WriteDateTime", DateTimeToText(aDateTime));
}

bool kRecordingDevice::SetTrainingMode(bool aOn) {
  return Record("SetTrainingMode", aOn ? "true" : "false");
}

bool kRecordingDevice::ReadVatTable() { return Record("ReadVatTable"); }

bool kRecordingDevice::WriteVatTable(kVatTable& aTable) {
  return Record("WriteVatTable", std::to_string(aTable.size()));
}

bool kRecordingDevice::ReadEATable() { return Record("ReadEATable"); }

bool kRecordingDevice::WriteEATable(kEconomicActivityTable& aTable) {
  return Record("WriteEATable", std::to_string(aTable.size()));
}

bool kRecordingDevice::ReadDeptTable() { return Record("ReadDeptTable"); }

bool kRecordingDevice::WriteDeptTable(kDeptTable& aTable) {
  return Record("WriteDeptTable", std::to_string(aTable.size()));
}

bool kRecordingDevice::Slot44Reserved() {
  Record("Slot44Reserved");
  return false;
}

bool kRecordingDevice::ClearDisplay() { return Record("ClearDisplay"); }

bool kRecordingDevice::WriteDisplayLine(kReceiptMessageLines& aLines) {
  return Record("WriteDisplayLine", std::to_string(aLines.size()));
}

bool kRecordingDevice::OpenDrawerPrimitive(int32_t aDrawerNumber) {
  return Record("OpenDrawerPrimitive", std::to_string(aDrawerNumber));
}

bool kRecordingDevice::PayPrimitive(kPaymentReceipt& aPayment) {
  return Record("PayPrimitive", Amount(aPayment.fAmount));
}

bool kRecordingDevice::ReprintReceiptPrimitive(kReceiptReference& aReference) {
  return Record("ReprintReceiptPrimitive", aReference.fReceiptNumber);
}

bool kRecordingDevice::EJReport(const char* aPrimitive, std::string& aText, std::string aNumbers) {
  aText = fOutputs.fEJText;
  return Record(aPrimitive, std::move(aNumbers));
}

std::string kRecordingDevice::NumberRange(int32_t aStartNumber, int32_t aEndNumber) {
  return std::to_string(aStartNumber) + ".." + std::to_string(aEndNumber);
}

bool kRecordingDevice::EJPrintZReports(tkEJReportDestination, DateTime, DateTime,
                                       std::string& aText) {
  return EJReport("EJPrintZReports", aText);
}

bool kRecordingDevice::EJPrintFiscalReceipts(tkEJReportDestination, DateTime, DateTime,
                                             int32_t aStartNumber, int32_t aEndNumber,
                                             std::string& aText) {
  return EJReport("EJPrintFiscalReceipts", aText, NumberRange(aStartNumber, aEndNumber));
}

bool kRecordingDevice::EJPrintNonFiscalReceipts(tkEJReportDestination, DateTime, DateTime,
                                                int32_t aStartNumber, int32_t aEndNumber,
                                                std::string& aText) {
  return EJReport("EJPrintNonFiscalReceipts", aText, NumberRange(aStartNumber, aEndNumber));
}

bool kRecordingDevice::EJPrintCreditNotes(tkEJReportDestination, DateTime, DateTime,
                                          int32_t aStartNumber, int32_t aEndNumber,
                                          std::string& aText) {
  return EJReport("EJPrintCreditNotes", aText, NumberRange(aStartNumber, aEndNumber));
}

bool kRecordingDevice::EJPrintInvoices(tkEJReportDestination, DateTime, DateTime,
                                       int32_t aStartNumber, int32_t aEndNumber,
                                       std::string& aText) {
  return EJReport("EJPrintInvoices", aText, NumberRange(aStartNumber, aEndNumber));
}

bool kRecordingDevice::GetEJFilesPrimitive(tkEJFilesRequestType, DateTime, DateTime,
                                           const std::string& aOutputDirectory,
                                           int32_t& aFileCount) {
  aFileCount = fOutputs.fEJFileCount;
  return Record("GetEJFilesPrimitive", aOutputDirectory);
}

bool kRecordingDevice::CheckDeviceReady() { return Record("CheckDeviceReady"); }

bool kRecordingDevice::IsDayOpened() { return Record("IsDayOpened"); }

bool kRecordingDevice::GetLotteryReceiptStatusPrimitive(kReceiptReference& aReference) {
  return Record("GetLotteryReceiptStatusPrimitive", aReference.fReceiptNumber);
}

bool kRecordingDevice::GetReceiptText(kReceiptReference& aReference, std::string& aText) {
  aText = fOutputs.fReceiptText;
  return Record("GetReceiptText", aReference.fReceiptNumber);
}

bool kRecordingDevice::Init() { return Record("Init"); }

}  // namespace nvrp::testing
