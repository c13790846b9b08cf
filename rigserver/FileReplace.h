#pragma once
// The settings file's reads and replacements on the platform: a replacement writes a temporary
// file beside the target and renames it over the target, so a crash never leaves a damaged file.

#include <filesystem>
#include <string>

namespace FileReplace {

// The file's bytes; nothing when it does not exist. Raises IniReadError when it cannot be read.
std::string read(const std::filesystem::path& path);

// Replaces the file (or what a link names) with the content, keeping its owner, group and
// permissions (a new file takes the process's umask), and makes the change durable; false, with
// the file as it was, when it cannot. The caller lets one replacement of a file run at a time.
bool replace(const std::filesystem::path& path, const std::string& content);

}  // namespace FileReplace
