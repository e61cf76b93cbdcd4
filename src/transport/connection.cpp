#include "transport/connection.hpp"

#include <array>
#include <utility>

#include "base/nv_exception.hpp"
#include "base/utf.hpp"
#include "transport/transport_messages.hpp"

namespace nvrp {

namespace msg = transport_messages;

namespace {

template <typename Enum, size_t N>
bool FindWord(const std::array<std::pair<std::string_view, Enum>, N>& words, std::string_view text,
              Enum& out) {
  const std::string lowered = AsciiLower(text);
  for (const auto& [word, value] : words) {
    if (word == lowered) {
      out = value;
      return true;
    }
  }
  return false;
}

using CT = tkConnectionType;
constexpr std::array<std::pair<std::string_view, CT>, 7> kConnectionTypeWords{{
    {"opos", CT::OPOS},
    {"tcp", CT::TCP},
    {"http", CT::HTTP},
    {"serial", CT::Serial},
    {"dll", CT::DLL},
    {"com", CT::Com},
    {"spool", CT::Spool},
}};

constexpr std::array<std::pair<std::string_view, tkParity>, 3> kParityWords{{
    {"none", tkParity::None},
    {"even", tkParity::Even},
    {"odd", tkParity::Odd},
}};

using AT = tkHTTPAuthType;
constexpr std::array<std::pair<std::string_view, AT>, 3> kAuthTypeWords{{
    {"none", AT::at_None},
    {"basic", AT::at_Basic},
    {"digest", AT::at_Digest},
}};

}  // namespace

void kConnection::SetConnectTimeOut(int32_t aValue) {
  if (aValue > 0) fConnectTimeout = aValue;
}

void kConnection::SetReadTimeOut(int32_t aValue) {
  if (aValue > 0) fReadTimeout = aValue;
}

tkConnectionType kConnection::ConvertConnectionType(std::string_view aString) {
  tkConnectionType value{};
  if (!FindWord(kConnectionTypeWords, aString, value)) {
    throw Exception(msg::ConnectionTypeNotValid(aString));
  }
  return value;
}

tkParity kConnection::ConvertParity(std::string_view aString) {
  tkParity value{};
  if (!FindWord(kParityWords, aString, value)) {
    throw Exception(msg::ConnectionParityNotValid(aString));
  }
  return value;
}

tkHTTPAuthType kConnection::ConvertAuthType(std::string_view aString) {
  tkHTTPAuthType value = AT::at_None;
  FindWord(kAuthTypeWords, aString, value);
  return value;
}

}  // namespace nvrp
