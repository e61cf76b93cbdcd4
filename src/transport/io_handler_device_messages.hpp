#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp::io_handler_device_messages {

// Exact texts of the OPOS, plug-in library, COM and spooler transports.

inline constexpr std::string_view kOPOSClassName = "kIOHandler_OPOS";
inline constexpr std::string_view kDllClassName = "kIOHandler_Dll";
inline constexpr std::string_view kComClassName = "kIOHandler_Com";
inline constexpr std::string_view kSpoolClassName = "kIOHandler_Spool";

inline constexpr std::string_view kWriteUnsupported = "Write Unsupported";
inline constexpr std::string_view kReadUpToUnsupported = "ReadUpto Unsupported";
inline constexpr std::string_view kReadCharsUnsupported = "ReadChars Unsupported";
inline constexpr std::string_view kReadAllUnsupported = "ReadAll Unsupported";
inline constexpr std::string_view kInputBufferUnsupported = "InputBufferContainsData Unsupported";

// OPOS result codes and their standard names.
inline constexpr int32_t kOposSuccess = 0;
inline constexpr int32_t kOposClosed = 101;
inline constexpr int32_t kOposNoService = 104;
inline constexpr int32_t kOposExtended = 114;
inline constexpr std::string_view kOposUnavailable =
    "No OPOS fiscal printer control (OPOS.FiscalPrinter) is available on this system";

// The OPOS control reached over COM automation (Windows).
inline constexpr std::string_view kOposProgId = "OPOS.FiscalPrinter";
inline std::string HResultText(int32_t aResult) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) {
    text += kHex[(static_cast<uint32_t>(aResult) >> shift) & 0xF];
  }
  return text;
}
inline std::string OposComNotInitialised(int32_t aResult) {
  return "COM could not be initialised for the OPOS control " + std::string(kOposProgId) +
         " (HRESULT " + HResultText(aResult) + ")";
}
inline std::string OposNotRegistered(int32_t aResult) {
  return "The OPOS control " + std::string(kOposProgId) + " is not registered (HRESULT " +
         HResultText(aResult) + ")";
}
inline std::string OposNotCreated(int32_t aResult) {
  return "The OPOS control " + std::string(kOposProgId) + " could not be created (HRESULT " +
         HResultText(aResult) + ")";
}
inline std::string OposCallFailed(std::string_view aMember, int32_t aResult,
                                  std::string_view aDescription) {
  std::string text = std::string(kOposProgId) + "." + std::string(aMember) + " failed (HRESULT " +
                     HResultText(aResult) + ")";
  if (!aDescription.empty()) text += ": " + std::string(aDescription);
  return text;
}

inline constexpr int32_t kFirstResultName = 101;
inline constexpr std::string_view kResultNames[] = {
    "OPOS_E_CLOSED",   "OPOS_E_CLAIMED",  "OPOS_E_NOTCLAIMED", "OPOS_E_NOSERVICE",
    "OPOS_E_DISABLED", "OPOS_E_ILLEGAL",  "OPOS_E_NOHARDWARE", "OPOS_E_OFFLINE",
    "OPOS_E_NOEXIST",  "OPOS_E_EXISTS",   "OPOS_E_FAILURE",    "OPOS_E_TIMEOUT",
    "OPOS_E_BUSY",     "OPOS_E_EXTENDED", "OPOS_E_DEPRECATED"};
inline constexpr int32_t kFirstExtendedName = 201;
inline constexpr std::string_view kExtendedNames[] = {"OPOS_EFPTR_COVER_OPEN",
                                                      "OPOS_EFPTR_JRN_EMPTY",
                                                      "OPOS_EFPTR_REC_EMPTY",
                                                      "OPOS_EFPTR_SLP_EMPTY",
                                                      "OPOS_EFPTR_SLP_FORM",
                                                      "OPOS_EFPTR_MISSING_DEVICES",
                                                      "OPOS_EFPTR_WRONG_STATE",
                                                      "OPOS_EFPTR_TECHNICAL_ASSISTANCE",
                                                      "OPOS_EFPTR_CLOCK_ERROR",
                                                      "OPOS_EFPTR_FISCAL_MEMORY_FULL",
                                                      "OPOS_EFPTR_FISCAL_MEMORY_DISCONNECTED",
                                                      "OPOS_EFPTR_FISCAL_TOTALS_ERROR",
                                                      "OPOS_EFPTR_BAD_ITEM_QUANTITY",
                                                      "OPOS_EFPTR_BAD_ITEM_AMOUNT",
                                                      "OPOS_EFPTR_BAD_ITEM_DESCRIPTION",
                                                      "OPOS_EFPTR_RECEIPT_TOTAL_OVERFLOW",
                                                      "OPOS_EFPTR_BAD_VAT",
                                                      "OPOS_EFPTR_BAD_PRICE",
                                                      "OPOS_EFPTR_BAD_DATE",
                                                      "OPOS_EFPTR_NEGATIVE_TOTAL",
                                                      "OPOS_EFPTR_WORD_NOT_ALLOWED",
                                                      "OPOS_EFPTR_BAD_LENGTH",
                                                      "OPOS_EFPTR_MISSING_SET_CURRENCY",
                                                      "OPOS_EFPTR_DAY_END_REQUIRED"};
inline constexpr std::string_view kUnknownName = "UNKNOWN";

inline std::string NotAnOposDate(std::string_view aText) {
  return "The date the control gave, '" + std::string(aText) + "', is not a date (ddmmyyyyhhnn)";
}
inline std::string DeviceNameLine(std::string_view aName) {
  return "DeviceName=" + std::string(aName);
}
inline std::string QuantityOutOfRange(double aQuantity) {
  return "Quantity " + std::to_string(aQuantity) + " is out of range";
}

// Plug-in library.
inline constexpr std::string_view kDllCreateTitle = "kIOHandler_Dll.Create";
inline constexpr std::string_view kDllDestroyTitle = "kIOHandler_Dll.Destroy";
inline std::string LoadingDll(std::string_view aName) {
  return "Loading DLL " + std::string(aName);
}
inline constexpr std::string_view kDllLoaded = "DLL Loaded successfully";
inline constexpr std::string_view kUnloadingDll = "Unloading DLL";
inline constexpr std::string_view kDllUnloaded = "DLL Unloaded Successfully";
inline std::string UnableToLoadLibrary(std::string_view aName, std::string_view aSystemText,
                                       int32_t aCode) {
  return "Unable to Load Library " + std::string(aName) + ". " + std::string(aSystemText) + " [" +
         std::to_string(aCode) + "]";
}
// Without a name the system would hand out the host program itself.
inline constexpr std::string_view kNoLibraryName = "No library name was given.";
inline std::string UnableToGetAddress(std::string_view aProcName) {
  return "Unable to get address for procedure " + std::string(aProcName);
}

// Spooler.
inline constexpr std::string_view kRawDocumentName = "Vela Receipt";
inline constexpr std::string_view kBitmapJobTitle = "Kassimo Spool Output";
inline std::string PrinterNotFound(std::string_view aName) {
  return "kIOHandler_Spool.WriteNormal: Printer " + std::string(aName) + " not found";
}
inline constexpr std::string_view kNoBitmap = "kIOHandler_Spool.WriteNormal: No bitmap to print";

}  // namespace nvrp::io_handler_device_messages
