#include "pixcore/jpeg_decode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "pixcore/image_load.h"

namespace snapcrate::pixcore {
namespace {

// libjpeg reports failures by calling back; a jump is its only way out.
struct Failure {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<Failure*>(info->err)->jump, 1);
}

// A warning means damaged data (a truncated file, a bad Huffman code):
// libvips decides what such a file gives, as it always has.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) std::longjmp(reinterpret_cast<Failure*>(info->err)->jump, 1);
}

void Silently(j_common_ptr) {}

bool HasColourProfile(const jpeg_decompress_struct& info) {
  static constexpr char kIcc[] = "ICC_PROFILE";  // with its NUL
  for (jpeg_saved_marker_ptr marker = info.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker == JPEG_APP0 + 2 && marker->data_length >= sizeof kIcc &&
        std::memcmp(marker->data, kIcc, sizeof kIcc) == 0)
      return true;
  }
  return false;
}

bool IsPlain(const jpeg_decompress_struct& info) {
  const bool colours = (info.jpeg_color_space == JCS_YCbCr && info.num_components == 3) ||
                       (info.jpeg_color_space == JCS_RGB && info.num_components == 3) ||
                       (info.jpeg_color_space == JCS_GRAYSCALE && info.num_components == 1);
  return colours && info.data_precision == 8 && info.image_width > 0 && info.image_height > 0 &&
         int64_t{info.image_width} * info.image_height <= kMaxPixels && !HasColourProfile(info);
}

// Nothing with a destructor lives in this frame: a jump leaves it at any call
// into libjpeg. The image is created only once the decode has begun.
VipsImage* Decode(std::FILE* file, int box_width, int box_height) {
  jpeg_decompress_struct info;
  Failure failure;
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = OnError;
  failure.manager.emit_message = OnMessage;
  failure.manager.output_message = Silently;
  VipsImage* volatile image = nullptr;
  if (setjmp(failure.jump) != 0) {
    jpeg_destroy_decompress(&info);
    if (image != nullptr) g_object_unref(image);
    return nullptr;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  if (!IsPlain(info)) {
    jpeg_destroy_decompress(&info);
    return nullptr;
  }
  // The same decoder settings as libvips' loader, so that a file decodes to
  // the same pixels on either path at the scales both offer.
  info.scale_num = JpegEighthsForRoom(RoomForBox(int(info.image_width), int(info.image_height),
                                                 box_width, box_height));
  info.scale_denom = 8;
  info.out_color_space = JCS_RGB;
  info.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&info);
  VipsImage* created = vips_image_new_memory();
  image = created;
  vips_image_init_fields(created, int(info.output_width), int(info.output_height), 3,
                         VIPS_FORMAT_UCHAR, VIPS_CODING_NONE, VIPS_INTERPRETATION_sRGB, 1.0, 1.0);
  if (vips_image_write_prepare(created) != 0) {
    ForgetVipsError();
    jpeg_destroy_decompress(&info);
    g_object_unref(created);
    return nullptr;
  }
  constexpr int kRowsAtOnce = 16;
  JSAMPROW rows[kRowsAtOnce];
  while (info.output_scanline < info.output_height) {
    const int first = int(info.output_scanline);
    const int count = std::min<int>(kRowsAtOnce, int(info.output_height) - first);
    for (int row = 0; row < count; ++row) rows[row] = VIPS_IMAGE_ADDR(created, 0, first + row);
    jpeg_read_scanlines(&info, rows, JDIMENSION(count));
  }
  // Reads on to the end: a file cut off after its last row is still damaged.
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return created;
}

}  // namespace

bool DecodePlainJpeg(const char* path, int box_width, int box_height, ImagePtr* image) {
  std::FILE* file = std::fopen(path, "rbe");
  if (file == nullptr) return false;
  // A camera's JPEG is a few megabytes: read in large pieces, not in
  // hundreds of page-sized system calls (libjpeg asks for 4 KB at a time,
  // and glibc sizes its own buffer by the same page). Kept for the thread's
  // next picture.
  thread_local std::vector<char> buffer(256 * 1024);
  std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
  unsigned char magic[3] = {};
  const bool jpeg = std::fread(magic, 1, sizeof magic, file) == sizeof magic &&
                    magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF;
  VipsImage* decoded = nullptr;
  if (jpeg && std::fseek(file, 0, SEEK_SET) == 0) decoded = Decode(file, box_width, box_height);
  std::fclose(file);
  if (decoded == nullptr) return false;
  image->reset(decoded);
  return true;
}

}  // namespace snapcrate::pixcore
