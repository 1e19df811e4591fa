#include "app/about_info.h"

#include <cstring>

#include "app/exif/tagcore_library.h"
#include "app/library_loader.h"
#include "app/program_state.h"

namespace snapcrate {
namespace {

constexpr size_t kVersionBufferSize = 100;

std::string VersionOf(SharedLibrary& library, const char* function) {
  using VersionFunction = char*(char*);
  auto* get_version = library.Get<VersionFunction>(function);
  if (!get_version) return "(not available)";
  char buffer[kVersionBufferSize] = {};
  get_version(buffer);
  buffer[kVersionBufferSize - 1] = '\0';
  return std::string(buffer, strnlen(buffer, kVersionBufferSize));
}

std::string NotEmpty(std::string version) { return version.empty() ? "(not available)" : version; }

std::string Padded(std::string name) {
  name.resize(15, ' ');
  return name;
}

}  // namespace

std::string AboutLabelText() {
  return "Snapcrate - photo archive and HTML album tool\r\n" + std::string(kVersionText) +
         "\r\nby the Snapcrate developers\r\nQuestions and reports: see the README of your installation";
}

std::string LibraryVersionsText() {
  static SharedLibrary pixcore("libpixcore.so");
  static SharedLibrary jpegtran("libjpegtran.so");
  return Padded("libtagcore.so") + NotEmpty(TagCoreVersion()) + "\r\n" +
         Padded("libpixcore.so") + VersionOf(pixcore, "PixCore_GetVersion") + "\r\n" +
         Padded("libjpegtran.so") + VersionOf(jpegtran, "JT_GetVersion");
}

std::string CreditsText() {
  return "Snapcrate builds on the work of others:\r\n\r\n"
         "Lossless JPEG rotation: libjpeg-turbo, based on the work of the Independent JPEG Group.\r\n"
         "Image decoding, scaling and saving: libvips.\r\n"
         "Desktop program: the Qt toolkit.";
}

}  // namespace snapcrate
