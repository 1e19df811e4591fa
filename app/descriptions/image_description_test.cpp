#include "app/descriptions/image_description.h"

#include <gtest/gtest.h>

#include "app/descriptions/description_store.h"
#include "app/file_lib.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;

class ImageDescriptionTest : public ::testing::Test {
 protected:
  RecordingUiPort ui_;
  TempDir dir_;
  LineStore store_{kDescriptionStoreCapacity};
};

TEST_F(ImageDescriptionTest, PictureWithoutDescriptionHasNoFileAndClearingDeletesIt) {
  const std::string picture = dir_ / "IMG_0042.JPG";
  EXPECT_TRUE(ReadImageDescription(picture, store_).IsEmpty());
  EXPECT_FALSE(FileExists(dir_ / "IMG_0042.dsc"));

  WriteImageDescription(picture, store_, {.title = "Lake", .quality = "2", .take_date_from_filename = "1"});
  EXPECT_EQ(ReadFile(dir_ / "IMG_0042.dsc"),
            "[Title]\r\nLake\r\n[Description]\r\n\r\n[Keys]\r\n\r\n[Quality]\r\n2\r\n"
            "[Originality]\r\n\r\n[Rotation]\r\n\r\n[TakeDateFromFilename]\r\n1\r\n[AddLink]\r\n\r\n");

  const ImageDescription read = ReadImageDescription(picture, store_);
  EXPECT_EQ(read.title, "Lake");
  EXPECT_EQ(read.quality, "2");
  EXPECT_EQ(read.take_date_from_filename, "1");
  WriteImageDescription(picture, store_, {});
  EXPECT_FALSE(FileExists(dir_ / "IMG_0042.dsc"));
  // A later description starts from nothing, not from the deleted file's lines.
  WriteImageDescription(picture, store_, {.keys = "k"});
  EXPECT_EQ(ReadImageDescription(picture, store_).title, "");
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(ImageDescriptionTest, RotationZeroAloneKeepsTheFile) {
  const std::string picture = dir_ / "a.jpg";
  WriteImageDescription(picture, store_, {.title = "t", .rotation = "+90"});
  WriteImageDescription(picture, store_, {.rotation = "0"});
  ASSERT_TRUE(FileExists(dir_ / "a.dsc"));
  EXPECT_EQ(ReadImageDescription(picture, store_).rotation, "0");
}

TEST_F(ImageDescriptionTest, TwoLineTitleIsStoredOnOneLineWithBr) {
  const std::string picture = dir_ / "a.jpg";
  // Typed text may carry CR LF, LF or CR line ends.
  WriteImageDescription(picture, store_,
                        {.title = "Summer\r\n2005", .description = "one\ntwo\rthree", .keys = "k1\r\nk2"});
  LineStore lines(kDescriptionStoreCapacity);
  ASSERT_EQ(ReadLines(dir_ / "a.dsc", lines), 16);
  EXPECT_EQ(lines[1], "Summer<br>2005");
  EXPECT_EQ(lines[3], "one<br>two<br>three");
  EXPECT_EQ(lines[5], "k1<br>k2");

  const ImageDescription read = ReadImageDescription(picture, store_);
  EXPECT_EQ(read.title, "Summer<br>2005");
  EXPECT_EQ(BrToLineBreaks(read.title), "Summer\r\n2005");
  // Written back unchanged, the file stays the same.
  const std::string before = ReadFile(dir_ / "a.dsc");
  WriteImageDescription(picture, store_, read);
  EXPECT_EQ(ReadFile(dir_ / "a.dsc"), before);
}

TEST_F(ImageDescriptionTest, PicturesDifferingOnlyInExtensionShareOneFile) {
  EXPECT_EQ(ImageDescriptionPath("/p/IMG_1.JPG"), "/p/IMG_1.dsc");
  EXPECT_EQ(ImageDescriptionPath("/p/IMG_1.TIF"), "/p/IMG_1.dsc");
  EXPECT_EQ(ImageDescriptionPath("/p/archive.tar.gz"), "/p/archive.tar.dsc");
  EXPECT_EQ(ImageDescriptionPath("/p.d/noext"), "/p.d/noext.dsc");

  WriteImageDescription(dir_ / "IMG_1.JPG", store_, {.title = "shared"});
  LineStore other(kDescriptionStoreCapacity);
  EXPECT_EQ(ReadImageDescription(dir_ / "IMG_1.TIF", other).title, "shared");
}

TEST_F(ImageDescriptionTest, SectionsTheProgramDoesNotKnowSurviveARewrite) {
  WriteFile(dir_ / "a.dsc", "[Comment]\r\nfrom another tool\r\n[Title]\r\nfirst\r\n[Title]\r\nlast\r\n");
  const ImageDescription read = ReadImageDescription(dir_ / "a.jpg", store_);
  EXPECT_EQ(read.title, "last");
  WriteImageDescription(dir_ / "a.jpg", store_, {.title = "new"});
  const std::string text = ReadFile(dir_ / "a.dsc");
  EXPECT_TRUE(text.starts_with("[Comment]\r\nfrom another tool\r\n[Title]\r\nnew\r\n[Title]\r\nnew\r\n"))
      << text;
  EXPECT_EQ(ReadImageDescription(dir_ / "a.jpg", store_).title, "new");
}

TEST_F(ImageDescriptionTest, RewriteDoesNotDamageHandEditedSections) {
  // A header directly followed by the next header, and a value spread over two lines.
  WriteFile(dir_ / "a.dsc", "[Title]\r\n[Description]\r\nLake\r\n[Keys]\r\nline1\r\nline2\r\n[Quality]");
  ImageDescription read = ReadImageDescription(dir_ / "a.jpg", store_);
  EXPECT_EQ(read.description, "Lake");
  EXPECT_EQ(read.keys, "line1\r\nline2");
  read.title = "T";
  WriteImageDescription(dir_ / "a.jpg", store_, read);
  const ImageDescription again = ReadImageDescription(dir_ / "a.jpg", store_);
  EXPECT_EQ(again.title, "T");
  EXPECT_EQ(again.description, "Lake");
  EXPECT_EQ(again.keys, "line1<br>line2");
  EXPECT_EQ(again.quality, "");
}

TEST_F(ImageDescriptionTest, OneLineValuesLoseStrayLineBreaks) {
  WriteImageDescription(dir_ / "a.jpg", store_, {.quality = "3\r\n", .add_link = "docs/trip.pdf\n"});
  const ImageDescription read = ReadImageDescription(dir_ / "a.jpg", store_);
  EXPECT_EQ(read.quality, "3");
  EXPECT_EQ(read.add_link, "docs/trip.pdf");
  EXPECT_EQ(read.rotation, "");
}

TEST_F(ImageDescriptionTest, BytesOfWindowsFilesAreKept) {
  // "Café" in the Windows code page, not UTF-8.
  const std::string latin1_title = "Caf\xE9";
  WriteFile(dir_ / "a.dsc", "[Title]\r\n" + latin1_title + "\r\n");
  ImageDescription read = ReadImageDescription(dir_ / "a.jpg", store_);
  EXPECT_EQ(read.title, latin1_title);
  read.keys = "x";
  WriteImageDescription(dir_ / "a.jpg", store_, read);
  EXPECT_EQ(ReadFile(dir_ / "a.dsc").substr(0, 15), "[Title]\r\n" + latin1_title + "\r\n");
}

}  // namespace
}  // namespace snapcrate
