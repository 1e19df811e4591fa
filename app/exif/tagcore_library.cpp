#include "app/exif/tagcore_library.h"

#include <mutex>

#include "app/library_loader.h"
#include "tagcore/tagcore.h"

namespace snapcrate {
namespace {

// The library keeps its state in globals between the steps of one call.
std::mutex& CallMutex() {
  static std::mutex mutex;
  return mutex;
}

SharedLibrary& Library() {
  static SharedLibrary library("libtagcore.so");
  return library;
}

// Looked up at every call, so a changed library directory takes effect.
template <typename Function>
Function Bind(const char* name) {
  return reinterpret_cast<Function>(Library().Find(name));
}

}  // namespace

std::string TagCoreVersion() {
  std::lock_guard lock(CallMutex());
  auto get_version = Bind<TagCore_GetVersionFn>("TagCore_GetVersion");
  if (!get_version) return {};
  char buffer[100] = {};
  get_version(buffer);
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

int32_t TagCoreDumpInfoToAdr(const std::string& image_path, char* buffer, int32_t capacity) {
  std::lock_guard lock(CallMutex());
  auto dump = Bind<TagCore_DumpInfoToAdrFn>("TagCore_DumpInfoToAdr");
  return dump ? dump(image_path.c_str(), buffer, capacity) : kLibraryMissing;
}

int32_t TagCoreDumpInfoToFile(const std::string& image_path, const char* output_path) {
  std::lock_guard lock(CallMutex());
  auto dump = Bind<TagCore_DumpInfoToFileFn>("TagCore_DumpInfoToFile");
  return dump ? dump(image_path.c_str(), output_path) : kLibraryMissing;
}

int32_t TagCoreAdjustDateTime(const std::string& image_path, int32_t seconds) {
  std::lock_guard lock(CallMutex());
  auto adjust = Bind<TagCore_AdjustDateTimeFn>("TagCore_AdjustDateTime");
  return adjust ? adjust(image_path.c_str(), seconds) : kLibraryMissing;
}

}  // namespace snapcrate
