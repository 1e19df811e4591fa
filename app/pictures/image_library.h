#pragma once
// The image libraries libpixcore.so and libjpegtran.so, bound by file name at
// the first call. A missing library or function is logged once and answered
// with a failure.

#include <cstdint>
#include <string>

#include "app/library_loader.h"

namespace snapcrate {

/// The library every binding of libpixcore.so goes through.
SharedLibrary& PixCoreLibrary();

/// The library every binding of libjpegtran.so goes through.
SharedLibrary& JpegTranLibrary();

/// The version text of libpixcore.so; empty when the library is missing.
std::string PixCoreGetVersion();

/// The picture type of a file from its name alone ("a.jpg" or "sub/a.jpg");
/// -1 when it is no picture or the library is missing.
int32_t PixCoreGetFileImageType(const std::string& name);

/// The size of the picture at `path`; 1 on success, else a failure code with
/// both sizes 0. `format` -2 finds the format from the file's contents.
int32_t PixCoreGetFileImageSize(int32_t format, const std::string& path, int32_t& width, int32_t& height);

/// PixCoreGetFileImageSize plus the EXIF orientation 1 to 8 the picture is
/// stored with (1 when none, and for HEIF, whose decoder turns it itself).
int32_t PixCoreGetFileImageInfo(int32_t format, const std::string& path, int32_t& width, int32_t& height,
                                int32_t& orientation);

/// 0 when the two files hold the same bytes; another value when they differ,
/// one is missing, or the library is missing.
int32_t PixCoreCompareFiles(const std::string& new_file, const std::string& existing_file);

/// Writes `source` turned clockwise by `angle` degrees (a multiple of 90) to
/// `destination` without decoding it; 1 on success, else a failure code with
/// the destination untouched.
int32_t JtRotate(const std::string& source, const std::string& destination, int32_t angle);

/// Stops libpixcore.so's threads, once the program is done with pictures (a
/// leak checker at exit needs them gone); nothing when it was never loaded.
/// Pictures cannot be read after it.
void PixCoreShutdown();

/// The version text of libjpegtran.so; empty when the library is missing.
std::string JtGetVersion();

}  // namespace snapcrate
