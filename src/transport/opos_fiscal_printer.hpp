#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/currency.hpp"

namespace nvrp {

// The OPOS fiscal-printer control (ProgID OPOS.FiscalPrinter) as the OPOS handler uses it.
// Methods answer the OPOS result code (0 success); property writes answer the result code the
// control reports after them.
class kOposFiscalPrinter {
 public:
  virtual ~kOposFiscalPrinter() = default;

  virtual int32_t Open(const std::string& aDeviceName) = 0;
  virtual int32_t Close() = 0;
  virtual int32_t ClaimDevice(int32_t aTimeoutMs) = 0;
  virtual int32_t ReleaseDevice() = 0;
  virtual bool DeviceEnabled() = 0;
  virtual void SetDeviceEnabled(bool aEnabled) = 0;
  virtual int32_t ResultCodeExtended() = 0;
  // The control's description of the last error.
  virtual std::string ErrorString() = 0;

  virtual int32_t BeginFiscalReceipt(bool aPrintHeader) = 0;
  virtual int32_t EndFiscalReceipt(bool aPrintHeader) = 0;
  virtual int32_t PrintRecItem(const std::string& aDescription, Currency aPrice, int32_t aQuantity,
                               int32_t aVatInfo, Currency aUnitPrice,
                               const std::string& aUnitName) = 0;
  virtual int32_t PrintRecItemVoid(const std::string& aDescription, Currency aPrice,
                                   int32_t aQuantity, int32_t aVatInfo, Currency aUnitPrice,
                                   const std::string& aUnitName) = 0;
  virtual int32_t PrintRecRefund(const std::string& aDescription, Currency aAmount,
                                 int32_t aVatInfo) = 0;
  virtual int32_t PrintRecSubtotal(Currency aAmount) = 0;
  virtual int32_t PrintRecMessage(const std::string& aMessage) = 0;
  virtual int32_t PrintRecItemAdjustment(int32_t aAdjustmentType, const std::string& aDescription,
                                         Currency aAmount, int32_t aVatInfo) = 0;
  virtual int32_t PrintRecSubtotalAdjustment(int32_t aAdjustmentType,
                                             const std::string& aDescription, Currency aAmount) = 0;
  virtual int32_t PrintRecTotal(Currency aTotal, Currency aPayment,
                                const std::string& aDescription) = 0;
  virtual int32_t PrintRecNotPaid(const std::string& aDescription, Currency aAmount) = 0;
  virtual int32_t PrintRecTaxID(const std::string& aTaxId) = 0;
  virtual int32_t ResetPrinter() = 0;
  virtual int32_t BeginNonFiscal() = 0;
  virtual int32_t EndNonFiscal() = 0;
  virtual int32_t PrintNormal(int32_t aStation, const std::string& aData) = 0;
  virtual int32_t BeginTraining() = 0;
  virtual int32_t EndTraining() = 0;
  virtual int32_t PrintXReport() = 0;
  virtual int32_t PrintZReport() = 0;
  // Date texts are "ddmmyyyyhhnn".
  virtual int32_t SetDate(const std::string& aDate) = 0;
  virtual int32_t GetDate(std::string& aDate) = 0;
  virtual int32_t GetData(int32_t aDataItem, int32_t& aOptArgs, std::string& aData) = 0;
  virtual int32_t DirectIO(int32_t aCommand, int32_t& aData, std::string& aString) = 0;

  virtual bool CoverOpen() = 0;
  virtual bool DayOpened() = 0;
  virtual bool RecEmpty() = 0;
  virtual bool RecNearEnd() = 0;
  virtual bool TrainingModeActive() = 0;
  virtual int32_t PrinterState() = 0;
  virtual int32_t RemainingFiscalMemory() = 0;
  virtual int32_t SetFiscalReceiptType(int32_t aType) = 0;
  virtual int32_t SetPreLine(const std::string& aText) = 0;
  virtual std::string AdditionalTrailer() = 0;
  virtual int32_t SetAdditionalTrailer(const std::string& aText) = 0;
};

// The system's OPOS fiscal-printer control (opos_fiscal_printer_<os>.cpp). Where the system
// has none, a control whose Open fails with a description that says so.
std::unique_ptr<kOposFiscalPrinter> CreateOposFiscalPrinter();

}  // namespace nvrp
