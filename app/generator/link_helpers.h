#pragma once
// Links between the album's files: relative paths from a page's directory,
// the escaped chapter key, and the links every page gets to the album's common
// files and its root.

#include <array>
#include <string>
#include <string_view>

#include "app/template/var_names.h"
#include "app/template/var_set.h"

namespace snapcrate {

/// The way from directory `from` to `to` ("../../_common_/style.css"):
/// one "../" per level left until `from` is a prefix of `to`, then the rest
/// of `to`. Names are compared exactly, as the file system does; an empty
/// result means `to` is `from` itself, an empty `from` the current directory.
std::string GetRelativePath(std::string_view from, std::string_view to);

/// `key` with every byte below 33 or above 127, "%", the quotes and the angle
/// brackets written as "%" and two upper-case hex digits ("a b" gives "a%20b").
std::string EscapeLinkKey(std::string_view key);

/// The common file values of a page scheme, by common-file slot (slot 0 unused).
using CommonFileValues = std::array<std::string, kFileSlots + 1>;

/// Sets, for a page written into `chapter_output_dir`, the FILES variable of
/// every non-empty entry of `files` to the link to that file's copy in the
/// album's common files directory, clears those of empty entries, and sets
/// CUR_ROOT_LINK to the way to `album_root` (AlbumRootDir).
void SetCommonFileLinks(VarSet& set, const CommonFileValues& files,
                        const std::string& chapter_output_dir, const std::string& album_root);

}  // namespace snapcrate
