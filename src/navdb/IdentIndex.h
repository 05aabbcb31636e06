// IdentIndex: ident -> first row of that ident in the sorted waypoint table. Idents are at most
// 8 bytes, packed big-endian into one integer so that integer order is byte order (shorter
// first when one is a prefix of the other); lookups go through an open-addressing hash.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace halvex {

class IdentIndex {
public:
    // 0 for idents that cannot be packed (empty, longer than 8 bytes or holding a NUL).
    static uint64_t Pack(std::string_view ident);

    void Clear();
    // Builds from the packed keys of a table sorted by key: each key maps to its first row.
    void Build(const std::vector<uint64_t>& sortedKeys);
    int32_t FirstRow(std::string_view ident) const;  // -1 when absent
    int32_t FirstRow(uint64_t key) const;
    size_t DistinctCount() const { return count_; }

private:
    struct Slot {
        uint64_t key = 0;  // 0 marks an empty slot
        int32_t row = -1;
    };
    std::vector<Slot> slots_;
    uint64_t mask_ = 0;
    size_t count_ = 0;
};

}  // namespace halvex
