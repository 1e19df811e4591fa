#include "app/generator/image_library.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/file_lib.h"
#include "app/generator/picture_list.h"
#include "app/paths.h"
#include "app/program_state.h"
#include "tests/support/recording_ui_port.h"

namespace snapcrate {
namespace {

using testing::RecordingUiPort;

// Bound before any test reaches the library: the binding looks it up once.
const bool kLibraryDirSet = (SetLibraryDir(SNAPCRATE_TEST_HOME), true);

const std::string kSamples = SNAPCRATE_SOURCE_DIR "../shared/testdata/exif-samples/";

class ImageLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FileExists(std::string(SNAPCRATE_TEST_HOME) + "libpixcore.so"))
      GTEST_SKIP() << "libpixcore.so is not built in " << SNAPCRATE_TEST_HOME;
  }
  RecordingUiPort ui_;
};

TEST_F(ImageLibraryTest, TellsPicturesByTheirNameAlone) {
  ASSERT_TRUE(kLibraryDirSet);
  for (const char* name : {"a.jpg", "IMG_0042.JPG", "_extra/b.jpeg", "c.tif", "d.png"})
    EXPECT_NE(PixCoreGetFileImageType(name), -1) << name;
  for (const char* name : {"a.dsc", "_snapcrate_.dsc", "STOP_SNAPCRATE", "notes.txt", "noext"})
    EXPECT_EQ(PixCoreGetFileImageType(name), -1) << name;
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(ImageLibraryTest, FileThatIsNoPictureHasNoSize) {
  int32_t width = 7, height = 7;
  EXPECT_NE(PixCoreGetFileImageSize(-2, "/nonexistent/a.jpg", width, height), 1);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

TEST_F(ImageLibraryTest, ListsAndSizesRealCameraPictures) {
  if (!IsDirectory(kSamples)) GTEST_SKIP() << "sample pictures not found at " << kSamples;
  const ProgramState saved = Program();
  Program().dir_dsc_name = "_snapcrate_.dsc";

  std::vector<std::string> names;
  const int count = ListPictures(kSamples, names);
  ASSERT_GT(count, 0);
  GenerationRequest request{.source_path = kSamples, .destination_path = "/nowhere/", .root_dir_name = "_snapcrate_"};
  ChapterPictureList list;
  EXPECT_FALSE(BuildPictureList(request, MakeChapterRecord(request, "", "", "", ""), names, list, nullptr));
  EXPECT_EQ(static_cast<int>(list.pictures.size()), count);
  for (const PictureRecord& picture : list.pictures) {
    EXPECT_GT(picture.width, 0) << picture.file_name;
    EXPECT_GT(picture.height, 0) << picture.file_name;
  }
  EXPECT_TRUE(std::is_sorted(list.pictures.begin(), list.pictures.end(),
                             [](const PictureRecord& a, const PictureRecord& b) { return a.file_name < b.file_name; }));
  Program().dir_dsc_name = saved.dir_dsc_name;
}

}  // namespace
}  // namespace snapcrate
