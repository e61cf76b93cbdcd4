#include "base/text_raster.hpp"

#include "base/nv_exception.hpp"
#include "base/picture_messages.hpp"

namespace nvrp {

namespace {

// Largest picture made: each side within what JPEG can hold, and at most 128 MiB of pixels.
constexpr std::int64_t kMaxPictureSide = 65500;
constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 27;

constexpr int kWhite = 255;

}  // namespace

GrayCanvas::GrayCanvas(std::int64_t aWidth, std::int64_t aHeight) : fWidth(0), fHeight(0) {
  const bool fits = aWidth > 0 && aHeight > 0 && aWidth <= kMaxPictureSide &&
                    aHeight <= kMaxPictureSide && aWidth * aHeight <= kMaxPicturePixels;
  if (!fits) {
    throw Exception(MsgPictureTooLarge(aWidth, aHeight));
  }
  fWidth = static_cast<int>(aWidth);
  fHeight = static_cast<int>(aHeight);
  fPixels.assign(static_cast<size_t>(aWidth * aHeight), kWhite);
}

std::uint8_t GrayCanvas::Pixel(int aX, int aY) const {
  return fPixels[static_cast<size_t>(aY) * static_cast<size_t>(fWidth) + static_cast<size_t>(aX)];
}

void GrayCanvas::Ink(int aX, int aY, std::uint8_t aCoverage) {
  if (aX < 0 || aY < 0 || aX >= fWidth || aY >= fHeight) {
    return;
  }
  std::uint8_t& pixel =
      fPixels[static_cast<size_t>(aY) * static_cast<size_t>(fWidth) + static_cast<size_t>(aX)];
  pixel = static_cast<std::uint8_t>(pixel * (kWhite - aCoverage) / kWhite);
}

}  // namespace nvrp
