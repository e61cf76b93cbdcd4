#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

// Exact texts raised by the text raster, the JPEG encoder and the Base64 codec.
inline constexpr std::string_view kMsgFontConfigUnavailable = "Font configuration is not available";
inline constexpr std::string_view kMsgFontEngineUnavailable = "Font engine could not be started";
inline constexpr std::string_view kMsgBase64Invalid = "Invalid Base64 text";

inline std::string MsgNoMonospacedFont(std::string_view aFamily) {
  return "No monospaced font matches " + std::string(aFamily);
}

inline std::string MsgFontNotLoaded(std::string_view aFileName) {
  return "Font file could not be loaded: " + std::string(aFileName);
}

inline std::string MsgPictureTooLarge(std::int64_t aWidth, std::int64_t aHeight) {
  return "Picture of " + std::to_string(aWidth) + " x " + std::to_string(aHeight) +
         " pixels cannot be made";
}

inline std::string MsgJpegEncodingFailed(std::string_view aDetail) {
  return "JPEG encoding failed: " + std::string(aDetail);
}

}  // namespace nvrp
