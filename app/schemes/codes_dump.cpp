#include "app/schemes/codes_dump.h"

#include <cstdio>
#include <memory>

#include "app/file_lib.h"
#include "app/log.h"
#include "app/side_files.h"
#include "app/ui_port.h"
#include "app/schemes/scheme_record.h"
#include "app/template/node_dump.h"
#include "app/template/var_names.h"

namespace snapcrate {
std::string CodesDumpPath() { return PrivateTempDir() + "snapcrate_codes.txt"; }

void WriteCodesDump() {
  const std::string path = CodesDumpPath();
  std::string error;
  std::FILE* stream = CreateSideFile(path, error);
  if (!stream) {
    LogMessage("Can't open \"" + path + "\"\r\n" + error);
    return;
  }
  auto file = std::make_unique<TextFile>(stream);
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
