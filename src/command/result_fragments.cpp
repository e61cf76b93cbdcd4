#include "command/result_fragments.hpp"

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "base/text_utils.hpp"
#include "command/fragment_writer.hpp"
#include "command/result_text.hpp"

namespace nvrp {

namespace {

constexpr std::string_view kNone = kFragmentWriter::kNoSeparator;

template <typename Result>
std::string Close(kFragmentWriter& aWriter, const Result& aResult) {
  return aWriter.Close(aResult.Error, aResult.ErrorText, aResult.LogFileName);
}

std::string LineElements(std::string_view aText, std::string_view aAfterEachLine) {
  std::string lines;
  for (const std::string& line : SplitLines(aText)) {
    lines += kFragmentWriter::ElementText("Line", EscapeXml(line));
    lines += aAfterEachLine;
  }
  return lines;
}

}  // namespace

std::string ResultFragment(const _int_PRINTFR_result& aResult) {
  kFragmentWriter w;
  w.Element("ReceiptDateTime", DateTimeToText(aResult.ReceiptDateTime));
  w.Element("ReceiptNumber", aResult.ReceiptNumber);
  w.Element("DeviceSerialNumber", aResult.DeviceSerialNumber);
  w.Element("EJNumber", aResult.EJNumber);
  w.Element("EJClosingNumber", aResult.EJClosingNumber);
  w.Element("ServerSerialNumber", EscapeXml(aResult.ServerSerialNumber));
  w.Element("ReceiptText", EscapeXml(aResult.ReceiptText));
  w.Element("ReceiptImage", aResult.ReceiptImage);
  w.Element("InvoiceNumber", aResult.InvoiceNumber);
  w.Element("InvoiceDateTime", DateTimeToText(aResult.InvoiceDateTime));
  w.Element("MessageText", EscapeXml(aResult.MessageText));
  return Close(w, aResult);
}

std::string ResultFragment(const _int_REPRINTFR_result& aResult) {
  kFragmentWriter w;
  return Close(w, aResult);
}

std::string ResultFragment(const _int_PRINTNFR_result& aResult) {
  kFragmentWriter w;
  w.Element("NFReceiptDateTime", DateTimeToText(aResult.NFReceiptDateTime));
  w.Element("NFReceiptNumber", aResult.NFReceiptNumber);
  return Close(w, aResult);
}

std::string ResultFragment(const _int_PRINTXR_result& aResult) {
  kFragmentWriter w;
  w.Element("XReportDateTime", DateTimeToText(aResult.XReportDateTime));
  w.Element("XReportNumber", aResult.XReportNumber);
  w.Element("DeviceSerialNumber", aResult.DeviceSerialNumber);
  w.Element("ServerSerialNumber", aResult.ServerSerialNumber);
  w.Element("EJNumber", aResult.EJNumber);
  w.Element("EJClosingNumber", aResult.EJClosingNumber);
  return Close(w, aResult);
}

std::string ResultFragment(const _int_PRINTZR_result& aResult) {
  kFragmentWriter w;
  w.Element("ZReportDateTime", DateTimeToText(aResult.ZReportDateTime));
  w.Element("ZReportNumber", aResult.ZReportNumber);
  w.Element("DeviceSerialNumber", aResult.DeviceSerialNumber);
  w.Element("ServerSerialNumber", aResult.ServerSerialNumber);
  w.Element("EJNumber", aResult.EJNumber);
  w.Element("EJClosingNumber", aResult.EJClosingNumber);
  w.Element("MessageText", EscapeXml(aResult.MessageText));
  // From here up to Text the elements follow each other without line breaks.
  w.Element("GrandTotalAmount", CurrencyToText(aResult.GrandTotalAmount), kNone);
  w.Element("GrandTotalRefundsAmount", CurrencyToText(aResult.GrandTotalRefundsAmount), kNone);
  w.Element("GrandTotalVoidsAmount", CurrencyToText(aResult.GrandTotalVoidsAmount), kNone);
  w.Element("DayTotalAmount", CurrencyToText(aResult.DayTotalAmount), kNone);
  w.Element("DayDiscountsAmount", CurrencyToText(aResult.DayDiscountsAmount), kNone);
  w.Element("DayReturnsAmount", CurrencyToText(aResult.DayReturnsAmount), kNone);
  w.Element("DayRefundsAmount", CurrencyToText(aResult.DayRefundsAmount), kNone);
  w.Element("DayVoidsAmount", CurrencyToText(aResult.DayVoidsAmount), kNone);
  w.Element("DayReceiptsNumber", std::to_string(aResult.DayReceiptsNumber), kNone);
  w.Element("DayRefundsNumber", std::to_string(aResult.DayRefundsNumber), kNone);
  w.Element("Text", LineElements(aResult.Text, kNone), kNone);
  return Close(w, aResult);
}

std::string ResultFragment(const _int_EJREPORT_result& aResult) {
  kFragmentWriter w;
  w.Text("<Text>", kNone);
  w.Text(LineElements(aResult.Text, kFragmentWriter::kCrLf), kNone);
  w.Text("</Text>");
  return Close(w, aResult);
}

std::string ResultFragment(const _int_GETEJFILES_result& aResult) {
  kFragmentWriter w;
  w.Element("FilesCount", std::to_string(aResult.FilesCount));
  return Close(w, aResult);
}

std::string ResultFragment(const _int_GETLOTTERYRCPTSTATUS_result& aResult) {
  kFragmentWriter w;
  w.Element("CorrectlySent", BooleanText(aResult.CorrectlySent));
  w.Element("StatusCode", aResult.StatusCode);
  w.Element("StatusDescription", aResult.StatusDescription);
  w.Element("ReferenceId", aResult.ReferenceId);
  return Close(w, aResult);
}

std::string ResultFragment(const _int_PAY_result& aResult) {
  kFragmentWriter w;
  w.Element("DeviceId", EscapeXml(aResult.DeviceId));
  w.Element("PaymentDateTime", DateTimeToText(aResult.PaymentDateTime));
  w.Element("PaymentNumber", EscapeXml(aResult.PaymentNumber));
  w.Element("PaymentAmount", CurrencyToText(aResult.PaymentAmount));
  w.Element("PaymentCurrency", EscapeXml(aResult.PaymentCurrency));
  w.Element("ExchangeRate", RegionalCurrencyText(aResult.ExchangeRate));
  w.Element("PaymentAmountCurrency", RegionalCurrencyText(aResult.PaymentAmountCurrency));
  w.Element("MaskedPAN", EscapeXml(aResult.MaskedPAN));
  w.Element("PaymentNetwork", PaymentNetworkText(aResult.PaymentNetwork));
  w.Element("TransactionType", TransactionTypeText(aResult.TransactionType));
  w.Element("AuthCode", EscapeXml(aResult.AuthCode));
  w.Element("TraceAuditId", EscapeXml(aResult.TraceAuditId));
  w.Element("RawResponse", EscapeXml(aResult.RawResponse));
  w.Element("ReceiptText", EscapeXml(aResult.ReceiptText));
  return Close(w, aResult);
}

std::string ResultFragment(const _int_OPEN_result& aResult) {
  kFragmentWriter w;
  w.Element("Handle", std::to_string(aResult.Handle));
  return Close(w, aResult);
}

std::string ResultFragment(const _int_SIMPLE_result& aResult) {
  kFragmentWriter w;
  return Close(w, aResult);
}

std::string ResultFragment(const _int_GETSTATUS_result& aResult) {
  kFragmentWriter w;
  w.Element("DayOpened", BooleanText(aResult.DayOpened));
  w.Element("DateTime", DateTimeToText(aResult.DateTime));
  w.Element("PaperEnd", BooleanText(aResult.PaperEnd));
  w.Element("PaperNearEnd", BooleanText(aResult.PaperNearEnd));
  w.Element("CoverOpen", BooleanText(aResult.CoverOpen));
  w.Element("FiscalReceiptOpen", BooleanText(aResult.FiscalReceiptOpen));
  w.Element("ReceiptOpen", BooleanText(aResult.ReceiptOpen));
  w.Element("TrainingMode", BooleanText(aResult.TrainingMode));
  w.Element("FirmwareVersion", EscapeXml(aResult.FirmwareVersion));
  w.Element("SerialNumber", EscapeXml(aResult.SerialNumber));
  w.Element("FiscalMode", EscapeXml(aResult.FiscalMode));
  return Close(w, aResult);
}

std::string ResultFragment(const _int_SETDATETIME_result& aResult) {
  kFragmentWriter w;
  w.Element("DateTime", DateTimeToText(aResult.DateTime));
  return Close(w, aResult);
}

std::string ResultFragment(const _int_GETDRSTATUS_result& aResult) {
  kFragmentWriter w;
  w.Element("IsOpen", BooleanText(aResult.IsOpen));
  return Close(w, aResult);
}

std::string ResultFragment(const _int_GETVATTABLE_result& aResult) {
  kFragmentWriter w;
  w.Text("<VATTable>");
  for (const _int_Vat& vat : aResult.VATTable) {
    w.Text("<VAT>");
    w.Element("Index", std::to_string(vat.Index));
    w.Element("Code", EscapeXml(vat.Code));
    w.Element("Description", EscapeXml(vat.Description));
    w.Element("Rate", CurrencyToText(vat.Rate));
    w.Text("</VAT>");
  }
  w.Text("</VATTable>");
  return Close(w, aResult);
}

std::string ResultFragment(const _int_GETDEPTTABLE_result& aResult) {
  kFragmentWriter w;
  w.Text("<DeptTable>");
  for (const _int_Dept& dept : aResult.DeptTable) {
    w.Text("<Department>");
    w.Element("Index", std::to_string(dept.Index));
    w.Element("Code", EscapeXml(dept.Code));
    w.Element("Description", EscapeXml(dept.Description));
    w.Element("VATCode", dept.VatCode);
    w.Element("SalesType", dept.SalesType);
    w.Element("EACode", EscapeXml(dept.EACode));
    w.Element("EADescription", EscapeXml(dept.EADescription));
    w.Element("EAVATMode", dept.EAVATMode);
    w.Text("</Department>");
  }
  w.Text("</DeptTable>");
  return Close(w, aResult);
}

}  // namespace nvrp
