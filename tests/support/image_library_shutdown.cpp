// Linked into test programs that read pictures through libpixcore.so: stops
// the library's threads after the last test, as the programs do before they
// end, so that the leak checker at exit finds none running.

#include <gtest/gtest.h>

#include "app/pictures/image_library.h"

namespace {

class ImageLibraryShutdown : public ::testing::Environment {
 public:
  void TearDown() override { snapcrate::PixCoreShutdown(); }
};

[[maybe_unused]] ::testing::Environment* const kShutdown =
    ::testing::AddGlobalTestEnvironment(new ImageLibraryShutdown);

}  // namespace
