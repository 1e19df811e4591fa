#include "app/description_editor/description_editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/description_editor/description_editor_test_support.h"
#include "app/file_lib.h"
#include "app/pictures/image_library.h"
#include "app/program_state.h"
#include "app/schemes/album_config.h"
#include "app/settings.h"
#include "tests/support/recording_ui_port.h"

namespace snapcrate {
namespace {

using testing::EditorHome;
using testing::ReadFile;
using testing::RecordingUiPort;
using testing::WriteCameraJpeg;
using testing::WriteFile;
using testing::WritePlainJpeg;

class DescriptionEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::EditorLibrariesBuilt())
      GTEST_SKIP() << "libpixcore.so, libtagcore.so or libjpegtran.so is not built in " << SNAPCRATE_TEST_HOME;
    ui_.log_lines.clear();  // the new settings file
  }

  std::unique_ptr<DescriptionEditor> OpenAt(const std::string& directory, int position) {
    home_.StartAt(directory, position);
    DescriptionEditorServices services = DescriptionEditorServices::Default();
    services.run_program = [this](const std::string& command_line) { started_.push_back(command_line); };
    auto editor = std::make_unique<DescriptionEditor>(services);
    editor->Open();
    return editor;
  }

  RecordingUiPort ui_;
  EditorHome home_;
  std::vector<std::string> started_;
};

TEST_F(DescriptionEditorTest, OpeningKeepsTheLastDirectoryDescription) {
  const std::string dir = home_.Dir("trip");
  const std::string stored = "[Title]\r\nSummer<br>2005\r\n[Description]\r\nLake trip\r\n[Image]\r\na.jpg\r\n";
  WriteFile(dir + "_snapcrate_.dsc", stored);
  WritePlainJpeg(dir + "a.jpg");
  auto editor = OpenAt(dir, 1);
  EXPECT_EQ(editor->dir_form().title, "Summer\r\n2005");
  EXPECT_EQ(editor->IndexPictureText(), "a.jpg");
  EXPECT_EQ(ReadFile(dir + "_snapcrate_.dsc"), stored);
  editor->Confirm();
  EXPECT_EQ(ReadFile(dir + "_snapcrate_.dsc"), stored);
}

TEST_F(DescriptionEditorTest, LosslessRotationTurnsOnlyJpgFiles) {
  const std::string dir = home_.Dir("turn");
  for (const char* name : {"a.JPG", "b.JPEG", "c.tif"}) WritePlainJpeg(dir + name, 16, 8);
  auto editor = OpenAt(dir, 1);
  ASSERT_EQ(editor->pictures().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    editor->picture_form().rotation = "+90";
    if (i < 2) {
      ASSERT_TRUE(editor->NextPicture());
    }
  }
  editor->Confirm();
  struct Expected {
    const char* picture;
    const char* description;
    const char* size;
    const char* rotation;
  };
  for (const Expected& expected : {Expected{"a.JPG", "a.dsc", "8x16", "0"}, Expected{"b.JPEG", "b.dsc", "16x8", "+90"},
                                   Expected{"c.tif", "c.dsc", "16x8", "+90"}}) {
    SCOPED_TRACE(expected.picture);
    EXPECT_EQ(testing::PictureSize(dir + expected.picture), expected.size);
    EXPECT_NE(ReadFile(dir + expected.description).find("[Rotation]\r\n" + std::string(expected.rotation) + "\r\n"),
              std::string::npos);
  }
  EXPECT_EQ(testing::PictureSize(dir + "a.jpeg"), "16x8");  // the unrotated original
  EXPECT_FALSE(FileExists(dir + "b.jpeg"));
  EXPECT_EQ(ui_.log_lines, std::vector<std::string>{dir + "a.JPG losless rotated by +90 degrees"});
}

TEST_F(DescriptionEditorTest, SwitchedOffLosslessRotationIsStoredAndTurnsNothing) {
  const std::string dir = home_.Dir("keep");
  WritePlainJpeg(dir + "a.jpg", 16, 8);
  auto editor = OpenAt(dir, 1);
  EXPECT_TRUE(editor->lossless());
  editor->lossless() = false;
  editor->picture_form().rotation = "-90";
  editor->Confirm();
  EXPECT_EQ(Program().rotate_lossless_at_original_location, "0");
  EXPECT_NE(ReadFile(SettingsPath()).find("[RotateLoslessAtOriginalLocation]\r\n0\r\n"), std::string::npos);
  EXPECT_EQ(testing::PictureSize(dir + "a.jpg"), "16x8");
  EXPECT_NE(ReadFile(dir + "a.dsc").find("[Rotation]\r\n-90\r\n"), std::string::npos);
  // The next window starts with the switch as it was left.
  EXPECT_FALSE(OpenAt(dir, 1)->lossless());
}

TEST_F(DescriptionEditorTest, RotationZeroOfATurnedPictureSurvivesAReset) {
  const std::string dir = home_.Dir("turned");
  WritePlainJpeg(dir + "a.jpg");
  WriteFile(dir + "a.dsc", "[Rotation]\r\n0\r\n");
  auto editor = OpenAt(dir, 1);
  EXPECT_EQ(editor->picture_form().rotation, "");
  editor->ResetExtendedValues();
  editor->Confirm();
  EXPECT_NE(ReadFile(dir + "a.dsc").find("[Rotation]\r\n0\r\n"), std::string::npos);
}

TEST_F(DescriptionEditorTest, RatingOutsideTheSixLevelsIsWrittenBackEmpty) {
  const std::string dir = home_.Dir("rated");
  WritePlainJpeg(dir + "a.jpg");
  WritePlainJpeg(dir + "b.jpg");
  WriteFile(dir + "a.dsc", "[Title]\r\nLake\r\n[Quality]\r\n9\r\n[Originality]\r\n4\r\n");
  auto editor = OpenAt(dir, 1);
  EXPECT_EQ(editor->picture_form().quality, "");
  EXPECT_EQ(editor->picture_form().originality, "4");
  ASSERT_TRUE(editor->NextPicture());
  const std::string written = ReadFile(dir + "a.dsc");
  EXPECT_NE(written.find("[Quality]\r\n\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("[Originality]\r\n4\r\n"), std::string::npos) << written;
}

TEST_F(DescriptionEditorTest, RefreshSavesTypedTextBeforeReadingAgain) {
  const std::string dir = home_.Dir("refresh");
  WritePlainJpeg(dir + "a.jpg");
  WritePlainJpeg(dir + "b.jpg");
  auto editor = OpenAt(dir, 2);
  editor->picture_form().title = "Typed";
  WritePlainJpeg(dir + "c.jpg");
  editor->Refresh();
  EXPECT_EQ(editor->pictures().size(), 3u);
  EXPECT_EQ(editor->PositionText(), "2/3");
  EXPECT_EQ(editor->picture_form().title, "Typed");
  EXPECT_EQ(ReadFile(dir + "b.dsc").substr(0, 16), "[Title]\r\nTyped\r\n");
}

TEST_F(DescriptionEditorTest, SiblingDirectoriesFollowByteOrder) {
  for (const char* name : {"a", "B", "c"}) WritePlainJpeg(home_.Dir(name) + "x.jpg");
  auto editor = OpenAt(home_.Dir("B"), 1);
  const std::vector<std::pair<int, const char*>> steps = {{+1, "a"}, {+1, "c"}, {+1, "c"}, {-1, "a"},
                                                          {-1, "B"}, {-1, "B"}};
  for (const auto& [step, expected] : steps) {
    editor->SkipImageDir(step);
    EXPECT_EQ(editor->current_dir(), home_.Dir(expected)) << "step " << step;
  }
  editor->UpDir();
  EXPECT_EQ(editor->current_dir(), home_.Dir());
  EXPECT_FALSE(editor->HasPicture());
  EXPECT_EQ(editor->PositionText(), "");
}

TEST_F(DescriptionEditorTest, TakeDateBoxOnlyForPicturesWithoutExif) {
  const std::string dir = home_.Dir("exif");
  WriteCameraJpeg(dir + "a.jpg");
  WritePlainJpeg(dir + "b.jpg");
  auto editor = OpenAt(dir, 1);
  EXPECT_NE(editor->exif_text().find("Canon"), std::string::npos) << editor->exif_text();
  EXPECT_TRUE(editor->ExifVisible());
  EXPECT_FALSE(editor->TakeDateVisible());
  ASSERT_TRUE(editor->NextPicture());
  EXPECT_EQ(editor->exif_text(), "");
  EXPECT_FALSE(editor->ExifVisible());
  EXPECT_TRUE(editor->TakeDateVisible());
}

// A phone's HEIC picture shows its EXIF summary like a JPEG.
TEST_F(DescriptionEditorTest, HeicPictureShowsItsExifSummary) {
  const std::filesystem::path sample =
      std::filesystem::path(SNAPCRATE_SOURCE_DIR) / "../shared/testdata/heic-samples/IMG_5195.HEIC";
  if (!std::filesystem::exists(sample)) GTEST_SKIP() << "no HEIC sample at " << sample;
  if (PixCoreGetFileImageType("a.heic") == -1) GTEST_SKIP() << "libvips reads no HEIF here";
  const std::string dir = home_.Dir("phone");
  std::filesystem::copy_file(sample, dir + "IMG_5195.HEIC");
  auto editor = OpenAt(dir, 1);
  ASSERT_TRUE(editor->HasPicture());
  EXPECT_TRUE(editor->ExifVisible());
  EXPECT_FALSE(editor->TakeDateVisible());
  for (const char* value : {"iPhone 11 Pro Max", "1/391 s", "2021"})
    EXPECT_NE(editor->exif_text().find(value), std::string::npos) << value << " in " << editor->exif_text();
}

TEST_F(DescriptionEditorTest, UnconfiguredViewerIsReportedForThePictureAndTheIndexPicture) {
  const std::string dir = home_.Dir("view");
  WritePlainJpeg(dir + "a.jpg");
  WriteFile(dir + "_snapcrate_.dsc", "[Image]\r\na.jpg\r\n");
  for (const char* viewer : {"$$$", ""}) {
    SCOPED_TRACE(viewer);
    home_.SetSetting("ExtViewer", viewer);
    auto editor = OpenAt(dir, 1);
    ui_.messages.clear();
    editor->PictureClicked();
    editor->ViewIndexPicture();
    EXPECT_EQ(ui_.messages, std::vector<std::string>(2, std::string(kViewerNotConfiguredMessage)));
  }
  EXPECT_TRUE(started_.empty());
  home_.SetSetting("ExtViewer", "\"/usr/bin/viewer\" \"$1\"");
  auto editor = OpenAt(dir, 1);
  editor->PictureClicked();
  editor->ViewIndexPicture();
  EXPECT_EQ(started_, std::vector<std::string>(2, "\"/usr/bin/viewer\" \"" + dir + "a.jpg\""));
}

TEST_F(DescriptionEditorTest, FindsTheAlbumDirectoryForAnyLeadingPartOfTheSource) {
  const std::string root = home_.temp / "album/_snapcrate_";
  EXPECT_EQ(DescriptionEditor::FindSnapcratePath("/photos/2005/summer/"), "");
  std::filesystem::create_directories(root + "/2005/summer");
  EXPECT_EQ(DescriptionEditor::FindSnapcratePath("/photos/2005/summer/"), root + "/2005/summer");
  EXPECT_EQ(DescriptionEditor::FindSnapcratePath("/other/2005/summer/"), root + "/2005/summer");
  // Without a matching directory the album root itself is the answer.
  EXPECT_EQ(DescriptionEditor::FindSnapcratePath("/photos/winter/"), root);
}

TEST_F(DescriptionEditorTest, ShowsTheAlbumCopyOnlyWhileItIsCurrent) {
  const std::string dir = home_.Dir("summer");
  const std::string album = home_.temp / "album/_snapcrate_/summer";
  WritePlainJpeg(dir + "a.jpg");
  WritePlainJpeg(dir + "b.png");
  WriteFile(dir + "b.dsc", "[Rotation]\r\n-90\r\n");
  WritePlainJpeg(album + "/_120x90_/a.jpg");
  WritePlainJpeg(album + "/_640x480_/a.jpg");
  WritePlainJpeg(album + "/_640x480_/br270.png.jpg");
  WriteFile(album + "/index.htm", "<html></html>");
  const auto old_time = std::filesystem::last_write_time(dir + "a.jpg") - std::chrono::hours(1);
  std::filesystem::last_write_time(dir + "a.jpg", old_time);
  std::filesystem::last_write_time(dir + "b.png", old_time);

  auto editor = OpenAt(dir, 1);
  EXPECT_EQ(editor->album_dir(), album);
  EXPECT_TRUE(editor->ThumbnailsVisible());
  EXPECT_EQ(editor->display_path(), album + "/_640x480_/a.jpg");
  ASSERT_TRUE(editor->NextPicture());
  EXPECT_EQ(editor->display_path(), album + "/_640x480_/br270.png.jpg");
  // An original changed after the album was made is shown itself.
  std::filesystem::last_write_time(dir + "a.jpg", old_time + std::chrono::hours(2));
  ASSERT_TRUE(editor->PreviousPicture());
  EXPECT_EQ(editor->display_path(), dir + "a.jpg");
}

TEST_F(DescriptionEditorTest, ThumbnailPageAndLinksGoThroughTheDocumentStarter) {
  const std::string dir = home_.Dir("links");
  const std::string starter = "\"" + home_.temp.path() + "etc/winstart\" ";
  WritePlainJpeg(dir + "a.jpg");
  WriteFile(dir + "notes.txt", "notes");
  {
    auto editor = OpenAt(dir, 1);
    editor->ShowThumbnails();
    EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kNoHtmlPathMessage)});
    for (const char* link : {"notes.txt", "https://example.org/trip"}) {
      editor->picture_form().add_link = link;
      editor->LaunchLink();
    }
    EXPECT_EQ(started_, (std::vector<std::string>{starter + "\"" + dir + "notes.txt\"",
                                                  starter + "\"https://example.org/trip\""}));
  }
  const std::string album = home_.temp / "album/_snapcrate_/links";
  std::filesystem::create_directories(album);
  ui_.messages.clear();
  started_.clear();
  auto editor = OpenAt(dir, 1);
  EXPECT_FALSE(editor->ThumbnailsVisible());
  editor->ShowThumbnails();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"\"" + album + "/index.htm\" not found!"});
  WriteFile(album + "/index.htm", "<html></html>");
  editor->ShowThumbnails();
  EXPECT_EQ(started_, std::vector<std::string>{starter + "\"" + album + "/index.htm\""});
}

TEST_F(DescriptionEditorTest, IndexPictureIsStoredRelativeToTheDirectory) {
  const std::string dir = home_.Dir("2005/summer");
  WritePlainJpeg(dir + "a.jpg");
  WritePlainJpeg(home_.Dir("2005") + "cover.jpg");
  auto editor = OpenAt(dir, 1);
  EXPECT_EQ(editor->IndexPictureText(), "<None>");
  editor->SetIndexPicture(home_.Dir("2005") + "cover.jpg");
  EXPECT_EQ(editor->IndexPictureText(), "../cover.jpg");
  EXPECT_EQ(ReadFile(dir + "_snapcrate_.dsc"), "[Image]\r\n../cover.jpg\r\n");
  editor->ClearIndexPicture();
  EXPECT_EQ(editor->IndexPictureText(), "<None>");
  editor->Confirm();
  EXPECT_FALSE(FileExists(dir + "_snapcrate_.dsc"));
}

TEST_F(DescriptionEditorTest, CopiesAreLookedForInTheCurrentConfigurationsOrder) {
  const std::string dir = home_.Dir("winter");
  const std::string album = home_.temp / "album/_snapcrate_/winter";
  WritePlainJpeg(dir + "IMG_1.JPG");
  const auto old_time = std::filesystem::last_write_time(dir + "IMG_1.JPG") - std::chrono::hours(1);
  std::filesystem::last_write_time(dir + "IMG_1.JPG", old_time);
  WritePlainJpeg(album + "/_800x600_/IMG_1.JPG.jpg");
  WritePlainJpeg(album + "/_320x240_/IMG_1.JPG.jpg");
  WritePlainJpeg(album + "/_origcopy_/IMG_1.JPG");
  // Without a chosen configuration the largest box found is shown.
  EXPECT_EQ(OpenAt(dir, 1)->display_path(), album + "/_800x600_/IMG_1.JPG.jpg");

  const std::vector<AlbumConfig> saved = Configs();
  AlbumConfig config;
  config.name = "Two sizes";
  for (const SizeBox box : {SizeBox{-1, -1}, SizeBox{-2, -2}, SizeBox{320, 240}}) {
    ScaledAlbumScheme entry;
    entry.width = box.width;
    entry.height = box.height;
    config.scaled.push_back(entry);
  }
  Configs() = {config};
  home_.SetSetting("GenHTMLConfigIndex", "0");
  EXPECT_EQ(OpenAt(dir, 1)->display_path(), album + "/_origcopy_/IMG_1.JPG");
  std::filesystem::remove(album + "/_origcopy_/IMG_1.JPG");
  EXPECT_EQ(OpenAt(dir, 1)->display_path(), album + "/_320x240_/IMG_1.JPG.jpg");
  Configs() = saved;
}

}  // namespace
}  // namespace snapcrate
