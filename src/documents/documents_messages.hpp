#pragma once

#include <string>
#include <string_view>

namespace nvrp::documents_messages {

// Every caller-visible text of the request documents. Patterns carry one "%s", filled by
// Fill() with the value inserted literally.

// Envelope parameter: "true" sends receipt texts unchanged instead of as printable ASCII.
inline constexpr std::string_view kParamSupportSpecialChars = "SupportSpecialChars";

// Typed access: "<prefix>" + CR LF + "<conversion message>".
inline constexpr std::string_view kNodeAsString = "Error in processing node %s as string.";
inline constexpr std::string_view kNodeAsInteger = "Error in processing node %s as integer.";
inline constexpr std::string_view kNodeAsCurrency = "Error in processing node %s as currency.";
inline constexpr std::string_view kNodeAsDateTime = "Error in processing node %s as datetime.";
inline constexpr std::string_view kNodeAsBoolean = "Error in processing node %s as boolean.";
inline constexpr std::string_view kLineBreak = "\r\n";

inline constexpr std::string_view kInvalidInteger = "'%s' is not a valid integer value";
inline constexpr std::string_view kInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr std::string_view kInvalidBoolean = "'%s' is not a valid boolean value";
inline constexpr std::string_view kElementHasChildElements = "Element has child elements";

// Enumeration words (the value is quoted after lower-casing).
inline constexpr std::string_view kReceiptTypeInvalid = "ReceiptType %s is invalid";
inline constexpr std::string_view kLineTypeInvalid = "LineType %s is invalid";
inline constexpr std::string_view kPaymentTypeInvalid = "PaymentType %s is invalid";
inline constexpr std::string_view kTaxTypeInvalid = "TaxType %s is invalid";
inline constexpr std::string_view kAlignmentInvalid = "Alignment %s is invalid";
inline constexpr std::string_view kBarcodeTypeInvalid = "BarcodeType %s is invalid";
inline constexpr std::string_view kEffectInvalid = "Effect %s is invalid";
inline constexpr std::string_view kImageSourceInvalid = "Image Source %s is invalid";
inline constexpr std::string_view kEJReportTypeInvalid = "ReportType %s is invalid";
inline constexpr std::string_view kEJReportDestinationInvalid = "ReportDestination %s is invalid";
inline constexpr std::string_view kEJRequestTypeInvalid = "EJ Request Type %s is invalid";

// Request text that is not well-formed XML: "Invalid XML: <description> at offset <n>".
inline constexpr std::string_view kInvalidXml = "Invalid XML: ";
inline constexpr std::string_view kInvalidXmlOffset = " at offset ";
inline constexpr std::string_view kTextOutsideRoot = "Text outside the document element";
inline constexpr std::string_view kSecondRootElement = "More than one document element";

// Request documents besides the receipt: the element is missing under the request's root.
inline constexpr std::string_view kNFReceiptNodeNotFound = "NFReceipt node not found";
inline constexpr std::string_view kDisplayNodeNotFound = "Display node not found";
inline constexpr std::string_view kDrawerNodeNotFound = "Drawer node not found";
inline constexpr std::string_view kEJReportNodeNotFound = "EJReport node not found";
inline constexpr std::string_view kVATTableNodeNotFound = "VATTable node not found";
inline constexpr std::string_view kDeptTableNodeNotFound = "DeptTable node not found";
inline constexpr std::string_view kPaymentNodeNotFound = "Payment node not found";
inline constexpr std::string_view kReceiptReferenceNodeNotFound = "ReceiptReference node not found";
inline constexpr std::string_view kEJRequestNodeNotFound = "EJRequest node not found";

// A payment request's "PrintLocation" other than ECR or EFT (the text quoted as given).
inline constexpr std::string_view kPaymentLocationInvalid =
    "Payment Location %s invalid. Allowed values are: ECR,EFT.";

// The pattern with its "%s" replaced by `value`; a "%" inside `value` stays as it is.
inline std::string Fill(std::string_view pattern, std::string_view value) {
  std::string text(pattern);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

}  // namespace nvrp::documents_messages
