#include "navdb/DataFile.h"

#include <cstdio>
#include <memory>

namespace halvex {

bool ReadDataFile(const std::filesystem::path& path, std::string& buffer) {
    buffer.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    const auto sizeHint = std::filesystem::file_size(path, ec);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return false;
    // Straight into the buffer; the size is only a hint (the file may change under us).
    size_t used = 0;
    size_t capacity = ec ? size_t{1} << 16 : static_cast<size_t>(sizeHint) + 1;
    for (;;) {
        buffer.resize(capacity);
        const size_t n = std::fread(buffer.data() + used, 1, capacity - used, file.get());
        used += n;
        if (used < capacity) break;
        capacity *= 2;
    }
    buffer.resize(used);
    if (std::ferror(file.get())) {
        buffer.clear();
        return false;
    }
    return true;
}

}  // namespace halvex
