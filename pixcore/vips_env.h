#pragma once
// The one libvips instance of the process: started once, with small caches so
// that memory follows the bitmaps alive, and owning references to its images.

#include <vips/vips.h>

#include <memory>

namespace snapcrate::pixcore {

/// Loads libvips at the first call (from any thread), without starting it;
/// false when it is missing. Reading a picture's header needs neither: only a
/// decode pays for loading libvips and its hundred libraries.
bool LoadVips();

/// Loads and starts libvips at the first call (from any thread); false when it
/// cannot run. Every use of libvips comes after it.
bool StartVips();

/// Shuts libvips down, joining its threads; StartVips() is false from then on.
void StopVips();

/// True when this libvips build reads HEIC/HEIF files. Needs StartVips().
bool HeifReadable();

/// Drops the messages libvips collected for a failed call; the result code has
/// told the caller all we report, and the buffer would grow without end.
void ForgetVipsError();

struct ImageUnref {
  void operator()(VipsImage* image) const { g_object_unref(image); }
};
/// An owned reference to a libvips image.
using ImagePtr = std::unique_ptr<VipsImage, ImageUnref>;

/// The pixels of `image` in memory: the pipeline computed once (a memory
/// image is handed back as it is). Null, the error forgotten, when it fails.
ImagePtr InMemory(VipsImage* image);

}  // namespace snapcrate::pixcore
