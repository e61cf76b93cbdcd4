#pragma once

#include <string>

namespace nvrp {

// Picture of a receipt's UTF-8 text as a JPEG file in standard Base64 (padded, one line): the
// text's lines in a monospaced "Courier" of 10 points at 96 dots per inch, black on white.
// Empty text gives an empty result. Throws nvrp::Exception when no picture can be made (no
// monospaced font, a picture too large for JPEG).
std::string ReceiptTextToJpegBase64(const std::string& aText);

}  // namespace nvrp
