#include "app/generator/image_library.h"

#include <mutex>

#include "pixcore/pixcore.h"

namespace snapcrate {
namespace {

std::mutex& BindingMutex() {
  static std::mutex mutex;
  return mutex;
}

/// Looks a function up once; later calls reuse the answer, so a missing one is
/// logged only once.
template <typename Function>
Function Bind(const char* symbol) {
  std::lock_guard lock(BindingMutex());
  return reinterpret_cast<Function>(PixCoreLibrary().Find(symbol));
}

}  // namespace

SharedLibrary& PixCoreLibrary() {
  static SharedLibrary library("libpixcore.so");
  return library;
}

int32_t PixCoreGetFileImageType(const std::string& name) {
  static const auto function = Bind<PixCore_GetFileImageTypeFn>("PixCore_GetFileImageType");
  if (!function) return PIXCORE_TYPE_NONE;
  return function(name.c_str());
}

int32_t PixCoreGetFileImageSize(int32_t format, const std::string& path, int32_t& width, int32_t& height) {
  static const auto function = Bind<PixCore_GetFileImageSizeFn>("PixCore_GetFileImageSize");
  width = 0;
  height = 0;
  if (!function) return PIXCORE_ERROR_INIT;
  return function(format, path.c_str(), &width, &height);
}

int32_t PixCoreCompareFiles(const std::string& new_file, const std::string& existing_file) {
  const auto function = Bind<PixCore_CompareFilesFn>("PixCore_CompareFiles");
  if (!function) return PIXCORE_ERROR_INIT;
  return function(new_file.c_str(), existing_file.c_str());
}

}  // namespace snapcrate
