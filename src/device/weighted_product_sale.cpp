// Default of the weighted-sale primitive, for devices that cannot sell by weight: a text line
// with the quantity and the unit price, then the sale of one unit at the line's total amount.

#include <string>

#include "base/utf.hpp"
#include "device/device_messages.hpp"
#include "device/fiscal_printer_device.hpp"
#include "device/regional_number_format.hpp"
#include "documents/receipt.hpp"

namespace nvrp {

namespace msg = device_messages;

namespace {

// " 1.250 kg x EUR 12.90/kg", numbers in the host's number format.
std::string WeightText(const kReceipt& aReceipt, const kReceiptLineWeightedProductSale& aLine) {
  const tkNumberFormat format = HostNumberFormat();
  const std::string unit = AsciiLower(aLine.fUOM);
  std::string text(msg::kWeightedBlank);
  text += FormatGroupedNumber(aLine.fQuantity, msg::kWeightedQuantityDecimals, format);
  text += msg::kWeightedBlank;
  text += unit;
  text += msg::kWeightedTimes;
  text += aReceipt.fCurrencyCode;
  text += msg::kWeightedBlank;
  text += FormatGroupedNumber(aLine.fPrice, msg::kWeightedPriceDecimals, format);
  text += msg::kWeightedPer;
  text += unit;
  return text;
}

}  // namespace

bool kFiscalPrinterDevice::PrintWeightedProductSale(kReceipt& aReceipt,
                                                    kReceiptLineWeightedProductSale& aLine) {
  kReceiptLineText weight(&aReceipt);
  weight.fDescription = WeightText(aReceipt, aLine);
  if (!PrintTextLine(aReceipt, weight)) return false;

  kReceiptLineWeightedProductSale sale(&aReceipt);
  sale.fCode = aLine.fCode;
  sale.fDescription = aLine.Description();
  sale.fQuantity = Currency::FromUnits(1);
  sale.fDepartment = aLine.fDepartment;
  sale.fTaxCode = aLine.fTaxCode;
  sale.fPrice = aLine.fAmount;
  sale.fAmount = aLine.fAmount;
  sale.fFreeOfCharge = aLine.fFreeOfCharge;
  return PrintProductSale(aReceipt, sale);
}

}  // namespace nvrp
