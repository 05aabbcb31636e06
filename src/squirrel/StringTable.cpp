#include "squirrel/StringTable.h"

#include "squirrel/Vm.h"

namespace sq {

namespace {
String* const kTomb = reinterpret_cast<String*>(uintptr_t{1});
}

uint32_t HashBytes(std::string_view s) {
    // Long strings are hashed on a sample of their bytes so that growing a long string piece by
    // piece does not cost a full pass per step; equal hashes are still compared byte by byte.
    uint32_t h = 2166136261u ^ static_cast<uint32_t>(s.size());
    const size_t step = s.size() > 64 ? s.size() / 32 : 1;
    for (size_t i = 0; i < s.size(); i += step) { h ^= static_cast<unsigned char>(s[i]); h *= 16777619u; }
    if (step > 1) for (size_t i = s.size() - 16; i < s.size(); ++i) { h ^= static_cast<unsigned char>(s[i]); h *= 16777619u; }
    return h;
}

StringTable::~StringTable() = default;  // the strings themselves belong to the heap

void StringTable::grow() {
    std::vector<String*> old = std::move(slots_);
    // Sized from the live strings only: tombstones left by the collector must not double the
    // table on every rehash.
    size_t size = 1024;
    while (size < (count_ + 1) * 2) size *= 2;
    slots_.assign(size, nullptr);
    count_ = used_ = 0;
    const size_t mask = slots_.size() - 1;
    for (String* s : old) {
        if (!s || s == kTomb) continue;
        size_t i = s->hash & mask;
        while (slots_[i]) i = (i + 1) & mask;
        slots_[i] = s;
        ++count_;
        ++used_;
    }
}

String* StringTable::lookup(std::string_view s, uint32_t h, size_t& slot) {
    if ((used_ + 1) * 4 >= slots_.size() * 3) grow();
    const size_t mask = slots_.size() - 1;
    size_t i = h & mask;
    size_t tomb = SIZE_MAX;
    while (String* cur = slots_[i]) {
        if (cur == kTomb) { if (tomb == SIZE_MAX) tomb = i; }
        else if (cur->hash == h && cur->view() == s) return cur;
        i = (i + 1) & mask;
    }
    slot = tomb != SIZE_MAX ? tomb : i;
    return nullptr;
}

String* StringTable::insert(Vm& vm, String* str, size_t slot) {
    vm.link(str, sizeof(String) + str->len);
    if (slots_[slot] == nullptr) ++used_;  // a reused tombstone was counted already
    slots_[slot] = str;
    ++count_;
    return str;
}

String* StringTable::intern(Vm& vm, std::string_view s) {
    const uint32_t h = HashBytes(s);
    size_t slot = 0;
    if (String* found = lookup(s, h, slot)) return found;
    return insert(vm, new String(s, h), slot);
}

String* StringTable::intern(Vm& vm, std::string&& s) {
    const uint32_t h = HashBytes(s);
    size_t slot = 0;
    if (String* found = lookup(s, h, slot)) return found;
    return insert(vm, new String(std::move(s), h), slot);
}

void StringTable::sweep() {
    for (String*& s : slots_) {
        if (s && s != kTomb && !s->marked) { s = kTomb; --count_; }
    }
}

}  // namespace sq
