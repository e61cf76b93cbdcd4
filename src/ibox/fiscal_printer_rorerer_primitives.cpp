// Primitives of the status, drawer and non-fiscal documents (the fiscal receipt ones are in
// fiscal_printer_rorerer_receipt.cpp, the reports in fiscal_printer_rorerer_reports.cpp). Each one
// that the device class does not offer yet records "Not implemented" and returns false, so that the
// public operation reports the failure instead of success for work that never happened.

#include <string>

#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_messages.hpp"

namespace nvrp {

bool kFiscalPrinter_RORERER::NotImplementedPrimitive() {
  return Fail(std::string(ibox_messages::kNotImplemented));
}

bool kFiscalPrinter_RORERER::BeginNonFiscal(kNFReceipt& /*aReceipt*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::PrintNonFiscalTextLine(kReceipt* /*aReceipt*/,
                                                    kReceiptMessageTextLine& /*aLine*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::PrintNonFiscalBarcodeLine(kReceipt* /*aReceipt*/,
                                                       kReceiptMessageBarcodeLine& /*aLine*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::PrintNonFiscalImageLine(kReceipt* /*aReceipt*/,
                                                     kReceiptMessageImageLine& /*aLine*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::EndNonFiscal(kNFReceipt& /*aReceipt*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::ReadStatus(bool& /*aDayOpened*/, DateTime& /*aDateTime*/,
                                        bool& /*aPaperEnd*/, bool& /*aPaperNearEnd*/,
                                        bool& /*aCoverOpen*/, bool& /*aFiscalReceiptOpen*/,
                                        bool& /*aReceiptOpen*/, bool& /*aTrainingMode*/,
                                        std::string& /*aFirmwareVersion*/,
                                        std::string& /*aSerialNumber*/,
                                        std::string& /*aFiscalMode*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::ReadDrawerStatus(int32_t /*aDrawerNumber*/, bool& /*aIsOpen*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::ReadDateTime(DateTime& /*aDateTime*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::WriteDateTime(DateTime /*aDateTime*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::SetTrainingMode(bool /*aOn*/) { return NotImplementedPrimitive(); }

bool kFiscalPrinter_RORERER::ReadVatTable() { return NotImplementedPrimitive(); }

bool kFiscalPrinter_RORERER::WriteVatTable(kVatTable& /*aTable*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::ReadEATable() { return NotImplementedPrimitive(); }

bool kFiscalPrinter_RORERER::WriteEATable(kEconomicActivityTable& /*aTable*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::ReadDeptTable() { return NotImplementedPrimitive(); }

bool kFiscalPrinter_RORERER::WriteDeptTable(kDeptTable& /*aTable*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::Slot44Reserved() { return NotImplementedPrimitive(); }

bool kFiscalPrinter_RORERER::ClearDisplay() { return NotImplementedPrimitive(); }

bool kFiscalPrinter_RORERER::WriteDisplayLine(kReceiptMessageLines& /*aLines*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::OpenDrawerPrimitive(int32_t /*aDrawerNumber*/) {
  return NotImplementedPrimitive();
}

bool kFiscalPrinter_RORERER::PayPrimitive(kPaymentReceipt& /*aPayment*/) {
  return NotImplementedPrimitive();
}

}  // namespace nvrp
