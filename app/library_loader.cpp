#include "app/library_loader.h"

#include <dlfcn.h>

#include "app/log.h"
#include "app/paths.h"

namespace snapcrate {
namespace {

std::string& LibraryDirOverride() {
  static std::string dir;
  return dir;
}

}  // namespace

std::string LibraryDir() {
  if (!LibraryDirOverride().empty()) return LibraryDirOverride();
  return WithTrailingSlash(GetProgramDir());
}

void SetLibraryDir(const std::string& dir) { LibraryDirOverride() = dir.empty() ? dir : WithTrailingSlash(dir); }

SharedLibrary::~SharedLibrary() {
  if (handle_) dlclose(handle_);
  for (void* handle : old_handles_) dlclose(handle);
}

void* SharedLibrary::Find(const char* symbol) {
  std::lock_guard lock(mutex_);
  const std::string dir = LibraryDir();
  if (dir != tried_dir_) {
    // An earlier library stays loaded: callers may still hold its functions.
    if (handle_) old_handles_.push_back(handle_);
    handle_ = nullptr;
    tried_dir_ = dir;
    const std::string path = dir + file_name_;
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
      // Logged once; later calls fail quietly.
      const char* error = dlerror();
      LogMessage("Can't load library " + path + ": " + (error ? error : "unknown error"));
      return nullptr;
    }
  }
  if (!handle_) return nullptr;
  void* address = dlsym(handle_, symbol);
  if (!address) LogMessage("Function " + std::string(symbol) + " not found in " + file_name_);
  return address;
}

void* SharedLibrary::FindLoaded(const char* symbol) {
  std::lock_guard lock(mutex_);
  return handle_ ? dlsym(handle_, symbol) : nullptr;
}

}  // namespace snapcrate
