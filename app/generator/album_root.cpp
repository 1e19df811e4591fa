#include "app/generator/album_root.h"

#include <filesystem>
#include <vector>

#include "app/file_lib.h"
#include "app/paths.h"
#include "app/pictures/dir_listing.h"
#include "app/program_state.h"
#include "app/template/template_functions.h"
#include "app/text.h"

namespace snapcrate {
namespace {

// The fixed files of etc/ that go beside the album. The Windows starter
// go.exe is not shipped here; a home that has one passes it on.
constexpr const char* kRootFiles[] = {"go.exe", "readme.txt"};

void CopyIfPresent(const std::string& source, const std::string& destination) {
  if (FileExists(source)) CopyFile(source, destination);
}

}  // namespace

std::string AlbumRootDir(const std::string& destination_path, const std::string& root_dir_name) {
  return destination_path + root_dir_name;
}

std::string CommonFilesDir(const std::string& album_root) {
  return album_root + "/" + std::string(kCommonDirName);
}

void WriteRedirectPage(const std::string& destination_path, const std::string& root_dir_name) {
  const std::string& extension = Program().gen_html_ext;
  const std::string template_path = Program().home_dir + "etc/redirect.htm.ini";
  if (!FileExists(template_path)) return;
  const std::unique_ptr<TextFile> input = OpenForInput(template_path);
  if (!input) return;
  const std::unique_ptr<TextFile> page =
      OpenForOutput(JoinPath(destination_path, "index" + extension));
  if (!page) return;
  // In link form: the page puts it into an attribute value.
  const std::string link = FormatLink(root_dir_name + "/index" + extension);
  std::string line;
  while (input->ReadLine(line)) page->WriteLine(ReplaceAll(line, kRedirectLinkMarker, link));
  page->Close();
}

void CopySchemeCommonFiles(const std::string& scheme_dir, const std::string& common_dir) {
  const std::string source_dir = JoinPath(scheme_dir, kCommonDirName) + "/";
  if (!IsDirectory(source_dir)) return;
  std::vector<DirEntry> entries;
  ListDirEntries(source_dir, kFileEntries, entries, kMaxDirEntries);
  for (const DirEntry& entry : entries)
    CopyFile(source_dir + entry.name, JoinPath(common_dir, entry.name));
}

void CopyAlbumRootFiles(const std::string& destination_path, const std::string& root_dir_name,
                        std::span<const std::string> scheme_dirs) {
  const std::string etc = Program().home_dir + "etc/";
  const std::string album_root = AlbumRootDir(destination_path, root_dir_name);
  // Copies cut short by an earlier kill are removed where this run writes.
  RemoveLeftoverTempFiles(destination_path);
  RemoveLeftoverTempFiles(album_root);
  for (const char* name : kRootFiles) CopyIfPresent(etc + name, JoinPath(album_root, name));
  for (const char* name : kRootFiles) CopyIfPresent(etc + name, JoinPath(destination_path, name));

  WriteRedirectPage(destination_path, root_dir_name);

  const std::string common_dir = CommonFilesDir(album_root);
  std::error_code error;
  std::filesystem::create_directories(common_dir, error);
  RemoveLeftoverTempFiles(common_dir);
  for (const std::string& scheme_dir : scheme_dirs) CopySchemeCommonFiles(scheme_dir, common_dir);
}

}  // namespace snapcrate
