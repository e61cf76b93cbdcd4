#include "documents/krpt_util.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <utility>

#include "base/host_number_format.hpp"
#include "base/nv_exception.hpp"
#include "base/utf.hpp"
#include "documents/documents_messages.hpp"

namespace nvrp {

namespace msg = documents_messages;

namespace {

template <typename Enum>
struct Word {
  std::string_view text;
  Enum value;
};

template <typename Enum, size_t N>
bool FindWord(const std::array<Word<Enum>, N>& words, std::string_view lowered, Enum& out) {
  for (const auto& word : words) {
    if (word.text == lowered) {
      out = word.value;
      return true;
    }
  }
  return false;
}

// Lower-cases the text and looks it up; an unknown word throws the pattern with that text.
template <typename Enum, size_t N>
Enum DecodeWord(const std::array<Word<Enum>, N>& words, std::string_view text,
                std::string_view pattern) {
  const std::string lowered = AsciiLower(text);
  Enum value{};
  if (!FindWord(words, lowered, value)) throw Exception(msg::Fill(pattern, lowered));
  return value;
}

template <typename Enum, size_t N>
std::string EncodeWord(const std::array<Word<Enum>, N>& words, Enum value) {
  for (const auto& word : words) {
    if (word.value == value) return std::string(word.text);
  }
  return {};
}

using RT = tkReceiptType;
constexpr std::array<Word<RT>, 5> kReceiptTypeWords{{
    {"sale", RT::rt_Sale},
    {"refund", RT::rt_Refund},
    {"void", RT::rt_Void},
    {"invoicesale", RT::rt_InvoiceSale},
    {"invoicesalefromreceipt", RT::rt_InvoiceSaleFromReceipt},
}};
constexpr std::array<Word<RT>, 5> kReceiptTypeNames{{
    {"Sale", RT::rt_Sale},
    {"Refund", RT::rt_Refund},
    {"Void", RT::rt_Void},
    {"InvoiceSale", RT::rt_InvoiceSale},
    {"InvoiceSaleFromReceipt", RT::rt_InvoiceSaleFromReceipt},
}};

using LT = tkReceiptLineType;
constexpr std::array<Word<LT>, 18> kLineTypeWords{{
    {"productsale", LT::rlt_ProductSale},
    {"productreturn", LT::rlt_ProductReturn},
    {"weightedproductsale", LT::rlt_WeightedProductSale},
    {"vouchersale", LT::rlt_VoucherSale},
    {"voucherredeem", LT::rlt_VoucherRedeem},
    {"giftcardsale", LT::rlt_GiftCardSale},
    {"giftcardredeem", LT::rlt_GiftCardRedeem},
    {"subtotal", LT::rlt_SubTotal},
    {"text", LT::rlt_Text},
    {"discountamount", LT::rlt_DiscountAmount},
    {"discountpercentage", LT::rlt_DiscountPercentage},
    {"discountamountonsubtotal", LT::rlt_DiscountAmountOnSubtotal},
    {"discountpercentageonsubtotal", LT::rlt_DiscountPercentageOnSubTotal},
    {"markupamount", LT::rlt_MarkupAmount},
    {"markuppercentage", LT::rlt_MarkupPercentage},
    {"markupamountonsubtotal", LT::rlt_MarkupAmountOnSubtotal},
    {"markuppercentageonsubtotal", LT::rlt_MarkupPercentageOnSubTotal},
    {"collectamount", LT::rlt_CollectAmount},
}};

using PT = tkReceiptPaymentType;
constexpr std::array<Word<PT>, 12> kPaymentTypeWords{{
    {"cash", PT::rpt_Cash},
    {"cheque", PT::rpt_Cheque},
    {"creditcard", PT::rpt_CreditCard},
    {"debitcard", PT::rpt_DebitCard},
    {"credit", PT::rpt_Credit},
    {"creditonproducts", PT::rpt_CreditOnProducts},
    {"creditonservices", PT::rpt_CreditOnServices},
    {"giftcard", PT::Rpt_GiftCard},
    {"voucher", PT::Rpt_Voucher},
    {"mealvoucher", PT::Rpt_MealVoucher},
    {"nhscard", PT::Rpt_NHSCard},
    {"change", PT::Rpt_Change},
}};

using TT = tkReceiptTaxType;
constexpr std::array<Word<TT>, 2> kTaxTypeWords{
    {{"vat", TT::tt_VAT}, {"salestax", TT::tt_SalesTax}}};
constexpr std::array<Word<TT>, 2> kTaxTypeNames{
    {{"VAT", TT::tt_VAT}, {"SalesTax", TT::tt_SalesTax}}};

using RRT = tkReceiptReferenceType;
constexpr std::array<Word<RRT>, 3> kReferenceTypeWords{{
    {"eftreceipt", RRT::rrt_EFTReceipt},
    {"notavailable", RRT::rrt_NotAvailable},
    {"empties", RRT::rrt_Empties},
}};
constexpr std::array<Word<RRT>, 4> kReferenceTypeNames{{
    {"OriginalReceipt", RRT::rrt_OriginalReceipt},
    {"EFTReceipt", RRT::rrt_EFTReceipt},
    {"NotAvailable", RRT::rrt_NotAvailable},
    {"Empties", RRT::rrt_Empties},
}};

using LA = tkReceiptMessageLineAlignment;
constexpr std::array<Word<LA>, 3> kAlignmentWords{{
    {"right", LA::la_right},
    {"center", LA::la_center},
    {"left", LA::la_left},
}};

using BT = tkReceiptMessageBarcodeType;
constexpr std::array<Word<BT>, 8> kBarcodeTypeWords{{
    {"ean13", BT::bt_EAN13},
    {"ean8", BT::bt_EAN8},
    {"code39", BT::bt_CODE39},
    {"code128", BT::bt_CODE128},
    {"qrcode", BT::bt_QRCODE},
    {"upca", BT::bt_UPCA},
    {"upce", BT::bt_UPCE},
    {"interleaved2of5", BT::bt_Interleaved2Of5},
}};

using LE = tkReceiptMessageLineEffect;
constexpr std::array<Word<LE>, 8> kEffectWords{{
    {"bold", LE::le_bold},
    {"italic", LE::le_italic},
    {"underline", LE::le_underline},
    {"doubleheight", LE::le_doubleheight},
    {"doublewidth", LE::le_doublewidth},
    {"doublesize", LE::le_doublesize},
    {"invertcolors", LE::le_invertcolors},
    {"condensed", LE::le_condensed},
}};

using IS = tkReceiptMessageImageSource;
constexpr std::array<Word<IS>, 2> kImageSourceWords{{
    {"resource", IS::is_Resource},
    {"filesystem", IS::is_FileSystem},
}};

using EJT = tkEJReportType;
constexpr std::array<Word<EJT>, 5> kEJReportTypeWords{{
    {"zreport", EJT::ejrt_ZReport},
    {"fiscalreceipt", EJT::ejrt_FiscalReceipt},
    {"nonfiscalreceipt", EJT::ejrt_NonFiscalReceipt},
    {"creditnote", EJT::ejrt_CreditNote},
    {"invoice", EJT::ejrt_Invoice},
}};

using RD = tkEJReportDestination;
constexpr std::array<Word<RD>, 2> kEJReportDestinationWords{{
    {"printer", RD::rd_Printer},
    {"memory", RD::rd_Memory},
}};

using EJF = tkEJFilesRequestType;
constexpr std::array<Word<EJF>, 1> kEJRequestTypeWords{{{"xml", EJF::ej_xml}}};

// ---- typed access ----

[[noreturn]] void FailNode(std::string_view prefix, std::string_view node_name,
                           std::string_view message) {
  throw Exception(msg::Fill(prefix, node_name) + std::string(msg::kLineBreak) +
                  std::string(message));
}

pugi::xml_node FindChild(const pugi::xml_node& parent, std::string_view name) {
  return parent.child(std::string(name).c_str());
}

// The text and CDATA content of an element; an element with child elements has none.
std::string ElementText(const pugi::xml_node& element, std::string_view prefix,
                        std::string_view node_name) {
  std::string text;
  for (const pugi::xml_node& child : element.children()) {
    switch (child.type()) {
      case pugi::node_element:
        FailNode(prefix, node_name, msg::kElementHasChildElements);
      case pugi::node_pcdata:
      case pugi::node_cdata:
        text += child.value();
        break;
      default:
        break;
    }
  }
  return text;
}

bool IsBlank(char c) { return c == ' '; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal number with "." as separator and an optional exponent, blanks around it allowed.
bool TryParseNumber(std::string_view text, double& out) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || !(IsDigit(text.front()) || text.front() == '.')) return false;
  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  out = negative ? -value : value;
  return true;
}

// The same with the host's decimal separator in place of "."; on a host that writes another
// separator a "." is no decimal point.
bool TryParseHostNumber(std::string_view text, double& out) {
  const std::string separator = HostDecimalSeparator();
  if (separator == ".") return TryParseNumber(text, out);
  if (text.find('.') != std::string_view::npos) return false;
  std::string pointed(text);
  const size_t at = pointed.find(separator);
  if (at != std::string::npos) pointed.replace(at, separator.size(), ".");
  return TryParseNumber(pointed, out);
}

}  // namespace

std::string krptUtil::GetNodeValueAsString(const pugi::xml_node& aParentNode,
                                           std::string_view aNodeName) {
  const pugi::xml_node node = FindChild(aParentNode, aNodeName);
  if (!node) return {};
  return ElementText(node, msg::kNodeAsString, aNodeName);
}

std::string krptUtil::GetElementValueAsString(const pugi::xml_node& aElement) {
  return ElementText(aElement, msg::kNodeAsString, aElement.name());
}

int32_t krptUtil::GetNodeValueAsInteger(const pugi::xml_node& aParentNode,
                                        std::string_view aNodeName) {
  const pugi::xml_node node = FindChild(aParentNode, aNodeName);
  if (!node) return 0;
  const std::string text = ElementText(node, msg::kNodeAsInteger, aNodeName);
  if (text.empty()) return 0;
  try {
    return StrToInt(text);
  } catch (const Exception& e) {
    FailNode(msg::kNodeAsInteger, aNodeName, e.what());
  }
}

Currency krptUtil::GetNodeValueAsCurrency(const pugi::xml_node& aParentNode,
                                          std::string_view aNodeName) {
  const pugi::xml_node node = FindChild(aParentNode, aNodeName);
  if (!node) return {};
  const std::string text = ElementText(node, msg::kNodeAsCurrency, aNodeName);
  if (text.empty()) return {};
  Currency value;
  if (!TryParseCurrency(text, value)) {
    FailNode(msg::kNodeAsCurrency, aNodeName, msg::Fill(msg::kInvalidFloat, text));
  }
  return value;
}

DateTime krptUtil::GetNodeValueAsDateTime(const pugi::xml_node& aParentNode,
                                          std::string_view aNodeName) {
  const pugi::xml_node node = FindChild(aParentNode, aNodeName);
  if (!node) return 0;
  const std::string text = ElementText(node, msg::kNodeAsDateTime, aNodeName);
  try {
    return IsoTextToDateTime(text);
  } catch (const Exception& e) {
    FailNode(msg::kNodeAsDateTime, aNodeName, e.what());
  }
}

bool krptUtil::GetNodeValueAsBoolean(const pugi::xml_node& aParentNode, std::string_view aNodeName,
                                     bool aDefaultValue) {
  const pugi::xml_node node = FindChild(aParentNode, aNodeName);
  if (!node) return aDefaultValue;
  const std::string text = ElementText(node, msg::kNodeAsBoolean, aNodeName);
  try {
    return StrToBool(text);
  } catch (const Exception& e) {
    FailNode(msg::kNodeAsBoolean, aNodeName, e.what());
  }
}

bool krptUtil::StrToBool(std::string_view aText) {
  double number = 0;
  if (TryParseHostNumber(aText, number)) return number != 0;
  const std::string lowered = AsciiLower(aText);
  if (lowered == "true") return true;
  if (lowered == "false") return false;
  throw Exception(msg::Fill(msg::kInvalidBoolean, aText));
}

int32_t krptUtil::StrToInt(std::string_view aText) {
  std::string_view digits = aText;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  int64_t magnitude = 0;
  bool valid = !digits.empty();
  for (const char c : digits) {
    if (!IsDigit(c) || magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
      valid = false;
      break;
    }
    magnitude = magnitude * 10 + (c - '0');
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (!valid || value < std::numeric_limits<int32_t>::min() ||
      value > std::numeric_limits<int32_t>::max()) {
    throw Exception(msg::Fill(msg::kInvalidInteger, aText));
  }
  return static_cast<int32_t>(value);
}

// ---- decoders ----

tkReceiptType krptUtil::DecodeReceiptType(std::string_view aText) {
  return DecodeWord(kReceiptTypeWords, aText, msg::kReceiptTypeInvalid);
}

tkReceiptLineType krptUtil::DecodeLineType(std::string_view aText) {
  return DecodeWord(kLineTypeWords, aText, msg::kLineTypeInvalid);
}

tkReceiptPaymentType krptUtil::DecodePaymentType(std::string_view aText) {
  return DecodeWord(kPaymentTypeWords, aText, msg::kPaymentTypeInvalid);
}

tkReceiptTaxType krptUtil::DecodeTaxType(std::string_view aText) {
  return DecodeWord(kTaxTypeWords, aText, msg::kTaxTypeInvalid);
}

tkReceiptReferenceType krptUtil::DecodeReferenceType(std::string_view aText) {
  auto value = RRT::rrt_OriginalReceipt;
  FindWord(kReferenceTypeWords, AsciiLower(aText), value);
  return value;
}

tkReceiptLineAttribute krptUtil::DecodeLineAttribute(std::string_view aText) {
  return AsciiLower(aText) == "product" ? tkReceiptLineAttribute::rla_Product
                                        : tkReceiptLineAttribute::rla_Service;
}

tkReceiptMessageLineAlignment krptUtil::DecodeAlignment(std::string_view aText) {
  return DecodeWord(kAlignmentWords, aText, msg::kAlignmentInvalid);
}

tkReceiptMessageBarcodeType krptUtil::DecodeBarcodeType(std::string_view aText) {
  return DecodeWord(kBarcodeTypeWords, aText, msg::kBarcodeTypeInvalid);
}

tkReceiptMessageLineEffect krptUtil::DecodeEffect(std::string_view aText) {
  return DecodeWord(kEffectWords, aText, msg::kEffectInvalid);
}

tkReceiptMessageImageSource krptUtil::DecodeImageSource(std::string_view aText) {
  return DecodeWord(kImageSourceWords, aText, msg::kImageSourceInvalid);
}

tkEJReportType krptUtil::DecodeEJReportType(std::string_view aText) {
  return DecodeWord(kEJReportTypeWords, aText, msg::kEJReportTypeInvalid);
}

tkEJReportDestination krptUtil::DecodeEJReportDestination(std::string_view aText) {
  return DecodeWord(kEJReportDestinationWords, aText, msg::kEJReportDestinationInvalid);
}

tkEJFilesRequestType krptUtil::DecodeEJRequestType(std::string_view aText) {
  return DecodeWord(kEJRequestTypeWords, aText, msg::kEJRequestTypeInvalid);
}

// ---- encoders ----

std::string krptUtil::EncodeReceiptType(tkReceiptType aValue) {
  return EncodeWord(kReceiptTypeNames, aValue);
}

std::string krptUtil::EncodePaymentType(tkReceiptPaymentType aValue) {
  return EncodeWord(kPaymentTypeWords, aValue);
}

std::string krptUtil::EncodeTaxType(tkReceiptTaxType aValue) {
  return EncodeWord(kTaxTypeNames, aValue);
}

std::string krptUtil::EncodeReferenceType(tkReceiptReferenceType aValue) {
  return EncodeWord(kReferenceTypeNames, aValue);
}

std::string krptUtil::EncodeAlignment(tkReceiptMessageLineAlignment aValue) {
  return EncodeWord(kAlignmentWords, aValue);  // la_none has no word: ""
}

std::string krptUtil::EncodeBarcodeType(tkReceiptMessageBarcodeType aValue) {
  return EncodeWord(kBarcodeTypeWords, aValue);
}

std::string krptUtil::EncodeEffect(tkReceiptMessageLineEffect aValue) {
  return EncodeWord(kEffectWords, aValue);
}

std::string krptUtil::EncodeImageSource(tkReceiptMessageImageSource aValue) {
  return EncodeWord(kImageSourceWords, aValue);
}

tkReceiptMessageLineEffectSet krptUtil::DecodeEffects(std::string_view aEffects) {
  tkReceiptMessageLineEffectSet effects;
  std::string_view rest = aEffects;
  while (true) {
    const size_t comma = rest.find(',');
    const std::string_view piece = rest.substr(0, comma);
    if (piece.empty()) break;
    effects.insert(DecodeEffect(piece));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return effects;
}

std::string krptUtil::EncodeEffects(tkReceiptMessageLineEffectSet aEffects) {
  std::string text;
  for (const auto& word : kEffectWords) {
    if (!aEffects.contains(word.value)) continue;
    if (!text.empty()) text += ',';
    text += word.text;
  }
  return text;
}

// ---- printable text ----

namespace {

constexpr std::array<std::pair<char16_t, char16_t>, 10> kLetterReplacements{{
    {u'\u00C0', u'A'},
    {u'\u00D9', u'U'},
    {u'\u00C8', u'E'},
    {u'\u00C9', u'E'},
    {u'\u00D2', u'O'},
    {u'\u00D6', u'O'},
    {u'\u00C7', u'C'},
    {u'\u00CF', u'I'},
    {u'\u00CC', u'I'},
    {u'\u20AC', u'E'},
}};

std::u16string ReplaceAllUnits(const std::u16string& text, std::u16string_view from,
                               std::u16string_view to) {
  std::u16string result;
  size_t start = 0;
  for (size_t at = text.find(from); at != std::u16string::npos; at = text.find(from, start)) {
    result.append(text, start, at - start);
    result.append(to);
    start = at + from.size();
  }
  result.append(text, start, std::u16string::npos);
  return result;
}

}  // namespace

std::string krptUtil::NormalizeText(std::string_view aText) {
  std::u16string units = Utf8ToUtf16(aText);
  for (const auto& [from, to] : kLetterReplacements) {
    for (char16_t& unit : units) {
      if (unit == from) unit = to;
    }
  }
  units = ReplaceAllUnits(units, u"TOTALE", u"TOT.");
  for (char16_t& unit : units) {
    if (unit < 0x20 || unit > 0x7F) unit = u' ';
  }
  return Utf16ToUtf8(units);
}

}  // namespace nvrp
