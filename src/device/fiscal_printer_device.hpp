#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "device/command_results.hpp"
#include "device/fiscal_types.hpp"
#include "documents/request_enums.hpp"

namespace nvrp {

class kIOHandler;
class kReceiptPrinterHandler;
class kFiscalProcessorCaller;
class kRTServer_Epson;
struct kRTServerReceiptInfo;
struct kRTServerTillReportInfo;

struct kReceipt;
struct kReceiptLine;
struct kNFReceipt;
struct kVatTable;
struct kDeptTable;
struct kEconomicActivityTable;
struct kReceiptMessageLines;
struct kReceiptMessageTextLine;
struct kReceiptMessageBarcodeLine;
struct kReceiptMessageImageLine;
struct kReceiptPaymentLine;
struct kReceiptLineProductSale;
struct kReceiptLineProductReturn;
struct kReceiptLineWeightedProductSale;
struct kReceiptLineVoucherSale;
struct kReceiptLineVoucherRedeem;
struct kReceiptLineGiftCardSale;
struct kReceiptLineGiftCardRedeem;
struct kReceiptLineCollectAmount;
struct kReceiptLineText;
struct kReceiptLineSubtotal;
struct kReceiptLineDiscountAmount;
struct kReceiptLineDiscountPercentage;
struct kReceiptLineDiscountAmountOnSubTotal;
struct kReceiptLineDiscountPercentageOnSubTotal;
struct kReceiptLineMarkupAmount;
struct kReceiptLineMarkupPercentage;
struct kReceiptLineMarkupAmountOnSubTotal;
struct kReceiptLineMarkupPercentageOnSubTotal;
struct kXReport;
struct kZReport;
struct kEJReport;
struct kReceiptReference;
struct kPaymentReceipt;

// The abstract fiscal device: public operations (one per command) holding the device-independent
// logic, over 62 primitives in fixed slot order that a device class implements. A primitive that
// fails records the failure on the I/O handler (SetCustomError) and returns false; the public
// operations decide success by the handler's error state at their end.
class kFiscalPrinterDevice {
 public:
  // Slot 60: construction from the request handler whose envelope is already parsed; the I/O
  // handler comes from the request handler's CreateIOHandler. Raises when the processor
  // library cannot be loaded.
  explicit kFiscalPrinterDevice(kReceiptPrinterHandler& aHandler);
  virtual ~kFiscalPrinterDevice();
  kFiscalPrinterDevice(const kFiscalPrinterDevice&) = delete;
  kFiscalPrinterDevice& operator=(const kFiscalPrinterDevice&) = delete;

  // Primitives, slots 0 to 59 and 61.
  virtual bool BeginNonFiscal(kNFReceipt& aReceipt) = 0;
  virtual bool PrintNonFiscalTextLine(kReceipt* aReceipt, kReceiptMessageTextLine& aLine) = 0;
  virtual bool PrintNonFiscalBarcodeLine(kReceipt* aReceipt, kReceiptMessageBarcodeLine& aLine) = 0;
  virtual bool PrintNonFiscalImageLine(kReceipt* aReceipt, kReceiptMessageImageLine& aLine) = 0;
  virtual bool EndNonFiscal(kNFReceipt& aReceipt) = 0;
  virtual bool BeginFiscalReceipt(kReceipt& aReceipt) = 0;
  virtual bool RefreshLastReceiptInfo(kReceipt& aReceipt) = 0;
  virtual bool PrintProductSale(kReceipt& aReceipt, kReceiptLineProductSale& aLine) = 0;
  virtual bool PrintProductReturn(kReceipt& aReceipt, kReceiptLineProductReturn& aLine) = 0;
  // Default: a text line with the quantity and unit price in the host's number format, then
  // the sale of one unit at the line's amount.
  virtual bool PrintWeightedProductSale(kReceipt& aReceipt, kReceiptLineWeightedProductSale& aLine);
  virtual bool PrintVoucherSale(kReceipt& aReceipt, kReceiptLineVoucherSale& aLine) = 0;
  virtual bool PrintVoucherRedeem(kReceipt& aReceipt, kReceiptLineVoucherRedeem& aLine) = 0;
  virtual bool PrintGiftCardSale(kReceipt& aReceipt, kReceiptLineGiftCardSale& aLine) = 0;
  virtual bool PrintGiftCardRedeem(kReceipt& aReceipt, kReceiptLineGiftCardRedeem& aLine) = 0;
  virtual bool PrintCollectAmount(kReceipt& aReceipt, kReceiptLineCollectAmount& aLine) = 0;
  virtual bool PrintTextLine(kReceipt& aReceipt, kReceiptLineText& aLine) = 0;
  virtual bool PrintSubtotal(kReceipt& aReceipt, kReceiptLineSubtotal& aLine) = 0;
  virtual bool PrintDiscountAmount(kReceipt& aReceipt, kReceiptLineDiscountAmount& aLine) = 0;
  virtual bool PrintDiscountPercentage(kReceipt& aReceipt,
                                       kReceiptLineDiscountPercentage& aLine) = 0;
  virtual bool PrintDiscountAmountOnSubtotal(kReceipt& aReceipt,
                                             kReceiptLineDiscountAmountOnSubTotal& aLine) = 0;
  virtual bool PrintDiscountPercentageOnSubtotal(
      kReceipt& aReceipt, kReceiptLineDiscountPercentageOnSubTotal& aLine) = 0;
  virtual bool PrintMarkupAmount(kReceipt& aReceipt, kReceiptLineMarkupAmount& aLine) = 0;
  virtual bool PrintMarkupPercentage(kReceipt& aReceipt, kReceiptLineMarkupPercentage& aLine) = 0;
  virtual bool PrintMarkupAmountOnSubtotal(kReceipt& aReceipt,
                                           kReceiptLineMarkupAmountOnSubTotal& aLine) = 0;
  virtual bool PrintMarkupPercentageOnSubtotal(kReceipt& aReceipt,
                                               kReceiptLineMarkupPercentageOnSubTotal& aLine) = 0;
  virtual bool PrintPayment(kReceipt& aReceipt, kReceiptPaymentLine& aLine) = 0;
  virtual bool PrintTrailerTextLine(kReceipt& aReceipt, kReceiptMessageTextLine& aLine) = 0;
  virtual bool PrintTrailerBarcodeLine(kReceipt& aReceipt, kReceiptMessageBarcodeLine& aLine) = 0;
  virtual bool VoidReceipt() = 0;
  virtual bool PrintXReportPrimitive(kXReport& aReport) = 0;
  virtual bool PrintZReportPrimitive(kZReport& aReport) = 0;
  virtual bool GetLastReceiptInfo(DateTime& aDateTime, std::string& aNumber, std::string& aEJNumber,
                                  std::string& aEJClosingNumber,
                                  std::string& aDeviceSerialNumber) = 0;
  virtual bool GetRemainingFiscalMemory(int32_t& aRemaining) = 0;
  virtual bool ReadStatus(bool& aDayOpened, DateTime& aDateTime, bool& aPaperEnd,
                          bool& aPaperNearEnd, bool& aCoverOpen, bool& aFiscalReceiptOpen,
                          bool& aReceiptOpen, bool& aTrainingMode, std::string& aFirmwareVersion,
                          std::string& aSerialNumber, std::string& aFiscalMode) = 0;
  virtual bool ReadDrawerStatus(int32_t aDrawerNumber, bool& aIsOpen) = 0;
  virtual bool ReadDateTime(DateTime& aDateTime) = 0;
  virtual bool WriteDateTime(DateTime aDateTime) = 0;
  virtual bool SetTrainingMode(bool aOn) = 0;
  virtual bool ReadVatTable() = 0;
  virtual bool WriteVatTable(kVatTable& aTable) = 0;
  virtual bool ReadEATable() = 0;
  virtual bool WriteEATable(kEconomicActivityTable& aTable) = 0;
  virtual bool ReadDeptTable() = 0;
  virtual bool WriteDeptTable(kDeptTable& aTable) = 0;
  virtual bool Slot44Reserved() = 0;
  virtual bool ClearDisplay() = 0;
  virtual bool WriteDisplayLine(kReceiptMessageLines& aLines) = 0;
  virtual bool OpenDrawerPrimitive(int32_t aDrawerNumber) = 0;
  virtual bool PayPrimitive(kPaymentReceipt& aPayment) = 0;
  virtual bool ReprintReceiptPrimitive(kReceiptReference& aReference) = 0;
  virtual bool EJPrintZReports(tkEJReportDestination aDestination, DateTime aStart, DateTime aEnd,
                               std::string& aText) = 0;
  virtual bool EJPrintFiscalReceipts(tkEJReportDestination aDestination, DateTime aStart,
                                     DateTime aEnd, int32_t aStartNumber, int32_t aEndNumber,
                                     std::string& aText) = 0;
  virtual bool EJPrintNonFiscalReceipts(tkEJReportDestination aDestination, DateTime aStart,
                                        DateTime aEnd, int32_t aStartNumber, int32_t aEndNumber,
                                        std::string& aText) = 0;
  virtual bool EJPrintCreditNotes(tkEJReportDestination aDestination, DateTime aStart,
                                  DateTime aEnd, int32_t aStartNumber, int32_t aEndNumber,
                                  std::string& aText) = 0;
  virtual bool EJPrintInvoices(tkEJReportDestination aDestination, DateTime aStart, DateTime aEnd,
                               int32_t aStartNumber, int32_t aEndNumber, std::string& aText) = 0;
  virtual bool GetEJFilesPrimitive(tkEJFilesRequestType aType, DateTime aStart, DateTime aEnd,
                                   const std::string& aOutputDirectory, int32_t& aFileCount) = 0;
  virtual bool CheckDeviceReady() = 0;
  virtual bool IsDayOpened() = 0;
  virtual bool GetLotteryReceiptStatusPrimitive(kReceiptReference& aReference) = 0;
  virtual bool GetReceiptText(kReceiptReference& aReference, std::string& aText) = 0;
  virtual bool Init() = 0;

  // After a receipt failed part-way, once its first order may have reached the device: asks
  // the device whether it counted the receipt all the same. On ro_Printed the last-receipt
  // details are those of this receipt. The default, for a device that cannot tell, is
  // ro_NotPrinted.
  virtual tkReceiptOutcome ConfirmReceiptOutcome(kReceipt& aReceipt);
  // What failed during the last PrintZReportPrimitive although the day was closed, or before
  // it answered that the day may have been closed; empty by default.
  virtual std::string ZReportMessageText() const;

  // Public operations, one per command.
  _int_OPEN_result Pub_Open(kReceiptPrinterHandler& aHandler);
  _int_CLOSE_result Pub_Close(kReceiptPrinterHandler& aHandler);
  _int_PRINTFR_result Pub_PrintReceipt(kReceiptPrinterHandler& aHandler);
  _int_REPRINTFR_result Pub_RePrintReceipt(kReceiptPrinterHandler& aHandler);
  _int_PRINTXR_result Pub_PrintXReport(kReceiptPrinterHandler& aHandler);
  _int_PRINTZR_result Pub_PrintZReport(kReceiptPrinterHandler& aHandler);
  _int_EJREPORT_result Pub_EJReport(kReceiptPrinterHandler& aHandler);
  _int_GETEJFILES_result Pub_GetEJFiles(kReceiptPrinterHandler& aHandler);
  _int_GETLOTTERYRCPTSTATUS_result Pub_GetLotteryReceiptStatus(kReceiptPrinterHandler& aHandler);
  _int_GETSTATUS_result Pub_GetStatus(kReceiptPrinterHandler& aHandler);
  _int_SET_result Pub_Set(kReceiptPrinterHandler& aHandler);
  _int_SETDATETIME_result Pub_SetDateTime(kReceiptPrinterHandler& aHandler);
  _int_GETVATTABLE_result Pub_GetVatTable(kReceiptPrinterHandler& aHandler);
  _int_SETVATTABLE_result Pub_SetVatTable(kReceiptPrinterHandler& aHandler);
  _int_GETDEPTTABLE_result Pub_GetDeptTable(kReceiptPrinterHandler& aHandler);
  _int_SETDEPTTABLE_result Pub_SetDeptTable(kReceiptPrinterHandler& aHandler);
  _int_GETDRSTATUS_result Pub_GetDrawerStatus(kReceiptPrinterHandler& aHandler);
  _int_OPENDR_result Pub_OpenDrawer(kReceiptPrinterHandler& aHandler);
  _int_DISPLAY_result Pub_WriteDisplay(kReceiptPrinterHandler& aHandler);
  _int_PRINTNFR_result Pub_PrintNFReceipt(kReceiptPrinterHandler& aHandler);
  _int_PAY_result Pub_Pay(kReceiptPrinterHandler& aHandler);

  // Error code that Call records for a primitive that failed without saying why.
  static constexpr int32_t kPrimitiveFailedCode = -1;

  // "Version " + version + " - " + release date.
  static std::string GetDriverVersion();

  void ResetCounters();
  // One line of a report: the label, then the amount with two decimals (the host's decimal
  // separator) ending at column LineLength; the amount alone when it fills the line.
  std::string FormatAmountLine(std::string_view aLabel, Currency aAmount) const;
  void AddPrintSection(tkFiscalPrinterPrintSection aSection);
  void ClearPrintSequence();
  static std::string FormatAmount(int32_t aDecimals, Currency aAmount);

  int32_t Handle() const { return fHandle; }
  void SetHandle(int32_t aHandle) { fHandle = aHandle; }
  kIOHandler& IOHandler() const { return *fIOHandler; }
  const std::string& XmlString() const { return fXmlString; }
  void SetXmlString(const std::string& aXml) { fXmlString = aXml; }
  const std::string& FiscalMode() const { return fFiscalMode; }
  const std::string& SerialNumber() const { return fSerialNumber; }
  kVatTable& VatTable() const { return *fVatTable; }
  kDeptTable& DeptTable() const { return *fDeptTable; }
  kEconomicActivityTable& EATable() const { return *fEATable; }
  tkFiscalPrinterCapabilities Capabilities() const { return fCapabilities; }
  int32_t LineLength() const { return fLineLength; }
  int32_t DisplayLineCount() const { return fDisplayLineCount; }
  int32_t DisplayLineLength() const { return fDisplayLineLength; }
  const tkFiscalCounters& Counters() const { return fCounters; }
  const tkLotteryReceiptStatus& LotteryReceiptStatus() const { return fLotteryReceiptStatus; }
  const tkFiscalPrinterPrintSequence& PrintSequence() const { return fPrintSequence; }
  int32_t EJFilesCount() const { return fEJFilesCount; }
  kFiscalProcessorCaller& Processor() const { return *fProcessor; }
  bool RTServerActive() const { return fRTServerActive; }
  // The RT server bridge; null unless RTServerActive.
  kRTServer_Epson* RTServer() const { return fRTServer.get(); }
  const kRTServerReceiptInfo& RTServerReceiptInfo() const { return *fRTServerReceiptInfo; }
  const kRTServerTillReportInfo& RTServerTillReportInfo() const { return *fRTServerTillReportInfo; }

 protected:
  // Construction with a given I/O handler instead of one built from the envelope (devices
  // with their own transport, test devices). A null handler raises.
  kFiscalPrinterDevice(kReceiptPrinterHandler& aHandler, std::unique_ptr<kIOHandler> aIOHandler);

  // Public operation frame, start: the banner line (sixty "-", a blank, the banner word),
  // Error true and the log file name.
  template <typename TResult>
  void BeginOperation(std::string_view aBannerWord, TResult& aResult) {
    WriteBanner(aBannerWord);
    fOperationNotices.clear();
    aResult.Error = true;
    aResult.LogFileName = LogFileName();
  }
  // Public operation frame, finish: Error and ErrorText from the I/O handler's error state.
  // True when no error is recorded.
  template <typename TResult>
  bool FinishOperation(TResult& aResult) {
    aResult.Error = HandlerErrorFound();
    aResult.ErrorText = aResult.Error ? HandlerErrorMessage() : std::string();
    return !aResult.Error;
  }

  // Readiness step before a document or report: CheckDeviceReady, else VoidReceipt (through
  // Call). True when the document may begin.
  bool ReadinessStep();

  // Guard for the result of a primitive that decides the flow of an operation. A primitive
  // that returns false without recording an error would let the operation report success for
  // work that never happened; Call then records "<aPrimitiveName> failed" (code
  // kPrimitiveFailedCode) on the I/O handler. An error already recorded is kept. Returns aOk.
  bool Call(bool aOk, std::string_view aPrimitiveName);

  // Opens the RT server's till when the bridge is active and the till is not open yet, with
  // the envelope's RTServerHost, RTServerPort, RTServerUser, RTServerPassword and
  // RTServerTillSerial; the outcome is not tested.
  void OpenRTServerTillIfNeeded(kReceiptPrinterHandler& aHandler);

  // Writes an information line to the device log.
  void LogInfo(std::string_view aText) const;

  // A notice for the host about the current operation (a payment sent with a code it did not
  // choose): a printed receipt answers it in MessageText. Each text is kept once.
  void AddOperationNotice(const std::string& aText);

  // The RT server's till report of kind "X" or "Z" printed as a non-fiscal document; Counters
  // Text becomes the printed lines, each after a CR LF. Always true.
  bool PrintTillReport(std::string_view aKind);
  // Prints one line of a report document and appends it to Counters Text.
  void PrintReportLine(kNFReceipt& aDocument, std::string_view aText,
                       tkReceiptMessageLineEffectSet aEffects,
                       tkReceiptMessageLineAlignment aAlignment);

 private:
  // Steps of Pub_PrintReceipt. Each returns whether the receipt may go on.
  bool SignWithRTServer(kReceiptPrinterHandler& aHandler, kReceipt& aReceipt);
  // A payment that fails stops the sections with aFailure set to the payments error.
  bool PrintReceiptSections(kReceipt& aReceipt, std::string& aFailure);
  bool PrintReceiptLines(kReceipt& aReceipt, bool aOk);
  bool PrintReceiptLine(kReceipt& aReceipt, kReceiptLine& aLine);
  bool PrintReceiptPayments(kReceipt& aReceipt);
  bool PrintTrailerMessages(kReceipt& aReceipt);
  // Results of a receipt: signed by the RT server, or printed by the device alone.
  void FinishRTServerReceipt(bool aSigned, _int_PRINTFR_result& aResult);
  std::string RTServerSignError() const;
  void FinishDeviceReceipt(kReceiptPrinterHandler& aHandler, const kReceipt& aReceipt,
                           _int_PRINTFR_result& aResult);
  // A receipt that failed part-way: printed after all, not printed, or uncertain, as the
  // device tells (ConfirmReceiptOutcome). aFailure is a raised or payments error, or empty
  // when the I/O handler's error says what failed.
  void FinishFailedReceipt(kReceiptPrinterHandler& aHandler, kReceipt& aReceipt, bool aBegun,
                           const std::string& aFailure, _int_PRINTFR_result& aResult);
  void ReadReceiptTextAndImage(kReceiptPrinterHandler& aHandler, _int_PRINTFR_result& aResult);
  // The three ways of the X and Z reports: RT server, external processor, the device itself.
  void PrintRTServerXReport(kReceiptPrinterHandler& aHandler, _int_PRINTXR_result& aResult);
  void PrintProcessorXReport(_int_PRINTXR_result& aResult);
  void PrintDeviceXReport(kReceiptPrinterHandler& aHandler, _int_PRINTXR_result& aResult);
  void PrintRTServerZReport(kReceiptPrinterHandler& aHandler, _int_PRINTZR_result& aResult);
  void PrintProcessorZReport(_int_PRINTZR_result& aResult);
  void PrintDeviceZReport(kReceiptPrinterHandler& aHandler, _int_PRINTZR_result& aResult);
  void CopyCounters(_int_PRINTZR_result& aResult) const;
  std::string RTServerReportError(std::string_view aFallback) const;
  std::string ProcessorReportError(std::string_view aFallback) const;
  void RunEJReport(const kEJReport& aReport, std::string& aText);
  // Body lines of a non-fiscal document, each by its kind; stops at the first that fails.
  bool PrintNonFiscalLines(kReceipt* aReceipt, kReceiptMessageLines& aLines);

  void WriteBanner(std::string_view aBannerWord) const;
  std::string LogFileName() const;
  bool HandlerErrorFound() const;
  std::string HandlerErrorMessage() const;

  std::vector<std::string> fOperationNotices;

 protected:
  int32_t fHandle = 0;
  std::unique_ptr<kIOHandler> fIOHandler;
  std::string fXmlString;
  std::string fFiscalMode;
  std::string fSerialNumber;
  std::unique_ptr<kVatTable> fVatTable;
  std::unique_ptr<kDeptTable> fDeptTable;
  std::unique_ptr<kEconomicActivityTable> fEATable;
  tkFiscalPrinterCapabilities fCapabilities;
  int32_t fLineLength = 0;
  int32_t fDisplayLineCount = 0;
  int32_t fDisplayLineLength = 0;
  tkFiscalCounters fCounters;
  tkLotteryReceiptStatus fLotteryReceiptStatus;
  tkFiscalPrinterPrintSequence fPrintSequence;
  int32_t fEJFilesCount = 0;
  std::unique_ptr<kFiscalProcessorCaller> fProcessor;
  bool fRTServerActive = false;
  std::unique_ptr<kRTServer_Epson> fRTServer;
  std::unique_ptr<kRTServerReceiptInfo> fRTServerReceiptInfo;
  std::unique_ptr<kRTServerTillReportInfo> fRTServerTillReportInfo;
};

// A device class registered under a driver name: builds the device from the request handler.
using kFiscalPrinterClass =
    std::function<std::unique_ptr<kFiscalPrinterDevice>(kReceiptPrinterHandler&)>;

}  // namespace nvrp
