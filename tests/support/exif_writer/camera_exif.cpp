#include "tests/support/exif_writer/camera_exif.h"

namespace snapcrate::exif_writer {

namespace {

void DimensionEntry(TiffBuilder& tiff, TiffBuilder::Dir dir, uint16_t tag, uint32_t value) {
  if (value <= 0xFFFF)
    tiff.Short(dir, tag, {static_cast<uint16_t>(value)});
  else
    tiff.Long(dir, tag, {value});
}

}  // namespace

Bytes MakeCameraExif(const CameraExif& exif) {
  TiffBuilder tiff(exif.byte_order);
  const auto ifd0 = tiff.AddDirectory();
  const auto sub = tiff.AddDirectory();
  // Entries in ascending tag order, as cameras write them.
  if (!exif.make.empty()) tiff.Ascii(ifd0, tag::kMake, exif.make);
  if (!exif.model.empty()) tiff.Ascii(ifd0, tag::kModel, exif.model);
  if (exif.orientation) tiff.Short(ifd0, tag::kOrientation, {*exif.orientation});
  tiff.RationalValue(ifd0, tag::kXResolution, {{72, 1}});
  tiff.RationalValue(ifd0, tag::kYResolution, {{72, 1}});
  tiff.Short(ifd0, tag::kResolutionUnit, {2});
  if (!exif.software.empty()) tiff.Ascii(ifd0, tag::kSoftware, exif.software);
  if (!exif.date_time.empty()) tiff.Ascii(ifd0, tag::kDateTime, exif.date_time);
  tiff.SubDirectory(ifd0, sub);

  if (exif.exposure) tiff.RationalValue(sub, tag::kExposureTime, {*exif.exposure});
  if (exif.f_number) tiff.RationalValue(sub, tag::kFNumber, {*exif.f_number});
  if (exif.iso) tiff.Short(sub, tag::kIsoSpeedRatings, {*exif.iso});
  tiff.Undefined(sub, tag::kExifVersion, {'0', '2', '2', '0'});
  if (!exif.date_time_original.empty())
    tiff.Ascii(sub, tag::kDateTimeOriginal, exif.date_time_original);
  if (!exif.date_time_digitized.empty())
    tiff.Ascii(sub, tag::kDateTimeDigitized, exif.date_time_digitized);
  if (exif.shutter_speed) tiff.SignedRational(sub, tag::kShutterSpeedValue, {*exif.shutter_speed});
  if (exif.aperture) tiff.RationalValue(sub, tag::kApertureValue, {*exif.aperture});
  if (exif.flash) tiff.Short(sub, tag::kFlash, {*exif.flash});
  if (exif.focal_length) tiff.RationalValue(sub, tag::kFocalLength, {*exif.focal_length});
  if (exif.canon) {
    const auto note = tiff.AddDirectory();
    tiff.CameraSettings(note, tag::kCanonCameraSettings1, exif.canon->settings1);
    tiff.CameraSettings(note, tag::kCanonCameraSettings2, exif.canon->settings2);
    if (!exif.canon->image_type.empty())
      tiff.Ascii(note, tag::kCanonImageType, exif.canon->image_type);
    if (!exif.canon->firmware_version.empty())
      tiff.Ascii(note, tag::kCanonFirmwareVersion, exif.canon->firmware_version);
    tiff.MakerNote(sub, note);
  }
  if (exif.width) DimensionEntry(tiff, sub, tag::kExifImageWidth, *exif.width);
  if (exif.height) DimensionEntry(tiff, sub, tag::kExifImageLength, *exif.height);

  if (exif.thumbnail) {
    const auto ifd1 = tiff.AddDirectory();
    const Bytes thumbnail = MakeGrayJpeg(8, 8);
    const auto blob = tiff.AddBlob(thumbnail);
    tiff.Short(ifd1, tag::kCompression, {6});
    if (!exif.thumbnail_date_time.empty())
      tiff.Ascii(ifd1, tag::kDateTime, exif.thumbnail_date_time);
    tiff.BlobOffset(ifd1, tag::kJpegInterchangeFormat, blob);
    tiff.Long(ifd1, tag::kJpegInterchangeFormatLength, {static_cast<uint32_t>(thumbnail.size())});
    tiff.Chain(ifd0, ifd1);
  }
  return tiff.Build();
}

Bytes MakeCameraJpeg(const CameraExif& exif, const Bytes& image) {
  return InsertExif(image, MakeCameraExif(exif));
}

}  // namespace snapcrate::exif_writer
