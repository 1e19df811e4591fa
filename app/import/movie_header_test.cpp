#include "app/import/movie_header.h"

#include <gtest/gtest.h>

#include "tests/support/exif_writer/file_bytes.h"
#include "tests/support/exif_writer/movie_builder.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using exif_writer::MakeMovie;
using exif_writer::MovieLayout;
using exif_writer::MovieTime;

constexpr int64_t k2023 = 1'683'055'140;  // 2023-05-02 19:19:00 UTC
constexpr int64_t k2100 = 4'102'444'800;  // beyond 32-bit seconds since 1970

TEST(MovieHeaderTest, CreationTimeOfEitherVersionWhereverTheMovieBoxStands) {
  const struct {
    const char* name;
    MovieLayout layout;
    std::optional<int64_t> time;
  } cases[] = {
      {"version 0 behind the media", {.creation_time = MovieTime(k2023)}, k2023},
      {"version 0 in front of the media",
       {.creation_time = MovieTime(k2023), .movie_box_last = false},
       k2023},
      {"version 1, 64-bit", {.creation_time = MovieTime(k2100), .mvhd_version = 1}, k2100},
      {"time 0: not set by the camera", {.creation_time = 0}, std::nullopt},
      {"before 1970", {.creation_time = MovieTime(0) - 1}, std::nullopt},
      {"no movie header", {}, std::nullopt},
  };
  testing::TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    exif_writer::WriteFileBytes(dir / "clip.mp4", MakeMovie(c.layout));
    EXPECT_EQ(ReadMovieCreationTime(dir / "clip.mp4"), c.time);
  }
}

TEST(MovieHeaderTest, BrokenOrForeignFilesHaveNoTime) {
  testing::TempDir dir;
  const exif_writer::Bytes good = MakeMovie({.creation_time = MovieTime(k2023)});
  const auto cut = [&](size_t length) {
    return exif_writer::Bytes(good.begin(), good.begin() + static_cast<long>(length));
  };
  const struct {
    const char* name;
    exif_writer::Bytes bytes;
  } cases[] = {
      {"cut inside the movie header", cut(good.size() - 100)},
      {"cut inside a box header", cut(good.size() - 3)},
      {"empty file", {}},
      {"a JPEG", {0xFF, 0xD8, 0xFF, 0xD9}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    exif_writer::WriteFileBytes(dir / "clip.mov", c.bytes);
    EXPECT_EQ(ReadMovieCreationTime(dir / "clip.mov"), std::nullopt);
  }
  EXPECT_EQ(ReadMovieCreationTime(dir / "missing.mp4"), std::nullopt);
}

}  // namespace
}  // namespace snapcrate
