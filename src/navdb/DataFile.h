// Reading a whole data file into memory in one go.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>

namespace halvex {

// A byte buffer that grows without zero-filling (files are megabytes) and is reused from file
// to file.
class DataBuffer {
public:
    std::string_view View() const { return std::string_view(data_.get(), size_); }
    // Replaces the contents with the file's bytes. False when the path is not a readable
    // regular file (missing, a directory, a read error): the file then counts as not opened.
    bool ReadFile(const std::filesystem::path& path);

private:
    void Reserve(size_t capacity);
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace halvex
