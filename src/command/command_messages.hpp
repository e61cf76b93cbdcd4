#pragma once

#include <string>
#include <string_view>

namespace nvrp::command_messages {

// Errors of the device lookup.
inline constexpr std::string_view kPrinterHandleNotFound = "Printer Handle not found";
inline constexpr std::string_view kPrinterNotOpened = "Fiscal Printer has not previously opened";
inline std::string DriverNotRegistered(std::string_view aDriver) {
  return "Fiscal Printer Driver [" + std::string(aDriver) + "] not registered.";
}

// Errors of the command interface's own state.
inline constexpr std::string_view kNoHandleLeft = "No device handle left";
inline constexpr std::string_view kTablesNotCreated = "Device table not created";
inline constexpr std::string_view kNoDeviceCreated = "Device class created no device";

// Device log line that ends every command on a device: its result.
inline std::string ResultLine(bool aError, std::string_view aErrorText) {
  return aError ? "Result: Error=True, ErrorText=" + std::string(aErrorText)
                : std::string("Result: Error=False");
}

// Message of a thrown value that is not a standard exception.
inline constexpr std::string_view kUnknownError = "Unknown error";

// Boolean texts of the result fragments.
inline constexpr std::string_view kTrueText = "True";
inline constexpr std::string_view kFalseText = "False";

// Payment network texts, in the ordinal order of tkPaymentNetwork.
inline constexpr std::string_view kPaymentNetworkTexts[] = {
    "bank",      "cheque",  "visa",      "amex",     "mastercard", "jcb",        "cup",
    "diners",    "maestro", "NHS",       "edenred",  "day",        "sodexo",     "pellegrini",
    "bluticket", "jakala",  "miglunch",  "alipay",   "discover",   "doku",       "dragonpay",
    "molpay",    "vpay",    "amazonpay", "applepay", "samsungpay", "paypal",     "yandex",
    "quiticket", "repas",   "ristomat",  "agape",    "lunchtime",  "quiwelfare", "ep",
    "cir",       "gemeaz",  "satispay",  "jiffy",    "bitcoin",    "tinaba",     "scalapay",
    "other"};
inline constexpr std::string_view kUnrecognizedPaymentNetwork = "unrecognized";

// Transaction type texts, in the ordinal order of tkPaymentTransactionType (RFID has none).
inline constexpr std::string_view kTransactionTypeTexts[] = {
    "CHIP", "MAGSTRIPE", "MANUAL", "CLESS", "CLESSMAGSTRIPE", "CLESSCHIP", "", "OTHER"};

}  // namespace nvrp::command_messages
