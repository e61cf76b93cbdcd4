#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "base/currency.hpp"
#include "device/fiscal_printer_device.hpp"
#include "documents/receipt_message_lines.hpp"
#include "documents/request_enums.hpp"
#include "support/test_io_handler.hpp"

namespace nvrp::testing {

// One primitive call: the primitive's name and its key argument (a line's printed text, a
// drawer number, a layout ...; empty when the primitive has none worth checking).
struct kRecordedCall {
  std::string fName;
  std::string fArgument;
  friend bool operator==(const kRecordedCall&, const kRecordedCall&) = default;
  friend std::ostream& operator<<(std::ostream& aStream, const kRecordedCall& aCall) {
    return aStream << aCall.fName << "(" << aCall.fArgument << ")";
  }
};

// A text line as a non-fiscal text primitive received it.
struct kRecordedTextLine {
  std::string fValue;
  tkReceiptMessageLineEffectSet fEffects;
  int32_t fSize = 0;
  tkReceiptMessageLineAlignment fAlignment = tkReceiptMessageLineAlignment::la_none;
  bool fWithReceipt = false;
  tkReceiptSection fSection = tkReceiptSection::rs_lead;
};

// A sale line as PrintProductSale received it.
struct kRecordedSale {
  std::string fCode;
  std::string fDescription;
  Currency fQuantity;
  std::string fUOM;
  std::string fDepartment;
  std::string fTaxCode;
  Currency fPrice;
  Currency fAmount;
  bool fFreeOfCharge = false;
  tkReceiptLineType fLineType = tkReceiptLineType::rlt_ProductSale;
  bool fOwnedByReceipt = false;  // the line's owner is the receipt handed over
};

// How a primitive answers: its result and, optionally, an error it records on the I/O handler
// (SetCustomError) before returning.
struct kPrimitiveAnswer {
  bool fResult = true;
  bool fRecordError = false;
  int32_t fErrorCode = 0;
  std::string fErrorMessage;
};

// Values the out-argument primitives hand back.
struct kRecordingOutputs {
  DateTime fLastReceiptDateTime = 0;
  std::string fLastReceiptNumber;
  std::string fLastEJNumber;
  std::string fLastEJClosingNumber;
  std::string fLastDeviceSerialNumber;
  int32_t fRemainingFiscalMemory = 0;
  bool fDayOpened = false;
  DateTime fDeviceDateTime = 0;
  bool fPaperEnd = false;
  bool fPaperNearEnd = false;
  bool fCoverOpen = false;
  bool fFiscalReceiptOpen = false;
  bool fReceiptOpen = false;
  bool fTrainingMode = false;
  std::string fFirmwareVersion;
  std::string fSerialNumber;
  std::string fFiscalMode;
  bool fDrawerOpen = false;
  std::string fEJText;
  int32_t fEJFileCount = 0;
  std::string fReceiptText;
};

// A fiscal device that records every primitive call by name and answers as the test arranges:
// every primitive succeeds unless told otherwise; CheckDeviceReady answers true. The weighted
// sale is the framework's default (a text line and a product sale). Its I/O
// handler is a kTestIOHandler, with a log when a log directory is given.
class kRecordingDevice : public kFiscalPrinterDevice {
 public:
  explicit kRecordingDevice(kReceiptPrinterHandler& aHandler,
                            const std::string& aLogDirectory = std::string());

  // Arrangements, by primitive name ("VoidReceipt", "PrintProductSale" ...).
  void SetAnswer(const std::string& aPrimitive, bool aResult);
  void SetAnswerWithError(const std::string& aPrimitive, int32_t aErrorCode,
                          const std::string& aErrorMessage, bool aResult = false);
  // Runs before the primitive answers (for instance to change the print sequence).
  void OnCall(const std::string& aPrimitive, std::function<void()> aAction);

  kRecordingOutputs& Outputs() { return fOutputs; }
  void SetLineLength(int32_t aLength) { fLineLength = aLength; }
  tkFiscalCounters& MutableCounters() { return fCounters; }
  tkLotteryReceiptStatus& MutableLotteryReceiptStatus() { return fLotteryReceiptStatus; }
  kTestIOHandler& TestIOHandler() const;

  const std::vector<kRecordedCall>& Calls() const { return fCalls; }
  std::vector<std::string> CallNames() const;
  const std::vector<kRecordedTextLine>& NonFiscalTextLines() const { return fTextLines; }
  // Header lines of the last non-fiscal document begun.
  const std::vector<kRecordedTextLine>& NonFiscalHeaderLines() const { return fHeaderLines; }
  const std::vector<kRecordedSale>& Sales() const { return fSales; }
  void ClearCalls();

  // The framework's protected helpers, open to tests.
  using kFiscalPrinterDevice::Call;
  using kFiscalPrinterDevice::ClearPrintSequence;
  using kFiscalPrinterDevice::OpenRTServerTillIfNeeded;
  using kFiscalPrinterDevice::PrintTillReport;
  using kFiscalPrinterDevice::ReadinessStep;

  bool BeginNonFiscal(kNFReceipt& aReceipt) override;
  bool PrintNonFiscalTextLine(kReceipt* aReceipt, kReceiptMessageTextLine& aLine) override;
  bool PrintNonFiscalBarcodeLine(kReceipt* aReceipt, kReceiptMessageBarcodeLine& aLine) override;
  bool PrintNonFiscalImageLine(kReceipt* aReceipt, kReceiptMessageImageLine& aLine) override;
  bool EndNonFiscal(kNFReceipt& aReceipt) override;
  bool BeginFiscalReceipt(kReceipt& aReceipt) override;
  bool RefreshLastReceiptInfo(kReceipt& aReceipt) override;
  bool PrintProductSale(kReceipt& aReceipt, kReceiptLineProductSale& aLine) override;
  bool PrintProductReturn(kReceipt& aReceipt, kReceiptLineProductReturn& aLine) override;
  bool PrintVoucherSale(kReceipt& aReceipt, kReceiptLineVoucherSale& aLine) override;
  bool PrintVoucherRedeem(kReceipt& aReceipt, kReceiptLineVoucherRedeem& aLine) override;
  bool PrintGiftCardSale(kReceipt& aReceipt, kReceiptLineGiftCardSale& aLine) override;
  bool PrintGiftCardRedeem(kReceipt& aReceipt, kReceiptLineGiftCardRedeem& aLine) override;
  bool PrintCollectAmount(kReceipt& aReceipt, kReceiptLineCollectAmount& aLine) override;
  bool PrintTextLine(kReceipt& aReceipt, kReceiptLineText& aLine) override;
  bool PrintSubtotal(kReceipt& aReceipt, kReceiptLineSubtotal& aLine) override;
  bool PrintDiscountAmount(kReceipt& aReceipt, kReceiptLineDiscountAmount& aLine) override;
  bool PrintDiscountPercentage(kReceipt& aReceipt, kReceiptLineDiscountPercentage& aLine) override;
  bool PrintDiscountAmountOnSubtotal(kReceipt& aReceipt,
                                     kReceiptLineDiscountAmountOnSubTotal& aLine) override;
  bool PrintDiscountPercentageOnSubtotal(kReceipt& aReceipt,
                                         kReceiptLineDiscountPercentageOnSubTotal& aLine) override;
  bool PrintMarkupAmount(kReceipt& aReceipt, kReceiptLineMarkupAmount& aLine) override;
  bool PrintMarkupPercentage(kReceipt& aReceipt, kReceiptLineMarkupPercentage& aLine) override;
  bool PrintMarkupAmountOnSubtotal(kReceipt& aReceipt,
                                   kReceiptLineMarkupAmountOnSubTotal& aLine) override;
  bool PrintMarkupPercentageOnSubtotal(kReceipt& aReceipt,
                                       kReceiptLineMarkupPercentageOnSubTotal& aLine) override;
  bool PrintPayment(kReceipt& aReceipt, kReceiptPaymentLine& aLine) override;
  bool PrintTrailerTextLine(kReceipt& aReceipt, kReceiptMessageTextLine& aLine) override;
  bool PrintTrailerBarcodeLine(kReceipt& aReceipt, kReceiptMessageBarcodeLine& aLine) override;
  bool VoidReceipt() override;
  bool PrintXReportPrimitive(kXReport& aReport) override;
  bool PrintZReportPrimitive(kZReport& aReport) override;
  bool GetLastReceiptInfo(DateTime& aDateTime, std::string& aNumber, std::string& aEJNumber,
                          std::string& aEJClosingNumber, std::string& aDeviceSerialNumber) override;
  bool GetRemainingFiscalMemory(int32_t& aRemaining) override;
  bool ReadStatus(bool& aDayOpened, DateTime& aDateTime, bool& aPaperEnd, bool& aPaperNearEnd,
                  bool& aCoverOpen, bool& aFiscalReceiptOpen, bool& aReceiptOpen,
                  bool& aTrainingMode, std::string& aFirmwareVersion, std::string& aSerialNumber,
                  std::string& aFiscalMode) override;
  bool ReadDrawerStatus(int32_t aDrawerNumber, bool& aIsOpen) override;
  bool ReadDateTime(DateTime& aDateTime) override;
  bool WriteDateTime(DateTime aDateTime) override;
  bool SetTrainingMode(bool aOn) override;
  bool ReadVatTable() override;
  bool WriteVatTable(kVatTable& aTable) override;
  bool ReadEATable() override;
  bool WriteEATable(kEconomicActivityTable& aTable) override;
  bool ReadDeptTable() override;
  bool WriteDeptTable(kDeptTable& aTable) override;
  bool Slot44Reserved() override;
  bool ClearDisplay() override;
  bool WriteDisplayLine(kReceiptMessageLines& aLines) override;
  bool OpenDrawerPrimitive(int32_t aDrawerNumber) override;
  bool PayPrimitive(kPaymentReceipt& aPayment) override;
  bool ReprintReceiptPrimitive(kReceiptReference& aReference) override;
  bool EJPrintZReports(tkEJReportDestination aDestination, DateTime aStart, DateTime aEnd,
                       std::string& aText) override;
  bool EJPrintFiscalReceipts(tkEJReportDestination aDestination, DateTime aStart, DateTime aEnd,
                             int32_t aStartNumber, int32_t aEndNumber, std::string& aText) override;
  bool EJPrintNonFiscalReceipts(tkEJReportDestination aDestination, DateTime aStart, DateTime aEnd,
                                int32_t aStartNumber, int32_t aEndNumber,
                                std::string& aText) override;
  bool EJPrintCreditNotes(tkEJReportDestination aDestination, DateTime aStart, DateTime aEnd,
                          int32_t aStartNumber, int32_t aEndNumber, std::string& aText) override;
  bool EJPrintInvoices(tkEJReportDestination aDestination, DateTime aStart, DateTime aEnd,
                       int32_t aStartNumber, int32_t aEndNumber, std::string& aText) override;
  bool GetEJFilesPrimitive(tkEJFilesRequestType aType, DateTime aStart, DateTime aEnd,
                           const std::string& aOutputDirectory, int32_t& aFileCount) override;
  bool CheckDeviceReady() override;
  bool IsDayOpened() override;
  bool GetLotteryReceiptStatusPrimitive(kReceiptReference& aReference) override;
  bool GetReceiptText(kReceiptReference& aReference, std::string& aText) override;
  bool Init() override;

 private:
  // Records the call, runs its arranged action and gives its arranged answer.
  bool Record(const char* aPrimitive, std::string aArgument = std::string());
  // A journal report; the range of numbers it was given is its recorded argument ("3..9").
  bool EJReport(const char* aPrimitive, std::string& aText, std::string aNumbers = std::string());
  static std::string NumberRange(int32_t aStartNumber, int32_t aEndNumber);

  std::vector<kRecordedCall> fCalls;
  std::vector<kRecordedTextLine> fTextLines;
  std::vector<kRecordedTextLine> fHeaderLines;
  std::vector<kRecordedSale> fSales;
  std::map<std::string, kPrimitiveAnswer> fAnswers;
  std::map<std::string, std::function<void()>> fActions;
  kRecordingOutputs fOutputs;
};

}  // namespace nvrp::testing
