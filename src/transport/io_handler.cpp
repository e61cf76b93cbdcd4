#include "transport/io_handler.hpp"

#include <algorithm>
#include <array>
#include <utility>

#include "base/log_writer.hpp"
#include "base/utf.hpp"
#include "transport/transport_messages.hpp"

namespace nvrp {

namespace msg = transport_messages;

kIOHandler::kIOHandler(const kConnection* aConnection, std::string_view aDirectory,
                       std::string_view aFileName) {
  if (aConnection != nullptr) {
    fReadTimeout = aConnection->ReadTimeOut();
    fConnectTimeout = aConnection->ConnectTimeOut();
  }
  if (!aDirectory.empty() && !aFileName.empty()) {
    constexpr int32_t kNoMessageLimit = 0;
    fLogger = std::make_unique<tNV_LogWriter>(std::string(aFileName), std::string(aDirectory),
                                              kNoMessageLimit, true);
    Debug(tNV_MessageType::let_info, std::string(msg::kStartBanner));
  }
}

kIOHandler::~kIOHandler() {
  Debug(tNV_MessageType::let_info, std::string(msg::kStopBanner));
  fLogger.reset();
}

bool kIOHandler::Connect() {
  Debug(tNV_MessageType::let_info, std::string(msg::kConnectBanner));
  Debug(tNV_MessageType::let_info, ClassName());
  Debug(tNV_MessageType::let_info, fVersion);
  Debug(tNV_MessageType::let_info, msg::ConnectTimeoutLine(fConnectTimeout));
  Debug(tNV_MessageType::let_info, msg::ReadTimeoutLine(fReadTimeout));
  return true;
}

void kIOHandler::Debug(tNV_MessageType aEntryType, const std::string& aMessage) {
  if (fLogger) fLogger->Write(aEntryType, aMessage);
}

void kIOHandler::WriteLog(tNV_MessageType aEntryType, const std::string& aTitle,
                          const std::string& aMessage) {
  if (!fLogger) return;
  if (!fHexLog) {
    const std::array<std::string_view, 3> parts = {aTitle, msg::kTitleSeparator, aMessage};
    fLogger->Write(aEntryType, parts);
    return;
  }
  const std::string dump = HexDump(aMessage);
  const std::array<std::string_view, 6> parts = {
      aTitle, msg::kTitleSeparator, aMessage, msg::kHexDumpOpen, dump, msg::kHexDumpClose};
  fLogger->Write(aEntryType, parts);
}

std::string kIOHandler::GetLogFileName() const { return fLogger ? fLogger->FileName() : ""; }

void kIOHandler::SetCustomError(int32_t aErrorCode, const std::string& aErrorMessage) {
  fErrorFound = true;
  fErrorCode = aErrorCode;
  fErrorMessage = aErrorMessage;
}

void kIOHandler::ResetCustomError() {
  fErrorFound = false;
  fErrorCode = 0;
  fErrorMessage.clear();
}

void kIOHandler::SetTemporaryReadTimeout(int32_t aNewTimeout) {
  Debug(tNV_MessageType::let_info, msg::SetReadTimeoutLine(aNewTimeout, fReadTimeout));
  if (aNewTimeout > 0) {
    fTemporaryReadTimeout = fReadTimeout;
    fReadTimeout = aNewTimeout;
  }
}

void kIOHandler::ResetTemporaryReadTimeout() {
  Debug(tNV_MessageType::let_info, msg::ResetTimeoutLine(fTemporaryReadTimeout));
  if (fTemporaryReadTimeout != 0) fReadTimeout = fTemporaryReadTimeout;
}

std::string kIOHandler::WaitingForLine(const std::vector<uint8_t>& aChars) const {
  std::string list;
  std::string characters;
  for (const uint8_t code : aChars) {
    const std::string character = Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(code)));
    if (!list.empty()) list += msg::kListSeparator;
    list += character;
    characters += character;
  }
  std::string line = std::string(msg::kWaitingForTitle) + list;
  if (fHexLog) {
    std::string codes = HexDump(characters);
    std::replace(codes.begin(), codes.end(), ' ', msg::kListSeparator);
    line += std::string(msg::kHexDumpOpen) + codes + std::string(msg::kHexDumpClose);
  }
  return line;
}

std::string kIOHandler::HexDump(std::string_view aText) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string dump;
  dump.reserve(aText.size() * 3);
  const auto append_unit = [&dump](char16_t aUnit) {
    if (!dump.empty()) dump += ' ';
    // At least two digits: leading zeros only below 0x10.
    if (aUnit >= 0x1000) dump += kDigits[(aUnit >> 12) & 0xF];
    if (aUnit >= 0x100) dump += kDigits[(aUnit >> 8) & 0xF];
    dump += kDigits[(aUnit >> 4) & 0xF];
    dump += kDigits[aUnit & 0xF];
  };
  for (size_t pos = 0; pos < aText.size();) {
    const Utf8Char c = DecodeUtf8Char(aText, pos);
    pos += c.length;
    if (c.code >= 0x10000) {
      const char32_t offset = c.code - 0x10000;
      append_unit(static_cast<char16_t>(0xD800 + (offset >> 10)));
      append_unit(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    } else {
      append_unit(static_cast<char16_t>(c.code));
    }
  }
  return dump;
}

}  // namespace nvrp
