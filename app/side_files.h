#pragma once
// Side files the program writes for the user to look at (the list of pictures
// a generation left out, the codes dump): kept in a directory of the user's
// own below the shared temporary directory, where nobody else can plant a
// pipe, a link or a file of their own under those names.

#include <cstdio>
#include <string>

namespace snapcrate {

/// GetTempDir() + "snapcrate-" + user id + "/", made with mode 0700 and used
/// only while it is a real directory of this user that nobody else may enter.
/// When that name is held by someone else, a fresh "snapcrate-<id>-XXXXXX"
/// beside it serves the process. Empty when neither can be had.
std::string PrivateTempDir();

/// Opens `path` for writing, emptied (created with mode 0600), without
/// following a symbolic link, without waiting for the reader of a pipe, and
/// only when it is a regular file. Null with the reason in `error` otherwise.
std::FILE* CreateSideFile(const std::string& path, std::string& error);

}  // namespace snapcrate
