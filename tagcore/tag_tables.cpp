// Tag names as they appear in the dump text; the application finds values by
// these names, so spelling quirks ("Scenetype", "IPTC/NAA") are kept on purpose.
#include "tagcore/tag_tables.h"

namespace snapcrate::tagcore {

namespace {

// clang-format off
constexpr TagName kExifNames[] = {
    {0x00FE, "NewSubFileType"},
    {0x0100, "ImageWidth"},
    {0x0101, "ImageLength"},
    {0x0102, "BitsPerSample"},
    {0x0103, "Compression"},
    {0x0106, "PhotometricInterpretation"},
    {0x010A, "FillOrder"},
    {0x010D, "DocumentName"},
    {0x010E, "ImageDescription"},
    {0x010F, "Make"},
    {0x0110, "Model"},
    {0x0111, "StripOffsets"},
    {0x0112, "Orientation"},
    {0x0115, "SamplesPerPixel"},
    {0x0116, "RowsPerStrip"},
    {0x0117, "StripByteCounts"},
    {0x011A, "XResolution"},
    {0x011B, "YResolution"},
    {0x011C, "PlanarConfiguration"},
    {0x0128, "ResolutionUnit"},
    {0x012D, "TransferFunction"},
    {0x0131, "Software"},
    {0x0132, "DateTime"},
    {0x013B, "Artist"},
    {0x013E, "WhitePoint"},
    {0x013F, "PrimaryChromaticities"},
    {0x0156, "TransferRange"},
    {0x0200, "JPEGProc"},
    {0x0201, "JPEGInterchangeFormat"},
    {0x0202, "JPEGInterchangeFormatLength"},
    {0x0211, "YCbCrCoefficients"},
    {0x0212, "YCbCrSubSampling"},
    {0x0213, "YCbCrPositioning"},
    {0x0214, "ReferenceBlackWhite"},
    {0x828D, "CFARepeatPatternDim"},
    {0x828E, "CFAPattern"},
    {0x828F, "BatteryLevel"},
    {0x8298, "Copyright"},
    {0x829A, "ExposureTime"},
    {0x829D, "FNumber"},
    {0x83BB, "IPTC/NAA"},
    {0x8769, "ExifOffset"},
    {0x8773, "InterColorProfile"},
    {0x8822, "ExposureProgram"},
    {0x8824, "SpectralSensitivity"},
    {0x8825, "GPSInfo"},
    {0x8827, "ISOSpeedRatings"},
    {0x8828, "OECF"},
    {0x9000, "ExifVersion"},
    {0x9003, "DateTimeOriginal"},
    {0x9004, "DateTimeDigitized"},
    {0x9101, "ComponentsConfiguration"},
    {0x9102, "CompressedBitsPerPixel"},
    {0x9201, "ShutterSpeedValue"},
    {0x9202, "ApertureValue"},
    {0x9203, "BrightnessValue"},
    {0x9204, "ExposureBiasValue"},
    {0x9205, "MaxApertureValue"},
    {0x9206, "SubjectDistance"},
    {0x9207, "MeteringMode"},
    {0x9208, "LightSource"},
    {0x9209, "Flash"},
    {0x920A, "FocalLength"},
    {0x927C, "MakerNote"},
    {0x9286, "UserComment"},
    {0x9290, "SubSecTime"},
    {0x9291, "SubSecTimeOriginal"},
    {0x9292, "SubSecTimeDigitized"},
    {0xA000, "FlashPixVersion"},
    {0xA001, "ColorSpace"},
    {0xA002, "ExifImageWidth"},
    {0xA003, "ExifImageLength"},
    {0xA005, "InteroperabilityOffset"},
    {0xA20B, "FlashEnergy"},
    {0xA20C, "SpatialFrequencyResponse"},
    {0xA20E, "FocalPlaneXResolution"},
    {0xA20F, "FocalPlaneYResolution"},
    {0xA210, "FocalPlaneResolutionUnit"},
    {0xA214, "SubjectLocation"},
    {0xA215, "ExposureIndex"},
    {0xA217, "SensingMethod"},
    {0xA300, "FileSource"},
    {0xA301, "Scenetype"},
    {0, nullptr},
};

constexpr TagName kCanonNames[] = {
    {1, "CameraSettings1"},
    {4, "CameraSettings2"},
    {6, "ImageType"},
    {7, "FirmwareVersion"},
    {8, "ImageNumber"},
    {9, "OwnerName"},
    {12, "SerialNumber"},
    {15, "CustomFunctions"},
    {18, "PictureInfo"},
    {169, "WhiteBalanceTable"},
    {0, nullptr},
};

constexpr TagName kCanonSettings1Names[] = {
    {1, "Macro"},
    {2, "Selftimer"},
    {3, "Quality"},
    {4, "FlashMode"},
    {5, "DriveMode"},
    {7, "FocusMode"},
    {10, "ImageSize"},
    {11, "EasyMode"},
    {12, "DigitalZoom"},
    {13, "Contrast"},
    {14, "Saturation"},
    {15, "Sharpness"},
    {16, "ISOSpeed"},
    {17, "MeteringMode"},
    {18, "FocusType"},
    {19, "AFPoint"},
    {20, "ExposureProgram"},
    {23, "Lens"},
    {28, "FlashActivity"},
    {29, "FlashDetails"},
    {32, "FocusMode"},
    {0, nullptr},
};

constexpr TagName kCanonSettings2Names[] = {
    {2, "ISOSpeed"},
    {4, "TargetAperture"},
    {5, "TargetShutterSpeed"},
    {7, "WhiteBalance"},
    {9, "Sequence"},
    {14, "AFPointUsed"},
    {15, "FlashBias"},
    {19, "SubjectDistance"},
    {21, "ApertureValue"},
    {22, "ShutterSpeedValue"},
    {0, nullptr},
};
// clang-format on

}  // namespace

const TagTable kExifTable = {"Exif", kExifNames};
const TagTable kCanonTable = {"Canon", kCanonNames};
const TagTable kCanonSettings1Table = {"Canon.CS1", kCanonSettings1Names};
const TagTable kCanonSettings2Table = {"Canon.CS2", kCanonSettings2Names};

const char* LookUpTagName(const TagTable& table, uint32_t tag) {
  for (const TagName* entry = table.names; entry->tag != 0; ++entry)
    if (entry->tag == tag) return entry->name;
  return "Unknown";
}

}  // namespace snapcrate::tagcore
