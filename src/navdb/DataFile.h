// Reading a whole data file into memory in one go.
#pragma once

#include <filesystem>
#include <string>

namespace halvex {

// Replaces buffer with the file's bytes. False when the path is not a readable regular file
// (missing, a directory, a read error): the file then counts as not opened.
bool ReadDataFile(const std::filesystem::path& path, std::string& buffer);

}  // namespace halvex
