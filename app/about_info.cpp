#include "app/about_info.h"

#include "app/exif/tagcore_library.h"
#include "app/pictures/image_library.h"
#include "app/program_state.h"

namespace snapcrate {
namespace {

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
  return Padded("libtagcore.so") + NotEmpty(TagCoreVersion()) + "\r\n" +
         Padded("libpixcore.so") + NotEmpty(PixCoreGetVersion()) + "\r\n" +
         Padded("libjpegtran.so") + NotEmpty(JtGetVersion());
}

std::string CreditsText() {
  return "Snapcrate builds on the work of others:\r\n\r\n"
         "Lossless JPEG rotation: libjpeg-turbo, based on the work of the Independent JPEG Group.\r\n"
         "Image decoding, scaling and saving: libvips.\r\n"
         "Desktop program: the Qt toolkit.";
}

}  // namespace snapcrate
