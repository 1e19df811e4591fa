// Broken TIFF structures end the walk with code 6, keep the text dumped so
// far, and never read outside the EXIF data.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tagcore/tagcore.h"
#include "tagcore/tagcore_test_support.h"
#include "tests/support/exif_writer/file_bytes.h"
#include "tests/support/exif_writer/jpeg_builder.h"
#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::tagcore_test {
namespace {

using exif_writer::ByteOrder;
using exif_writer::JpegBuilder;
using exif_writer::TiffBuilder;
namespace tag = exif_writer::tag;
namespace type = exif_writer::type;

struct GuardCase {
  const char* name;
  std::function<Bytes(ByteOrder)> tiff;
  // The text dumped before the walk stopped; nullptr: not checked.
  const char* text;
};

// IFD0 holding Make "Canon" and an ExifOffset to a sub-directory with a
// maker note; returns the TIFF data after fill adds the broken parts.
Bytes CanonWith(ByteOrder order,
                const std::function<void(TiffBuilder&, TiffBuilder::Dir note)>& fill) {
  TiffBuilder tiff(order);
  const auto ifd0 = tiff.AddDirectory();
  const auto sub = tiff.AddDirectory();
  const auto note = tiff.AddDirectory();
  tiff.Ascii(ifd0, tag::kMake, "Canon").SubDirectory(ifd0, sub).MakerNote(sub, note);
  fill(tiff, note);
  return tiff.Build();
}

std::vector<GuardCase> Cases() {
  return {
      {"unknown byte order",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         tiff.Short(tiff.AddDirectory(), tag::kOrientation, {1});
         Bytes bytes = tiff.Build();
         bytes[0] = bytes[1] = 'X';
         return bytes;
       },
       ""},
      {"data shorter than the TIFF header",
       [](ByteOrder order) {
         return order == ByteOrder::kBig ? Bytes{'M', 'M', 0, 42, 0} : Bytes{'I', 'I', 42};
       },
       ""},
      {"IFD0 offset beyond the data",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         tiff.Short(tiff.AddDirectory(), tag::kOrientation, {1});
         return tiff.SetFirstOffset(50000).Build();
       },
       ""},
      {"IFD0 offset on the last byte",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         tiff.Short(tiff.AddDirectory(), tag::kOrientation, {1});
         return tiff.SetFirstOffset(25).Build();
       },
       ""},
      {"IFD0 entries running past the data",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         tiff.Short(tiff.AddDirectory(), tag::kOrientation, {1});
         Bytes bytes = tiff.Build();
         bytes[order == ByteOrder::kBig ? 9 : 8] = 3;
         return bytes;
       },
       ""},
      {"next-directory link cut off",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         tiff.Short(tiff.AddDirectory(), tag::kOrientation, {1});
         Bytes bytes = tiff.Build();
         bytes.resize(bytes.size() - 2);
         return bytes;
       },
       "Tag 0x0112[  1] Exif.Orientation = 1 \n"},
      {"next-directory offset beyond the data",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         tiff.Short(ifd0, tag::kOrientation, {1}).ChainRaw(ifd0, 0x10000);
         return tiff.Build();
       },
       "Tag 0x0112[  1] Exif.Orientation = 1 \n"},
      {"chain looping back to IFD0",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         const auto ifd1 = tiff.AddDirectory();
         tiff.Short(ifd0, tag::kOrientation, {1}).Short(ifd1, tag::kCompression, {6});
         return tiff.Chain(ifd0, ifd1).Chain(ifd1, ifd0).Build();
       },
       "Tag 0x0112[  1] Exif.Orientation = 1 \nTag 0x0103[  1] Exif.Compression = 6 \n"},
      {"directory linking to itself",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         return tiff.Short(ifd0, tag::kOrientation, {1}).Chain(ifd0, ifd0).Build();
       },
       "Tag 0x0112[  1] Exif.Orientation = 1 \n"},
      {"ExifOffset back to IFD0",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         return tiff.SubDirectory(ifd0, ifd0).Build();
       },
       "Tag 0x8769[  1] Exif.ExifOffset = 8 \n"},
      {"ExifOffset to the directory holding it",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         const auto sub = tiff.AddDirectory();
         return tiff.SubDirectory(ifd0, sub).SubDirectory(sub, sub).Build();
       },
       "Tag 0x8769[  1] Exif.ExifOffset = 26 \nTag 0x8769[  1] Exif.ExifOffset = 26 \n"},
      {"two ExifOffsets to one sub-directory",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         const auto ifd1 = tiff.AddDirectory();
         const auto sub = tiff.AddDirectory();
         tiff.Short(sub, tag::kIsoSpeedRatings, {100}).Chain(ifd0, ifd1);
         return tiff.SubDirectory(ifd0, sub).SubDirectory(ifd1, sub).Build();
       },
       nullptr},
      {"ExifOffset beyond the data",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         return tiff.EntryWithField(tiff.AddDirectory(), tag::kExifOffset, type::kLong, 1, 9999)
             .Build();
       },
       "Tag 0x8769[  1] Exif.ExifOffset = 9999 \n"},
      {"value offset beyond the data",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         tiff.Short(ifd0, tag::kOrientation, {1});
         tiff.EntryWithField(ifd0, tag::kModel, type::kAscii, 10, 9999);
         return tiff.Short(ifd0, tag::kResolutionUnit, {2}).Build();
       },
       "Tag 0x0112[  1] Exif.Orientation = 1 \nTag 0x0110[ 10] Exif.Model = "},
      {"value running past the end of the data",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         return tiff.AsciiCounted(tiff.AddDirectory(), tag::kModel, "0123456789", 12).Build();
       },
       "Tag 0x0110[ 12] Exif.Model = "},
      {"value offset wrapping around 32 bits",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         return tiff
             .EntryWithField(tiff.AddDirectory(), tag::kModel, type::kAscii, 100, 0xFFFFFFF0u)
             .Build();
       },
       "Tag 0x0110[100] Exif.Model = "},
      {"type 0",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         return tiff.Entry(tiff.AddDirectory(), tag::kOrientation, 0, 1, {1, 0}).Build();
       },
       "Tag 0x0112[  1] Exif.Orientation = "},
      {"type 13",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         return tiff.Entry(tiff.AddDirectory(), tag::kExifOffset, 13, 1, {26, 0, 0, 0}).Build();
       },
       "Tag 0x8769[  1] Exif.ExifOffset = "},
      {"count of 2^31",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         return tiff.EntryWithField(tiff.AddDirectory(), 0x9286, type::kUndefined, 0x80000000u, 8)
             .Build();
       },
       "Tag 0x9286[-2147483648] Exif.UserComment = "},
      {"size times count overflowing 32 bits",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         return tiff.EntryWithField(tiff.AddDirectory(), 0x9999, type::kDouble, 0x20000000u, 8)
             .Build();
       },
       "Tag 0x9999[536870912] Exif.Unknown = "},
      {"maker note directory running past the data",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         const auto sub = tiff.AddDirectory();
         tiff.Ascii(ifd0, tag::kMake, "Canon").SubDirectory(ifd0, sub);
         // An inline maker note whose first two bytes claim 0x5050 entries.
         return tiff.Undefined(sub, tag::kMakerNote, {0x50, 0x50, 0, 0}).Build();
       },
       nullptr},
      {"maker note offset beyond the data",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         const auto sub = tiff.AddDirectory();
         tiff.Ascii(ifd0, tag::kMake, "Canon").SubDirectory(ifd0, sub);
         return tiff.EntryWithField(sub, tag::kMakerNote, type::kUndefined, 10, 0x7000).Build();
       },
       nullptr},
      {"camera-settings array running past the data",
       [](ByteOrder order) {
         // 40 bytes of value, but 40 elements of two bytes each are walked.
         return CanonWith(order, [](TiffBuilder& t, auto note) {
           t.Byte(note, tag::kCanonCameraSettings1, std::vector<uint8_t>(40, 1));
         });
       },
       nullptr},
      {"maker note looping back to IFD0",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         const auto ifd0 = tiff.AddDirectory();
         const auto sub = tiff.AddDirectory();
         tiff.Ascii(ifd0, tag::kMake, "Canon").SubDirectory(ifd0, sub);
         return tiff.EntryWithField(sub, tag::kMakerNote, type::kUndefined, 26, 8).Build();
       },
       nullptr},
      {"sub-directories nested beyond reason",
       [](ByteOrder order) {
         TiffBuilder tiff(order);
         std::vector<TiffBuilder::Dir> dirs;
         for (int i = 0; i < 40; ++i) dirs.push_back(tiff.AddDirectory());
         for (int i = 0; i + 1 < 40; ++i) tiff.SubDirectory(dirs[i], dirs[i + 1]);
         return tiff.Build();
       },
       nullptr},
  };
}

TEST(TagCoreGuard, BrokenStructureEndsWithCode6AndKeepsTextDumpedBefore) {
  for (const GuardCase& c : Cases()) {
    for (ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
      SCOPED_TRACE(std::string(c.name) + (order == ByteOrder::kBig ? " (MM)" : " (II)"));
      TempDir dir;
      const Bytes jpeg = JpegBuilder().Exif(c.tiff(order)).Build();
      const std::string path = dir.Write("broken.jpg", jpeg);
      DumpResult dump{};
      CaptureStdout([&] { dump = DumpToMemory(path); });
      EXPECT_EQ(dump.code, 6);
      if (c.text != nullptr) {
        EXPECT_EQ(dump.text, c.text);
      }

      const std::string out = dir.Path("dump.txt");
      EXPECT_EQ(
          CaptureStdout([&] { EXPECT_EQ(TagCore_DumpInfoToFile(path.c_str(), out.c_str()), 6); }),
          std::string(c.name) == "unknown byte order" ? "Unknown endian format 'X'!\n" : "");
      const Bytes written = exif_writer::ReadFileBytes(out);
      EXPECT_EQ(std::string(written.begin(), written.end()), dump.text);

      CaptureStdout([&] { EXPECT_EQ(TagCore_AdjustDateTime(path.c_str(), 3600), 6); });
      EXPECT_EQ(exif_writer::ReadFileBytes(path), jpeg);
    }
  }
}

TEST(TagCoreGuard, DeepButFiniteNestingIsWalked) {
  // IFD0 -> EXIF -> EXIF -> ... eight deep is odd but sound.
  TiffBuilder tiff;
  std::vector<TiffBuilder::Dir> dirs;
  for (int i = 0; i < 8; ++i) dirs.push_back(tiff.AddDirectory());
  for (int i = 0; i + 1 < 8; ++i) tiff.SubDirectory(dirs[i], dirs[i + 1]);
  tiff.Short(dirs[7], tag::kIsoSpeedRatings, {100});
  const DumpResult dump = DumpTiff(tiff.Build());
  EXPECT_EQ(dump.code, 0);
  EXPECT_NE(dump.text.find("Exif.ISOSpeedRatings = 100 \n"), std::string::npos);
}

}  // namespace
}  // namespace snapcrate::tagcore_test
