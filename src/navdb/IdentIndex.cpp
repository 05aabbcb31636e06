#include "navdb/IdentIndex.h"

#include <bit>

namespace halvex {

namespace {
uint64_t Mix(uint64_t key) {  // a cheap finaliser that spreads packed text over the slots
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    return key;
}
}  // namespace

uint64_t IdentIndex::Pack(std::string_view ident) {
    // Seven text bytes, big-endian, then the length plus one: integer order is byte order, and
    // no ident (not even the empty one) packs to 0.
    if (ident.size() > 7) return 0;
    uint64_t key = 0;
    for (size_t i = 0; i < 7; ++i) {
        const uint64_t byte = i < ident.size() ? static_cast<unsigned char>(ident[i]) : 0;
        if (i < ident.size() && byte == 0) return 0;
        key = key << 8 | byte;
    }
    return key << 8 | (ident.size() + 1);
}

void IdentIndex::Clear() {
    slots_.clear();
    mask_ = 0;
    count_ = 0;
}

void IdentIndex::Build(const std::vector<uint64_t>& sortedKeys) {
    Clear();
    size_t capacity = 16;
    while (capacity < sortedKeys.size() * 2) capacity <<= 1;  // at most half full
    slots_.assign(capacity, Slot{});
    mask_ = capacity - 1;
    for (size_t row = 0; row < sortedKeys.size(); ++row) {
        const uint64_t key = sortedKeys[row];
        if (key == 0 || (row > 0 && sortedKeys[row - 1] == key)) continue;  // first row only
        for (uint64_t i = Mix(key) & mask_;; i = (i + 1) & mask_) {
            if (slots_[i].key == 0) {
                slots_[i] = Slot{key, static_cast<int32_t>(row)};
                ++count_;
                break;
            }
        }
    }
}

int32_t IdentIndex::FirstRow(uint64_t key) const {
    if (key == 0 || slots_.empty()) return -1;
    for (uint64_t i = Mix(key) & mask_;; i = (i + 1) & mask_) {
        const Slot& slot = slots_[i];
        if (slot.key == key) return slot.row;
        if (slot.key == 0) return -1;
    }
}

int32_t IdentIndex::FirstRow(std::string_view ident) const { return FirstRow(Pack(ident)); }

}  // namespace halvex
