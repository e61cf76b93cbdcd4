#include "base/jpeg_encoder.hpp"

// libjpeg's header needs the standard C declarations first.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

#include "base/nv_exception.hpp"
#include "base/picture_messages.hpp"

namespace nvrp {

namespace {

// libjpeg reports errors through a callback that must not return: it jumps back to the
// encoding function, which then reports the text. Only C frames are skipped by the jump.
struct JumpingErrorManager {
  jpeg_error_mgr fPublic;
  std::jmp_buf fReturnPoint;
  char fMessage[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOnError(j_common_ptr aInfo) {
  auto* manager = reinterpret_cast<JumpingErrorManager*>(aInfo->err);
  (*aInfo->err->format_message)(aInfo, manager->fMessage);
  std::longjmp(manager->fReturnPoint, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Destination that collects the file in a buffer grown with realloc; the buffer always stays
// owned here, also when encoding stops half-way.
struct GrowingDestination {
  jpeg_destination_mgr fPublic;
  unsigned char* fData;
  size_t fCapacity;
};

constexpr size_t kFirstCapacity = 16384;

GrowingDestination& DestinationOf(j_compress_ptr aInfo) {
  return *reinterpret_cast<GrowingDestination*>(aInfo->dest);
}

// Called when the buffer is full (or, at the start, empty): doubles it.
boolean GrowDestination(j_compress_ptr aInfo) {
  GrowingDestination& destination = DestinationOf(aInfo);
  const size_t used = destination.fCapacity;
  const size_t capacity = used == 0 ? kFirstCapacity : used * 2;
  void* grown = std::realloc(destination.fData, capacity);
  if (grown == nullptr) {
    aInfo->err->msg_code = JERR_OUT_OF_MEMORY;
    (*aInfo->err->error_exit)(reinterpret_cast<j_common_ptr>(aInfo));
  }
  destination.fData = static_cast<unsigned char*>(grown);
  destination.fCapacity = capacity;
  destination.fPublic.next_output_byte = destination.fData + used;
  destination.fPublic.free_in_buffer = capacity - used;
  return TRUE;
}

void StartDestination(j_compress_ptr aInfo) { GrowDestination(aInfo); }

void FinishDestination(j_compress_ptr) {}

// Encodes into aDestination. Holds no C++ objects, so that the error jump skips no destructor.
// Returns false with aManager.fMessage set on failure.
bool EncodeToDestination(const std::uint8_t* aPixels, int aWidth, int aHeight,
                         JumpingErrorManager& aManager, GrowingDestination& aDestination) {
  jpeg_compress_struct info{};
  info.err = jpeg_std_error(&aManager.fPublic);
  aManager.fPublic.error_exit = JumpOnError;
  aManager.fPublic.output_message = IgnoreMessage;
  if (setjmp(aManager.fReturnPoint) != 0) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  aDestination.fPublic.init_destination = StartDestination;
  aDestination.fPublic.empty_output_buffer = GrowDestination;
  aDestination.fPublic.term_destination = FinishDestination;
  info.dest = &aDestination.fPublic;
  info.image_width = static_cast<JDIMENSION>(aWidth);
  info.image_height = static_cast<JDIMENSION>(aHeight);
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const size_t offset = static_cast<size_t>(info.next_scanline) * static_cast<size_t>(aWidth);
    JSAMPROW row = const_cast<JSAMPLE*>(aPixels + offset);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

std::string EncodeGrayJpeg(std::span<const std::uint8_t> aPixels, int aWidth, int aHeight) {
  if (aWidth <= 0 || aHeight <= 0 || aWidth > JPEG_MAX_DIMENSION || aHeight > JPEG_MAX_DIMENSION ||
      aPixels.size() != static_cast<size_t>(aWidth) * static_cast<size_t>(aHeight)) {
    throw Exception(MsgPictureTooLarge(aWidth, aHeight));
  }
  JumpingErrorManager manager{};
  GrowingDestination destination{};
  const bool encoded = EncodeToDestination(aPixels.data(), aWidth, aHeight, manager, destination);
  std::string file;
  if (encoded) {
    const size_t size = destination.fCapacity - destination.fPublic.free_in_buffer;
    file.assign(reinterpret_cast<const char*>(destination.fData), size);
  }
  std::free(destination.fData);
  if (!encoded) {
    throw Exception(MsgJpegEncodingFailed(manager.fMessage));
  }
  return file;
}

}  // namespace nvrp
