#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nvrp {

// An 8-bit grayscale picture (0 black, 255 white), white when made. Rows run top to bottom.
class GrayCanvas {
 public:
  // Throws nvrp::Exception when the size is not positive or too large to hold.
  GrayCanvas(std::int64_t aWidth, std::int64_t aHeight);

  int Width() const { return fWidth; }
  int Height() const { return fHeight; }
  const std::vector<std::uint8_t>& Pixels() const { return fPixels; }
  std::uint8_t Pixel(int aX, int aY) const;

  // Covers the pixel with black ink of the given coverage (0 none, 255 full); pixels outside
  // the picture are ignored.
  void Ink(int aX, int aY, std::uint8_t aCoverage);

 private:
  int fWidth;
  int fHeight;
  std::vector<std::uint8_t> fPixels;
};

// A monospaced font found through the system's font configuration, drawn with anti-aliasing.
// Characters the font lacks are drawn as its missing-glyph shape.
class MonospacedFont {
 public:
  // The best match for the family at that size and resolution. Throws nvrp::Exception when
  // that match is not monospaced or cannot be loaded.
  MonospacedFont(std::string_view aFamily, double aPoints, double aDotsPerInch);
  ~MonospacedFont();
  MonospacedFont(const MonospacedFont&) = delete;
  MonospacedFont& operator=(const MonospacedFont&) = delete;

  // File of the matched font.
  const std::string& FileName() const;

  // Height of a line of text in pixels: ascent plus descent, whatever the characters.
  int TextHeight() const;

  // Width of the UTF-8 text in pixels: the sum of its characters' advances.
  std::int64_t TextWidth(std::string_view aText) const;

  // Draws the UTF-8 text in black with the top of its line at (aX, aY).
  void DrawText(GrayCanvas& aCanvas, int aX, int aY, std::string_view aText) const;

 private:
  struct Engine;
  std::unique_ptr<Engine> fEngine;
};

}  // namespace nvrp
