#include "navdb/DataFile.h"

#include <cstdio>
#include <cstring>

#include "navdb/LargePages.h"

namespace halvex {

void DataBuffer::Reserve(size_t capacity) {
    if (capacity <= capacity_) return;
    std::unique_ptr<char[]> bigger(new char[capacity]);  // left uninitialised on purpose
    AdviseLargePages(bigger.get(), capacity);
    if (size_ > 0) std::memcpy(bigger.get(), data_.get(), size_);
    data_ = std::move(bigger);
    capacity_ = capacity;
}

bool DataBuffer::ReadFile(const std::filesystem::path& path) {
    size_ = 0;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    const auto sizeHint = std::filesystem::file_size(path, ec);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.string().c_str(), "rb"), &std::fclose);
    if (!file) return false;
    // The size is only a hint (the file may change under us): read until the end.
    Reserve(ec ? size_t{1} << 16 : static_cast<size_t>(sizeHint) + 1);
    for (;;) {
        size_ += std::fread(data_.get() + size_, 1, capacity_ - size_, file.get());
        if (size_ < capacity_) break;
        Reserve(capacity_ * 2);
    }
    if (std::ferror(file.get())) {
        size_ = 0;
        return false;
    }
    return true;
}

}  // namespace halvex
