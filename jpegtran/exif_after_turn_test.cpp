// The EXIF block after a lossless turn: orientation upright, size turned, and
// no harm from broken blocks.

#include "jpegtran/exif_after_turn.h"

#include <gtest/gtest.h>

#include <string>

#include "jpegtran/jpegtran_test_support.h"

namespace snapcrate::testing {
namespace {

using jpegtran::ExifChanges;
using jpegtran::UpdateExifAfterTurn;

ExifChanges Update(std::string* jpeg, int old_width, int old_height, int new_width,
                   int new_height, bool quarter_turn) {
  return UpdateExifAfterTurn(reinterpret_cast<unsigned char*>(jpeg->data()), jpeg->size(),
                             old_width, old_height, new_width, new_height, quarter_turn);
}

TEST(ExifAfterTurn, ResetsOrientationAndTurnsSizeInBothByteOrders) {
  struct Case {
    bool big_endian, long_dimensions;
    ExifValues before;
    bool quarter_turn;
    ExifValues after;
    ExifChanges changes;
  };
  const Case cases[] = {
      {true, false, {6, 640, 480}, true, {1, 480, 640}, {true, true}},
      {false, false, {8, 640, 480}, true, {1, 480, 640}, {true, true}},
      {false, true, {3, 640, 480}, false, {1, 640, 480}, {true, false}},
      {true, true, {1, 640, 480}, true, {1, 480, 640}, {false, true}},
      // A recorded size other than the file's is turned, not replaced.
      {true, false, {1, 3000, 2000}, true, {1, 2000, 3000}, {false, true}},
      {true, false, {1, 3000, 2000}, false, {1, 3000, 2000}, {false, false}},
      // Already set to the new size (libjpeg-turbo does so in some layouts).
      {false, true, {6, 480, 640}, true, {1, 480, 640}, {true, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.before.orientation) + (c.big_endian ? " MM" : " II"));
    std::string jpeg = InsertAfterStart(MakeJpeg(16, 16, 0),
                                        MakeExifSegment(c.big_endian, c.long_dimensions, c.before));
    const ExifChanges changes = Update(&jpeg, 640, 480, c.quarter_turn ? 480 : 640,
                                       c.quarter_turn ? 640 : 480, c.quarter_turn);
    EXPECT_EQ(changes.orientation_reset, c.changes.orientation_reset);
    EXPECT_EQ(changes.dimensions_set, c.changes.dimensions_set);
    const std::string segment = FindSegment(jpeg, 0xE1);
    EXPECT_EQ(ReadExifSegment(segment, c.big_endian, c.long_dimensions), c.after);
  }
}

TEST(ExifAfterTurn, LeavesBrokenBlocksAsTheyAre) {
  const std::string segment = MakeExifSegment(false, false, {6, 640, 480});
  const std::string picture = MakeJpeg(16, 16, 0);
  // Every shortened segment (with its length field claiming the full size, or
  // fixed to the shorter size) and every single damaged byte must be survived.
  for (size_t keep = 4; keep < segment.size(); ++keep) {
    std::string cut = segment.substr(0, keep);
    std::string jpeg = InsertAfterStart(picture, cut);
    Update(&jpeg, 640, 480, 480, 640, true);
    const size_t length = keep - 2;
    cut[2] = char(length >> 8);
    cut[3] = char(length & 0xFF);
    jpeg = InsertAfterStart(picture, cut);
    Update(&jpeg, 640, 480, 480, 640, true);
  }
  for (size_t at = 4; at < segment.size(); ++at) {
    for (unsigned char value : {0x00, 0x01, 0x7F, 0xFF}) {
      std::string damaged = segment;
      damaged[at] = char(value);
      std::string jpeg = InsertAfterStart(picture, damaged);
      Update(&jpeg, 640, 480, 480, 640, true);
    }
  }
  // Not TIFF at all: untouched.
  std::string bogus = segment;
  bogus[10] = 'X';
  std::string jpeg = InsertAfterStart(picture, bogus);
  const std::string before = jpeg;
  const ExifChanges changes = Update(&jpeg, 640, 480, 480, 640, true);
  EXPECT_FALSE(changes.orientation_reset || changes.dimensions_set);
  EXPECT_EQ(jpeg, before);
  std::string empty;
  EXPECT_FALSE(Update(&empty, 1, 1, 1, 1, true).orientation_reset);
}

}  // namespace
}  // namespace snapcrate::testing
