#include "app/schemes/config_editor.h"

#include "app/schemes/scheme_reader.h"
#include "app/schemes/schemes_test_support.h"

namespace snapcrate {
namespace {

using testing::SchemesTest;

class ConfigEditorTest : public SchemesTest {
 protected:
  ConfigEditorTest() {
    WriteSchemeIni("a", "Alpha", "index=p\n");
    WritePage("a", "p");
    WriteSchemeFile(
        "b", "scheme.ini",
        "[Name]\nBeta\n[ShortName]\nBET\n[Description]\nThe Beta scheme\n[PreviewImage]\nlook.png\n"
        "[PageSchemes]\nindex=p\n");
    WritePage("b", "p");
    LoadSchemes();
    alpha_ = static_cast<int16_t>(FindSchemeByName("Alpha"));
    beta_ = static_cast<int16_t>(FindSchemeByName("Beta"));
    buffer_.key = "userdef1";
    buffer_.name = "Mine";
    buffer_.description = "Two sizes";
    buffer_.main_scheme = alpha_;
    buffer_.scaled = {NewScaledAlbumScheme(alpha_), NewScaledAlbumScheme(beta_)};
    buffer_.scaled[1].width = 1024;
    buffer_.scaled[1].height = 768;
  }
  ConfigEditor Editor() {
    return ConfigEditor(buffer_, [this](int preselected) {
      preselections_.push_back(preselected);
      return choice_;
    });
  }

  int16_t alpha_ = 0;
  int16_t beta_ = 0;
  AlbumConfig buffer_;
  int choice_ = -1;
  std::vector<int> preselections_;
};

TEST(ConfigEditorBarsTest, BarsAreUpsideDownAndKeepToWhatTheReaderAccepts) {
  struct Case {
    CountBar bar;
    int position;
    int value;
  };
  const Case cases[] = {
      {CountBar::kLinksPerRow, 79, 20},     {CountBar::kLinksPerRow, 98, 1},
      {CountBar::kLinksPerRow, 0, 20},      {CountBar::kLinksPerRow, 99, 1},
      {CountBar::kThumbnailsPerRow, 0, 99}, {CountBar::kThumbnailsPerRow, 98, 1},
      {CountBar::kThumbnailsPerRow, 99, 1}, {CountBar::kRowsPerPage, 0, 99},
      {CountBar::kRowsPerPage, 99, 0},      {CountBar::kRowsPerPage, 94, 5},
      {CountBar::kQuality, 1, 100},         {CountBar::kQuality, 100, 1},
      {CountBar::kQuality, 11, 90},         {CountBar::kQuality, 0, 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ValueFromPosition(c.bar, c.position), c.value)
        << static_cast<int>(c.bar) << " at " << c.position;
    const CountBarRange range = BarRange(c.bar);
    const int position = PositionFromValue(c.bar, c.value);
    EXPECT_GE(position, range.min_position);
    EXPECT_LE(position, range.max_position);
    EXPECT_EQ(ValueFromPosition(c.bar, position), c.value);
  }
  // Every position of every bar stands for a value the reader takes back.
  for (int position = BarRange(CountBar::kLinksPerRow).min_position;
       position <= BarRange(CountBar::kLinksPerRow).max_position; ++position) {
    const int value = ValueFromPosition(CountBar::kLinksPerRow, position);
    EXPECT_TRUE(value >= 1 && value <= 20) << position;
  }
  EXPECT_EQ(PositionFromValue(CountBar::kLinksPerRow, 50), 79);
  EXPECT_EQ(PositionFromValue(CountBar::kThumbnailsPerRow, 0), 98);
}

TEST_F(ConfigEditorTest, OpensOnTheFirstEntryWithResultCancel) {
  ConfigEditor editor = Editor();
  EXPECT_EQ(editor.result(), "Cancel");
  EXPECT_EQ(editor.current(), 0);
  EXPECT_EQ(editor.name_text(), "Mine");
  EXPECT_EQ(editor.MainSchemeName(), "Alpha");
  EXPECT_EQ(editor.SizeText(SizeCombo::kImageWidth), "800");
  EXPECT_EQ(editor.SizeText(SizeCombo::kThumbnailHeight), "140");
  EXPECT_EQ(editor.CountValue(CountBar::kLinksPerRow), 3);
  EXPECT_EQ(editor.CountPosition(CountBar::kLinksPerRow), 96);
  EXPECT_EQ(editor.CountPosition(CountBar::kQuality), 11);
  EXPECT_EQ(editor.ListLines(),
            (std::vector<std::string>{"Alpha: 800 x 600  (thumbnails 140 x 140)",
                                      "Beta: 1024 x 768  (thumbnails 140 x 140)"}));
}

TEST_F(ConfigEditorTest, TypedSizesAreStoredAsSizeCodes) {
  struct Case {
    SizeCombo combo;
    std::string typed;
    int16_t width, height, thumbnail_width, thumbnail_height;
  };
  const Case cases[] = {
      {SizeCombo::kThumbnailWidth, "20", 800, 600, 32, 140},
      {SizeCombo::kThumbnailHeight, " 100 ", 800, 600, 140, 100},
      {SizeCombo::kImageWidth, "12345", 9999, 600, 140, 140},
      {SizeCombo::kImageHeight, " 768 ", 800, 768, 140, 140},
      {SizeCombo::kImageWidth, "origlink", kSizeOrigLink, kSizeOrigLink, 140, 140},
      {SizeCombo::kImageHeight, "ORIGSIZE", kSizeOrigSize, kSizeOrigSize, 140, 140},
      {SizeCombo::kImageWidth, "ORIGCOPY", kSizeOrigCopy, kSizeOrigCopy, 140, 140},
  };
  for (const Case& c : cases) {
    buffer_.scaled[0] = NewScaledAlbumScheme(alpha_);
    ConfigEditor editor = Editor();
    editor.SizeTextChanged(c.combo, c.typed);
    editor.UpdateScaledAlbumScheme();
    const ScaledAlbumScheme& entry = editor.buffer().scaled[0];
    EXPECT_EQ(entry.width, c.width) << c.typed;
    EXPECT_EQ(entry.height, c.height) << c.typed;
    EXPECT_EQ(entry.thumbnail_width, c.thumbnail_width) << c.typed;
    EXPECT_EQ(entry.thumbnail_height, c.thumbnail_height) << c.typed;
    EXPECT_EQ(entry.uses_original, c.width == kSizeOrigLink || c.width == kSizeOrigCopy) << c.typed;
  }
}

TEST_F(ConfigEditorTest, CodeInOneScaledSizeIsCopiedIntoTheOther) {
  ConfigEditor editor = Editor();
  editor.SizeTextChanged(SizeCombo::kImageHeight, "ORIGLINK");
  EXPECT_EQ(editor.SizeText(SizeCombo::kImageWidth), "ORIGLINK");
  editor.SizeTextChanged(SizeCombo::kImageWidth, "origsize");
  EXPECT_EQ(editor.SizeText(SizeCombo::kImageHeight), "ORIGSIZE");
  editor.SizeTextChanged(SizeCombo::kImageWidth, "640");
  EXPECT_EQ(editor.SizeText(SizeCombo::kImageHeight), "ORIGSIZE");  // numbers are not copied
  editor.SizeTextChanged(SizeCombo::kThumbnailWidth, "ORIGLINK");
  EXPECT_EQ(editor.SizeText(SizeCombo::kThumbnailHeight), "140");  // thumbnails have no codes
}

TEST_F(ConfigEditorTest, BarsAndTypedCountsGoStraightIntoTheCurrentEntry) {
  ConfigEditor editor = Editor();
  editor.ListClicked(1);
  editor.BarMoved(CountBar::kQuality, 26);
  editor.CountTyped(CountBar::kLinksPerRow, "35");
  editor.CountTyped(CountBar::kRowsPerPage, "0");
  EXPECT_EQ(buffer_.scaled[1].quality, 75);
  EXPECT_EQ(buffer_.scaled[1].links_per_row, 20);
  EXPECT_EQ(buffer_.scaled[1].rows_per_page, 0);
  EXPECT_EQ(editor.CountValue(CountBar::kLinksPerRow), 20);
  EXPECT_EQ(buffer_.scaled[0].quality, 90);
}

TEST_F(ConfigEditorTest, ListClickStoresTheEntryBeingLeft) {
  ConfigEditor editor = Editor();
  editor.SizeTextChanged(SizeCombo::kImageWidth, "1280");
  editor.ListClicked(1);
  EXPECT_EQ(buffer_.scaled[0].width, 1280);
  EXPECT_EQ(editor.current(), 1);
  EXPECT_EQ(editor.SizeText(SizeCombo::kImageWidth), "1024");
  EXPECT_EQ(editor.ListLine(0), "Alpha: 1280 x 600  (thumbnails 140 x 140)");
}

TEST_F(ConfigEditorTest, NewAddsTheDefaultsForTheChosenScheme) {
  ConfigEditor editor = Editor();
  editor.ListClicked(1);
  choice_ = alpha_ - 1;
  editor.New();
  EXPECT_EQ(preselections_, std::vector<int>{beta_ - 1});  // the current entry's scheme
  ASSERT_EQ(buffer_.scaled.size(), 3u);
  EXPECT_EQ(editor.current(), 2);
  const ScaledAlbumScheme& entry = buffer_.scaled[2];
  EXPECT_EQ(entry.scheme, alpha_);
  EXPECT_EQ(entry.width, 800);
  EXPECT_EQ(entry.height, 600);
  EXPECT_EQ(entry.thumbnail_width, 140);
  EXPECT_EQ(entry.thumbnail_height, 140);
  EXPECT_EQ(entry.links_per_row, 3);
  EXPECT_EQ(entry.thumbnails_per_row, 5);
  EXPECT_EQ(entry.border_width, 0);
  EXPECT_TRUE(entry.exact_size);
  EXPECT_EQ(entry.red + entry.green + entry.blue, 0);
  EXPECT_EQ(entry.quality, 90);
  EXPECT_FALSE(entry.uses_original);

  choice_ = -1;  // Escape in the chooser
  editor.New();
  EXPECT_EQ(buffer_.scaled.size(), 3u);
}

TEST_F(ConfigEditorTest, NewStopsAtTenEntries) {
  buffer_.scaled.assign(9, NewScaledAlbumScheme(alpha_));
  ConfigEditor editor = Editor();
  choice_ = beta_ - 1;
  editor.New();
  EXPECT_EQ(buffer_.scaled.size(), 10u);
  EXPECT_TRUE(ui_.messages.empty());
  editor.New();
  EXPECT_EQ(buffer_.scaled.size(), 10u);
  EXPECT_EQ(preselections_.size(), 1u);  // the chooser did not open again
  EXPECT_EQ(ui_.messages, std::vector<std::string>{
                              "An album configuration holds at most 10 scaled album schemes."});
}

TEST_F(ConfigEditorTest, MovesStopAtTheEndsAndKeepTheMovedEntrySelected) {
  ConfigEditor editor = Editor();
  editor.MoveUp();
  EXPECT_EQ(buffer_.scaled[0].scheme, alpha_);
  EXPECT_EQ(editor.current(), 0);
  editor.SizeTextChanged(SizeCombo::kImageWidth, "640");
  editor.MoveDown();
  EXPECT_EQ(buffer_.scaled[0].scheme, beta_);
  EXPECT_EQ(buffer_.scaled[1].scheme, alpha_);
  EXPECT_EQ(buffer_.scaled[1].width, 640);  // stored before it moved
  EXPECT_EQ(editor.current(), 1);
  editor.MoveDown();
  EXPECT_EQ(buffer_.scaled[1].scheme, alpha_);
  EXPECT_EQ(editor.current(), 1);
}

TEST_F(ConfigEditorTest, DeleteSelectsARemainingEntry) {
  ConfigEditor editor = Editor();
  editor.ListClicked(1);
  editor.Delete();
  ASSERT_EQ(buffer_.scaled.size(), 1u);
  EXPECT_EQ(editor.current(), 0);
  EXPECT_EQ(editor.SizeText(SizeCombo::kImageWidth), "800");
  editor.Delete();
  EXPECT_TRUE(buffer_.scaled.empty());
  EXPECT_EQ(editor.current(), -1);
  editor.Delete();  // nothing left to delete
  editor.BarMoved(CountBar::kQuality, 50);
  EXPECT_EQ(editor.CurrentSchemePreview(), "");
}

TEST_F(ConfigEditorTest, ChangeTakesTheChosenSchemeAndItsPreview) {
  ConfigEditor editor = Editor();
  EXPECT_EQ(editor.MainSchemePreview(), "");  // Alpha has no preview picture
  choice_ = beta_ - 1;
  editor.ChangeMainScheme();
  EXPECT_EQ(preselections_, std::vector<int>{alpha_ - 1});
  EXPECT_EQ(buffer_.main_scheme, beta_);
  EXPECT_EQ(editor.MainSchemeName(), "Beta");
  EXPECT_EQ(editor.MainSchemePreview(), home_ / "etc/scheme_b/look.png");
  choice_ = -1;
  editor.ChangeMainScheme();
  EXPECT_EQ(buffer_.main_scheme, beta_);
}

TEST_F(ConfigEditorTest, OkRefusesWhatTheReaderWouldDrop) {
  struct Case {
    std::string name;
    SizeCombo combo;
    std::string typed;
    std::string message;
  };
  const Case cases[] = {
      {"Mine", SizeCombo::kImageWidth, "12345",
       "Scaled album scheme 2: the picture width and height must be 10 to 5000 pixels, or both "
       "ORIGLINK or both "
       "ORIGSIZE."},
      {"Mine", SizeCombo::kThumbnailHeight, "2000",
       "Scaled album scheme 2: the thumbnail width and height must be 10 to 1000 pixels."},
      {"  ", SizeCombo::kImageWidth, "800", "Please enter a name for the album configuration."},
      {"[Name]", SizeCombo::kImageWidth, "800",
       "'[Name]' can't be stored as the name or description of an album configuration."},
  };
  for (const Case& c : cases) {
    ui_.messages.clear();
    AlbumConfig original = buffer_;
    ConfigEditor editor = Editor();
    editor.ListClicked(1);
    editor.SizeTextChanged(c.combo, c.typed);
    editor.ListClicked(0);
    editor.SetNameText(c.name);
    EXPECT_FALSE(editor.Confirm()) << c.typed;
    EXPECT_EQ(editor.result(), "Cancel");
    EXPECT_EQ(ui_.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(buffer_.name, "Mine");
    buffer_ = original;
  }
  // A number below a code keeps the file readable only when both carry it.
  ConfigEditor editor = Editor();
  editor.SizeTextChanged(SizeCombo::kImageWidth, "ORIGLINK");
  editor.SizeTextChanged(SizeCombo::kImageHeight, "600");
  EXPECT_FALSE(editor.Confirm());
  editor.SizeTextChanged(SizeCombo::kImageHeight, "ORIGLINK");
  EXPECT_TRUE(editor.Confirm());
  EXPECT_EQ(editor.result(), "OK");
}

TEST_F(ConfigEditorTest, SavedConfigurationReadsBackUnchanged) {
  ConfigEditor editor = Editor();
  editor.SetNameText("  Holiday\r\nalbum ");
  editor.SetDescriptionText("Links to the originals");
  editor.SizeTextChanged(SizeCombo::kImageWidth, "ORIGLINK");
  editor.BarMoved(CountBar::kLinksPerRow, BarRange(CountBar::kLinksPerRow).min_position);
  editor.BarMoved(CountBar::kThumbnailsPerRow, BarRange(CountBar::kThumbnailsPerRow).max_position);
  editor.BarMoved(CountBar::kRowsPerPage, BarRange(CountBar::kRowsPerPage).max_position);
  editor.ListClicked(1);
  editor.BarMoved(CountBar::kThumbnailsPerRow, BarRange(CountBar::kThumbnailsPerRow).min_position);
  editor.BarMoved(CountBar::kQuality, BarRange(CountBar::kQuality).max_position);
  ASSERT_TRUE(editor.Confirm());
  EXPECT_EQ(buffer_.name, "Holiday album");
  EXPECT_EQ(buffer_.distinct_schemes, 2);
  EXPECT_TRUE(buffer_.scaled[0].uses_original);
  EXPECT_TRUE(buffer_.scaled[1].orig_links_available);

  const std::string path = home_ / "etc/config_userdef1.ini";
  ASSERT_EQ(WriteConfig(buffer_, path), 0);
  AlbumConfig read;
  ASSERT_EQ(ReadConfig(path, "config_userdef1.ini", read), 0);
  EXPECT_EQ(read, buffer_);
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace snapcrate
