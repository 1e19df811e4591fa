#include "app/generator/link_helpers.h"

#include "app/generator/album_root.h"

namespace snapcrate {
namespace {

/// `directory` (ending in "/") without its last component, keeping the "/"
/// before it; empty when none is left.
std::string ParentDir(std::string_view directory) {
  if (!directory.empty() && directory.back() == '/') directory.remove_suffix(1);
  const size_t slash = directory.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(directory.substr(0, slash + 1));
}

/// The entry's file name without any directory before it (stored values may
/// name "_common_\style.css" the Windows way).
std::string_view BareFileName(std::string_view value) {
  const size_t separator = value.find_last_of("/\\");
  return separator == std::string_view::npos ? value : value.substr(separator + 1);
}

}  // namespace

std::string GetRelativePath(std::string_view from, std::string_view to) {
  std::string base(from);
  if (!base.empty() && base.back() != '/') base.push_back('/');
  std::string steps;
  // Linux names are case-sensitive: "Photos/" is no prefix of "photos/x".
  while (!to.starts_with(base)) {
    steps += "../";
    base = ParentDir(base);
  }
  return steps + std::string(to.substr(base.size()));
}

std::string EscapeLinkKey(std::string_view key) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(key.size());
  for (const char byte : key) {
    const unsigned char c = static_cast<unsigned char>(byte);
    // Quotes and angle brackets would end the attribute or tag the key is put into.
    if (c < 33 || c > 127 || c == '%' || c == '"' || c == '\'' || c == '<' || c == '>') {
      escaped.push_back('%');
      escaped.push_back(kHex[c / 16]);
      escaped.push_back(kHex[c % 16]);
    } else {
      escaped.push_back(byte);
    }
  }
  return escaped;
}

void SetCommonFileLinks(VarSet& set, const CommonFileValues& files,
                        const std::string& chapter_output_dir, const std::string& album_root) {
  const std::string common_dir = CommonFilesDir(album_root);
  for (int slot = 1; slot <= kFileSlots; ++slot) {
    if (files[slot].empty())
      ClearFileVar(set, slot);
    else
      SetFileLinkVar(set, slot,
                     GetRelativePath(chapter_output_dir,
                                     common_dir + "/" + std::string(BareFileName(files[slot]))));
  }
  SetBuiltinVar(set, builtin::CUR_ROOT_LINK, GetRelativePath(chapter_output_dir, album_root));
}

}  // namespace snapcrate
