#pragma once

#include "command/command_wrapper.hpp"
#include "device/command_results.hpp"
#include "device/fiscal_printer_device.hpp"
#include "documents/receipt_printer_handler.hpp"

namespace nvrp {

namespace commands {

using DT = tkReceiptHandlerDocumentType;

// The common case: one public device operation whose record becomes the result.
template <typename TResult, TResult (kFiscalPrinterDevice::*Operation)(kReceiptPrinterHandler&),
          bool MayCreateDevice, bool StoresRequestText>
struct kOperationCommand {
  using Result = TResult;
  static constexpr bool kMayCreateDevice = MayCreateDevice;
  static constexpr bool kStoresRequestText = StoresRequestText;
  static void Serve(kFiscalPrinterDevice& aDevice, kReceiptPrinterHandler& aHandler,
                    Result& aResult) {
    aResult = (aDevice.*Operation)(aHandler);
  }
};

template <typename TResult, TResult (kFiscalPrinterDevice::*Operation)(kReceiptPrinterHandler&),
          bool StoresRequestText = false>
using kExistingDeviceCommand = kOperationCommand<TResult, Operation, false, StoresRequestText>;

// Commands on an existing device, one public operation each.
struct PRINTFR
    : kExistingDeviceCommand<_int_PRINTFR_result, &kFiscalPrinterDevice::Pub_PrintReceipt, true> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_Receipt};
};
struct REPRINTFR
    : kExistingDeviceCommand<_int_REPRINTFR_result, &kFiscalPrinterDevice::Pub_RePrintReceipt> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_ReceiptReference};
};
struct PRINTNFR
    : kExistingDeviceCommand<_int_PRINTNFR_result, &kFiscalPrinterDevice::Pub_PrintNFReceipt> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_NFReceipt};
};
struct PRINTXR
    : kExistingDeviceCommand<_int_PRINTXR_result, &kFiscalPrinterDevice::Pub_PrintXReport, true> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_XReport};
};
struct PRINTZR
    : kExistingDeviceCommand<_int_PRINTZR_result, &kFiscalPrinterDevice::Pub_PrintZReport, true> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_ZReport};
};
struct DISPLAY
    : kExistingDeviceCommand<_int_DISPLAY_result, &kFiscalPrinterDevice::Pub_WriteDisplay> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_Display};
};
struct OPENDR : kExistingDeviceCommand<_int_OPENDR_result, &kFiscalPrinterDevice::Pub_OpenDrawer> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_Drawer};
};
struct GETDRSTATUS
    : kExistingDeviceCommand<_int_GETDRSTATUS_result, &kFiscalPrinterDevice::Pub_GetDrawerStatus> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_Drawer};
};
struct GETSTATUS
    : kExistingDeviceCommand<_int_GETSTATUS_result, &kFiscalPrinterDevice::Pub_GetStatus, true> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{};
};
struct SET : kExistingDeviceCommand<_int_SET_result, &kFiscalPrinterDevice::Pub_Set> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{};
};
struct SETDATETIME
    : kExistingDeviceCommand<_int_SETDATETIME_result, &kFiscalPrinterDevice::Pub_SetDateTime> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{};
};
struct GETVATTABLE
    : kExistingDeviceCommand<_int_GETVATTABLE_result, &kFiscalPrinterDevice::Pub_GetVatTable> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{};
};
struct SETVATTABLE
    : kExistingDeviceCommand<_int_SETVATTABLE_result, &kFiscalPrinterDevice::Pub_SetVatTable> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_VatTable};
};
struct GETDEPTTABLE
    : kExistingDeviceCommand<_int_GETDEPTTABLE_result, &kFiscalPrinterDevice::Pub_GetDeptTable> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{};
};
struct SETDEPTTABLE
    : kExistingDeviceCommand<_int_SETDEPTTABLE_result, &kFiscalPrinterDevice::Pub_SetDeptTable> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_DeptTable};
};
struct EJREPORT
    : kExistingDeviceCommand<_int_EJREPORT_result, &kFiscalPrinterDevice::Pub_EJReport> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_EJReport};
};
struct GETLOTTERYRCPTSTATUS
    : kExistingDeviceCommand<_int_GETLOTTERYRCPTSTATUS_result,
                             &kFiscalPrinterDevice::Pub_GetLotteryReceiptStatus> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_ReceiptReference};
};
struct GETEJFILES
    : kExistingDeviceCommand<_int_GETEJFILES_result, &kFiscalPrinterDevice::Pub_GetEJFiles> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_EJFilesRequest};
};

// PAY creates a device when the request names none.
struct PAY : kOperationCommand<_int_PAY_result, &kFiscalPrinterDevice::Pub_Pay, true, false> {
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{DT::dt_Pay};
  static void SetInitialValues(Result& aResult) {
    aResult.TransactionType = tkPaymentTransactionType::ptt_Other;
    aResult.PaymentNetwork = tkPaymentNetwork::Other;
  }
};

// OPEN creates a device when the request names none; once opened, the device is initialised
// and its status and VAT table refreshed, their own device errors not reported.
struct OPEN {
  using Result = _int_OPEN_result;
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{};
  static constexpr bool kMayCreateDevice = true;
  static constexpr bool kStoresRequestText = true;
  static void Serve(kFiscalPrinterDevice& aDevice, kReceiptPrinterHandler& aHandler,
                    Result& aResult);
  static void OnRaisedError(kFiscalPrinterDevice& aDevice, const std::string& aMessage);
};

// CLOSE removes and destroys the device once Pub_Close returns, whatever it reports.
struct CLOSE {
  using Result = _int_CLOSE_result;
  static constexpr tkReceiptHandlerDocumentTypes kDocuments{};
  static constexpr bool kMayCreateDevice = false;
  static constexpr bool kStoresRequestText = false;
  static constexpr bool kDestroysDevice = true;
  static void Serve(kFiscalPrinterDevice& aDevice, kReceiptPrinterHandler& aHandler,
                    Result& aResult);
};

}  // namespace commands

using kFiscalPrinterWrapper_PRINTFR = kCommandWrapper<commands::PRINTFR>;
using kFiscalPrinterWrapper_PRINTXR = kCommandWrapper<commands::PRINTXR>;
using kFiscalPrinterWrapper_PRINTZR = kCommandWrapper<commands::PRINTZR>;
using kFiscalPrinterWrapper_PRINTNFR = kCommandWrapper<commands::PRINTNFR>;
using kFiscalPrinterWrapper_DISPLAY = kCommandWrapper<commands::DISPLAY>;
using kFiscalPrinterWrapper_OPENDR = kCommandWrapper<commands::OPENDR>;
using kFiscalPrinterWrapper_GETSTATUS = kCommandWrapper<commands::GETSTATUS>;
using kFiscalPrinterWrapper_SETDATETIME = kCommandWrapper<commands::SETDATETIME>;
using kFiscalPrinterWrapper_OPEN = kCommandWrapper<commands::OPEN>;
using kFiscalPrinterWrapper_CLOSE = kCommandWrapper<commands::CLOSE>;
using kFiscalPrinterWrapper_GETDRSTATUS = kCommandWrapper<commands::GETDRSTATUS>;
using kFiscalPrinterWrapper_SET = kCommandWrapper<commands::SET>;
using kFiscalPrinterWrapper_EJREPORT = kCommandWrapper<commands::EJREPORT>;
using kFiscalPrinterWrapper_GETVATTABLE = kCommandWrapper<commands::GETVATTABLE>;
using kFiscalPrinterWrapper_SETVATTABLE = kCommandWrapper<commands::SETVATTABLE>;
using kFiscalPrinterWrapper_GETDEPTTABLE = kCommandWrapper<commands::GETDEPTTABLE>;
using kFiscalPrinterWrapper_SETDEPTTABLE = kCommandWrapper<commands::SETDEPTTABLE>;
using kFiscalPrinterWrapper_PAY = kCommandWrapper<commands::PAY>;
using kFiscalPrinterWrapper_REPRINTFR = kCommandWrapper<commands::REPRINTFR>;
using kFiscalPrinterWrapper_GETLOTTERYRCPTSTATUS = kCommandWrapper<commands::GETLOTTERYRCPTSTATUS>;
using kFiscalPrinterWrapper_GETEJFILES = kCommandWrapper<commands::GETEJFILES>;

}  // namespace nvrp
