#include "app/descriptions/dir_description.h"

#include <gtest/gtest.h>

#include "app/descriptions/description_store.h"
#include "app/file_lib.h"
#include "app/program_state.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;

class DirDescriptionTest : public ::testing::Test {
 protected:
  DirDescriptionTest() : saved_name_(Program().dir_dsc_name) { Program().dir_dsc_name = "_snapcrate_.dsc"; }
  ~DirDescriptionTest() override { Program().dir_dsc_name = saved_name_; }

  std::string saved_name_;
  RecordingUiPort ui_;
  TempDir dir_;
  LineStore store_{kDescriptionStoreCapacity};
};

TEST_F(DirDescriptionTest, WritesTitleDescriptionAndIndexPictureAsSixLines) {
  ReadDirDescription(dir_.path(), store_);
  WriteDirDescription(dir_.path(), store_, "Summer\r\n2005", "Lake trip");
  SetDirIndexImage(dir_.path(), store_, RelativeImagePath(dir_.path(), dir_ / "IMG_0007.JPG"));
  EXPECT_EQ(ReadFile(dir_ / "_snapcrate_.dsc"),
            "[Title]\r\nSummer<br>2005\r\n[Description]\r\nLake trip\r\n[Image]\r\nIMG_0007.JPG\r\n");

  LineStore again(kDescriptionStoreCapacity);
  const DirDescription read = ReadDirDescription(dir_.path(), again);
  EXPECT_EQ(read.title, "Summer\r\n2005");
  EXPECT_EQ(read.description, "Lake trip");
  EXPECT_EQ(read.image, "IMG_0007.JPG");

  // A later save keeps the index picture from the store.
  WriteDirDescription(dir_.path(), again, "Summer", "");
  EXPECT_EQ(ReadDirDescription(dir_.path(), store_).image, "IMG_0007.JPG");
}

TEST_F(DirDescriptionTest, ClearingEverythingDeletesTheFile) {
  WriteDirDescription(dir_.path(), store_, "t", "d");
  ASSERT_TRUE(FileExists(dir_ / "_snapcrate_.dsc"));
  WriteDirDescription(dir_.path(), store_, "", "");
  EXPECT_FALSE(FileExists(dir_ / "_snapcrate_.dsc"));
  // The index picture alone keeps it.
  SetDirIndexImage(dir_.path(), store_, "a.jpg");
  WriteDirDescription(dir_.path(), store_, "", "");
  EXPECT_TRUE(FileExists(dir_ / "_snapcrate_.dsc"));
  SetDirIndexImage(dir_.path(), store_, "");
  WriteDirDescription(dir_.path(), store_, "", "");
  EXPECT_FALSE(FileExists(dir_ / "_snapcrate_.dsc"));
}

TEST_F(DirDescriptionTest, DirectoryWithOnlyTheOlderFileShowsItAndSavesUnderTheNewName) {
  const std::string old_file = "[Title]\r\nOld<br>title\r\n[Description]\r\nfrom before\r\n[Image]\r\nsub\\y.jpg\r\n";
  WriteFile(dir_ / "_quillbox_.dsc", old_file);
  DirDescription read = ReadDirDescription(dir_.path(), store_);
  EXPECT_EQ(read.title, "Old\r\ntitle");
  EXPECT_EQ(read.description, "from before");
  EXPECT_EQ(read.image, "sub/y.jpg");

  WriteDirDescription(dir_.path(), store_, read.title, "changed");
  EXPECT_EQ(ReadFile(dir_ / "_quillbox_.dsc"), old_file);
  // The stored path keeps its bytes.
  EXPECT_EQ(ReadFile(dir_ / "_snapcrate_.dsc"),
            "[Title]\r\nOld<br>title\r\n[Description]\r\nchanged\r\n[Image]\r\nsub\\y.jpg\r\n");
  EXPECT_EQ(ReadDirDescription(dir_.path(), store_).description, "changed");
}

TEST_F(DirDescriptionTest, EmptyCurrentFileFallsBackToTheOlderOne) {
  WriteFile(dir_ / "_snapcrate_.dsc", "");
  WriteFile(dir_ / "_quillbox_.dsc", "[Title]\r\nOld\r\n");
  EXPECT_EQ(ReadDirDescription(dir_.path(), store_).title, "Old");
}

TEST_F(DirDescriptionTest, ClearingBesideTheOlderFileHidesItsTexts) {
  WriteFile(dir_ / "_quillbox_.dsc", "[Title]\r\nOld\r\n[Image]\r\n..\\x.jpg\r\n");
  ReadDirDescription(dir_.path(), store_);
  SetDirIndexImage(dir_.path(), store_, "");
  WriteDirDescription(dir_.path(), store_, "", "");
  EXPECT_TRUE(FileExists(dir_ / "_quillbox_.dsc"));
  const DirDescription read = ReadDirDescription(dir_.path(), store_);
  EXPECT_EQ(read.title, "");
  EXPECT_EQ(read.image, "");
}

TEST_F(DirDescriptionTest, ReadsAndWritesTheSameFileWhateverTheLetterCaseOfItsName) {
  Program().dir_dsc_name = "Folder.DSC";
  WriteDirDescription(dir_.path(), store_, "Mixed", "");
  EXPECT_TRUE(FileExists(dir_ / "Folder.DSC"));
  EXPECT_FALSE(FileExists(dir_ / "folder.dsc"));
  SetDirIndexImage(dir_.path(), store_, "a.jpg");
  LineStore again(kDescriptionStoreCapacity);
  const DirDescription read = ReadDirDescription(dir_.path(), again);
  EXPECT_EQ(read.title, "Mixed");
  EXPECT_EQ(read.image, "a.jpg");
}

TEST_F(DirDescriptionTest, IndexPicturePathIsRelativeToTheDirectory) {
  const struct {
    const char* directory;
    const char* file;
    const char* relative;
  } cases[] = {
      {"/p/2005/summer/", "/p/2005/summer/IMG_1.jpg", "IMG_1.jpg"},
      {"/p/2005/summer", "/p/2005/summer/_extra/IMG_2.jpg", "_extra/IMG_2.jpg"},
      {"/p/2005/summer/", "/p/2005/IMG_3.jpg", "../IMG_3.jpg"},
      {"/p/2005/summer/", "/p/2006/winter/IMG_4.jpg", "../../2006/winter/IMG_4.jpg"},
      {"/p/2005/", "/p/2005b/IMG_5.jpg", "../2005b/IMG_5.jpg"},
      {"/p/Summer/", "/p/summer/IMG_6.jpg", "../summer/IMG_6.jpg"},
      {"/a/b/", "/c/d.jpg", "../../c/d.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(RelativeImagePath(c.directory, c.file), c.relative) << c.file;
}

}  // namespace
}  // namespace snapcrate
