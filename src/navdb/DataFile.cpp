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
    if (!ec) buffer.reserve(static_cast<size_t>(sizeHint));
    char chunk[1 << 16];
    for (;;) {
        const size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
        buffer.append(chunk, n);
        if (n < sizeof chunk) break;
    }
    if (std::ferror(file.get())) {
        buffer.clear();
        return false;
    }
    return true;
}

}  // namespace halvex
