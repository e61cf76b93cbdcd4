#pragma once

#include <pugixml.hpp>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/date_time.hpp"
#include "device/fiscal_printer_device.hpp"
#include "documents/request_enums.hpp"
#include "ibox/ibox_commands.hpp"
#include "transport/http_client.hpp"

namespace nvrp {

class kIOHandler_HTTP;

// The Epson iBox: a fiscal device driven entirely over HTTP. Every action is one request whose
// URL names a file on the device and carries the command as query parameters; the device
// answers with an XML status document or with plain text.
//
// The channel: a request is built (BeginRequest, AddURLParam), sent with a fresh HTTP client
// (SendRequest), usually followed by a status request (PollStatus) that resynchronises the
// sequence number and turns a device error into the I/O handler's error.
class kFiscalPrinter_RORERER : public kFiscalPrinterDevice {
 public:
  // Builds the I/O handler from the request envelope; it must be the HTTP one, otherwise
  // "Invalid class typecast" is raised. Clears the device's errors (a first request) and
  // reads the configuration file.
  explicit kFiscalPrinter_RORERER(kReceiptPrinterHandler& aHandler);
  ~kFiscalPrinter_RORERER() override;

  // Primitives.
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
  // Clears a recorded error on the device, then reads its status once more and compares the
  // day's receipt count and Z number with those the receipt began with: counted once and
  // nothing open is printed, unchanged is not printed; anything else, or no usable answer,
  // is uncertain. Without any order of the receipt sent it is not printed.
  tkReceiptOutcome ConfirmReceiptOutcome(kReceipt& aReceipt) override;
  std::string ZReportMessageText() const override;
  // Nothing to prepare: true.
  bool Init() override;

  // --- Command channel ---------------------------------------------------------------------

  // Starts a request on aFileName (may be empty).
  void BeginRequest(std::string_view aFileName);
  // Appends "?" (first) or "&", the name, "=" and the value, exactly as given.
  void AddURLParam(std::string_view aName, std::string_view aValue);
  // Next sequence number as plain decimal text.
  std::string NextSeqNo();
  void ResetSeqNo() { fSeqNo = 0; }

  // Sends the request built so far. aClearErrorsFirst: clear the device's errors first when
  // the handler has an error recorded; aPollStatus: follow an XML answer by a status request
  // (its result is the result); aContentType: read the answer as XML when this starts with
  // "text/xml" even if the answer says otherwise. False with the error recorded on failure.
  bool SendRequest(std::string_view aLabel, bool aClearErrorsFirst, bool aPollStatus,
                   std::string_view aContentType);
  // Builds a command from its row and sends it. aArguments gives the computed values by name,
  // aLabel names a command whose row has no label, aJournalPath the file of a journal command.
  bool SendCommand(tkIBoxCommandId aId, std::span<const tkIBoxArgument> aArguments = {},
                   std::string_view aLabel = {}, std::string_view aJournalPath = {});

  // Status request: resynchronises the sequence number from LastOrderSeqNo and records a
  // device error (LastError other than "0") with its message. Leaves the status answer in
  // XmlResponse. False when the request failed, the answer cannot be used, or the device
  // reports an error.
  bool PollStatus();
  // The status request without the device error check: false when the request failed or the
  // answer has no GEN_PAR or LastOrderSeqNo. Resynchronises the sequence number.
  bool ReadStatusAnswer();
  // Clears the device's error state; the outcome shows in the handler's error state only.
  void ClearErrors();
  // After a successful PollStatus: GEN_PAR of the status answer, kept as XmlResponseNode.
  // False, with a clear error recorded, when the answer has none.
  bool TakeStatusNode();
  // Text of a child of XmlResponseNode; false, with a clear error recorded, when it is missing.
  bool StatusText(std::string_view aName, std::string& aText);
  // Integer child of XmlResponseNode; raises "'<text>' is not a valid integer value".
  bool StatusInteger(std::string_view aName, int32_t& aValue);
  // Kind of document open: 0 none (also when the status request fails), 1 fiscal receipt,
  // 2 another document.
  int32_t GetReceiptState();

  // A text line as the value of a Descr or Line_n parameter: "^" and "|" become blanks, the
  // alignment and size prefixes go in front, then it is percent-encoded for the device.
  static std::string FormatDescription(std::string_view aText,
                                       tkReceiptMessageLineAlignment aAlignment, int32_t aSize);
  // A text percent-encoded as a parameter value: blanks, controls, non-ASCII, the device's
  // special characters and "&" (which would otherwise end the parameter).
  static std::string EncodeParameterText(std::string_view aText);
  // A barcode value percent-encoded except for letters, digits and "-._~", so that any data
  // (a QR code URL with "?" and "&", say) reaches the device whole.
  static std::string EncodeBarcodeValue(std::string_view aValue);
  // Values of a status answer that ReadStatus reports.
  struct tkIBoxStatusValues {
    bool DayOpened = false;
    nvrp::DateTime DateTime = 0;
    bool FiscalReceiptOpen = false;
    bool ReceiptOpen = false;
    std::string SerialNumber;  // empty when the answer names none
  };
  // Readers of a status answer already received (a document whose element holds GEN_PAR):
  // false with the name of the first element it lacks in aMissing. A receipt count or a clock
  // that does not convert raises its conversion error.
  static bool ReadStatusValues(const pugi::xml_document& aAnswer, tkIBoxStatusValues& aValues,
                               std::string& aMissing);
  static bool ReadDrawerValue(const pugi::xml_document& aAnswer, bool& aIsOpen,
                              std::string& aMissing);
  static bool ReadClockValue(const pugi::xml_document& aAnswer, DateTime& aDateTime,
                             std::string& aMissing);
  // Device clock text ("Mo 05/06/2023 09:05:07" or with "Ω" between date and time) to a
  // date-time. Raises the conversion error for a field that is not an integer and the
  // encoding error for a date that does not exist.
  static DateTime ParseDeviceDateTime(std::string_view aText);
  // The bilingual message of a device error code.
  static std::string GetErrorText(int32_t aCode);

  // Reads NVRP_RORERER_10.ini beside the host executable; false (and no lines) without it.
  bool LoadConfig();
  // Payment code from the configuration file, "1" when it has no line for the type; that case
  // is written to the device log as a warning naming the type and the file (or its absence),
  // and for any type but cash it becomes a notice for the receipt's MessageText.
  std::string GetPaymentCode(tkReceiptPaymentType aPaymentType);

  // --- Reports ---------------------------------------------------------------------------------

  // After the Z report's files were read: the day total and receipt count of the details text
  // (TextResponse) and the number and date-time of the XML record (XmlResponseNode) into the
  // counters, which are reset first; the counters' text is kept. Raises when a value does not
  // convert.
  bool ReadZReportDetails();

  // --- Receipt orders ------------------------------------------------------------------------

  // Raises a clear error, before anything is sent, for a receipt the device would print with
  // other amounts: an item's Amount that is not its Quantity × Price rounded to the cent (half
  // away from zero), a TotalAmount other than the lines' total, a quantity with more than
  // three decimals or a price or amount with more than two, and a description or trailer text
  // longer than kMaxDescriptionLength (a barcode longer than kMaxBarcodeLength), and
  // payments (change excluded) that do not reach the total.
  static void CheckReceiptForDevice(const kReceipt& aReceipt);

  // Sells (aUse "Sale") or refunds (aUse "Refund") aQuantity at aPrice through department
  // aDepartment, then prints aDescription as a comment line of the receipt. The trailer lines
  // recorded so far are written to the title table first. Raises the conversion error when
  // the department is not an integer (nothing is sent then).
  bool SendPLU(std::string_view aDescription, std::string_view aDepartment, std::string_view aLabel,
               Currency aQuantity, Currency aPrice, std::string_view aUse);
  // A comment line: aUse "Start" opens a receipt with it, "Line" adds it to the open one.
  bool PrintDescription(std::string_view aText, tkReceiptMessageLineAlignment aAlignment,
                        std::string_view aUse);
  // Discount or markup of aAmount on the receipt so far.
  bool SendDiscount(std::string_view aLabel, Currency aAmount);
  bool SendMarkup(std::string_view aLabel, Currency aAmount);
  // Whether any recorded trailer line waits to be written.
  bool HasTrailerMessages() const;
  // Writes the recorded trailer lines into the device's title table and forgets them.
  bool PrintTrailerMessages();
  // Empties the device's trailer lines.
  bool ClearTrailerMessages();
  // A barcode line as the device prints it: "%60[Q" (QR code) or "%60[1", the value, "]".
  // The value is percent-encoded (EncodeBarcodeValue).
  static std::string BarcodeText(const kReceiptMessageBarcodeLine& aLine);

  const std::array<std::string, 6>& FooterMessages() const { return fFooterMessages; }
  int32_t FooterLineNumber() const { return fFooterLineNumber; }

  int32_t SeqNo() const { return fSeqNo; }
  const std::string& URLParams() const { return fURLParams; }
  int32_t ParamsCount() const { return fParamsCount; }
  const pugi::xml_document& XmlResponse() const { return fXmlResponse; }
  pugi::xml_node XmlResponseNode() const { return fXmlResponseNode; }
  const std::string& TextResponse() const { return fTextResponse; }
  const std::vector<std::string>& ConfigList() const { return fConfigList; }
  kIOHandler_HTTP& IOHandlerHTTP() const { return *fIOHandlerHTTP; }

 protected:
  // Records aMessage with the channel's error code and returns false.
  bool Fail(const std::string& aMessage);

  std::vector<std::string> fConfigList;
  std::string fConfigFile;       // the configuration file read; empty when none was found
  std::string fConfigDirectory;  // where it was looked for
  int32_t fSeqNo = 0;
  kIOHandler_HTTP* fIOHandlerHTTP = nullptr;  // fIOHandler seen as the HTTP handler
  NV_HttpHeaderCache fHeaderCache;            // the header lines of every request's client
  std::string fURLParams;
  int32_t fParamsCount = 0;
  std::string fXmlResponseText;  // the buffer fXmlResponse was parsed in, and points into
  pugi::xml_document fXmlResponse;
  pugi::xml_node fXmlResponseNode;
  std::string fTextResponse;
  DateTime fLastReceiptDateTime = 0;
  int32_t fLastReceiptNumber = 0;
  int32_t fLastReceiptEJNumber = 0;
  int32_t fLastReceiptEJClosingNumber = 0;
  // The day's receipt count and Z number when the receipt began, when the status told them,
  // and those of the status answer VoidReceipt read first.
  std::optional<std::pair<int32_t, int32_t>> fReceiptCountersAtBegin;
  std::optional<std::pair<int32_t, int32_t>> fCountersBeforeVoid;
  // Whether an order of the current receipt has been sent (it may have reached the device).
  bool fReceiptOrderSent = false;
  std::array<std::string, 6> fFooterMessages;  // trailer lines 1 to 6
  int32_t fFooterLineNumber = 0;

 private:
  struct tkAnswer;

  // Posts to aURL with a fresh client; false with the error recorded when the post failed.
  bool Post(const std::string& aURL, tkAnswer& aAnswer);
  // Replaces XmlResponse by the answer text, parsed where it lies; raises when it is not
  // well-formed XML.
  void LoadXmlResponse(std::string aText);
  // Kind of document open, as GetReceiptState gives it; false when the status cannot be read.
  bool ReadReceiptState(int32_t& aState);
  // The same from the status answer already read (XmlResponseNode).
  bool StatusReceiptState(int32_t& aState);
  // The receipt count and Z number of the status answer at hand, without recording an error
  // when the answer lacks them.
  std::optional<std::pair<int32_t, int32_t>> PeekReceiptCounters() const;
  // What the status answer at hand shows for the receipt begun with fReceiptCountersAtBegin;
  // on ro_Printed the last-receipt fields are taken from it.
  tkReceiptOutcome StatusReceiptOutcome();
  // Steps of the Z report: the status values right after the closure into the last-document
  // fields, and the request for one of its files (J, S or M).
  bool ReadZReportStatus();
  bool ReadZReportFile(tkIBoxCommandId aId, std::string_view aKind);
  // What failed first in a Z report, to be answered as it was when the day is not closed.
  struct tkZReportFailure {
    int32_t Code = 0;
    std::string Message;
  };
  enum class tkDayClosure { dc_Closed, dc_NotClosed, dc_Unknown };
  // The closure and the status after it, which must show the Z number after aZBefore; false
  // with what failed in aFailure.
  bool CloseDay(int32_t aZBefore, tkZReportFailure& aFailure);
  // After a failed closure: clears the device's errors and reads its Z number again. One more
  // than aZBefore is closed (the status values taken as after the closure), the same is not
  // closed, no readable number or any other one is unknown.
  tkDayClosure ConfirmDayClosure(int32_t aZBefore);
  // The three files of the Z report just made, each tried up to three times; what failed
  // goes into fZReportMessageText.
  bool ReadZReportFiles();
  bool ReadZReportStep(const std::function<bool()>& aStep);
  // A text file of the Z report; an HTML page in its place is refused.
  bool ReadZReportTextFile(tkIBoxCommandId aId, std::string_view aKind);
  void AddZReportMessage(const std::string& aMessage);
  // Records a trailer line (at most six per receipt; further ones are dropped).
  void RecordTrailerMessage(std::string aMessage);
  void AppendCommandParams(const tkIBoxCommand& aCommand, std::span<const tkIBoxArgument> aArgs,
                           std::string_view aLabel);

  // Whether the last answer was read as XML; a status answer that was not is refused.
  // What failed during the last Z report although the day was closed, or before the answer
  // that it may have been.
  std::string fZReportMessageText;
  bool fLastAnswerWasXml = false;
  std::string fLastAnswerContentType;
};

}  // namespace nvrp
