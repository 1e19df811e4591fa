#include "app/schemes/codes_dump.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "app/file_lib.h"
#include "app/paths.h"
#include "app/ui_port.h"
#include "app/schemes/scheme_record.h"
#include "app/template/node_dump.h"
#include "app/template/var_names.h"

namespace snapcrate {
namespace {

// The temporary directory is shared between users: the dump is never written
// through a symbolic link someone else placed there.
std::unique_ptr<TextFile> CreateDumpFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  std::FILE* stream = fdopen(fd, "wb");
  if (!stream) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<TextFile>(stream);
}

}  // namespace

std::string CodesDumpPath() { return GetTempDir() + "snapcrate_codes.txt"; }

void WriteCodesDump() {
  const std::string path = CodesDumpPath();
  auto file = CreateDumpFile(path);
  if (!file) return;
  bool suspect = false;
  for (const Scheme& scheme : Schemes()) {
    file->WriteLine("####");
    file->WriteLine("#### " + scheme.name);
    file->WriteLine("####");
    file->WriteLine("");
    for (const PageScheme& page : scheme.page_schemes) {
      file->WriteLine("");
      file->WriteLine("## " + page.name + " (Type " + std::to_string(page.kind) + ")");
      file->WriteLine("");
      for (int i = 1; i <= kSectionSlots; ++i) {
        file->WriteLine("");
        file->WriteLine("<!-- " + Names().section[i] + " " + page.name + " " + scheme.name + " -->");
        if (IsSectionEmpty(page.sections, i)) {
          file->WriteLine("<!-- [EMPTY] -->");
          file->WriteLine("");
        } else if (DumpNodes(file.get(), page.sections.first_node[i], 0)) {
          suspect = true;
        }
      }
    }
  }
  file->Close();
  if (suspect) ShowMessage("Probably syntax error(s) found!\r\nCheck \"" + path + "\"!!");
  else ShowMessage("\"" + path + "\" written!");
}

}  // namespace snapcrate
