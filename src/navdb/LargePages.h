// Large tables are touched once, page by page, while loading; on machines where every page
// fault is expensive, backing them with huge pages turns thousands of faults into a few.
#pragma once

#include <cstddef>
#include <vector>

namespace halvex {

// Asks the kernel to back the whole 2 MB blocks inside [data, data + bytes) with huge pages
// when it can. Only advice: a no-op where unsupported, and never required for correctness.
void AdviseLargePages(const void* data, size_t bytes);

// Reserves room for count elements and advises large pages for it before anything is written.
template <typename T>
void ReserveLarge(std::vector<T>& v, size_t count) {
    v.reserve(count);
    AdviseLargePages(v.data(), v.capacity() * sizeof(T));
}

}  // namespace halvex
