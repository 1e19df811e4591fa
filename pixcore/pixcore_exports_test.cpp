// The library is bound by file name and plain function names at run time.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "pixcore/pixcore.h"
#include "pixcore/pixcore_test_support.h"

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
        "PixCore_DeleteBitmap", "PixCore_CompareFiles", "PixCore_Shutdown",
        "PixCore_GetFileImageInfo", "PixCore_OrientCopy", "PixCore_ScaledCopy"}) {
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

size_t ThreadCount() {
  size_t count = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

// Threads of the imaging library alive at exit make leak checkers crash.
TEST(PixCoreExportsDeathTest, ShutdownEndsTheLibrarysThreads) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const size_t before = ThreadCount();
        snapcrate::testing::ScratchDir dir;
        const std::string path = dir / "a.jpg";
        if (!snapcrate::testing::WriteQuadrants(path, 800, 600)) std::exit(2);
        for (int i = 0; i < 3; ++i) {
          int32_t code = 0;
          const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code);
          const int32_t saved = PixCore_SaveImageAsJpeg(bitmap, (dir / "b.jpg").c_str(), 80);
          PixCore_DeleteBitmap(bitmap);
          if (saved != PIXCORE_OK) std::exit(3);
        }
        if (ThreadCount() <= before) std::exit(4);  // the test would prove nothing
        PixCore_Shutdown();
        int32_t code = 0;
        const bool refused = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code) == 0 &&
                             code == PIXCORE_ERROR_INIT;
        std::exit(ThreadCount() <= before && refused ? 0 : 5);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
