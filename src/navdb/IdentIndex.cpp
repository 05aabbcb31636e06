#include "navdb/IdentIndex.h"

#include "navdb/LargePages.h"

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
    if (ident.size() > 8 || ident.find('\0') != std::string_view::npos) return kUnpackable;
    char padded[8] = {};
    std::memcpy(padded, ident.data(), ident.size());
    return PackPadded(padded);
}

void IdentIndex::Clear() {
    slots_.clear();
    mask_ = 0;
    count_ = 0;
}

void IdentIndex::Prepare(size_t count) {
    Clear();
    size_t capacity = 16;
    while (capacity * 4 < count * 5) capacity <<= 1;  // at most four fifths full
    ReserveLarge(slots_, capacity);
    slots_.assign(capacity, Slot{});
    mask_ = capacity - 1;
}

void IdentIndex::Insert(uint64_t key, int32_t row) {
    for (uint64_t i = Mix(key) & mask_;; i = (i + 1) & mask_) {
        if (slots_[i].row < 0) {
            slots_[i] = Slot{key, row};
            ++count_;
            return;
        }
        if (slots_[i].key == key) return;  // keeps the first row
    }
}

int32_t IdentIndex::FirstRow(uint64_t key) const {
    if (key == kUnpackable || slots_.empty()) return -1;
    for (uint64_t i = Mix(key) & mask_;; i = (i + 1) & mask_) {
        const Slot& slot = slots_[i];
        if (slot.row < 0) return -1;
        if (slot.key == key) return slot.row;
    }
}

}  // namespace halvex
