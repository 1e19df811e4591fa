#include "pixcore/vips_env.h"

#include <dlfcn.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <string>

#include "pixcore/pixcore.h"
#include "pixcore/vips_imports.h"

#if PIXCORE_VIPS_ON_DEMAND
// The slots of the forwarding entries in vips_imports.S.
#define PIXCORE_DECLARE_SLOT(name) extern "C" __attribute__((visibility("hidden"))) void* pixcore_vips_slot_##name;
PIXCORE_VIPS_FUNCTIONS(PIXCORE_DECLARE_SLOT)
#undef PIXCORE_DECLARE_SLOT

// Where a slot points until libvips is loaded: a call that skipped
// StartVips() is a fault of ours, stopped here rather than by a wild jump.
extern "C" __attribute__((visibility("hidden"), noreturn)) void PixCoreVipsNotLoaded() {
  std::fputs("libpixcore: libvips called before it was loaded\n", stderr);
  std::abort();
}
#endif

namespace snapcrate::pixcore {
namespace {

#if PIXCORE_VIPS_ON_DEMAND
struct Import {
  const char* name;
  void** slot;
};
#define PIXCORE_IMPORT(name) {#name, &pixcore_vips_slot_##name},
constexpr Import kImports[] = {PIXCORE_VIPS_FUNCTIONS(PIXCORE_IMPORT)};
#undef PIXCORE_IMPORT

bool Load() {
  // The library these headers belong to, by its ABI version.
  const std::string file = "libvips.so." + std::to_string(VIPS_LIBRARY_CURRENT - VIPS_LIBRARY_AGE);
  void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return false;
  void* addresses[std::size(kImports)];
  for (size_t i = 0; i < std::size(kImports); ++i) {
    addresses[i] = dlsym(library, kImports[i].name);
    // All or nothing: a libvips without one of them is not used at all.
    if (addresses[i] == nullptr) {
      dlclose(library);
      return false;
    }
  }
  for (size_t i = 0; i < std::size(kImports); ++i) *kImports[i].slot = addresses[i];
  return true;
}
#else
bool Load() { return true; }  // linked to libvips
#endif

std::once_flag g_load_once;
bool g_loaded = false;
std::once_flag g_start_once;
std::atomic<bool> g_started{false};
bool g_heif = false;

void Quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// Pictures pass through buffers of a few megabytes each. Left to its own
// rules, malloc hands these back to the system when they are freed and takes
// them anew for the next picture, and every page of them is then faulted in
// and zeroed again: a quarter of the system time of an album. Kept in the
// heap instead, they are reused; at most this much free memory stays with
// the process.
constexpr int kBufferReuseBytes = 32 << 20;
constexpr int kKeptFreeBytes = 128 << 20;

void Start() {
  if (!LoadVips()) return;
  mallopt(M_MMAP_THRESHOLD, kBufferReuseBytes);
  mallopt(M_TRIM_THRESHOLD, kKeptFreeBytes);
  if (VIPS_INIT("pixcore") != 0) {
    ForgetVipsError();
    return;
  }
  // The operation cache would keep references to decoded pictures after their
  // bitmaps are freed; every result we keep is copied to memory anyway.
  vips_cache_set_max(0);
  vips_cache_set_max_mem(0);
  vips_cache_set_max_files(0);
  // Loaders for documents and scientific formats are no part of a photo album
  // and widen what a hostile file could reach.
  vips_block_untrusted_set(TRUE);
  // Damaged files make libvips print warnings on stderr; our callers learn of
  // them through the result code and log them their own way.
  g_log_set_handler("VIPS", GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE), Quiet,
                    nullptr);
  g_heif = vips_type_find("VipsOperation", "heifload") != 0;
  g_started = true;
}

}  // namespace

bool LoadVips() {
  std::call_once(g_load_once, [] { g_loaded = Load(); });
  return g_loaded;
}

bool StartVips() {
  std::call_once(g_start_once, Start);
  return g_started;
}

void StopVips() {
  // Marks the start as done, so that libvips is never started after this.
  std::call_once(g_start_once, [] {});
  if (g_started.exchange(false)) vips_shutdown();
}

bool HeifReadable() { return StartVips() && g_heif; }

void ForgetVipsError() { vips_error_clear(); }

ImagePtr InMemory(VipsImage* image) {
  ImagePtr memory(vips_image_copy_memory(image));
  if (!memory) ForgetVipsError();
  return memory;
}

}  // namespace snapcrate::pixcore

extern "C" PIXCORE_API int32_t PixCore_Shutdown(void) {
  snapcrate::pixcore::StopVips();
  return PIXCORE_OK;
}
