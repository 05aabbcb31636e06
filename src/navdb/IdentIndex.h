// IdentIndex: ident -> first row of that ident in the sorted waypoint table. An ident of up to
// 8 bytes without NULs packs big-endian, NUL-padded, into one integer whose order is byte order
// (shorter first when one is a prefix of the other); look-ups go through an open-addressing hash.
#pragma once

#include <cstdint>
#include <bit>
#include <cstring>
#include <string_view>
#include <vector>

namespace halvex {

class IdentIndex {
public:
    // Stands for idents that cannot be packed (longer than 8 bytes or holding a NUL); never
    // stored, so it finds nothing.
    static constexpr uint64_t kUnpackable = ~uint64_t{0};

    static uint64_t Pack(std::string_view ident);
    // The key of a NUL-padded 8-byte ident field.
    static uint64_t PackPadded(const char (&ident)[8]) {
        uint64_t raw;
        std::memcpy(&raw, ident, 8);
        if constexpr (std::endian::native == std::endian::little) raw = __builtin_bswap64(raw);
        return raw;
    }

    void Clear();
    // Builds from the keys of a table sorted by key (keyAt(row) for rows 0 to count - 1): each
    // key maps to its first row.
    template <typename KeyAt>
    void Build(size_t count, KeyAt&& keyAt) {
        size_t distinct = 0;
        for (size_t row = 0; row < count; ++row) distinct += row == 0 || keyAt(row) != keyAt(row - 1);
        Prepare(distinct);
        uint64_t previous = kUnpackable;
        for (size_t row = 0; row < count; ++row) {
            const uint64_t key = keyAt(row);
            if (key != kUnpackable && (row == 0 || key != previous)) Insert(key, static_cast<int32_t>(row));
            previous = key;
        }
    }
    int32_t FirstRow(std::string_view ident) const { return FirstRow(Pack(ident)); }
    int32_t FirstRow(uint64_t key) const;  // -1 when absent
    size_t DistinctCount() const { return count_; }

private:
    void Prepare(size_t count);
    void Insert(uint64_t key, int32_t row);

    struct Slot {
        uint64_t key = 0;
        int32_t row = -1;  // -1 marks an empty slot
    };
    std::vector<Slot> slots_;
    uint64_t mask_ = 0;
    size_t count_ = 0;
};

}  // namespace halvex
