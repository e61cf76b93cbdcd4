#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace nvrp::testing {

// A JPEG picture decoded to 8-bit grayscale (0 black, 255 white).
struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> gray;  // one byte a pixel, rows top to bottom

  std::uint8_t At(int aX, int aY) const;
  // Darkest pixel of the rectangle [x0, x1) x [y0, y1).
  int Darkest(int aX0, int aY0, int aX1, int aY1) const;
};

// Decodes the bytes of a JPEG file into aPicture as grayscale; false when they are not one.
bool DecodeJpeg(std::string_view aFile, DecodedPicture& aPicture);

}  // namespace nvrp::testing
