#pragma once
// The album's picture files: for every picture and scaled album a thumbnail and
// a full picture, scaled, rotated and encoded as JPEG where needed, copied
// where the original fits, left out where the album links to the original.
// File names and file times decide whether work is needed, so a second run
// over an unchanged tree decodes nothing.

#include <cstdint>
#include <span>
#include <string>

#include "app/generator/picture_list.h"
#include "app/generator/picture_record.h"

namespace snapcrate {

/// Box values below 1 are codes for the original file.
inline constexpr int16_t kOrigSize = 0;   // the original's size, encoded anew
inline constexpr int16_t kOrigLink = -1;  // pages link to the original: no file
inline constexpr int16_t kOrigCopy = -2;  // the original, copied unchanged

/// ResizeImage: the user aborted.
inline constexpr int32_t kResizeAborted = -5;
/// SaveJpgTile: no canvas bitmap could be made.
inline constexpr int32_t kTileNoCanvas = -3;
/// SaveJpgTile: the box has no width or height even after taking the picture's.
inline constexpr int32_t kTileNoBox = -6;

/// Width then height; both above 0 for a box to fit into, else both one code.
struct SizeBox {
  int16_t width = 0;
  int16_t height = 0;
  bool operator==(const SizeBox&) const = default;
};

/// True for the link kind (either value kOrigLink): nothing is produced.
inline bool IsLinkBox(SizeBox box) { return box.width == kOrigLink || box.height == kOrigLink; }

/// What one scaled album asks of the picture files. Thumbnail and full picture
/// share the flag, borders, colour and quality.
struct ScaledOutput {
  SizeBox full;
  SizeBox thumbnail;
  bool exact_size = false;    // the canvas takes the scaled picture's size, not the box's
  int16_t border_width = 0;   // added on the left and on the right
  int16_t border_height = 0;  // added at the top and at the bottom
  int16_t red = 0, green = 0, blue = 0;
  int16_t quality = 85;  // 1 lowest to 100 highest
};

/// "_640x480_" for a box, "_origsize_", "_origcopy_", "_origlink_" for the
/// codes, "_UNDEFINED_" for any other pair.
std::string GetSizeDirName(SizeBox box);

/// True when a new JPEG must be computed for the box, false when the original
/// file serves as it is (or, for copy and link boxes, is copied or linked).
bool IsScalingOfOrigImageNeeded(const PictureRecord& picture, SizeBox box);

/// The produced file's name (with the picture's subchapter directory):
/// "IMG_0001r90.jpg" for a rotated picture, "IMG_0001o6.jpg" for one turned
/// by its EXIF orientation 6, "X.JPG.jpg" for a scaled "X.JPG",
/// the original name for an unscaled copy.
std::string GetOutputFileName(const PictureRecord& picture, SizeBox box);

/// The directory of the thumbnails made at twice a normal box, for screens with
/// two device pixels to the CSS pixel: "_160x160_2x_" for a 160 x 160 box.
/// No box of a configuration can have that name.
std::string GetThumbnail2xDirName(SizeBox box);

/// True when the picture's thumbnail in `box` also gets a file at twice the
/// box (borders doubled, same name in GetThumbnail2xDirName): the box is a
/// normal one, the thumbnail is scaled, and the picture has more pixels than
/// the thumbnail shows. A small original gains nothing from a larger file.
bool IsThumbnail2xNeeded(const PictureRecord& picture, SizeBox box);

/// output_dir + size directory + "/" + output file name.
std::string GetOutputPath(const std::string& output_dir, const PictureRecord& picture, SizeBox box);

/// Where the canvas and the picture on it lie, in pixels.
struct TileGeometry {
  int32_t canvas_width = 0;
  int32_t canvas_height = 0;
  int32_t x = 0;  // the scaled picture's top left corner on the canvas
  int32_t y = 0;
  int32_t width = 0;  // the scaled picture's size
  int32_t height = 0;
};

/// Fits a picture of picture_width x picture_height into a box (a box value of
/// 0 takes the picture's): aspect kept, halves rounded to even, a picture
/// within 3 pixels of the box stretched to it, centred, borders around. With
/// `exact_size` the canvas shrinks to the picture. 1, or kTileNoBox.
int32_t ComputeTileGeometry(int32_t picture_width, int32_t picture_height, int32_t box_width,
                            int32_t box_height, bool exact_size, int32_t border_width,
                            int32_t border_height, TileGeometry& geometry);

/// Draws `bitmap` onto a canvas of the background colour as ComputeTileGeometry
/// places it and saves it as JPEG at `target`; the canvas size goes to the out
/// values. The geometry is computed for picture_width x picture_height when
/// given (a bitmap decoded at a reduced size stands for a larger picture),
/// else for the bitmap's size. 1, kTileNoBox, kTileNoCanvas or the library's
/// code. The bitmap stays with the caller.
int32_t SaveJpgTile(int32_t bitmap, const std::string& target, int32_t box_width,
                    int32_t box_height, const ScaledOutput& style, int32_t& canvas_width,
                    int32_t& canvas_height, int32_t picture_width = 0, int32_t picture_height = 0);

/// Where ResizeImage's side effects go. The plain ResizeImage shows them at
/// once (log, progress display); a worker thread records them instead, for
/// the thread that owns the log and the progress display to replay in order.
/// Copies are made at once either way: a later album may find one made.
class ResizeEffects {
 public:
  virtual ~ResizeEffects() = default;
  /// One log line.
  virtual void Log(std::string message) = 0;
  /// Work is needed for the picture at `source`; true when the user aborted.
  virtual bool WorkStarts(const std::string& source) = 0;
  /// Asked between steps; true when the user aborted.
  virtual bool Aborted() = 0;
  /// Copies the original unchanged to `target`; true when it was made.
  virtual bool Copy(const std::string& source, const std::string& target) = 0;
};

/// The effects shown at once on the calling thread: the log, the progress
/// display with the run's operation counter, the Abort let through at most
/// every 500 ms (a flag set meanwhile is seen at once), copies made at once.
class ShownResizeEffects : public ResizeEffects {
 public:
  explicit ShownResizeEffects(int32_t& operation_counter) : operation_counter_(operation_counter) {}
  void Log(std::string message) override;
  bool WorkStarts(const std::string& source) override;
  bool Aborted() override;
  bool Copy(const std::string& source, const std::string& target) override;

 private:
  int32_t& operation_counter_;
};

/// Makes sure every file of `picture` for `outputs` (one to ten scaled albums),
/// the thumbnails at twice the box included, exists below `output_dir` and is not older than the original in
/// `source_dir` (both ending in "/"). One decode serves every box; nothing is
/// decoded when all files are current. Where no box asks for the original
/// size, the picture is scaled while it is decoded, to the largest size a
/// file needs, and the smaller files are made from that. Adds the files written to
/// `files_made`; raises `operation_counter` (the progress position) once when
/// work is needed. 1 when done or nothing was to do, kResizeAborted, or the
/// failing library or tile code (logged where the library failed).
/// Touches no state but its arguments, the files, the log and the progress.
int32_t ResizeImage(const std::string& source_dir, const std::string& output_dir,
                    const PictureRecord& picture, std::span<const ScaledOutput> outputs,
                    int32_t& files_made, int32_t& operation_counter);

/// ResizeImage with its log lines, progress, abort checks and copies going
/// to `effects`; the rest touches only the picture files, so it may run on
/// any thread (the image library binding must be resolved beforehand).
int32_t ResizeImage(const std::string& source_dir, const std::string& output_dir,
                    const PictureRecord& picture, std::span<const ScaledOutput> outputs,
                    int32_t& files_made, ResizeEffects& effects);

/// Creates output_dir + the size directories of both boxes of `output` (and of
/// the thumbnails at twice a normal box), and in each one directory per
/// subchapter; existing ones are kept, failures are silent. The unfinished
/// files a killed run left in them are removed (with a log line each).
void CreateSizeDirs(const std::string& output_dir, const ScaledOutput& output,
                    std::span<const Subchapter> subchapters);

}  // namespace snapcrate
