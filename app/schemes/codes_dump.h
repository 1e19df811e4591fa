#pragma once
// The debug dump of every compiled section of every loaded scheme.

#include <string>

namespace snapcrate {

/// Path of the dump: the temporary directory + "snapcrate_codes.txt".
std::string CodesDumpPath();
/// Writes the dump and tells the user where it is and whether it found suspected errors.
void WriteCodesDump();

}  // namespace snapcrate
