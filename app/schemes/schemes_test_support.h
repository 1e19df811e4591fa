#pragma once
// Shared set-up of the scheme tests: a fresh home directory whose etc/ the
// tests fill, fresh name tables, debug output off, a recording UI port, and
// the temporary directory pointed into the test's own folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "app/schemes/album_config.h"
#include "app/schemes/scheme_record.h"
#include "app/template/builtin_variables.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate::testing {

class SchemesTest : public ::testing::Test {
 protected:
  SchemesTest() {
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir) saved_tmpdir_ = tmpdir;
    had_tmpdir_ = tmpdir != nullptr;
    setenv("TMPDIR", (home_ / "tmp").c_str(), 1);
    WriteFile(home_ / "tmp/.keep", "");
    Program().home_dir = home_.path();
    Program().debug_level = 0;
    InitNames();
    Schemes().clear();
    Configs().clear();
  }
  ~SchemesTest() override {
    Program().debug_level = 0;
    if (had_tmpdir_) setenv("TMPDIR", saved_tmpdir_.c_str(), 1);
    else unsetenv("TMPDIR");
  }

  /// etc/scheme_<dir>/ + file, written with CR LF line ends.
  void WriteSchemeFile(const std::string& dir, const std::string& file, const std::string& text) {
    WriteFile(home_ / ("etc/scheme_" + dir + "/" + file), WithCrLf(text));
  }
  /// A scheme.ini with the three required keys and the given PageSchemes lines.
  void WriteSchemeIni(const std::string& dir, const std::string& name, const std::string& page_schemes) {
    WriteSchemeFile(dir, "scheme.ini",
                    "[Name]\n" + name + "\n[ShortName]\n" + name.substr(0, 3) +
                        "\n[Description]\nThe " + name + " scheme\n[PageSchemes]\n" + page_schemes);
  }
  /// A page scheme file with one MainSection.
  void WritePage(const std::string& dir, const std::string& page, const std::string& main = "<p>x</p>") {
    WriteSchemeFile(dir, page + ".ini", "[MainSection]\n" + main + "\n");
  }
  std::string SchemeIniPath(const std::string& dir) { return home_ / ("etc/scheme_" + dir + "/scheme.ini"); }

  static std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

  RecordingUiPort ui_;
  TempDir home_;

 private:
  std::string saved_tmpdir_;
  bool had_tmpdir_ = false;
};

}  // namespace snapcrate::testing
