#pragma once
// The files of an album that belong to no chapter: the two fixed files from
// the program's etc/, the redirect page from the destination into the album,
// and the common files (style sheets, images) of every scheme the album uses.

#include <span>
#include <string>
#include <string_view>

namespace snapcrate {

/// Name of the album's and every scheme's directory of common files.
inline constexpr std::string_view kCommonDirName = "_common_";
/// The placeholder of the redirect template that becomes the link into the album.
inline constexpr std::string_view kRedirectLinkMarker = "$(REDIRECT_LINK)";

/// destination_path + root_dir_name: the album root, without a trailing "/".
std::string AlbumRootDir(const std::string& destination_path, const std::string& root_dir_name);
/// album_root + "/_common_".
std::string CommonFilesDir(const std::string& album_root);

/// Writes destination_path + "index" + extension from the home's
/// etc/redirect.htm.ini, every "$(REDIRECT_LINK)" replaced by root_dir_name +
/// "/index" + extension; nothing when the template is missing.
void WriteRedirectPage(const std::string& destination_path, const std::string& root_dir_name);

/// Copies every plain file of scheme_dir/_common_/ (at most 860) into
/// `common_dir` under its own name, replacing what is there. A scheme without
/// common files adds nothing and says nothing.
void CopySchemeCommonFiles(const std::string& scheme_dir, const std::string& common_dir);

/// Puts the root files of a run into the destination, in this order: etc/go.exe
/// (where one is installed) and etc/readme.txt into the album root and the
/// destination, the redirect page, the common files directory, and the common
/// files of `scheme_dirs` (the index-main scheme's first, then each scaled
/// album's; a later scheme's file wins). Failures are silent but for the copy
/// helper's log line; the run goes on.
void CopyAlbumRootFiles(const std::string& destination_path, const std::string& root_dir_name,
                        std::span<const std::string> scheme_dirs);

}  // namespace snapcrate
