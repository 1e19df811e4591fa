#pragma once
// Page scheme files: the sections, inheritance, generate conditions and common
// files of one page scheme.

#include <string>

#include "app/line_store.h"
#include "app/schemes/scheme_record.h"

namespace snapcrate {

/// Lines a page scheme file may have.
inline constexpr size_t kPageSchemeFileCapacity = 5001;

/// Reads the page scheme file `path` into `page`; `name` is replaced by the
/// file's Name when it has one. 0, or -1 after a message.
int ReadPageSchemeFile(const Scheme& scheme, PageScheme& page, std::string& name,
                       const std::string& path, int16_t kind);
/// Registers the "CommonFiles" names of `lines` and stores their values in `page`.
void ReadCommonFiles(PageScheme& page, const LineStore& lines);

}  // namespace snapcrate
