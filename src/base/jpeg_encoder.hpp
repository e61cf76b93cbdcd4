#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace nvrp {

// JPEG file of an 8-bit grayscale picture (rows top to bottom, aWidth bytes each), made with the
// encoder's default settings. Throws nvrp::Exception when the picture cannot be encoded.
std::string EncodeGrayJpeg(std::span<const std::uint8_t> aPixels, int aWidth, int aHeight);

}  // namespace nvrp
