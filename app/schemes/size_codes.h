#pragma once
// Text forms of scaled picture sizes, with the size codes below 1.

#include <cstdint>
#include <string>
#include <utility>

#include "app/schemes/album_config.h"

namespace snapcrate {

/// Decimal text for sizes of 1 and more, else "ORIGCOPY", "ORIGLINK" or
/// "ORIGSIZE", with "$" in front when `keyword` is set.
std::string FormatSizeCode(int16_t size, bool keyword);
/// A size typed by the user: the codes' names (with `keyword`), else 9999 for
/// 5 or more characters, else the leading number, at least 32.
int16_t ParseSizeCode(const std::string& text, bool keyword);
/// The width and height texts shown for a size in lists.
std::pair<std::string, std::string> FormatOrigSizeLabels(int16_t width, int16_t height);
/// Per loaded scheme used by `config`: its short name and the sizes, one line each.
std::string ListSchemeSizes(const AlbumConfig& config);

}  // namespace snapcrate
