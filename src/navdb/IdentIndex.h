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
    // Builds from the keys of a table sorted by key: each key maps to its first row.
    void Build(const std::vector<uint64_t>& sortedKeys);
    int32_t FirstRow(std::string_view ident) const { return FirstRow(Pack(ident)); }
    int32_t FirstRow(uint64_t key) const;  // -1 when absent
    size_t DistinctCount() const { return count_; }

private:
    struct Slot {
        uint64_t key = 0;
        int32_t row = -1;  // -1 marks an empty slot
    };
    std::vector<Slot> slots_;
    uint64_t mask_ = 0;
    size_t count_ = 0;
};

}  // namespace halvex
