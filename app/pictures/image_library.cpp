#include "app/pictures/image_library.h"

#include <cstring>
#include <mutex>

#include "jpegtran/jpegtran.h"
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
Function Bind(const char* symbol, SharedLibrary& library = PixCoreLibrary()) {
  std::lock_guard lock(BindingMutex());
  return reinterpret_cast<Function>(library.Find(symbol));
}

/// What a version function wrote into its 100-byte buffer, up to the first NUL.
template <typename Function>
std::string VersionText(Function function) {
  if (!function) return {};
  char buffer[PIXCORE_VERSION_BUFFER_SIZE] = {};
  function(buffer);
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace

SharedLibrary& PixCoreLibrary() {
  static SharedLibrary library("libpixcore.so");
  return library;
}

SharedLibrary& JpegTranLibrary() {
  static SharedLibrary library("libjpegtran.so");
  return library;
}

std::string PixCoreGetVersion() {
  return VersionText(Bind<PixCore_GetVersionFn>("PixCore_GetVersion"));
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

int32_t PixCoreGetFileImageInfo(int32_t format, const std::string& path, int32_t& width, int32_t& height,
                                int32_t& orientation) {
  static const auto function = Bind<PixCore_GetFileImageInfoFn>("PixCore_GetFileImageInfo");
  width = 0;
  height = 0;
  orientation = 1;
  if (!function) return PIXCORE_ERROR_INIT;
  return function(format, path.c_str(), &width, &height, &orientation);
}

int32_t PixCoreCompareFiles(const std::string& new_file, const std::string& existing_file) {
  const auto function = Bind<PixCore_CompareFilesFn>("PixCore_CompareFiles");
  if (!function) return PIXCORE_ERROR_INIT;
  return function(new_file.c_str(), existing_file.c_str());
}

void PixCoreShutdown() {
  // Loading the library only to stop it would start nothing worth stopping.
  if (const auto function = reinterpret_cast<PixCore_ShutdownFn>(PixCoreLibrary().FindLoaded("PixCore_Shutdown")))
    function();
}

int32_t JtRotate(const std::string& source, const std::string& destination, int32_t angle) {
  const auto function = Bind<JT_RotateFn>("JT_Rotate", JpegTranLibrary());
  if (!function) return PIXCORE_ERROR_INIT;
  return function(source.c_str(), destination.c_str(), angle);
}

std::string JtGetVersion() { return VersionText(Bind<JT_GetVersionFn>("JT_GetVersion", JpegTranLibrary())); }

}  // namespace snapcrate
