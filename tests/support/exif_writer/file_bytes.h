// Whole files as bytes, for tests.
#ifndef SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_FILE_BYTES_H_
#define SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_FILE_BYTES_H_

#include <string>

#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::exif_writer {

/// Reads a whole file; throws std::runtime_error when it cannot.
Bytes ReadFileBytes(const std::string& path);
/// Creates or replaces a file; throws std::runtime_error when it cannot.
void WriteFileBytes(const std::string& path, const Bytes& bytes);

}  // namespace snapcrate::exif_writer

#endif  // SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_FILE_BYTES_H_
