// The type probe decides from the name alone which directory entries are pictures.

#include <gtest/gtest.h>
#include <vips/vips.h>

#include "pixcore/pixcore.h"

namespace {

TEST(PixCoreType, NamesPicturesByExtensionInAnyCase) {
  struct Case {
    const char* name;
    int32_t type;
  };
  const Case cases[] = {
      {"a.jpg", PIXCORE_TYPE_JPEG},
      {"IMG_0001.JPG", PIXCORE_TYPE_JPEG},
      {"a.jpeg", PIXCORE_TYPE_JPEG},
      {"a.JPEG", PIXCORE_TYPE_JPEG},
      {"_sub/a.Jpg", PIXCORE_TYPE_JPEG},
      {"_sub\\a.jpg", PIXCORE_TYPE_JPEG},
      {"two.dots.png", PIXCORE_TYPE_PNG},
      {"a.gif", PIXCORE_TYPE_GIF},
      {"a.tif", PIXCORE_TYPE_TIFF},
      {"a.TIFF", PIXCORE_TYPE_TIFF},
      {"a.webp", PIXCORE_TYPE_WEBP},
      {"a.txt", PIXCORE_TYPE_NONE},
      {"a.dsc", PIXCORE_TYPE_NONE},
      {"a.jpg.bak", PIXCORE_TYPE_NONE},
      {"a.jpg ", PIXCORE_TYPE_NONE},
      {"a.", PIXCORE_TYPE_NONE},
      {"jpg", PIXCORE_TYPE_NONE},
      {".jpg", PIXCORE_TYPE_NONE},
      {"sub/.jpg", PIXCORE_TYPE_NONE},
      {"dir.jpg/readme", PIXCORE_TYPE_NONE},
      {"dir.jpg\\readme", PIXCORE_TYPE_NONE},
      {"a.mov", PIXCORE_TYPE_NONE},
      {"a.pdf", PIXCORE_TYPE_NONE},
      {"STOP_SNAPCRATE", PIXCORE_TYPE_NONE},
      {"", PIXCORE_TYPE_NONE},
  };
  for (const Case& c : cases) EXPECT_EQ(PixCore_GetFileImageType(c.name), c.type) << c.name;
  EXPECT_EQ(PixCore_GetFileImageType(nullptr), PIXCORE_TYPE_NONE);
}

TEST(PixCoreType, NamesHeifOnlyWhereLibvipsReadsIt) {
  ASSERT_EQ(VIPS_INIT("pixcore_test"), 0);
  const bool readable = vips_type_find("VipsOperation", "heifload") != 0;
  for (const char* name : {"a.heic", "a.HEIF", "a.hif"}) {
    EXPECT_EQ(PixCore_GetFileImageType(name), readable ? PIXCORE_TYPE_HEIF : PIXCORE_TYPE_NONE)
        << name;
  }
}

}  // namespace
