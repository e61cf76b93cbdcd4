#include "base/text_raster.hpp"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

#include "base/nv_exception.hpp"
#include "base/picture_messages.hpp"
#include "base/utf.hpp"

namespace nvrp {

namespace {

// 26.6 fixed point (FreeType's pixel unit) rounded to whole pixels.
std::int64_t RoundedPixels(FT_Pos aValue) { return (static_cast<std::int64_t>(aValue) + 32) >> 6; }

// Code points of UTF-8 text; invalid bytes read as U+FFFD.
std::vector<char32_t> CodePointsOf(std::string_view aText) {
  const std::u16string units = Utf8ToUtf16(aText);
  std::vector<char32_t> points;
  points.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    const bool pairs = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() &&
                       units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
    if (pairs) {
      points.push_back(0x10000 + ((unit - 0xD800) << 10) + (char32_t{units[i + 1]} - 0xDC00));
      ++i;
    } else {
      points.push_back(unit);
    }
  }
  return points;
}

struct FontMatch {
  std::string fFile;
  int fIndex = 0;
  bool fSpacingIsMono = false;
};

struct PatternDeleter {
  void operator()(FcPattern* aPattern) const { FcPatternDestroy(aPattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

struct ConfigDeleter {
  void operator()(FcConfig* aConfig) const { FcConfigDestroy(aConfig); }
};

// The font configuration, loaded on first use and kept for the process. It is this module's
// own, not the process's current one, so that it is released at exit like any other object.
FcConfig* FontConfiguration() {
  static const std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
  if (!config) {
    throw Exception(std::string(kMsgFontConfigUnavailable));
  }
  return config.get();
}

FontMatch MatchFont(std::string_view aFamily, double aPoints, double aDotsPerInch) {
  FcConfig* const config = FontConfiguration();
  PatternPtr pattern(FcPatternCreate());
  if (!pattern) {
    throw Exception(std::string(kMsgFontConfigUnavailable));
  }
  const std::string family(aFamily);
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddDouble(pattern.get(), FC_SIZE, aPoints);
  FcPatternAddDouble(pattern.get(), FC_DPI, aDotsPerInch);
  if (FcConfigSubstitute(config, pattern.get(), FcMatchPattern) == FcFalse) {
    throw Exception(std::string(kMsgFontConfigUnavailable));
  }
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  PatternPtr match(FcFontMatch(config, pattern.get(), &result));
  FcChar8* file = nullptr;
  if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
    throw Exception(MsgNoMonospacedFont(aFamily));
  }
  FontMatch found;
  found.fFile = reinterpret_cast<const char*>(file);
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.fIndex);
  int spacing = FC_PROPORTIONAL;
  if (FcPatternGetInteger(match.get(), FC_SPACING, 0, &spacing) == FcResultMatch) {
    found.fSpacingIsMono = spacing == FC_MONO || spacing == FC_CHARCELL;
  }
  return found;
}

}  // namespace

struct MonospacedFont::Engine {
  FT_Library fLibrary = nullptr;
  FT_Face fFace = nullptr;
  std::string fFile;
  int fAscent = 0;
  int fDescent = 0;

  ~Engine() {
    if (fFace != nullptr) {
      FT_Done_Face(fFace);
    }
    if (fLibrary != nullptr) {
      FT_Done_FreeType(fLibrary);
    }
  }

  // Loads the character's glyph (the missing-glyph shape when the font lacks it). Returns false
  // when the font cannot give that glyph at all.
  bool LoadGlyph(char32_t aCodePoint) const {
    return FT_Load_Glyph(fFace, FT_Get_Char_Index(fFace, aCodePoint), FT_LOAD_DEFAULT) == 0;
  }

  std::int64_t Advance(char32_t aCodePoint) const {
    return LoadGlyph(aCodePoint) ? RoundedPixels(fFace->glyph->advance.x) : 0;
  }

  // True when every printable ASCII character the font has advances the same distance.
  bool AsciiAdvancesEqual() const {
    std::int64_t common = -1;
    for (char32_t c = 0x20; c < 0x7F; ++c) {
      if (FT_Get_Char_Index(fFace, c) == 0) {
        continue;
      }
      const std::int64_t advance = Advance(c);
      if (common >= 0 && advance != common) {
        return false;
      }
      common = advance;
    }
    return common > 0;
  }

  void InkBitmap(GrayCanvas& aCanvas, int aLeft, int aTop) const {
    const FT_Bitmap& bitmap = fFace->glyph->bitmap;
    if (bitmap.pitch <= 0) {
      return;
    }
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      const unsigned char* line =
          bitmap.buffer + static_cast<size_t>(row) * static_cast<size_t>(bitmap.pitch);
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const std::uint8_t coverage = CoverageAt(bitmap, line, column);
        if (coverage != 0) {
          aCanvas.Ink(aLeft + static_cast<int>(column), aTop + static_cast<int>(row), coverage);
        }
      }
    }
  }

  static std::uint8_t CoverageAt(const FT_Bitmap& aBitmap, const unsigned char* aLine,
                                 unsigned aColumn) {
    if (aBitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
      return aLine[aColumn];
    }
    if (aBitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
      return (aLine[aColumn / 8] & (0x80U >> (aColumn % 8))) != 0 ? 255 : 0;
    }
    return 0;
  }
};

MonospacedFont::MonospacedFont(std::string_view aFamily, double aPoints, double aDotsPerInch)
    : fEngine(std::make_unique<Engine>()) {
  const FontMatch match = MatchFont(aFamily, aPoints, aDotsPerInch);
  fEngine->fFile = match.fFile;
  if (FT_Init_FreeType(&fEngine->fLibrary) != 0) {
    fEngine->fLibrary = nullptr;
    throw Exception(std::string(kMsgFontEngineUnavailable));
  }
  if (FT_New_Face(fEngine->fLibrary, match.fFile.c_str(), match.fIndex, &fEngine->fFace) != 0) {
    fEngine->fFace = nullptr;
    throw Exception(MsgFontNotLoaded(match.fFile));
  }
  const auto size = static_cast<FT_F26Dot6>(std::lround(aPoints * 64.0));
  const auto resolution = static_cast<FT_UInt>(std::lround(aDotsPerInch));
  if (FT_Set_Char_Size(fEngine->fFace, 0, size, resolution, resolution) != 0) {
    throw Exception(MsgFontNotLoaded(match.fFile));
  }
  if (!match.fSpacingIsMono && !fEngine->AsciiAdvancesEqual()) {
    throw Exception(MsgNoMonospacedFont(aFamily));
  }
  const FT_Size_Metrics& metrics = fEngine->fFace->size->metrics;
  fEngine->fAscent = static_cast<int>(RoundedPixels(metrics.ascender));
  fEngine->fDescent = static_cast<int>(-RoundedPixels(metrics.descender));
}

MonospacedFont::~MonospacedFont() = default;

const std::string& MonospacedFont::FileName() const { return fEngine->fFile; }

int MonospacedFont::TextHeight() const { return fEngine->fAscent + fEngine->fDescent; }

std::int64_t MonospacedFont::TextWidth(std::string_view aText) const {
  std::int64_t width = 0;
  for (const char32_t point : CodePointsOf(aText)) {
    width += fEngine->Advance(point);
  }
  return width;
}

void MonospacedFont::DrawText(GrayCanvas& aCanvas, int aX, int aY, std::string_view aText) const {
  const std::int64_t baseline = std::int64_t{aY} + fEngine->fAscent;
  std::int64_t pen = aX;
  for (const char32_t point : CodePointsOf(aText)) {
    if (pen >= aCanvas.Width()) {
      return;
    }
    if (!fEngine->LoadGlyph(point)) {
      continue;
    }
    const FT_GlyphSlot slot = fEngine->fFace->glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
      fEngine->InkBitmap(aCanvas, static_cast<int>(pen + slot->bitmap_left),
                         static_cast<int>(baseline - slot->bitmap_top));
    }
    pen += RoundedPixels(slot->advance.x);
  }
}

}  // namespace nvrp
