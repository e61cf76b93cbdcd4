// Status, drawer and clock of the iBox, read from the status answer, and the primitives the
// device has nothing for: its tables, display, training mode and payment terminal answer
// without a request.

#include <string>

#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "documents/krpt_util.hpp"
#include "documents/table_items.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_messages.hpp"

namespace nvrp {

namespace msg = ibox_messages;

namespace {

std::string Text(std::string_view aText) { return std::string(aText); }

// The text before the first ":" of a status value (the whole text without one).
std::string StatusCodeOf(std::string_view aText) {
  return ExtractToken(aText, 1, msg::kStatusValueSeparator, false);
}

// A child of GEN_PAR in a status answer; false with its name in aMissing when the answer
// lacks GEN_PAR or the child.
bool StatusElement(const pugi::xml_document& aAnswer, std::string_view aName, std::string& aText,
                   std::string& aMissing) {
  const pugi::xml_node genPar = aAnswer.document_element().child(Text(msg::kGenPar).c_str());
  if (!genPar) {
    aMissing = Text(msg::kGenPar);
    return false;
  }
  const pugi::xml_node element = genPar.child(Text(aName).c_str());
  if (!element) {
    aMissing = Text(aName);
    return false;
  }
  aText = element.text().get();
  return true;
}

}  // namespace

// --- Readers of a status answer --------------------------------------------------------------

bool kFiscalPrinter_RORERER::ReadStatusValues(const pugi::xml_document& aAnswer,
                                              tkIBoxStatusValues& aValues, std::string& aMissing) {
  std::string count;
  std::string clock;
  std::string receiptType;
  if (!StatusElement(aAnswer, msg::kDayFiscalRcptCnt, count, aMissing) ||
      !StatusElement(aAnswer, msg::kCurrentDateTime, clock, aMissing) ||
      !StatusElement(aAnswer, msg::kCurrentReceiptType, receiptType, aMissing)) {
    return false;
  }
  aValues.DayOpened = krptUtil::StrToInt(count) != 0;
  aValues.DateTime = ParseDeviceDateTime(clock);
  // Unlike the receipt state, only the three-digit code counts as a fiscal receipt here.
  const std::string type = StatusCodeOf(receiptType);
  aValues.FiscalReceiptOpen = type == msg::kFiscalReceipt;
  aValues.ReceiptOpen = type != msg::kNoDocument;
  aValues.SerialNumber = aAnswer.document_element().attribute(msg::kDeviceSerialNo.data()).value();
  return true;
}

bool kFiscalPrinter_RORERER::ReadDrawerValue(const pugi::xml_document& aAnswer, bool& aIsOpen,
                                             std::string& aMissing) {
  std::string sensor;
  if (!StatusElement(aAnswer, msg::kDrawerSensorIsHigh, sensor, aMissing)) return false;
  aIsOpen = StatusCodeOf(sensor) == msg::kDrawerSensorHigh;
  return true;
}

bool kFiscalPrinter_RORERER::ReadClockValue(const pugi::xml_document& aAnswer, DateTime& aDateTime,
                                            std::string& aMissing) {
  std::string clock;
  if (!StatusElement(aAnswer, msg::kCurrentDateTime, clock, aMissing)) return false;
  aDateTime = ParseDeviceDateTime(clock);
  return true;
}

// --- Status primitives -------------------------------------------------------------------------

bool kFiscalPrinter_RORERER::ReadStatus(bool& aDayOpened, DateTime& aDateTime, bool& aPaperEnd,
                                        bool& aPaperNearEnd, bool& aCoverOpen,
                                        bool& aFiscalReceiptOpen, bool& aReceiptOpen,
                                        bool& aTrainingMode, std::string& aFirmwareVersion,
                                        std::string& aSerialNumber, std::string& aFiscalMode) {
  // The device tells neither paper, cover, training mode nor firmware: those keep these values.
  aDayOpened = false;
  aDateTime = Now();
  aPaperEnd = aPaperNearEnd = aCoverOpen = aFiscalReceiptOpen = aReceiptOpen = false;
  aTrainingMode = false;
  aFirmwareVersion.clear();
  aSerialNumber.clear();
  aFiscalMode = Text(msg::kFiscalModeMF);
  if (!PollStatus()) return false;
  tkIBoxStatusValues values;
  std::string missing;
  if (!ReadStatusValues(fXmlResponse, values, missing)) {
    return Fail(msg::StatusAnswerMissing(missing));
  }
  aDayOpened = values.DayOpened;
  aDateTime = values.DateTime;
  aFiscalReceiptOpen = values.FiscalReceiptOpen;
  aReceiptOpen = values.ReceiptOpen;
  aSerialNumber = values.SerialNumber;
  return true;
}

bool kFiscalPrinter_RORERER::ReadDrawerStatus(int32_t /*aDrawerNumber*/, bool& aIsOpen) {
  aIsOpen = false;
  if (!PollStatus()) return false;
  std::string missing;
  if (!ReadDrawerValue(fXmlResponse, aIsOpen, missing)) {
    return Fail(msg::StatusAnswerMissing(missing));
  }
  return true;
}

bool kFiscalPrinter_RORERER::ReadDateTime(DateTime& aDateTime) {
  if (!PollStatus()) return false;
  DateTime clock = 0;
  std::string missing;
  if (!ReadClockValue(fXmlResponse, clock, missing)) {
    return Fail(msg::StatusAnswerMissing(missing));
  }
  aDateTime = clock;
  return true;
}

bool kFiscalPrinter_RORERER::WriteDateTime(DateTime /*aDateTime*/) {
  throw Exception(Text(msg::kSetDateTimeNotSupported));
}

// --- What the device has nothing for -----------------------------------------------------------

bool kFiscalPrinter_RORERER::SetTrainingMode(bool /*aOn*/) { return false; }

bool kFiscalPrinter_RORERER::ReadVatTable() {
  fVatTable->clear();
  return true;
}

bool kFiscalPrinter_RORERER::WriteVatTable(kVatTable& /*aTable*/) { return true; }

bool kFiscalPrinter_RORERER::ReadEATable() {
  fEATable->clear();
  return true;
}

bool kFiscalPrinter_RORERER::WriteEATable(kEconomicActivityTable& /*aTable*/) { return true; }

bool kFiscalPrinter_RORERER::ReadDeptTable() {
  fDeptTable->clear();
  return true;
}

bool kFiscalPrinter_RORERER::WriteDeptTable(kDeptTable& /*aTable*/) { return true; }

bool kFiscalPrinter_RORERER::Slot44Reserved() { return false; }

bool kFiscalPrinter_RORERER::ClearDisplay() { return true; }

bool kFiscalPrinter_RORERER::WriteDisplayLine(kReceiptMessageLines& /*aLines*/) { return true; }

bool kFiscalPrinter_RORERER::PayPrimitive(kPaymentReceipt& /*aPayment*/) { return false; }

}  // namespace nvrp
