#pragma once
// Opaque 8-bit RGB pictures encoded with libjpeg directly, with the settings
// libvips' saver uses, so the files are the same bytes. Its pipeline would
// spread a small picture's encode over threads and hand rows between them,
// which costs more than the encode of an album picture itself.

#include <cstdint>
#include <functional>
#include <vector>

namespace snapcrate::pixcore {

/// True when a JPEG of width x height pixels gets optimised Huffman tables.
bool OptimiseHuffman(int64_t width, int64_t height);

/// Gives row y (width x 3 bytes, R G B) of the picture being encoded, rows in
/// order from the top; the bytes must stay valid until the next call.
using RgbRows = std::function<const unsigned char*(int y)>;

/// Encodes width x height rows as a baseline JPEG without metadata at
/// `quality` (1 to 100) into `encoded`: chroma halved both ways below quality
/// 90, full from there; optimised Huffman tables by OptimiseHuffman. False
/// when libjpeg fails (no memory); `encoded` is then undefined.
bool EncodeRgbJpeg(int width, int height, int quality, const RgbRows& rows,
                   std::vector<unsigned char>* encoded);

}  // namespace snapcrate::pixcore
