// Non-fiscal receipts and payment-terminal payments.

#include <string>

#include "device/device_messages.hpp"
#include "device/fiscal_printer_device.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

namespace msg = device_messages;

_int_PRINTNFR_result kFiscalPrinterDevice::Pub_PrintNFReceipt(kReceiptPrinterHandler& aHandler) {
  _int_PRINTNFR_result result;
  BeginOperation(msg::kBannerPrintNFReceipt, result);
  kNFReceipt& document = aHandler.NFReceipt();
  bool ok = ReadinessStep() && Call(BeginNonFiscal(document), "BeginNonFiscal");
  ok = ok && PrintNonFiscalLines(&aHandler.Receipt(), document.fLines);
  if (ok) Call(EndNonFiscal(document), "EndNonFiscal");
  if (FinishOperation(result)) {
    // The device clock after printing; the document is printed whether or not it can be read.
    ReadDateTime(result.NFReceiptDateTime);
  }
  return result;
}

bool kFiscalPrinterDevice::PrintNonFiscalLines(kReceipt* aReceipt, kReceiptMessageLines& aLines) {
  for (const auto& line : aLines) {
    if (auto* text = dynamic_cast<kReceiptMessageTextLine*>(line.get())) {
      if (!Call(PrintNonFiscalTextLine(aReceipt, *text), "PrintNonFiscalTextLine")) return false;
    } else if (auto* barcode = dynamic_cast<kReceiptMessageBarcodeLine*>(line.get())) {
      if (!Call(PrintNonFiscalBarcodeLine(aReceipt, *barcode), "PrintNonFiscalBarcodeLine")) {
        return false;
      }
    } else if (auto* image = dynamic_cast<kReceiptMessageImageLine*>(line.get())) {
      if (!Call(PrintNonFiscalImageLine(aReceipt, *image), "PrintNonFiscalImageLine")) {
        return false;
      }
    }
  }
  return true;
}

_int_PAY_result kFiscalPrinterDevice::Pub_Pay(kReceiptPrinterHandler& aHandler) {
  _int_PAY_result result;
  BeginOperation(msg::kBannerPay, result);
  kPaymentReceipt& payment = aHandler.PaymentReceipt();
  // A device without a payment terminal answers false: the payment is then taken by hand,
  // which the manual transaction type and the network "other" tell the caller.
  PayPrimitive(payment);
  result.TransactionType = tkPaymentTransactionType::ptt_Manual;
  result.PaymentNetwork = tkPaymentNetwork::Other;
  if (!FinishOperation(result)) return result;
  result.RawResponse = payment.fRawResponse;
  for (const std::string& line : payment.fReceiptLines) {
    result.ReceiptText += line;
    result.ReceiptText += msg::kPaymentLineEnd;
  }
  return result;
}

}  // namespace nvrp
