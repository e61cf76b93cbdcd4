// Public operations that are neither receipts nor reports: status, training mode, clock,
// tables, drawer and customer display. Primitives whose results the operations do not depend
// on are called bare; the outcome is the I/O handler's error state at the end.

#include <string>
#include <unordered_map>

#include "base/date_time.hpp"
#include "device/device_messages.hpp"
#include "device/fiscal_printer_device.hpp"
#include "device/fiscal_processor_caller.hpp"
#include "documents/krpt_util.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "documents/table_items.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

namespace msg = device_messages;

namespace {

std::string Text(std::string_view aText) { return std::string(aText); }

std::string SalesTypeText(tkDepartmentSalesType aType) {
  return Text(aType == tkDepartmentSalesType::st_Service ? msg::kSalesTypeService
                                                         : msg::kSalesTypeProduct);
}

// The first activity of each code, so that a long department table costs one look-up per row.
std::unordered_map<std::string, const kEconomicActivity*> IndexByCode(
    const kEconomicActivityTable& aTable) {
  std::unordered_map<std::string, const kEconomicActivity*> index;
  index.reserve(aTable.size());
  for (const kEconomicActivity& activity : aTable) index.try_emplace(activity.fCode, &activity);
  return index;
}

}  // namespace

// --- Status ------------------------------------------------------------------------------------

_int_GETSTATUS_result kFiscalPrinterDevice::Pub_GetStatus(kReceiptPrinterHandler&) {
  _int_GETSTATUS_result result;
  BeginOperation(msg::kBannerGetStatus, result);
  ReadStatus(result.DayOpened, result.DateTime, result.PaperEnd, result.PaperNearEnd,
             result.CoverOpen, result.FiscalReceiptOpen, result.ReceiptOpen, result.TrainingMode,
             result.FirmwareVersion, result.SerialNumber, result.FiscalMode);
  if (fProcessor->Active()) {
    fProcessor->ProcessGetStatus(fXmlString, result.DayOpened, result.DateTime, result.TrainingMode,
                                 result.FirmwareVersion, result.SerialNumber, result.FiscalMode);
  }
  if (FinishOperation(result)) {
    fFiscalMode = result.FiscalMode;
    fSerialNumber = result.SerialNumber;
  }
  return result;
}

// --- Training mode and clock -------------------------------------------------------------------

_int_SET_result kFiscalPrinterDevice::Pub_Set(kReceiptPrinterHandler& aHandler) {
  _int_SET_result result;
  BeginOperation(msg::kBannerSet, result);
  if (aHandler.ParameterExists(msg::kParamTrainingMode)) {
    const bool on = krptUtil::StrToBool(aHandler.GetParameter(msg::kParamTrainingMode));
    // A device without training mode would go on printing real fiscal receipts: asking for it
    // must not look like success. Switching it off on such a device changes nothing.
    if (!SetTrainingMode(on) && on && !fIOHandler->ErrorFound()) {
      fIOHandler->SetCustomError(kPrimitiveFailedCode, Text(msg::kTrainingModeNotSupported));
    }
  }
  FinishOperation(result);
  return result;
}

_int_SETDATETIME_result kFiscalPrinterDevice::Pub_SetDateTime(kReceiptPrinterHandler& aHandler) {
  _int_SETDATETIME_result result;
  BeginOperation(msg::kBannerSetDateTime, result);
  const DateTime value = IsoTextToDateTime(aHandler.GetParameter(msg::kParamDateTime));
  if (value > 0) WriteDateTime(value);
  // The answer carries the clock as the device reads it afterwards, whatever the outcome. A
  // failed write is reported before the read, which would clear its error; without one, a
  // clock that cannot be read is the failure.
  if (fIOHandler->ErrorFound()) {
    FinishOperation(result);
    ReadDateTime(result.DateTime);
  } else {
    ReadDateTime(result.DateTime);
    FinishOperation(result);
  }
  return result;
}

// --- Tables ------------------------------------------------------------------------------------

_int_GETVATTABLE_result kFiscalPrinterDevice::Pub_GetVatTable(kReceiptPrinterHandler&) {
  _int_GETVATTABLE_result result;
  BeginOperation(msg::kBannerGetVatTable, result);
  ReadVatTable();
  if (!FinishOperation(result)) return result;
  result.VATTable.reserve(fVatTable->size());
  for (const kVat& vat : *fVatTable) {
    result.VATTable.push_back({vat.fIndex, vat.fCode, vat.fDescription, vat.fRate});
  }
  return result;
}

_int_SETVATTABLE_result kFiscalPrinterDevice::Pub_SetVatTable(kReceiptPrinterHandler& aHandler) {
  _int_SETVATTABLE_result result;
  BeginOperation(msg::kBannerSetVatTable, result);
  WriteVatTable(aHandler.VATTable());
  FinishOperation(result);
  return result;
}

_int_GETDEPTTABLE_result kFiscalPrinterDevice::Pub_GetDeptTable(kReceiptPrinterHandler&) {
  _int_GETDEPTTABLE_result result;
  BeginOperation(msg::kBannerGetDeptTable, result);
  ReadEATable();
  ReadDeptTable();
  if (!FinishOperation(result)) return result;
  const auto activities = IndexByCode(*fEATable);
  result.DeptTable.reserve(fDeptTable->size());
  for (const kDepartment& department : *fDeptTable) {
    _int_Dept& dept = result.DeptTable.emplace_back();
    dept.Index = department.fIndex;
    dept.Code = department.fCode;
    dept.Description = department.fDescription;
    dept.VatCode = department.fVATCode;
    dept.SalesType = SalesTypeText(department.fSalesType);
    if (department.fEACode.empty()) continue;
    dept.EACode = department.fEACode;
    // A code the activity table does not know reads as an activity without description.
    const auto found = activities.find(department.fEACode);
    const bool ventilazione = found != activities.end() && found->second->fVentilazione;
    if (found != activities.end()) dept.EADescription = found->second->fDescription;
    dept.EAVATMode = Text(ventilazione ? msg::kEAVATModeOn : msg::kEAVATModeOff);
  }
  return result;
}

_int_SETDEPTTABLE_result kFiscalPrinterDevice::Pub_SetDeptTable(kReceiptPrinterHandler& aHandler) {
  _int_SETDEPTTABLE_result result;
  BeginOperation(msg::kBannerSetDeptTable, result);
  WriteEATable(aHandler.EATable());
  WriteDeptTable(aHandler.DeptTable());
  FinishOperation(result);
  return result;
}

// --- Drawer and display ------------------------------------------------------------------------

_int_GETDRSTATUS_result kFiscalPrinterDevice::Pub_GetDrawerStatus(
    kReceiptPrinterHandler& aHandler) {
  _int_GETDRSTATUS_result result;
  BeginOperation(msg::kBannerGetDrawerStatus, result);
  ReadDrawerStatus(aHandler.Drawer().fNumber, result.IsOpen);
  FinishOperation(result);
  return result;
}

_int_OPENDR_result kFiscalPrinterDevice::Pub_OpenDrawer(kReceiptPrinterHandler& aHandler) {
  _int_OPENDR_result result;
  BeginOperation(msg::kBannerOpenDrawer, result);
  OpenDrawerPrimitive(aHandler.Drawer().fNumber);
  FinishOperation(result);
  return result;
}

_int_DISPLAY_result kFiscalPrinterDevice::Pub_WriteDisplay(kReceiptPrinterHandler& aHandler) {
  _int_DISPLAY_result result;
  BeginOperation(msg::kBannerWriteDisplay, result);
  kCustomerDisplay& display = aHandler.CustomerDisplay();
  // Lines written over a display that could not be cleared would mix with the old ones.
  if (!display.fClear || Call(ClearDisplay(), "ClearDisplay")) WriteDisplayLine(display.fLines);
  FinishOperation(result);
  return result;
}

}  // namespace nvrp
