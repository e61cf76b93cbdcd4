#include "device/receipt_picture.hpp"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/base64.hpp"
#include "base/jpeg_encoder.hpp"
#include "base/text_raster.hpp"
#include "base/text_utils.hpp"

namespace nvrp {

namespace {

constexpr std::string_view kFontFamily = "Courier";
constexpr double kFontPoints = 10.0;
constexpr double kDotsPerInch = 96.0;

// Line pitch is the text height times 1.3, truncated to whole pixels.
constexpr int kPitchTenths = 13;
// Lines start two pitches down; the picture holds three pitches more than the lines.
constexpr int kFirstLineRow = 2;
constexpr int kExtraRows = 3;
// Left margin of every line; the picture is the widest line plus twice that.
constexpr int kLeftMargin = 10;
constexpr std::int64_t kWidthMargin = 20;

}  // namespace

std::string ReceiptTextToJpegBase64(const std::string& aText) {
  if (aText.empty()) {
    return {};
  }
  const std::vector<std::string> lines = SplitLines(aText);
  const MonospacedFont font(kFontFamily, kFontPoints, kDotsPerInch);
  const std::int64_t pitch = std::int64_t{font.TextHeight()} * kPitchTenths / 10;

  std::int64_t width = 0;
  for (const std::string_view line : lines) {
    width = std::max(width, font.TextWidth(line) + kWidthMargin);
  }
  const auto lineCount = static_cast<std::int64_t>(lines.size());
  GrayCanvas canvas(width, pitch * (lineCount + kExtraRows));
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::int64_t top = pitch * (static_cast<std::int64_t>(i) + kFirstLineRow);
    font.DrawText(canvas, kLeftMargin, static_cast<int>(top), lines[i]);
  }
  return Base64Encode(EncodeGrayJpeg(canvas.Pixels(), canvas.Width(), canvas.Height()));
}

}  // namespace nvrp
