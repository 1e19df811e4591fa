// File comparison tells the import whether a picture is already there.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pixcore/pixcore.h"
#include "pixcore/pixcore_test_support.h"

namespace snapcrate::testing {
namespace {

TEST(PixCoreCompare, SameBytesOnlyCountAsSame) {
  ScratchDir dir;
  const std::string big(3 * 256 * 1024 + 17, 'a');
  std::string big_last = big;
  big_last.back() = 'b';
  std::string big_first = big;
  big_first.front() = 'b';
  ASSERT_TRUE(WriteBytes(dir / "a", "picture bytes"));
  ASSERT_TRUE(WriteBytes(dir / "a_copy", "picture bytes"));
  ASSERT_TRUE(WriteBytes(dir / "a_changed", "picture bytez"));
  ASSERT_TRUE(WriteBytes(dir / "a_longer", "picture bytes!"));
  ASSERT_TRUE(WriteBytes(dir / "empty1", ""));
  ASSERT_TRUE(WriteBytes(dir / "empty2", ""));
  ASSERT_TRUE(WriteBytes(dir / "big", big));
  ASSERT_TRUE(WriteBytes(dir / "big_copy", big));
  ASSERT_TRUE(WriteBytes(dir / "big_last", big_last));
  ASSERT_TRUE(WriteBytes(dir / "big_first", big_first));
  std::filesystem::create_directory(dir / "folder");
  std::filesystem::create_hard_link(dir / "a", dir / "a_link");

  struct Case {
    const char* first;
    const char* second;
    int32_t result;
  };
  const Case cases[] = {
      {"a", "a_copy", 0},
      {"a", "a", 0},
      {"a", "a_link", 0},
      {"empty1", "empty2", 0},
      {"big", "big_copy", 0},
      {"a", "a_changed", PIXCORE_FILES_DIFFER},
      {"a", "a_longer", PIXCORE_FILES_DIFFER},
      {"a_longer", "a", PIXCORE_FILES_DIFFER},
      {"big", "big_last", PIXCORE_FILES_DIFFER},
      {"big", "big_first", PIXCORE_FILES_DIFFER},
      {"a", "missing", PIXCORE_ERROR_OPEN},
      {"missing", "a", PIXCORE_ERROR_OPEN},
      {"folder", "folder", PIXCORE_ERROR_OPEN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PixCore_CompareFiles((dir / c.first).c_str(), (dir / c.second).c_str()), c.result)
        << c.first << " vs " << c.second;
  }
  EXPECT_EQ(PixCore_CompareFiles(nullptr, (dir / "a").c_str()), PIXCORE_ERROR_OPEN);
}

}  // namespace
}  // namespace snapcrate::testing
