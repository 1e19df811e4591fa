// The EXIF data of a typical camera picture in one call, for tests that need a
// picture with a date, a camera and exposure values:
//   MakeCameraJpeg({.make = "Canon", .date_time_original = "2004:05:12 13:45:01",
//                   .exposure = Rational{1, 250}})
#ifndef SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_CAMERA_EXIF_H_
#define SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_CAMERA_EXIF_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/exif_writer/file_bytes.h"
#include "tests/support/exif_writer/jpeg_builder.h"
#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::exif_writer {

/// Canon maker note: camera-settings arrays by element (element 1 first).
struct CanonMakerNoteSpec {
  std::vector<uint16_t> settings1;
  std::vector<uint16_t> settings2;
  std::string image_type;
  std::string firmware_version;
};

/// Every text left empty and every optional left unset is not written.
struct CameraExif {
  ByteOrder byte_order = ByteOrder::kLittle;
  // IFD0
  std::string make;
  std::string model;
  std::optional<uint16_t> orientation;
  std::string software;
  std::string date_time;
  // EXIF sub-directory
  std::optional<Rational> exposure;
  std::optional<Rational> f_number;
  std::optional<uint16_t> iso;
  std::string date_time_original;
  std::string date_time_digitized;
  std::optional<Rational> shutter_speed;  // APEX, signed
  std::optional<Rational> aperture;       // APEX
  std::optional<uint16_t> flash;
  std::optional<Rational> focal_length;
  std::optional<uint32_t> width;   // ExifImageWidth (SHORT when it fits)
  std::optional<uint32_t> height;  // ExifImageLength
  std::optional<CanonMakerNoteSpec> canon;
  // IFD1: a thumbnail directory with its own DateTime, pointing at a tiny JPEG.
  bool thumbnail = false;
  std::string thumbnail_date_time;
};

/// The TIFF data (IFD0, EXIF sub-directory, maker note, IFD1 as asked).
Bytes MakeCameraExif(const CameraExif& exif);

/// A JPEG file: image (a tiny grey picture by default) with the EXIF segment
/// inserted behind its APP0 segments.
Bytes MakeCameraJpeg(const CameraExif& exif, const Bytes& image = MakeGrayJpeg());

}  // namespace snapcrate::exif_writer

#endif  // SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_CAMERA_EXIF_H_
