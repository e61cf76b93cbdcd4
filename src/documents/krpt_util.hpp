#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "documents/request_enums.hpp"

namespace nvrp {

// Typed reading of request elements, the request words of every enumeration, and the
// printable form of texts sent to the device. Stateless; never instantiated.
//
// A child is the first direct child element of exactly that name (letter case significant).
// Its value is its text or CDATA content; an element holding child elements has no value.
class krptUtil {
 public:
  krptUtil() = delete;

  // Absent child: "" / 0 / 0 / 0 / aDefaultValue. Failures throw nvrp::Exception with
  // "Error in processing node <name> as <kind>." + CR LF + the conversion's message.
  static std::string GetNodeValueAsString(const pugi::xml_node& aParentNode,
                                          std::string_view aNodeName);
  // The value of the element itself, read as GetNodeValueAsString reads a child.
  static std::string GetElementValueAsString(const pugi::xml_node& aElement);
  static int32_t GetNodeValueAsInteger(const pugi::xml_node& aParentNode,
                                       std::string_view aNodeName);
  static Currency GetNodeValueAsCurrency(const pugi::xml_node& aParentNode,
                                         std::string_view aNodeName);
  static DateTime GetNodeValueAsDateTime(const pugi::xml_node& aParentNode,
                                         std::string_view aNodeName);
  static bool GetNodeValueAsBoolean(const pugi::xml_node& aParentNode, std::string_view aNodeName,
                                    bool aDefaultValue);

  // Decimal integer with an optional sign, 32-bit range, nothing else (no blanks, no hex).
  // Throws "'<text>' is not a valid integer value".
  static int32_t StrToInt(std::string_view aText);
  // A number written with the host's decimal separator (0 is false, any other true) or
  // "true"/"false" in any letter case. Throws
  // "'<text>' is not a valid boolean value" for anything else, the empty text included.
  static bool StrToBool(std::string_view aText);

  // Decoders lower-case the text (ASCII) and compare whole words.
  static tkReceiptType DecodeReceiptType(std::string_view aText);
  static tkReceiptLineType DecodeLineType(std::string_view aText);
  static tkReceiptPaymentType DecodePaymentType(std::string_view aText);
  static tkReceiptTaxType DecodeTaxType(std::string_view aText);
  static tkReceiptReferenceType DecodeReferenceType(std::string_view aText);
  static tkReceiptLineAttribute DecodeLineAttribute(std::string_view aText);
  static tkReceiptMessageLineAlignment DecodeAlignment(std::string_view aText);
  static tkReceiptMessageBarcodeType DecodeBarcodeType(std::string_view aText);
  static tkReceiptMessageLineEffect DecodeEffect(std::string_view aText);
  static tkReceiptMessageImageSource DecodeImageSource(std::string_view aText);
  static tkEJReportType DecodeEJReportType(std::string_view aText);
  static tkEJReportDestination DecodeEJReportDestination(std::string_view aText);
  static tkEJFilesRequestType DecodeEJRequestType(std::string_view aText);

  static std::string EncodeReceiptType(tkReceiptType aValue);
  static std::string EncodePaymentType(tkReceiptPaymentType aValue);
  static std::string EncodeTaxType(tkReceiptTaxType aValue);
  static std::string EncodeReferenceType(tkReceiptReferenceType aValue);
  static std::string EncodeAlignment(tkReceiptMessageLineAlignment aValue);
  static std::string EncodeBarcodeType(tkReceiptMessageBarcodeType aValue);
  static std::string EncodeEffect(tkReceiptMessageLineEffect aValue);
  static std::string EncodeImageSource(tkReceiptMessageImageSource aValue);

  // Comma-separated effect words; stops at the first empty piece.
  static tkReceiptMessageLineEffectSet DecodeEffects(std::string_view aEffects);
  // Member words in ordinal order joined by ",".
  static std::string EncodeEffects(tkReceiptMessageLineEffectSet aEffects);

  // Printable ASCII form for the device: capital accented letters and the euro sign become
  // their base letter, "TOTALE" becomes "TOT.", and every other UTF-16 unit outside
  // U+0020..U+007F becomes one blank.
  static std::string NormalizeText(std::string_view aText);
};

}  // namespace nvrp
