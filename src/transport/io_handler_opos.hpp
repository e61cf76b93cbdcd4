#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "transport/io_handler.hpp"
#include "transport/opos_fiscal_printer.hpp"

namespace nvrp {

// I/O handler of a fiscal printer driven through its OPOS control. Every control call is
// logged, and a result other than success becomes the handler's error state with the
// result's standard name and the control's description.
class kIOHandler_OPOS : public kIOHandler {
 public:
  // The system's control (CreateOposFiscalPrinter) and the connection's device name.
  kIOHandler_OPOS(const kConnection* aConnection, std::string_view aDirectory,
                  std::string_view aFileName);
  // The same with a given control.
  kIOHandler_OPOS(const kConnection* aConnection, std::string_view aDirectory,
                  std::string_view aFileName, std::unique_ptr<kOposFiscalPrinter> aControl);
  // Disconnects a connected handler before the control goes.
  ~kIOHandler_OPOS() override;

  bool Connected() const override { return fConnected; }
  // Opens, claims and enables the device; true when it is enabled.
  bool Connect() override;
  // Disables, releases and closes the device.
  bool Disconnect() override;
  void ClearBuffers() override {}
  // The OPOS control is not a byte stream: these throw nvrp::Exception.
  bool Write(const std::string& aMessage) override;
  std::string ReadUpTo(const std::vector<uint8_t>& aChars) override;
  std::string ReadChars(int32_t aCharsNum) override;
  std::string ReadAll() override;
  bool InputBufferContainsData() override;
  std::string DecodeError(int32_t) override { return ""; }
  void SetParameter(const std::string&, const std::string&) override {}
  std::string ClassName() const override;

  const std::string& DeviceName() const { return fDeviceName; }

  // Fiscal operations; each is true when the control reported success.
  bool BeginFiscalReceipt();
  bool EndFiscalReceipt();
  // The quantity goes to the control in thousandths, truncated.
  bool PrintRecItem(const std::string& aCode, const std::string& aDescription, double aQuantity,
                    const std::string& aUOM, int32_t aVatCode, Currency aPrice, Currency aAmount);
  bool PrintRecItemVoid(const std::string& aCode, const std::string& aDescription, double aQuantity,
                        const std::string& aUOM, int32_t aVatCode, Currency aPrice,
                        Currency aAmount);
  bool PrintRecRefund(const std::string& aCode, const std::string& aDescription, double aQuantity,
                      const std::string& aUOM, int32_t aVatCode, Currency aPrice, Currency aAmount);
  bool PrintRecSubtotal(Currency aAmount);
  bool PrintRecMessage(const std::string& aText);
  bool PrintRecItemAdjustment(int32_t aAdjType, const std::string& aDescription, Currency aAmount,
                              int32_t aVatCode);
  bool PrintRecSubtotalAdjustment(int32_t aAdjType, const std::string& aDescription,
                                  Currency aAmount);
  bool PrintRecTotal(Currency aTotalAmount, Currency aPaymentAmount,
                     const std::string& aDescription);
  bool PrintRecNotPaid(Currency aAmount, const std::string& aDescription);
  bool PrintRecTaxid(const std::string& aTaxId);
  bool ResetPrinter();
  bool BeginNonFiscal();
  bool EndNonFiscal();
  bool PrintNormal(const std::string& aText);
  bool BeginTraining();
  bool EndTraining();
  bool PrintXReport();
  bool PrintZReport();
  bool SetDate(DateTime aDateTime);
  // On failure aDate is now.
  bool GetDate(DateTime& aDate);
  bool GetData(int32_t aDataItem, int32_t aOptArgs, std::string& aOutput);
  bool DirectIO(int32_t aCommand, int32_t& aData, std::string& aString);
  bool GetCoverOpen(bool& aResult);
  bool GetDayOpened(bool& aResult);
  bool GetRecEmpty(bool& aResult);
  bool GetRecNearEnd(bool& aResult);
  bool GetTrainingModeActive(bool& aResult);
  bool PrinterState(int32_t& aPrinterState);
  bool RemainingFiscalMemory(int32_t& aRemainingFiscalMemory);
  bool SetFiscalReceiptType(int32_t aReceiptType);
  bool SetPreLine(const std::string& aDescription);
  // aClear true replaces the additional trailer; false appends the text and CR LF.
  bool SetAdditionalTrailerLine(const std::string& aDescription, bool aClear);

  // "[" + code + "] " + the result's name, " [" + extended + "] " + its name when the
  // extended code is not 0, then " - " + aDescription. Unnamed codes are UNKNOWN.
  static std::string FormatOposError(int32_t aCode, int32_t aExtendedCode,
                                     const std::string& aDescription);
  // Plain decimal number with a point, no grouping.
  static std::string FormatLogAmount(Currency aAmount);
  // The text in single quotes, inner quotes doubled.
  static std::string Quoted(const std::string& aText);

 private:
  bool CheckOposResult(int32_t aResultCode);
  // Logs aLine, runs the control call and checks its result.
  bool Call(const std::string& aLine, const std::function<int32_t()>& aCall);
  bool ReadFlag(const std::string& aOperation, const std::string& aProperty,
                const std::function<bool()>& aRead, bool& aResult);
  // The quantity in thousandths; false with the error recorded when it does not fit.
  bool Thousandths(double aQuantity, int32_t& aThousandths);
  std::string ItemArguments(const std::string& aDescription, Currency aAmount, double aQuantity,
                            int32_t aVatCode, Currency aPrice, const std::string& aUOM) const;

  std::unique_ptr<kOposFiscalPrinter> fOPOS;
  std::string fDeviceName;
  bool fConnected = false;
};

}  // namespace nvrp
