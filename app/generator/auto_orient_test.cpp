// Whole runs over pictures stored turned, with the installation's
// configurations: every file the album makes stands upright, the pages give
// upright sizes, and a description's rotation still decides alone.

#include <gtest/gtest.h>
#include <vips/vips.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/generator/generate_album.h"
#include "app/init.h"
#include "app/library_loader.h"
#include "app/schemes/album_config.h"
#include "pixcore/pixcore_test_support.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

namespace fs = std::filesystem;

struct Corners {
  testing::Rgb top_left, top_right, bottom_left, bottom_right;
};

Corners CornersOf(const std::string& path) {
  const testing::Size size = testing::FileSize(path);
  const int right = size.width - 3, bottom = size.height - 3;
  return {testing::PixelAt(path, 2, 2), testing::PixelAt(path, right, 2), testing::PixelAt(path, 2, bottom),
          testing::PixelAt(path, right, bottom)};
}

bool Near(const Corners& a, const Corners& b) {
  return testing::Near(a.top_left, b.top_left, 40) && testing::Near(a.top_right, b.top_right, 40) &&
         testing::Near(a.bottom_left, b.bottom_left, 40) && testing::Near(a.bottom_right, b.bottom_right, 40);
}

/// The picture as a viewer that follows its EXIF orientation shows it, as PNG.
std::string UprightReference(const std::string& source, const std::string& target) {
  VipsImage* stored = vips_image_new_from_file(source.c_str(), nullptr);
  VipsImage* turned = nullptr;
  EXPECT_EQ(vips_autorot(stored, &turned, nullptr), 0);
  EXPECT_EQ(vips_pngsave(turned, target.c_str(), nullptr), 0);
  g_object_unref(turned);
  g_object_unref(stored);
  return target;
}

/// The picture files of an album (below its size directories).
std::vector<fs::path> AlbumPictures(const std::string& album) {
  std::vector<fs::path> pictures;
  for (const auto& entry : fs::recursive_directory_iterator(album))
    if (entry.is_regular_file() && entry.path().extension() == ".jpg") pictures.push_back(entry.path());
  return pictures;
}

/// The source picture an album file was made from: "o6" and the like dropped.
std::string SourceName(const fs::path& file) {
  return std::regex_replace(file.stem().string(), std::regex("o[2-8]$"), "") + ".jpg";
}

class AutoOrientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLibraryDir(SNAPCRATE_TEST_HOME);
    fs::copy(fs::path(SNAPCRATE_SOURCE_DIR) / "etc", home_.path() + "etc", fs::copy_options::recursive);
    fs::remove(home_ / "etc/snapcrate.ini");
    Init({.home_override = home_.path()});
  }
  void TearDown() override { SetLibraryDir(""); }

  bool Generate(const AlbumConfig& config, const std::string& destination, bool auto_orient = true) {
    GenerationRequest request;
    request.source_path = src_.path();
    request.destination_path = destination;
    request.config = config;
    request.auto_orient = auto_orient;
    return GenerateAlbum(request).completed;
  }
  const AlbumConfig& Config(const std::string& name) {
    for (const AlbumConfig& config : (LoadConfigs(), Configs()))
      if (config.name == name) return config;
    ADD_FAILURE() << "no configuration " << name;
    return Configs().front();
  }

  testing::RecordingUiPort ui_;
  testing::TempDir home_;
  testing::TempDir src_;
  testing::TempDir refs_;
};

// Every orientation, mirrored ones included; a Rotation "0" (what a lossless
// turn leaves) keeps its picture as stored. Each img tag gives the size of
// the file it shows, upright where a browser turns an original itself.
TEST_F(AutoOrientTest, EveryFileOfEveryConfigurationStandsUpright) {
  std::map<std::string, Corners> expected;
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const std::string name = "turned" + std::to_string(orientation) + ".jpg";
    ASSERT_TRUE(testing::WriteJpegWithOrientation(src_ / name, 80, 60, orientation));
    expected[name] = CornersOf(UprightReference(src_ / name, refs_ / (name + ".png")));
  }
  ASSERT_TRUE(testing::WriteJpegWithOrientation(src_ / "kept.jpg", 80, 60, 6));
  testing::WriteFile(src_ / "kept.dsc", "[Rotation]\r\n0\r\n");
  expected["kept.jpg"] = {testing::kRed, testing::kGreen, testing::kBlue, testing::kWhite};

  for (const AlbumConfig& config : (LoadConfigs(), Configs())) {
    SCOPED_TRACE(config.name);
    testing::TempDir dest;
    ASSERT_TRUE(Generate(config, dest.path()));
    const std::vector<fs::path> pictures = AlbumPictures(dest.path());
    ASSERT_FALSE(pictures.empty());
    for (const fs::path& file : pictures) {
      SCOPED_TRACE(file.string());
      const std::string source = SourceName(file);
      ASSERT_TRUE(expected.count(source));
      EXPECT_TRUE(Near(CornersOf(file), expected[source]));
      const testing::Size size = testing::FileSize(file);
      const bool sideways = source != "kept.jpg" && source[6] >= '5';
      EXPECT_EQ(size.height > size.width, sideways);
    }
    // The sizes the pages give are those of the files shown, upright.
    const std::regex img(R"re(<img src="([^"]+)"[^>]*? width="(\d+)" height="(\d+)")re");
    const fs::path source_dir = fs::weakly_canonical(fs::path(src_.path()).parent_path());
    int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dest.path())) {
      if (entry.path().extension() != ".htm") continue;
      const std::string page = testing::ReadFile(entry.path());
      for (std::sregex_iterator it(page.begin(), page.end(), img), end; it != end; ++it) {
        const fs::path shown = fs::weakly_canonical(entry.path().parent_path() / (*it)[1].str());
        testing::Size size = testing::FileSize(shown);
        const std::string name = shown.filename().string();
        if (shown.parent_path() == source_dir && name != "kept.jpg" && name[6] >= '5')
          std::swap(size.width, size.height);
        EXPECT_EQ(std::to_string(size.width) + "x" + std::to_string(size.height),
                  (*it)[2].str() + "x" + (*it)[3].str())
            << entry.path() << " " << (*it)[1];
        ++checked;
      }
    }
    EXPECT_GT(checked, 0);
  }
}

// The setting off gives the pictures as stored; switching it and generating
// again makes the other files, without the album being deleted by hand.
TEST_F(AutoOrientTest, SwitchingTheSettingMakesThePicturesAnew) {
  ASSERT_TRUE(testing::WriteJpegWithOrientation(src_ / "IMG_0001.jpg", 80, 60, 6));
  testing::TempDir dest;
  const AlbumConfig& standard = Config("Standard");
  const std::string thumbnails = dest / "_snapcrate_/_160x160_/";
  ASSERT_TRUE(Generate(standard, dest.path(), false));
  EXPECT_EQ(testing::FileSize(thumbnails + "IMG_0001.jpg"), (testing::Size{160, 120}));
  ASSERT_TRUE(Generate(standard, dest.path(), true));
  EXPECT_EQ(testing::FileSize(thumbnails + "IMG_0001o6.jpg"), (testing::Size{120, 160}));
  const std::string index = testing::ReadFile(dest / "_snapcrate_/index.htm");
  EXPECT_NE(index.find("_160x160_/IMG_0001o6.jpg"), std::string::npos);
  EXPECT_EQ(index.find("_160x160_/IMG_0001.jpg"), std::string::npos);
}

// The sample pictures of every orientation come out as their unturned twin
// in every size of every configuration: each size directory holds every
// turned sample, and each matches the upright one of its shape.
TEST_F(AutoOrientTest, SampleOrientationsMatchTheirUprightTwin) {
  const fs::path samples = fs::path(SNAPCRATE_SOURCE_DIR) / "../shared/testdata/exif-samples";
  if (!fs::exists(samples / "orientation_landscape_1.jpg"))
    GTEST_SKIP() << "no sample pictures in " << samples << " (they are optional)";
  int turned = 0;
  for (const auto& entry : fs::directory_iterator(samples)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("orientation_")) continue;
    fs::copy_file(entry.path(), src_ / name);
    if (!name.ends_with("_1.jpg")) ++turned;
  }
  ASSERT_GT(turned, 0);
  // Turned losslessly already, as a Rotation "0" says: kept as stored.
  fs::copy_file(samples / "orientation_landscape_5.jpg", src_ / "stored.jpg");
  testing::WriteFile(src_ / "stored.dsc", "[Rotation]\r\n0\r\n");
  for (const AlbumConfig& config : (LoadConfigs(), Configs())) {
    SCOPED_TRACE(config.name);
    testing::TempDir dest;
    ASSERT_TRUE(Generate(config, dest.path()));
    std::map<fs::path, int> compared;  // per size directory
    for (const fs::path& file : AlbumPictures(dest.path())) {
      const std::string source = SourceName(file);
      if (source == "stored.jpg") {
        const testing::Size size = testing::FileSize(file);
        EXPECT_EQ(file.filename(), "stored.jpg");
        EXPECT_GT(size.height, size.width) << file;
        continue;
      }
      const size_t last = source.rfind('_');
      compared[file.parent_path()];
      if (source.substr(last) == "_1.jpg") continue;
      SCOPED_TRACE(file.string());
      const fs::path twin = file.parent_path() / (source.substr(0, last) + "_1.jpg");
      ASSERT_TRUE(fs::exists(twin));
      EXPECT_EQ(testing::FileSize(file), testing::FileSize(twin));
      EXPECT_LT(testing::MeanDifference(file, twin), 8.0);
      ++compared[file.parent_path()];
    }
    // Thumbnails, their 2x files and every picture size.
    EXPECT_GE(compared.size(), config.name == "Originals" ? 2u : 3u);
    for (const auto& [directory, count] : compared) EXPECT_EQ(count, turned) << directory;
  }
}

}  // namespace
}  // namespace snapcrate
