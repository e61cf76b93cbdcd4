#include "device/fiscal_printer_device.hpp"

#include <charconv>
#include <utility>

#include "base/application.hpp"
#include "base/currency.hpp"
#include "base/host_environment.hpp"
#include "base/log_message_type.hpp"
#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "device/device_messages.hpp"
#include "device/fiscal_processor_caller.hpp"
#include "device/rt_server_bridge.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "documents/table_items.hpp"
#include "transport/io_handler.hpp"
#include "transport/io_handler_factory.hpp"

namespace nvrp {

namespace msg = device_messages;

namespace {

// File name suffix of a shared library on this platform.
#if defined(_WIN32)
constexpr std::string_view kLibrarySuffix = ".dll";
#else
constexpr std::string_view kLibrarySuffix = ".so";
#endif

std::string Text(std::string_view aText) { return std::string(aText); }

// A whole decimal integer, 0 when the text is not one.
int32_t IntegerOrZero(const std::string& aText) {
  const std::string text = Trim(aText);
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  return (error == std::errc() && at == end) ? value : 0;
}

std::string RTServerLibraryName(const kReceiptPrinterHandler& aHandler) {
  const std::string driver = aHandler.GetParameter(msg::kParamRTServerDriver);
  return driver.empty() ? std::string() : driver + Text(kLibrarySuffix);
}

// The device's I/O handler, logging under the host executable's directory.
std::unique_ptr<kIOHandler> CreateDeviceIOHandler(const kReceiptPrinterHandler& aHandler) {
  return aHandler.CreateIOHandler(JoinPath(ExeDirectory(), msg::kLogDirectory));
}

}  // namespace

kFiscalPrinterDevice::kFiscalPrinterDevice(kReceiptPrinterHandler& aHandler)
    : kFiscalPrinterDevice(aHandler, CreateDeviceIOHandler(aHandler)) {}

kFiscalPrinterDevice::kFiscalPrinterDevice(kReceiptPrinterHandler& aHandler,
                                           std::unique_ptr<kIOHandler> aIOHandler)
    : fIOHandler(std::move(aIOHandler)),
      fVatTable(std::make_unique<kVatTable>()),
      fDeptTable(std::make_unique<kDeptTable>()),
      fEATable(std::make_unique<kEconomicActivityTable>()) {
  if (!fIOHandler) throw Exception(Text(msg::kNoIOHandler));
  fRTServerActive = aHandler.ParameterIsTrue(msg::kParamRTServer);
  fProcessor =
      std::make_unique<kFiscalProcessorCaller>(aHandler.GetParameter(msg::kParamProcessor));
  if (fProcessor->Active()) {
    try {
      fProcessor->Init();
    } catch (const Exception&) {
      if (!fProcessor->LoadErrorText().empty()) {
        fIOHandler->Debug(tNV_MessageType::let_error, fProcessor->LoadErrorText());
      }
      throw;
    }
  }
  if (fRTServerActive) fRTServer = std::make_unique<kRTServer_Epson>(RTServerLibraryName(aHandler));
  fRTServerReceiptInfo = std::make_unique<kRTServerReceiptInfo>();
  fRTServerTillReportInfo = std::make_unique<kRTServerTillReportInfo>();
  AddPrintSection(tkFiscalPrinterPrintSection::fpps_Lines);
  AddPrintSection(tkFiscalPrinterPrintSection::fpps_Payments);
  AddPrintSection(tkFiscalPrinterPrintSection::fpps_TrailerMessages);
  fIOHandler->SetVersion(GetDriverVersion());
}

kFiscalPrinterDevice::~kFiscalPrinterDevice() = default;

// --- Frame helpers ---------------------------------------------------------------------------

void kFiscalPrinterDevice::WriteBanner(std::string_view aBannerWord) const {
  LogInfo(Text(msg::kBannerRule) + " " + Text(aBannerWord));
}

void kFiscalPrinterDevice::LogInfo(std::string_view aText) const {
  fIOHandler->Debug(tNV_MessageType::let_info, Text(aText));
}

void kFiscalPrinterDevice::AddOperationNotice(const std::string& aText) {
  for (const std::string& notice : fOperationNotices) {
    if (notice == aText) return;
  }
  fOperationNotices.push_back(aText);
}

std::string kFiscalPrinterDevice::LogFileName() const { return fIOHandler->GetLogFileName(); }

bool kFiscalPrinterDevice::HandlerErrorFound() const { return fIOHandler->ErrorFound(); }

std::string kFiscalPrinterDevice::HandlerErrorMessage() const { return fIOHandler->ErrorMessage(); }

bool kFiscalPrinterDevice::Call(bool aOk, std::string_view aPrimitiveName) {
  if (!aOk && !fIOHandler->ErrorFound()) {
    fIOHandler->SetCustomError(kPrimitiveFailedCode,
                               Text(aPrimitiveName) + Text(msg::kPrimitiveFailedSuffix));
  }
  return aOk;
}

bool kFiscalPrinterDevice::ReadinessStep() {
  if (CheckDeviceReady()) return true;
  return Call(VoidReceipt(), "VoidReceipt");
}

void kFiscalPrinterDevice::OpenRTServerTillIfNeeded(kReceiptPrinterHandler& aHandler) {
  if (!fRTServerActive || fRTServer->TillOpened()) return;
  LogInfo(msg::kLogRTServerOpenTill);
  fRTServer->OpenTill(aHandler.GetParameter(msg::kParamRTServerHost),
                      IntegerOrZero(aHandler.GetParameter(msg::kParamRTServerPort)),
                      aHandler.GetParameter(msg::kParamRTServerUser),
                      aHandler.GetParameter(msg::kParamRTServerPassword),
                      aHandler.GetParameter(msg::kParamRTServerTillSerial));
}

// --- Base operations -------------------------------------------------------------------------

std::string kFiscalPrinterDevice::GetDriverVersion() {
  const tNV_ApplicationInfo& info = Application().Info();
  return Text(msg::kVersionPrefix) + info.Version() + Text(msg::kVersionSeparator) +
         FormatDateTime(msg::kReleaseDatePattern, info.ReleaseDate());
}

void kFiscalPrinterDevice::ResetCounters() {
  fCounters.GrandTotalAmount = Currency();
  fCounters.GrandTotalRefundsAmount = Currency();
  fCounters.GrandTotalVoidsAmount = Currency();
  fCounters.DayTotalAmount = Currency();
  fCounters.DayDiscountsAmount = Currency();
  fCounters.DayReturnsAmount = Currency();
  fCounters.DayRefundsAmount = Currency();
  fCounters.DayVoidsAmount = Currency();
  fCounters.DayReceiptsNumber = 0;
  fCounters.DayRefundsNumber = 0;
  fCounters.ZReportNumber = 0;
}

void kFiscalPrinterDevice::AddPrintSection(tkFiscalPrinterPrintSection aSection) {
  for (tkFiscalPrinterPrintSection section : fPrintSequence) {
    if (section == aSection) return;
  }
  fPrintSequence.push_back(aSection);
}

void kFiscalPrinterDevice::ClearPrintSequence() { fPrintSequence.clear(); }

std::string kFiscalPrinterDevice::FormatAmount(int32_t aDecimals, Currency aAmount) {
  return FormatCurrencyFixed(aAmount, aDecimals);
}

// --- Open and close --------------------------------------------------------------------------

_int_OPEN_result kFiscalPrinterDevice::Pub_Open(kReceiptPrinterHandler& aHandler) {
  _int_OPEN_result result;
  BeginOperation(msg::kBannerOpen, result);
  fIOHandler->Connect();
  OpenRTServerTillIfNeeded(aHandler);
  if (fProcessor->Active()) {
    LogInfo(msg::kLogProcessorOpen);
    fProcessor->OpenProcessor(fXmlString);
  }
  FinishOperation(result);
  return result;
}

_int_CLOSE_result kFiscalPrinterDevice::Pub_Close(kReceiptPrinterHandler&) {
  _int_CLOSE_result result;
  BeginOperation(msg::kBannerClose, result);
  fIOHandler->Disconnect();
  FinishOperation(result);
  return result;
}

}  // namespace nvrp
