#include <string>

#include "transport/io_handler_device_messages.hpp"
#include "transport/opos_fiscal_printer.hpp"

namespace nvrp {

namespace {

namespace msg = io_handler_device_messages;

// OPOS controls are COM components and exist on Windows only: here every call fails. Open
// answers "no service", everything after it "closed".
class kUnavailableOposFiscalPrinter : public kOposFiscalPrinter {
 public:
  int32_t Open(const std::string&) override { return msg::kOposNoService; }
  int32_t Close() override { return msg::kOposClosed; }
  int32_t ClaimDevice(int32_t) override { return msg::kOposClosed; }
  int32_t ReleaseDevice() override { return msg::kOposClosed; }
  bool DeviceEnabled() override { return false; }
  void SetDeviceEnabled(bool) override {}
  int32_t ResultCodeExtended() override { return 0; }
  std::string ErrorString() override { return std::string(msg::kOposUnavailable); }

  int32_t BeginFiscalReceipt(bool) override { return msg::kOposClosed; }
  int32_t EndFiscalReceipt(bool) override { return msg::kOposClosed; }
  int32_t PrintRecItem(const std::string&, Currency, int32_t, int32_t, Currency,
                       const std::string&) override {
    return msg::kOposClosed;
  }
  int32_t PrintRecItemVoid(const std::string&, Currency, int32_t, int32_t, Currency,
                           const std::string&) override {
    return msg::kOposClosed;
  }
  int32_t PrintRecRefund(const std::string&, Currency, int32_t) override {
    return msg::kOposClosed;
  }
  int32_t PrintRecSubtotal(Currency) override { return msg::kOposClosed; }
  int32_t PrintRecMessage(const std::string&) override { return msg::kOposClosed; }
  int32_t PrintRecItemAdjustment(int32_t, const std::string&, Currency, int32_t) override {
    return msg::kOposClosed;
  }
  int32_t PrintRecSubtotalAdjustment(int32_t, const std::string&, Currency) override {
    return msg::kOposClosed;
  }
  int32_t PrintRecTotal(Currency, Currency, const std::string&) override {
    return msg::kOposClosed;
  }
  int32_t PrintRecNotPaid(const std::string&, Currency) override { return msg::kOposClosed; }
  int32_t PrintRecTaxID(const std::string&) override { return msg::kOposClosed; }
  int32_t ResetPrinter() override { return msg::kOposClosed; }
  int32_t BeginNonFiscal() override { return msg::kOposClosed; }
  int32_t EndNonFiscal() override { return msg::kOposClosed; }
  int32_t PrintNormal(int32_t, const std::string&) override { return msg::kOposClosed; }
  int32_t BeginTraining() override { return msg::kOposClosed; }
  int32_t EndTraining() override { return msg::kOposClosed; }
  int32_t PrintXReport() override { return msg::kOposClosed; }
  int32_t PrintZReport() override { return msg::kOposClosed; }
  int32_t SetDate(const std::string&) override { return msg::kOposClosed; }
  int32_t GetDate(std::string&) override { return msg::kOposClosed; }
  int32_t GetData(int32_t, int32_t&, std::string&) override { return msg::kOposClosed; }
  int32_t DirectIO(int32_t, int32_t&, std::string&) override { return msg::kOposClosed; }
  bool CoverOpen() override { return false; }
  bool DayOpened() override { return false; }
  bool RecEmpty() override { return false; }
  bool RecNearEnd() override { return false; }
  bool TrainingModeActive() override { return false; }
  int32_t PrinterState() override { return 0; }
  int32_t RemainingFiscalMemory() override { return 0; }
  int32_t SetFiscalReceiptType(int32_t) override { return msg::kOposClosed; }
  int32_t SetPreLine(const std::string&) override { return msg::kOposClosed; }
  std::string AdditionalTrailer() override { return ""; }
  int32_t SetAdditionalTrailer(const std::string&) override { return msg::kOposClosed; }
};

}  // namespace

std::unique_ptr<kOposFiscalPrinter> CreateOposFiscalPrinter() {
  return std::make_unique<kUnavailableOposFiscalPrinter>();
}

}  // namespace nvrp
