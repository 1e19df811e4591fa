#include "pixcore/jpeg_encode.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace snapcrate::pixcore {
namespace {

// Optimised Huffman tables take a second pass over the picture which the
// SIMD encoder does not speed up: for a 1024 x 768 picture it quadruples the
// encode (about a tenth of the picture's whole making) and saves about 5 % of
// the file. A thumbnail gains 10 to 15 % at no measurable cost, so pictures
// up to this many pixels keep them.
constexpr int64_t kOptimiseHuffmanUpTo = 512 * 512;

struct Failure {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<Failure*>(info->err)->jump, 1);
}

void Silently(j_common_ptr) {}

// The encoded bytes go straight into the caller's vector, which lives outside
// the frame a failure jumps out of.
struct VectorDestination {
  jpeg_destination_mgr manager;
  std::vector<unsigned char>* bytes;
};

constexpr size_t kFirstBuffer = 64 * 1024;

void StartBuffer(j_compress_ptr info) {
  auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
  destination->bytes->resize(kFirstBuffer);
  destination->manager.next_output_byte = destination->bytes->data();
  destination->manager.free_in_buffer = destination->bytes->size();
}

boolean GrowBuffer(j_compress_ptr info) {
  auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
  std::vector<unsigned char>& bytes = *destination->bytes;
  // libjpeg calls this only with the buffer full, whatever is left unused.
  const size_t used = bytes.size();
  bytes.resize(used * 2);
  destination->manager.next_output_byte = bytes.data() + used;
  destination->manager.free_in_buffer = bytes.size() - used;
  return TRUE;
}

void EndBuffer(j_compress_ptr info) {
  auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
  destination->bytes->resize(destination->bytes->size() - destination->manager.free_in_buffer);
}

// Nothing with a destructor lives in this frame: a failure jumps out of any
// call into libjpeg.
bool Encode(int width, int height, int quality, const RgbRows* rows,
            std::vector<unsigned char>* encoded) {
  jpeg_compress_struct info;
  Failure failure;
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = OnError;
  failure.manager.output_message = Silently;
  if (setjmp(failure.jump) != 0) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  VectorDestination destination{};
  destination.manager.init_destination = StartBuffer;
  destination.manager.empty_output_buffer = GrowBuffer;
  destination.manager.term_destination = EndBuffer;
  destination.bytes = encoded;
  info.dest = &destination.manager;

  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.optimize_coding = OptimiseHuffman(width, height) ? TRUE : FALSE;
  // Colour detail that quality is meant to keep.
  if (quality >= 90) {
    for (int component = 0; component < info.num_components; ++component) {
      info.comp_info[component].h_samp_factor = 1;
      info.comp_info[component].v_samp_factor = 1;
    }
  }
  // No JFIF header: the pictures carry nothing but their pixels.
  info.write_JFIF_header = FALSE;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    // libjpeg only reads the rows it is given.
    JSAMPROW row = const_cast<JSAMPROW>((*rows)(int(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool OptimiseHuffman(int64_t width, int64_t height) {
  return width * height <= kOptimiseHuffmanUpTo;
}

bool EncodeRgbJpeg(int width, int height, int quality, const RgbRows& rows,
                   std::vector<unsigned char>* encoded) {
  if (width < 1 || height < 1 || quality < 1 || quality > 100) return false;
  return Encode(width, height, quality, &rows, encoded);
}

}  // namespace snapcrate::pixcore
