// The library is bound by file name and plain function names at run time.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pixcore/pixcore.h"

namespace {

TEST(PixCoreExports, BindsEveryFunctionByPlainName) {
  void* library = dlopen(SNAPCRATE_TEST_HOME "libpixcore.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* name :
       {"PixCore_GetVersion", "PixCore_GetFileImageType", "PixCore_GetFileImageSize",
        "PixCore_LoadImage", "PixCore_LoadImageForBox", "PixCore_LoadImageScaled",
        "PixCore_GetImageSize",
        "PixCore_RotateCopy", "PixCore_CreateBitmap", "PixCore_FillBitmap",
        "PixCore_LinearDownScaleCopy", "PixCore_ScaleCopy", "PixCore_SaveImageAsJpeg",
        "PixCore_SaveTileAsJpeg",
        "PixCore_DeleteBitmap", "PixCore_CompareFiles"}) {
    EXPECT_NE(dlsym(library, name), nullptr) << name;
  }
  // Helpers stay inside the library.
  EXPECT_EQ(dlsym(library, "_ZN9snapcrate7pixcore9StartVipsEv"), nullptr);
  dlclose(library);
}

TEST(PixCoreExports, VersionNamesBothLibrariesWithinTheBuffer) {
  char buffer[PIXCORE_VERSION_BUFFER_SIZE];
  std::memset(buffer, 'x', sizeof buffer);
  ASSERT_EQ(PixCore_GetVersion(buffer), PIXCORE_OK);
  ASSERT_NE(std::memchr(buffer, '\0', sizeof buffer), nullptr);
  const std::string version = buffer;
  EXPECT_EQ(version.rfind("pixcore ", 0), 0u) << version;
  EXPECT_NE(version.find("(libvips "), std::string::npos) << version;
  EXPECT_EQ(PixCore_GetVersion(nullptr), PIXCORE_ERROR_ARGUMENT);
}

}  // namespace
