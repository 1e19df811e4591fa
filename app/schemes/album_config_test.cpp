#include "app/schemes/album_config.h"

#include <cstdio>

#include "app/schemes/scheme_reader.h"
#include "app/schemes/schemes_test_support.h"
#include "app/schemes/size_codes.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::SchemesTest;
using testing::WriteFile;

class AlbumConfigTest : public SchemesTest {
 protected:
  AlbumConfigTest() {
    WriteSchemeIni("a", "Alpha", "index=p\n");
    WritePage("a", "p");
    WriteSchemeIni("b", "Beta", "index=p\n");
    WritePage("b", "p");
    LoadSchemes();
    alpha_ = static_cast<int16_t>(FindSchemeByName("Alpha"));
    beta_ = static_cast<int16_t>(FindSchemeByName("Beta"));
  }
  void WriteConfigFile(const std::string& key, const std::string& text) {
    WriteFile(home_ / ("etc/config_" + key + ".ini"), WithCrLf(text));
  }
  int16_t alpha_ = 0;
  int16_t beta_ = 0;
};

TEST_F(AlbumConfigTest, ParsesEveryFieldOfAScaledAlbumLine) {
  ScaledAlbumScheme entry;
  ASSERT_TRUE(ParseScaledSchemeLine("Alpha, 800x600 ,100x75,4,5x3,0x0,0,#FFFFFF,85", entry));
  ScaledAlbumScheme expected;
  expected.scheme = alpha_;
  expected.width = 800;
  expected.height = 600;
  expected.thumbnail_width = 100;
  expected.thumbnail_height = 75;
  expected.links_per_row = 4;
  expected.thumbnails_per_row = 5;
  expected.rows_per_page = 3;
  expected.red = expected.green = expected.blue = 255;
  expected.quality = 85;
  EXPECT_EQ(entry, expected);

  ASSERT_TRUE(ParseScaledSchemeLine("Beta,800x600,100x75,4,5,3000x5,1,#FF8000,70,extra", entry));
  EXPECT_EQ(entry.scheme, beta_);
  EXPECT_EQ(entry.rows_per_page, 10);
  EXPECT_EQ(entry.border_width, 0);
  EXPECT_EQ(entry.border_height, 5);
  EXPECT_TRUE(entry.exact_size);
  EXPECT_EQ(entry.red, 255);
  EXPECT_EQ(entry.green, 128);
  EXPECT_EQ(entry.blue, 0);
  EXPECT_EQ(entry.quality, 70);

  // A colour that is not seven characters long stays black.
  ASSERT_TRUE(ParseScaledSchemeLine("Alpha,800x600,100x75,4,5x0,0x0,0,#FFF,85", entry));
  EXPECT_EQ(entry.red + entry.green + entry.blue, 0);
  EXPECT_EQ(entry.rows_per_page, 0);
}

TEST_F(AlbumConfigTest, SizeKeywordsAreRecognisedByTheirBeginning) {
  const struct {
    const char* field;
    int16_t size;
    bool uses_original;
  } cases[] = {{"$ORIGLINK", kSizeOrigLink, true},
               {"$ORIGCOPYx$ORIGCOPY", kSizeOrigCopy, true},
               {"$ORIGSIZE anything", kSizeOrigSize, false}};
  for (const auto& c : cases) {
    ScaledAlbumScheme entry;
    ASSERT_TRUE(ParseScaledSchemeLine(std::string("Alpha,") + c.field + ",100x75,4,5x3,0x0,0,#000000,85", entry))
        << c.field;
    EXPECT_EQ(entry.width, c.size);
    EXPECT_EQ(entry.height, c.size);
    EXPECT_EQ(entry.uses_original, c.uses_original);
  }
}

TEST_F(AlbumConfigTest, RangeChecksRejectTheLine) {
  const char* lines[] = {
      "Alpha,9x600,100x75,4,5x3,0x0,0,#FFFFFF,85",      // width below 10
      "Alpha,800x5001,100x75,4,5x3,0x0,0,#FFFFFF,85",   // height above 5000
      "Alpha,5001x600,100x75,4,5x3,0x0,0,#FFFFFF,85",   // width above 5000
      "Alpha,800x9,100x75,4,5x3,0x0,0,#FFFFFF,85",      // height below 10
      "Alpha,800,100x75,4,5x3,0x0,0,#FFFFFF,85",        // no "x"
      "Alpha,x600,100x75,4,5x3,0x0,0,#FFFFFF,85",       // "x" first
      "Alpha,ORIGLINK,100x75,4,5x3,0x0,0,#FFFFFF,85",   // keyword without "$"
      "Alpha,800x600,9x75,4,5x3,0x0,0,#FFFFFF,85",      // thumbnail width below 10
      "Alpha,800x600,100x1001,4,5x3,0x0,0,#FFFFFF,85",  // thumbnail height above 1000
      "Alpha,800x600,1001x75,4,5x3,0x0,0,#FFFFFF,85",   // thumbnail width above 1000
      "Alpha,800x600,100,4,5x3,0x0,0,#FFFFFF,85",       // no thumbnail "x"
      "Alpha,800x600,100x75,0,5x3,0x0,0,#FFFFFF,85",    // links per row below 1
      "Alpha,800x600,100x75,21,5x3,0x0,0,#FFFFFF,85",   // links per row above 20
      "Alpha,800x600,100x75,4,0x3,0x0,0,#FFFFFF,85",    // thumbnails per row below 1
      "Alpha,800x600,100x75,4,100x3,0x0,0,#FFFFFF,85",  // thumbnails per row above 99
      "Alpha,800x600,100x75,4,5x101,0x0,0,#FFFFFF,85",  // rows per page above 100
      "Alpha,800x600,100x75,4,5x-1,0x0,0,#FFFFFF,85",   // rows per page below 0
      "Alpha,800x600,100x75,4,5x3,0x0,0,#FFFFFF",       // eight fields
  };
  for (const char* line : lines) {
    ScaledAlbumScheme entry;
    EXPECT_FALSE(ParseScaledSchemeLine(line, entry)) << line;
  }
  EXPECT_TRUE(ui_.messages.empty());
  ScaledAlbumScheme entry;
  EXPECT_FALSE(ParseScaledSchemeLine("Gamma,800x600,100x75,4,5x3,0x0,0,#FFFFFF,85", entry));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"'Gamma' not found!"});
}

TEST_F(AlbumConfigTest, ReadsAConfigurationAndReportsItsFaults) {
  WriteConfigFile("mine",
                  "[Name]\n  Mine  \n[Description]\nTwo albums\n[IndexMainScheme]\nBeta\n"
                  "[ScaledAlbumSchemes]\n; a comment\n\n"
                  "Alpha,640x480,100x75,4,5x3,0x0,1,#000000,85\n"
                  "Alpha,21x21,100x75,44,5x3,0x0,1,#000000,85\n"
                  "Alpha,$ORIGLINK,100x75,4,5x3,0x0,1,#000000,85\n"
                  "Beta,1024x768,160x160,4,5x3,0x0,1,#000000,90\n");
  AlbumConfig config;
  ASSERT_EQ(ReadConfig(home_ / "etc/config_mine.ini", "config_mine.ini", config), 0);
  EXPECT_EQ(ui_.messages,
            std::vector<std::string>{"Invalid config line 'Alpha,21x21,100x75,44,5x3,0x0,1,#000000,85'"});
  EXPECT_EQ(config.key, "mine");
  EXPECT_EQ(config.name, "Mine");
  EXPECT_EQ(config.description, "Two albums");
  EXPECT_EQ(config.main_scheme, beta_);
  ASSERT_EQ(config.scaled.size(), 3u);
  EXPECT_EQ(config.distinct_schemes, 2);
  for (const ScaledAlbumScheme& entry : config.scaled) EXPECT_TRUE(entry.orig_links_available);
  EXPECT_TRUE(config.scaled[1].uses_original);
  EXPECT_FALSE(config.scaled[0].uses_original);

  const struct {
    const char* text;
    std::string message;
  } faults[] = {
      {"[Description]\nd\n[IndexMainScheme]\nAlpha\n[ScaledAlbumSchemes]\n", "Invalid Config file config_bad.ini"},
      {"[Name]\nn\n[IndexMainScheme]\n \n[ScaledAlbumSchemes]\n", "Invalid Config file config_bad.ini"},
      {"[Name]\nn\n[IndexMainScheme]\nGamma\n[ScaledAlbumSchemes]\n", "'config_bad.ini': 'Gamma' not found!"},
      {"[Name]\nn\n[IndexMainScheme]\nAlpha\n", ""},
  };
  for (const auto& fault : faults) {
    ui_.messages.clear();
    WriteConfigFile("bad", fault.text);
    EXPECT_EQ(ReadConfig(home_ / "etc/config_bad.ini", "config_bad.ini", config), -1) << fault.text;
    const std::vector<std::string> expected =
        fault.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{fault.message};
    EXPECT_EQ(ui_.messages, expected) << fault.text;
  }
  ui_.messages.clear();
  EXPECT_EQ(ReadConfig(home_ / "etc/config_none.ini", "config_none.ini", config), -1);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Can't open " + home_ / "etc/config_none.ini"});
}

TEST_F(AlbumConfigTest, WrittenConfigurationReadsBackTheSame) {
  AlbumConfig config;
  config.key = "userdef1";
  config.name = "Round trip";
  config.description = "Every kind of size";
  config.main_scheme = beta_;
  const int16_t sizes[][2] = {{800, 600}, {kSizeOrigLink, kSizeOrigLink}, {kSizeOrigCopy, kSizeOrigCopy},
                              {kSizeOrigSize, kSizeOrigSize}};
  int16_t n = 0;
  for (const auto& size : sizes) {
    ScaledAlbumScheme entry;
    entry.scheme = n % 2 ? alpha_ : beta_;
    entry.width = size[0];
    entry.height = size[1];
    entry.uses_original = size[0] == kSizeOrigLink || size[0] == kSizeOrigCopy;
    entry.thumbnail_width = static_cast<int16_t>(140 + n);
    entry.thumbnail_height = 100;
    entry.links_per_row = static_cast<int16_t>(1 + n);
    entry.thumbnails_per_row = 99;
    entry.rows_per_page = static_cast<int16_t>(n * 10);
    entry.border_width = 2000;
    entry.border_height = n;
    entry.exact_size = n % 2 == 0;
    entry.red = 1;
    entry.green = 0xAB;
    entry.blue = 255;
    entry.quality = static_cast<int16_t>(50 + n);
    entry.orig_links_available = true;
    config.scaled.push_back(entry);
    ++n;
  }
  config.distinct_schemes = 2;
  const std::string path = home_ / "etc/config_userdef1.ini";
  ASSERT_EQ(WriteConfig(config, path), 0);
  EXPECT_TRUE(ReadFile(path).starts_with(
      "[Name]\r\nRound trip\r\n[Description]\r\nEvery kind of size\r\n[IndexMainScheme]\r\nBeta\r\n"
      "[ScaledAlbumSchemes]\r\nBeta,800x600,140x100,1,99x0,2000x0,1,#01ABFF,50\r\n"));
  EXPECT_NE(ReadFile(path).find("\r\nAlpha,$ORIGLINKx$ORIGLINK,141x100,2,99x10,2000x1,0,#01ABFF,51\r\n"),
            std::string::npos);
  AlbumConfig back;
  ASSERT_EQ(ReadConfig(path, "config_userdef1.ini", back), 0);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(back, config);

  EXPECT_EQ(WriteConfig(config, home_ / "no/such/dir/config_x.ini"), -1);
}

TEST_F(AlbumConfigTest, TablesStopAtTheirCapacityWithAMessage) {
  std::string lines;
  for (int i = 0; i < 11; ++i) lines += "Alpha,800x600,100x75,4,5x3,0x0,0,#FFFFFF," + std::to_string(80 + i) + "\n";
  WriteConfigFile("big", "[Name]\nBig\n[IndexMainScheme]\nAlpha\n[ScaledAlbumSchemes]\n" + lines);
  AlbumConfig config;
  ASSERT_EQ(ReadConfig(home_ / "etc/config_big.ini", "config_big.ini", config), 0);
  EXPECT_EQ(config.scaled.size(), 10u);
  EXPECT_EQ(config.scaled.back().quality, 89);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{
                              "'config_big.ini': too much scaled album schemes, line "
                              "'Alpha,800x600,100x75,4,5x3,0x0,0,#FFFFFF,90' is not used (at most 10)."});

  std::remove((home_ / "etc/config_big.ini").c_str());
  for (int i = 1; i <= 21; ++i)
    WriteConfigFile("c" + std::to_string(i), "[Name]\nC\n[IndexMainScheme]\nAlpha\n[ScaledAlbumSchemes]\n");
  WriteFile(home_ / "etc/config_notes.txt", "not a configuration");
  ui_.messages.clear();
  LoadConfigs();
  EXPECT_EQ(Configs().size(), 20u);
  ASSERT_EQ(ui_.messages.size(), 1u);  // 21 configurations, one refused
  EXPECT_TRUE(ui_.messages[0].starts_with("Too much configurations! 'config_")) << ui_.messages[0];
}

TEST_F(AlbumConfigTest, SizeCodesAndLabels) {
  const struct {
    int16_t size;
    const char* plain;
    const char* keyword;
  } formats[] = {{800, "800", "800"}, {1, "1", "1"}, {0, "ORIGSIZE", "$ORIGSIZE"},
                 {-1, "ORIGLINK", "$ORIGLINK"}, {-2, "ORIGCOPY", "$ORIGCOPY"}, {-7, "ORIGSIZE", "$ORIGSIZE"}};
  for (const auto& f : formats) {
    EXPECT_EQ(FormatSizeCode(f.size, false), f.plain);
    EXPECT_EQ(FormatSizeCode(f.size, true), f.keyword);
  }
  const struct {
    const char* text;
    bool keyword;
    int16_t size;
  } parses[] = {{" origlink ", true, -1}, {"ORIGCOPY", true, -2}, {"OrigSize", true, 0},
                {"ORIGLINK", false, 9999}, {"12345", true, 9999},  {"20", true, 32},
                {"1024", true, 1024},     {"abc", true, 32},       {"", false, 32}};
  for (const auto& p : parses) EXPECT_EQ(ParseSizeCode(p.text, p.keyword), p.size) << p.text;

  EXPECT_EQ(FormatOrigSizeLabels(800, 600), std::make_pair(std::string("800"), std::string("600")));
  EXPECT_EQ(FormatOrigSizeLabels(-2, -2).second, "Orig. Height (Copy)");
  EXPECT_EQ(FormatOrigSizeLabels(-1, -1), std::make_pair(std::string("Orig. Width"), std::string("Orig. Height (Link)")));
  EXPECT_EQ(FormatOrigSizeLabels(0, 0).second, "Orig. Height");

  AlbumConfig config;
  ScaledAlbumScheme entry;
  entry.scheme = beta_;
  entry.width = 800;
  entry.height = 600;
  config.scaled.push_back(entry);
  entry.scheme = alpha_;
  entry.width = entry.height = kSizeOrigLink;
  config.scaled.push_back(entry);
  entry.scheme = beta_;
  entry.width = entry.height = kSizeOrigSize;
  config.scaled.push_back(entry);
  const std::string alpha = "Alp:Orig. Width x Orig. Height (Link) Pixel";
  const std::string beta = "Bet:800 x 600, Orig. Width x Orig. Height Pixel";
  EXPECT_EQ(ListSchemeSizes(config), alpha_ == 1 ? alpha + "\r\n" + beta : beta + "\r\n" + alpha);
}

}  // namespace
}  // namespace snapcrate
