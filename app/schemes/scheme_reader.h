#pragma once
// Loading the schemes: every etc/scheme_* directory with its "scheme.ini",
// user variables and page scheme files.

#include <string>

#include "app/line_store.h"
#include "app/schemes/scheme_record.h"

namespace snapcrate {

/// Loads all schemes, then all configurations; ends the program when there is no scheme.
void LoadSchemesAndConfigs();
/// Empties the scheme table and the node pool and loads every scheme directory.
void LoadSchemes();
/// Reads the scheme in `dir` (no trailing "/") into `scheme`; 0, or -1 after a message.
int ReadScheme(const std::string& dir, Scheme& scheme);
/// Reads the "PageSchemes" section of `lines`, every page scheme file, and compiles them.
int ReadPageSchemes(Scheme& scheme, const LineStore& lines, const std::string& dir);
/// Number 1 to count of the page scheme `name` of `scheme`, or -1 after a message.
int FindPageScheme(const std::string& name, const Scheme& scheme);

/// The "Invalid Schemefile" message for error code `code`.
std::string InvalidSchemeMessage(const std::string& path, int code);

}  // namespace snapcrate
