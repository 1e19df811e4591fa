#pragma once
// What the About window shows.

#include <string>

namespace snapcrate {

/// The caption line with the version, then the author and contact lines.
std::string AboutLabelText();
/// The versions of the three libraries, one line each, names padded to 15 characters.
std::string LibraryVersionsText();
/// The acknowledgements shown by Credits.
std::string CreditsText();

}  // namespace snapcrate
