#include "support/jpeg_decoder.hpp"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace nvrp::testing {

namespace {

struct DecodeErrors {
  jpeg_error_mgr manager;
  std::jmp_buf returnPoint;
};

[[noreturn]] void JumpBack(j_common_ptr aInfo) {
  std::longjmp(reinterpret_cast<DecodeErrors*>(aInfo->err)->returnPoint, 1);
}

}  // namespace

std::uint8_t DecodedPicture::At(int aX, int aY) const {
  return gray[static_cast<size_t>(aY) * static_cast<size_t>(width) + static_cast<size_t>(aX)];
}

int DecodedPicture::Darkest(int aX0, int aY0, int aX1, int aY1) const {
  int darkest = 255;
  for (int y = aY0; y < aY1; ++y) {
    for (int x = aX0; x < aX1; ++x) darkest = std::min(darkest, int{At(x, y)});
  }
  return darkest;
}

// No C++ objects are created between setjmp and the jump.
bool DecodeJpeg(std::string_view aFile, DecodedPicture& aPicture) {
  jpeg_decompress_struct info{};
  DecodeErrors errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  if (setjmp(errors.returnPoint) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(aFile.data()),
               static_cast<unsigned long>(aFile.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_GRAYSCALE;
  jpeg_start_decompress(&info);
  aPicture.width = static_cast<int>(info.output_width);
  aPicture.height = static_cast<int>(info.output_height);
  aPicture.gray.resize(static_cast<size_t>(aPicture.width) * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = aPicture.gray.data() +
                   static_cast<size_t>(info.output_scanline) * static_cast<size_t>(aPicture.width);
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace nvrp::testing
