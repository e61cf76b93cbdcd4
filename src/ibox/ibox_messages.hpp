#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/currency.hpp"

namespace nvrp::ibox_messages {

// Every exact text of the iBox device: names on the wire, log labels, recorded and raised
// errors. Command rows (labels, files, parameters) live in ibox_commands.cpp.

// Driver name the device class is registered under, and its configuration file beside the
// host executable.
inline constexpr std::string_view kDriverName = "NVRP_RORERER_10";
inline constexpr std::string_view kConfigFileName = "NVRP_RORERER_10.ini";

// HTTP settings of every request.
inline constexpr std::string_view kUserAgent = "Norvel Vela Driver";
inline constexpr std::string_view kRequestContentType = "text/xml; charset=UTF-8";
// An answer is XML when its content type (or the one the command expects) starts with this.
inline constexpr std::string_view kXmlContentTypePrefix = "text/xml";

// Log line of a request: "*" + label + "*".
inline constexpr std::string_view kLabelMark = "*";

// Query syntax.
inline constexpr std::string_view kFirstParamSeparator = "?";
inline constexpr std::string_view kNextParamSeparator = "&";
inline constexpr std::string_view kNameValueSeparator = "=";
inline constexpr std::string_view kPathSeparator = "/";

// Status answer: the element under the document element and the values read from it.
inline constexpr std::string_view kGenPar = "GEN_PAR";
inline constexpr std::string_view kLastOrderSeqNo = "LastOrderSeqNo";
inline constexpr std::string_view kLastError = "LastError";
inline constexpr std::string_view kDayFiscalRcptCnt = "DayFiscalRcptCnt";
inline constexpr std::string_view kCurrentZNo = "CurrentZNo";
inline constexpr std::string_view kCurrentDateTime = "CurrentDateTime";
inline constexpr std::string_view kCurrentReceiptType = "CurrentReceiptType";
inline constexpr std::string_view kDrawerSensorIsHigh = "DrawerSensorIsHigh";
inline constexpr std::string_view kDeviceSerialNo = "DeviceSerialNo";

// Status values.
inline constexpr std::string_view kNoError = "0";
inline constexpr std::string_view kNoDocument = "0";
inline constexpr std::string_view kFiscalReceipt = "033";
inline constexpr std::string_view kFiscalReceiptShort = "33";
inline constexpr char kStatusValueSeparator = ':';
inline constexpr std::string_view kThousandsSeparator = ".";
inline constexpr std::string_view kDrawerSensorHigh = "1";
// The only fiscal mode the device reports.
inline constexpr std::string_view kFiscalModeMF = "MF";

// The device clock cannot be set from outside.
inline constexpr std::string_view kSetDateTimeNotSupported = "Set Date and Time is not supported";

// Payment code of a payment type without a line in the configuration file.
inline constexpr std::string_view kDefaultPaymentCode = "1";

// Device clock text: the Greek capital omega between date and time, the separators of the
// date and time fields, and the time of a text without one.
inline constexpr std::string_view kOmega = "Ω";
inline constexpr char kDateSeparator = '/';
inline constexpr char kTimeSeparator = ':';
inline constexpr std::string_view kMidnight = "00:00:00";

// Description text: characters replaced by a blank, alignment and size prefixes, and the
// replacement of "&" after percent-encoding.
inline constexpr std::string_view kAlignRight = ">>";
inline constexpr std::string_view kAlignCenter = ">+";
inline constexpr std::string_view kDoubleSize = "|{";
// "&" would end the parameter on the wire; it goes out percent-encoded like the others.
inline constexpr std::string_view kAmpersandReplacement = "%26";

// Receipts: the only receipt type the device prints, and the values of the Use parameter.
inline constexpr std::string_view kReceiptTypeMustBeSale =
    "Receipt Type must be SALE. Other types are unsupported";
inline constexpr std::string_view kUseSale = "Sale";
inline constexpr std::string_view kUseRefund = "Refund";
inline constexpr std::string_view kUseStart = "Start";
inline constexpr std::string_view kUseLine = "Line";
// Recorded when the device still holds the receipt open after its payments.
inline constexpr std::string_view kReceiptNotClosed =
    "The receipt was not closed: its payments do not reach its total";
inline constexpr std::string_view kNoReceiptPrinted =
    "No receipt was printed: the receipt sent nothing to the device";
// Checks of a receipt before it is sent: the longest description or trailer text and the
// longest barcode, in UTF-16 code units, and the texts that name what was refused.
inline constexpr size_t kMaxDescriptionLength = 200;
inline constexpr size_t kMaxBarcodeLength = 500;
inline constexpr std::string_view kFieldQuantity = "Quantity";
inline constexpr std::string_view kFieldPrice = "Price";
inline constexpr std::string_view kFieldAmount = "Amount";
inline constexpr std::string_view kFieldDescription = "Description";
inline constexpr std::string_view kFieldValue = "Value";
inline constexpr std::string_view kLineAmountTooLarge = "Quantity x Price is out of range";
inline std::string LineName(size_t aNumber) { return "Line " + std::to_string(aNumber); }
inline std::string PaymentName(size_t aNumber) { return "Payment " + std::to_string(aNumber); }
inline std::string TrailerLineName(size_t aNumber) {
  return "Trailer line " + std::to_string(aNumber);
}
inline std::string TooManyDecimals(const std::string& aWhere, std::string_view aField,
                                   Currency aValue, int aDecimals) {
  return aWhere + ": " + std::string(aField) + " " + CurrencyToText(aValue) + " has more than " +
         std::to_string(aDecimals) + " decimals";
}
inline std::string TextTooLong(const std::string& aWhere, std::string_view aField, size_t aLimit) {
  return aWhere + ": " + std::string(aField) + " is longer than " + std::to_string(aLimit) +
         " characters";
}
inline std::string AmountDisagrees(const std::string& aWhere, Currency aAmount, Currency aQuantity,
                                   Currency aPrice, Currency aExpected) {
  return aWhere + ": Amount " + FormatCurrencyFixed(aAmount, 2) + " is not Quantity " +
         CurrencyToText(aQuantity) + " x Price " + FormatCurrencyFixed(aPrice, 2) + " = " +
         FormatCurrencyFixed(aExpected, 2) + ", which the device would print";
}
// A receipt whose payments (change excluded) do not reach its total: the device would keep it
// open after its last line.
inline std::string PaymentsShortOfTotal(Currency aPayments, Currency aTotal) {
  return "The payments " + FormatCurrencyFixed(aPayments, 2) +
         " do not reach the receipt's total " + FormatCurrencyFixed(aTotal, 2) +
         ": nothing was sent to the device";
}
inline std::string TotalDisagrees(Currency aTotal, Currency aLines) {
  return "TotalAmount " + FormatCurrencyFixed(aTotal, 2) + " is not the total of the lines " +
         FormatCurrencyFixed(aLines, 2);
}

// Device log warnings of a payment sent with the default code.
inline std::string NoPaymentCodeLine(std::string_view aPaymentType, std::string_view aFile) {
  return "Warning: payment type " + std::string(aPaymentType) + " has no line in " +
         std::string(aFile) + "; it is sent with code 1";
}
inline std::string NoConfigFileForPayment(std::string_view aPaymentType,
                                          std::string_view aDirectory) {
  return "Warning: no NVRP_RORERER_10.ini in " + std::string(aDirectory) + "; payment type " +
         std::string(aPaymentType) + " is sent with code 1";
}

// MessageText of a printed receipt with a payment other than cash sent with the default code:
// the host learns that its card or voucher went out as code 1, and which file to complete.
inline std::string PaymentSentWithDefaultCode(std::string_view aPaymentType, std::string_view aFile,
                                              bool aFileFound) {
  return "Payment type " + std::string(aPaymentType) +
         " was sent with code 1: " + std::string(aFile) +
         (aFileFound ? " has no line for it" : " was not found");
}

// The day's receipt count or Z number moved by more than this receipt.
inline constexpr std::string_view kCountersDisagree =
    "The device's receipt counters moved by more than this receipt";

// Log labels of the item, discount and markup orders.
inline constexpr std::string_view kLabelProductSale = "ProductSale";
inline constexpr std::string_view kLabelProductReturn = "ProductReturn";
inline constexpr std::string_view kLabelVoucherSale = "VoucherSale";
inline constexpr std::string_view kLabelVoucherRedeem = "VoucherRedeem";
inline constexpr std::string_view kLabelGiftCardSale = "GiftCardSale";
inline constexpr std::string_view kLabelGiftCardRedeem = "GiftCardRedeem";
inline constexpr std::string_view kLabelCollectAmount = "CollectAmount";
inline constexpr std::string_view kLabelCollectAmountRedeem = "CollectAmount[Redeem]";
inline constexpr std::string_view kLabelDiscountAmount = "DiscountAmount";
inline constexpr std::string_view kLabelDiscountPercentage = "DiscountPercentage";
inline constexpr std::string_view kLabelDiscountAmountOnSubtotal = "DiscountAmountOnSubtotal";
inline constexpr std::string_view kLabelDiscountPercentageOnSubtotal =
    "DiscountPercentageOnSubtotal";
inline constexpr std::string_view kLabelMarkupAmount = "MarkupAmount";
inline constexpr std::string_view kLabelMarkupPercentage = "MarkupPercentage";
inline constexpr std::string_view kLabelMarkupAmountOnSubtotal = "MarkupAmountOnSubtotal";
inline constexpr std::string_view kLabelMarkupPercentageOnSubtotal = "MarkupPercentageOnSubtotal";

// Barcode text: "%60[Q" (QR code) or "%60[1" (any other symbology), the value, "]".
inline constexpr std::string_view kBarcodeQRPrefix = "%60[Q";
inline constexpr std::string_view kBarcodePrefix = "%60[1";
inline constexpr std::string_view kBarcodeSuffix = "]";

// Z report files: the details lines' field separator and the fields summed into the day total;
// the XML record's elements and the record type of a Z report (its first two characters).
inline constexpr char kDetailsFieldSeparator = ';';
inline constexpr int kDetailsFirstAmountField = 8;
inline constexpr int kDetailsLastAmountField = 16;
inline constexpr std::string_view kZRecordElement = "FMEM";
inline constexpr std::string_view kZRecordType = "RecType";
inline constexpr std::string_view kZRecordNumber = "RecNo";
inline constexpr std::string_view kZRecordDateTime = "DateTime";
inline constexpr std::string_view kZRecordTypePrefix = "28";
// File kinds of a Z report: its text, details and XML record.
inline constexpr std::string_view kZReportText = "J";
inline constexpr std::string_view kZReportDetails = "S";
inline constexpr std::string_view kZReportRecord = "M";
// Z report file answers that are not the file asked for.
inline constexpr std::string_view kHtmlContentType = "text/html";
inline std::string ZReportFileIsHtml(std::string_view aKind) {
  return "The device answered the Z report's " + std::string(aKind) +
         " file with an HTML page, not the file";
}
inline std::string ZRecordOfOtherReport(int32_t aFound, int32_t aWanted) {
  return "The Z report record names Z " + std::to_string(aFound) + ", not Z " +
         std::to_string(aWanted);
}

// Raised by the reprint primitive: the device cannot reprint a receipt.
inline constexpr std::string_view kReprintNotSupported = "Reprint Receipt is not supported";

// Raised when the connection is not HTTP.
inline constexpr std::string_view kInvalidClassTypecast = "Invalid class typecast";

// Code recorded with the device class's own errors (answers it cannot use, requests it
// cannot send); device error codes are positive.
inline constexpr int32_t kChannelErrorCode = -1;

// Status answers the channel cannot use.
inline std::string StatusAnswerNotXml(std::string_view aContentType) {
  return "The device's status answer is not XML (content type \"" + std::string(aContentType) +
         "\")";
}
inline std::string StatusAnswerMissing(std::string_view aElementName) {
  return "The device's status answer has no " + std::string(aElementName) + " element";
}

// A status value the device class cannot use although it is an integer.
// Device log line of an error the device reported in its status answer.
inline std::string DeviceErrorLine(int32_t aCode, std::string_view aText) {
  return "Device error " + std::to_string(aCode) + ": " + std::string(aText);
}

inline std::string StatusValueOutOfRange(std::string_view aElementName, int32_t aValue) {
  return "The device's status answer has " + std::string(aElementName) + " " +
         std::to_string(aValue) + ", out of range";
}

// Raised when an XML answer cannot be parsed: the parser's description and the byte offset.
inline std::string InvalidXmlAnswer(std::string_view aDescription, std::ptrdiff_t aOffset) {
  return "Invalid XML answer from the device: " + std::string(aDescription) + " at offset " +
         std::to_string(aOffset);
}

// Raised when a command is sent without a value its row needs (a fault of the caller).
inline std::string MissingCommandValue(std::string_view aLabel, std::string_view aName) {
  return "Command " + std::string(aLabel) + ": no value for parameter " + std::string(aName);
}
inline constexpr std::string_view kMissingCommandLabel = "Command without a label";
inline constexpr std::string_view kMissingJournalPath = "Journal command without a path";

}  // namespace nvrp::ibox_messages
