#include "app/generator/image_scaling.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/generator/pixcore_bitmaps.h"
#include "app/log.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/progress.h"
#include "pixcore/pixcore.h"

namespace snapcrate {
namespace {

// Below this excess over the box an original is used as it is, unless it is
// 200 pixels or more in that direction.
constexpr int32_t kSmallExcess = 10;
constexpr int32_t kLargeOriginal = 200;
// A box at least this many times the original in both directions scales up.
constexpr double kUpscaleRatio = 1.2;
// A scaled side this close to the box is stretched to it instead of centred.
constexpr int32_t kStretchSlack = 4;

bool IsOriginalFormat(const std::string& extension) {
  return extension == ".gif" || extension == ".jpg" || extension == ".png";
}

bool LastWriteTime(const std::string& path, int64_t& time) {
  FindRecord record;
  if (!FindFile(path, record) || record.is_directory) return false;
  time = record.last_write_time;
  return true;
}

/// A copy keeps its original's last-write time, so only a strictly newer
/// original makes a file outdated.
bool IsOutdated(const std::string& target, bool source_known, int64_t source_time) {
  int64_t target_time = 0;
  if (!LastWriteTime(target, target_time)) return true;
  return source_known && source_time > target_time;
}

/// Lets the user's Abort through at most every 500 ms, and sees a flag set
/// meanwhile (Ctrl-C, another window) at once.
bool AbortChecked(int32_t position) {
  return ProgressUpdateThrottled(position, "@") || AbortRequested();
}

/// One file a picture may need for one box of one scaled album.
struct OutputFile {
  SizeBox box;
  const ScaledOutput* style;
  std::string target;
  bool scaled;
  bool outdated;  // when the work was planned
  // A thumbnail: its file at twice the box in `files`, whose picture it is
  // made from when both are made; -1 for none.
  int doubled = -1;
};

/// IsScalingOfOrigImageNeeded, its complaint going to `effects` (null: the log).
bool ScalingNeeded(const PictureRecord& picture, SizeBox box, ResizeEffects* effects);

/// GetOutputFileName, likewise.
std::string OutputFileName(const PictureRecord& picture, SizeBox box, ResizeEffects* effects) {
  std::string extension;
  std::string base = SplitExt(picture.file_name, extension);
  if (box.width >= 0 && box.height >= 0 && picture.rotation != 0)
    base += "r" + std::to_string(picture.rotation);
  // A name of its own, so that switching the EXIF turn on or off makes the
  // files anew instead of finding the other kind up to date.
  if (box.width >= 0 && box.height >= 0 && picture.orientation != 1)
    base += "o" + std::to_string(picture.orientation);
  if (!ScalingNeeded(picture, box, effects)) return base + extension;
  if (extension == ".jpg") return base + ".jpg";
  return base + extension + ".jpg";
}

/// The size the geometry is computed for. A JPEG decoded at 1/2, 1/4 or 1/8
/// of its size stands for the original, so the files come out exactly as
/// from a full decode.
void GeometrySize(const PictureRecord& picture, int32_t loaded_width, int32_t loaded_height,
                  int32_t width, int32_t height, int32_t& geometry_width,
                  int32_t& geometry_height) {
  geometry_width = width;
  geometry_height = height;
  if (picture.width < 1 || picture.height < 1 || loaded_width < 1 || loaded_height < 1) return;
  if (loaded_width == picture.width && loaded_height == picture.height) return;
  bool reduced = false;
  for (const int32_t factor : {2, 4, 8})
    reduced = reduced || (std::abs(int64_t{loaded_width} * factor - picture.width) < factor &&
                          std::abs(int64_t{loaded_height} * factor - picture.height) < factor);
  if (!reduced) return;  // the file changed since it was listed: trust the pixels
  const bool quarter = IsTurnedSideways(picture);
  const bool straight = picture.rotation % 180 == 0 && !quarter;
  if (straight && width == loaded_width && height == loaded_height) {
    geometry_width = picture.width;
    geometry_height = picture.height;
  } else if (quarter && width == loaded_height && height == loaded_width) {
    geometry_width = picture.height;
    geometry_height = picture.width;
  } else {
    // Other angles widen the picture; its scale is the decode's.
    const double scale = double(picture.width) / loaded_width;
    geometry_width = std::max(1, ToInt32(width * scale));
    geometry_height = std::max(1, ToInt32(height * scale));
  }
}

}  // namespace

std::string GetSizeDirName(SizeBox box) {
  std::string name;
  if (box.width > 0 && box.height > 0)
    name = std::to_string(box.width) + "x" + std::to_string(box.height);
  else if (box.width == kOrigSize && box.height == kOrigSize)
    name = "origsize";
  else if (box.width == kOrigCopy && box.height == kOrigCopy)
    name = "origcopy";
  else if (box.width == kOrigLink && box.height == kOrigLink)
    name = "origlink";
  else
    name = "UNDEFINED";
  return "_" + name + "_";
}

namespace {

bool ScalingNeeded(const PictureRecord& picture, SizeBox box, ResizeEffects* effects) {
  const int32_t W = picture.width, H = picture.height;
  const int32_t w = box.width, h = box.height;
  if (W < 1 || H < 1) {
    const std::string message = "IsScalingOfOrigImageNeeded: internal error";
    if (effects) effects->Log(message);
    else LogMessage(message);
    return false;
  }
  if (w < 0 || h < 0) return false;
  if (picture.extension.empty()) return true;
  if (!IsOriginalFormat(picture.extension)) return true;
  if (picture.rotation != 0 || picture.orientation != 1) return true;
  if (w == 0 && h == 0) return false;
  if (W - w >= kSmallExcess || H - h >= kSmallExcess) return true;
  if ((W - w > 0 && W >= kLargeOriginal) || (H - h > 0 && H >= kLargeOriginal)) return true;
  if (double(w) / W >= kUpscaleRatio && double(h) / H >= kUpscaleRatio) return true;
  return false;
}

}  // namespace

bool IsScalingOfOrigImageNeeded(const PictureRecord& picture, SizeBox box) {
  return ScalingNeeded(picture, box, nullptr);
}

std::string GetThumbnail2xDirName(SizeBox box) { return GetSizeDirName(box) + "2x_"; }

namespace {

constexpr int32_t kLargestDoubledBox = INT16_MAX / 2;

SizeBox Doubled(SizeBox box) {
  return {static_cast<int16_t>(2 * box.width), static_cast<int16_t>(2 * box.height)};
}

bool Thumbnail2xNeeded(const PictureRecord& picture, SizeBox box, ResizeEffects* effects) {
  if (box.width <= 0 || box.height <= 0 || box.width > kLargestDoubledBox ||
      box.height > kLargestDoubledBox)
    return false;
  if (!ScalingNeeded(picture, box, effects)) return false;
  const bool upright = picture.rotation % 180 == 0;
  const int32_t width = upright ? picture.width : picture.height;
  const int32_t height = upright ? picture.height : picture.width;
  TileGeometry geometry;
  if (ComputeTileGeometry(width, height, box.width, box.height, false, 0, 0, geometry) !=
      PIXCORE_OK)
    return false;
  return geometry.width < width && geometry.height < height;
}

}  // namespace

bool IsThumbnail2xNeeded(const PictureRecord& picture, SizeBox box) {
  return Thumbnail2xNeeded(picture, box, nullptr);
}

std::string GetOutputFileName(const PictureRecord& picture, SizeBox box) {
  return OutputFileName(picture, box, nullptr);
}

std::string GetOutputPath(const std::string& output_dir, const PictureRecord& picture,
                          SizeBox box) {
  return output_dir + GetSizeDirName(box) + "/" + GetOutputFileName(picture, box);
}

int32_t ComputeTileGeometry(int32_t picture_width, int32_t picture_height, int32_t box_width,
                            int32_t box_height, bool exact_size, int32_t border_width,
                            int32_t border_height, TileGeometry& geometry) {
  geometry = TileGeometry();
  int32_t W = box_width == 0 ? picture_width : box_width;
  int32_t H = box_height == 0 ? picture_height : box_height;
  // A negative box is a code that never reaches here; it fits nothing.
  if (W <= 0 || H <= 0 || picture_width <= 0 || picture_height <= 0) return kTileNoBox;

  const double ratio = std::max(double(picture_width) / W, double(picture_height) / H);
  int32_t width = std::max(1, ToInt32(picture_width / ratio));
  int32_t height = std::max(1, ToInt32(picture_height / ratio));
  int32_t x = 0, y = 0;
  if (W - width < kStretchSlack)
    width = W;
  else
    x = ToInt32((W - width) / 2.0);
  if (H - height < kStretchSlack)
    height = H;
  else
    y = ToInt32((H - height) / 2.0);
  if (exact_size) {
    W = width;
    H = height;
    x = 0;
    y = 0;
  }
  geometry.canvas_width = std::max<int32_t>(1, W + 2 * border_width);
  geometry.canvas_height = std::max<int32_t>(1, H + 2 * border_height);
  geometry.x = border_width + x;
  geometry.y = border_height + y;
  geometry.width = width;
  geometry.height = height;
  return PIXCORE_OK;
}

int32_t SaveJpgTile(int32_t bitmap, const std::string& target, int32_t box_width,
                    int32_t box_height, const ScaledOutput& style, int32_t& canvas_width,
                    int32_t& canvas_height, int32_t picture_width, int32_t picture_height) {
  canvas_width = 0;
  canvas_height = 0;
  if (picture_width < 1 || picture_height < 1) {
    const int32_t code = PixCoreGetImageSize(bitmap, picture_width, picture_height);
    if (code != PIXCORE_OK) return code;
  }
  TileGeometry geometry;
  const int32_t fitted =
      ComputeTileGeometry(picture_width, picture_height, box_width, box_height, style.exact_size,
                          style.border_width, style.border_height, geometry);
  if (fitted != PIXCORE_OK) return fitted;
  canvas_width = geometry.canvas_width;
  canvas_height = geometry.canvas_height;

  // A quality the library refuses would fail every picture of the album.
  const int32_t quality = std::clamp<int32_t>(style.quality, 1, 100);
  // Upwards or downwards alike, the picture goes into its own rectangle, so
  // borders, background and aspect survive a picture smaller than the box.
  // The canvas is drawn while it is encoded, never held in memory.
  const int32_t code = PixCoreSaveTileAsJpeg(bitmap, target, geometry.canvas_width,
                                             geometry.canvas_height, geometry.x, geometry.y,
                                             geometry.width, geometry.height, style.red,
                                             style.green, style.blue, quality);
  return code == PIXCORE_ERROR_TOO_LARGE ? kTileNoCanvas : code;
}

void ShownResizeEffects::Log(std::string message) { LogMessage(message); }

bool ShownResizeEffects::WorkStarts(const std::string& source) {
  return ProgressUpdate(++operation_counter_, source);
}

bool ShownResizeEffects::Aborted() { return AbortChecked(operation_counter_); }

bool ShownResizeEffects::Copy(const std::string& source, const std::string& target) {
  return CopyFile(source, target) == 0;
}

namespace {

/// The size of the largest picture rectangle any outdated scaled file needs,
/// for a picture of turned_width x turned_height (as it stands once turned);
/// false when a file needs the picture at its full size or larger.
bool LargestTile(const std::vector<OutputFile>& files, int32_t turned_width, int32_t turned_height,
                 int32_t& width, int32_t& height) {
  width = 0;
  height = 0;
  for (const OutputFile& file : files) {
    if (!file.scaled || !file.outdated) continue;
    TileGeometry geometry;
    if (ComputeTileGeometry(turned_width, turned_height, file.box.width, file.box.height,
                            file.style->exact_size, file.style->border_width,
                            file.style->border_height, geometry) != PIXCORE_OK)
      return false;
    width = std::max(width, geometry.width);
    height = std::max(height, geometry.height);
  }
  return width > 0 && height > 0 && width < turned_width && height < turned_height;
}

/// Decodes the picture for the outdated scaled files and turns it; the
/// geometry size is what the files are fitted to (the original's size, turned).
int32_t DecodeForFiles(const std::string& source, const PictureRecord& picture,
                       const std::vector<OutputFile>& files, bool full_decode, int32_t max_width,
                       int32_t max_height, ResizeEffects& effects, PixBitmap& bitmap,
                       int32_t& geometry_width, int32_t& geometry_height) {
  int32_t code = 0;
  const bool right_angle = picture.rotation % 90 == 0;
  const bool upright = !IsTurnedSideways(picture);
  const int32_t turned_width = upright ? picture.width : picture.height;
  const int32_t turned_height = upright ? picture.height : picture.width;
  int32_t tile_width = 0, tile_height = 0;
  // Scaled while decoded: only the largest file's pixels are ever held, and
  // that file of an unturned picture comes out exactly as from a full decode.
  const bool scale_on_load = !full_decode && right_angle && picture.width > 0 &&
                             picture.height > 0 &&
                             LargestTile(files, turned_width, turned_height, tile_width, tile_height);
  if (scale_on_load) {
    bitmap = PixCoreLoadImageScaled(PIXCORE_DETECT_FORMAT, source, upright ? tile_width : tile_height,
                                    upright ? tile_height : tile_width, code);
  } else {
    bitmap = full_decode ? PixCoreLoadImage(PIXCORE_DETECT_FORMAT, source, code)
                         : PixCoreLoadImageForBox(PIXCORE_DETECT_FORMAT, source, max_width,
                                                  max_height, code);
  }
  if (!bitmap || code != PIXCORE_OK) {
    if (code == PIXCORE_OK) code = PIXCORE_ERROR_DECODE;
    effects.Log("PixCore_LoadImage: Error " + std::to_string(code) + " while loading '" + source +
                "'");
    return code;
  }
  int32_t loaded_width = 0, loaded_height = 0;
  code = PixCoreGetImageSize(bitmap.get(), loaded_width, loaded_height);
  if (code != PIXCORE_OK) return code;
  int32_t width = loaded_width, height = loaded_height;
  if (picture.rotation != 0 || picture.orientation != 1) {
    if (effects.Aborted()) return kResizeAborted;
    PixBitmap rotated;
    // A description's rotation and the EXIF orientation never both apply.
    code = picture.rotation != 0 ? PixCoreRotateCopy(bitmap.get(), rotated, picture.rotation)
                                 : PixCoreOrientCopy(bitmap.get(), rotated, picture.orientation);
    bitmap = std::move(rotated);  // the unrotated pixels are freed here
    if (code != PIXCORE_OK) return code;
    code = PixCoreGetImageSize(bitmap.get(), width, height);
    if (code != PIXCORE_OK) return code;
  }
  if (scale_on_load) {
    geometry_width = turned_width;
    geometry_height = turned_height;
  } else {
    GeometrySize(picture, loaded_width, loaded_height, width, height, geometry_width,
                 geometry_height);
  }
  return PIXCORE_OK;
}

}  // namespace

int32_t ResizeImage(const std::string& source_dir, const std::string& output_dir,
                    const PictureRecord& picture, std::span<const ScaledOutput> outputs,
                    int32_t& files_made, int32_t& operation_counter) {
  ShownResizeEffects effects(operation_counter);
  return ResizeImage(source_dir, output_dir, picture, outputs, files_made, effects);
}

int32_t ResizeImage(const std::string& source_dir, const std::string& output_dir,
                    const PictureRecord& picture, std::span<const ScaledOutput> outputs,
                    int32_t& files_made, ResizeEffects& effects) {
  const std::string source = source_dir + picture.file_name;
  int64_t source_time = 0;
  const bool source_known = LastWriteTime(source, source_time);

  // Which files are outdated, and how large a decode the scaled ones need.
  std::vector<OutputFile> files;
  files.reserve(outputs.size() * 3);
  // The styles of the thumbnails at twice the box: borders doubled too, so the
  // file is the thumbnail's canvas at twice the pixels.
  std::vector<ScaledOutput> doubled_styles;
  doubled_styles.reserve(outputs.size());
  bool work_needed = false, decode_needed = false, full_decode = false;
  int32_t max_width = 0, max_height = 0;
  const auto plan = [&](SizeBox box, const ScaledOutput* style, std::string target, bool scaled) {
    const bool outdated = IsOutdated(target, source_known, source_time);
    files.push_back(OutputFile{box, style, std::move(target), scaled, outdated});
    if (!outdated) return;
    work_needed = true;
    if (!scaled) return;
    decode_needed = true;
    if (box.width <= 0 || box.height <= 0) full_decode = true;
    max_width = std::max<int32_t>(max_width, box.width);
    max_height = std::max<int32_t>(max_height, box.height);
  };
  for (const ScaledOutput& output : outputs) {
    int thumbnail = -1;
    for (const SizeBox box : {output.thumbnail, output.full}) {
      if (IsLinkBox(box)) continue;
      if (thumbnail < 0 && box == output.thumbnail) thumbnail = static_cast<int>(files.size());
      plan(box, &output,
           output_dir + GetSizeDirName(box) + "/" + OutputFileName(picture, box, &effects),
           ScalingNeeded(picture, box, &effects));
    }
    if (Thumbnail2xNeeded(picture, output.thumbnail, &effects)) {
      if (thumbnail >= 0) files[static_cast<size_t>(thumbnail)].doubled = static_cast<int>(files.size());
      ScaledOutput& style = doubled_styles.emplace_back(output);
      style.border_width = static_cast<int16_t>(std::min(2 * output.border_width, INT16_MAX + 0));
      style.border_height = static_cast<int16_t>(std::min(2 * output.border_height, INT16_MAX + 0));
      plan(Doubled(output.thumbnail), &style,
           output_dir + GetThumbnail2xDirName(output.thumbnail) + "/" +
               OutputFileName(picture, output.thumbnail, &effects),
           true);
    }
  }
  if (!work_needed) return PIXCORE_OK;

  if (effects.WorkStarts(source)) return kResizeAborted;

  // Only copies to make: the pixels are not needed.
  PixBitmap bitmap;
  int32_t geometry_width = 0, geometry_height = 0;
  // A small file can claim a huge size; the decoder would grind through it.
  if (decode_needed && int64_t{picture.width} * picture.height > PIXCORE_MAX_PIXELS) {
    effects.Log("'" + source + "' claims " + std::to_string(picture.width) + " x " +
                std::to_string(picture.height) + " pixels, more than the " +
                std::to_string(PIXCORE_MAX_PIXELS) + " a picture may have: not loaded");
    return PIXCORE_ERROR_TOO_LARGE;
  }
  if (decode_needed) {
    const int32_t code = DecodeForFiles(source, picture, files, full_decode, max_width, max_height,
                                        effects, bitmap, geometry_width, geometry_height);
    if (code != PIXCORE_OK) return code;
  }

  // The picture of each file at twice a thumbnail's box, when both files are
  // made: scaled once on the thumbnail's turn, the thumbnail is reduced from
  // it (a fraction of the work of reducing the album picture again), and the
  // 2x file is saved from it. Every other file comes from the decoded picture.
  std::vector<PixBitmap> doubled_pictures(files.size());
  const auto source_of = [&](size_t i) -> int32_t {
    const size_t twice_index = files[i].doubled >= 0 ? static_cast<size_t>(files[i].doubled) : i;
    const OutputFile& twice = files[twice_index];
    PixBitmap& picture = doubled_pictures[twice_index];
    if (!picture && twice_index != i && twice.outdated &&
        IsOutdated(twice.target, source_known, source_time)) {
      TileGeometry geometry;
      if (ComputeTileGeometry(geometry_width, geometry_height, twice.box.width, twice.box.height,
                              twice.style->exact_size, twice.style->border_width,
                              twice.style->border_height, geometry) == PIXCORE_OK)
        PixCoreScaledCopy(bitmap.get(), picture, geometry.width, geometry.height);
    }
    return picture ? picture.get() : bitmap.get();
  };

  const ScaledOutput* album = nullptr;
  for (size_t i = 0; i < files.size(); ++i) {
    const OutputFile& file = files[i];
    if (file.style != album) {
      album = file.style;
      if (effects.Aborted()) return kResizeAborted;
    }
    // Looked at again: an earlier album with the same box may have made it.
    if (!IsOutdated(file.target, source_known, source_time)) continue;
    if (file.scaled) {
      if (effects.Aborted()) return kResizeAborted;
      int32_t canvas_width = 0, canvas_height = 0;
      const int32_t code =
          SaveJpgTile(source_of(i), file.target, file.box.width, file.box.height, *file.style,
                      canvas_width, canvas_height, geometry_width, geometry_height);
      if (code != PIXCORE_OK) {
        effects.Log("Error while creating '" + file.target + "'");
        return code;
      }
      ++files_made;
    } else if (effects.Copy(source, file.target)) {
      ++files_made;
    }
  }
  return PIXCORE_OK;
}

void CreateSizeDirs(const std::string& output_dir, const ScaledOutput& output,
                    std::span<const Subchapter> subchapters) {
  std::vector<std::string> dirs{GetSizeDirName(output.thumbnail), GetSizeDirName(output.full)};
  if (output.thumbnail.width > 0 && output.thumbnail.height > 0)
    dirs.push_back(GetThumbnail2xDirName(output.thumbnail));
  for (const std::string& name : dirs) {
    const std::string dir = output_dir + name;
    MakeDir(dir);
    RemoveLeftoverTempFiles(dir);
    for (const Subchapter& subchapter : subchapters) {
      MakeDir(dir + "/" + subchapter.dir_name);
      RemoveLeftoverTempFiles(dir + "/" + subchapter.dir_name);
    }
  }
}

}  // namespace snapcrate
