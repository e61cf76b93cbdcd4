#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp::transport_messages {

// Every exact text of the transport base: conversion errors and the lines of the device log.

inline std::string ConnectionTypeNotValid(std::string_view aText) {
  return "Connection Type " + std::string(aText) + " is not valid";
}

inline std::string ConnectionParityNotValid(std::string_view aText) {
  return "Connection Parity " + std::string(aText) + " is not valid";
}

// Both banners are 61 characters long.
inline constexpr std::string_view kStartBanner =
    "*************************** START ***************************";
inline constexpr std::string_view kStopBanner =
    "*************************** STOP ****************************";
inline constexpr std::string_view kConnectBanner =
    "*************************************************************";

inline std::string ConnectTimeoutLine(int32_t aTimeout) {
  return "ConnectTimeout=" + std::to_string(aTimeout);
}

inline std::string ReadTimeoutLine(int32_t aTimeout) {
  return "ReadTimeout=" + std::to_string(aTimeout);
}

inline std::string SetReadTimeoutLine(int32_t aNewTimeout, int32_t aCurrentTimeout) {
  return "Set Read Timeout to " + std::to_string(aNewTimeout) + "ms from " +
         std::to_string(aCurrentTimeout) + " ms";
}

inline std::string ResetTimeoutLine(int32_t aSavedTimeout) {
  return "Reset Timeout to " + std::to_string(aSavedTimeout) + " ms";
}

// Between title and message of a logged exchange, and around the hexadecimal dump.
inline constexpr std::string_view kTitleSeparator = ":";
inline constexpr std::string_view kHexDumpOpen = " [";
inline constexpr std::string_view kHexDumpClose = "]";

// A read that waits for one of several characters names them, separated by ",".
inline constexpr std::string_view kWaitingForTitle = "Waiting for:";
inline constexpr char kListSeparator = ',';

}  // namespace nvrp::transport_messages
