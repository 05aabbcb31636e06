#include "squirrel/StringTable.h"

#include "squirrel/Vm.h"

namespace sq {

namespace {
String* const kTomb = reinterpret_cast<String*>(uintptr_t{1});
}

uint32_t HashBytes(std::string_view s) {
    uint32_t h = 2166136261u;
    for (unsigned char c : s) { h ^= c; h *= 16777619u; }
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

String* StringTable::intern(Vm& vm, std::string_view s) {
    if ((used_ + 1) * 4 >= slots_.size() * 3) grow();
    const uint32_t h = HashBytes(s);
    const size_t mask = slots_.size() - 1;
    size_t i = h & mask;
    size_t tomb = SIZE_MAX;
    while (String* cur = slots_[i]) {
        if (cur == kTomb) { if (tomb == SIZE_MAX) tomb = i; }
        else if (cur->hash == h && cur->view() == s) { cur->marked = cur->marked; return cur; }
        i = (i + 1) & mask;
    }
    String* str = new String(s, h);
    vm.link(str, sizeof(String) + s.size());
    if (tomb != SIZE_MAX) { slots_[tomb] = str; }
    else { slots_[i] = str; ++used_; }
    ++count_;
    return str;
}

void StringTable::sweep() {
    for (String*& s : slots_) {
        if (s && s != kTomb && !s->marked) { s = kTomb; --count_; }
    }
}

}  // namespace sq
