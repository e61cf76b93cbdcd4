#include "command/result_text.hpp"

#include <iterator>

#include "base/host_number_format.hpp"
#include "base/text_utils.hpp"
#include "command/command_messages.hpp"

namespace nvrp {

namespace {

std::string_view EntityOf(char aChar) {
  switch (aChar) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&apos;";
    default:
      return {};
  }
}

template <typename Enum, size_t N>
std::string_view TextOf(const std::string_view (&aTexts)[N], Enum aValue,
                        std::string_view aOutside) {
  const auto ordinal = static_cast<size_t>(aValue);
  return ordinal < N ? aTexts[ordinal] : aOutside;
}

static_assert(std::size(command_messages::kPaymentNetworkTexts) ==
              static_cast<size_t>(tkPaymentNetwork::Other) + 1);
static_assert(std::size(command_messages::kTransactionTypeTexts) ==
              static_cast<size_t>(tkPaymentTransactionType::ptt_Other) + 1);

}  // namespace

std::string EscapeXml(std::string_view aText) {
  // One pass replacing each special character gives the same text as the chained
  // replacements starting with the ampersand.
  std::string result;
  result.reserve(aText.size());
  for (const char c : aText) {
    const std::string_view entity = EntityOf(c);
    if (entity.empty()) {
      result += c;
    } else {
      result += entity;
    }
  }
  return result;
}

std::string_view BooleanText(bool aValue) {
  return aValue ? command_messages::kTrueText : command_messages::kFalseText;
}

std::string RegionalCurrencyText(Currency aAmount) {
  std::string text = CurrencyToText(aAmount);
  const size_t point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, HostDecimalSeparator());
  return text;
}

std::string_view PaymentNetworkText(tkPaymentNetwork aNetwork) {
  return TextOf(command_messages::kPaymentNetworkTexts, aNetwork,
                command_messages::kUnrecognizedPaymentNetwork);
}

std::string_view TransactionTypeText(tkPaymentTransactionType aType) {
  return TextOf(command_messages::kTransactionTypeTexts, aType, std::string_view());
}

}  // namespace nvrp
