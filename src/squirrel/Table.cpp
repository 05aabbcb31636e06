#include <cstring>

#include "squirrel/Object.h"

namespace sq {

uint32_t HashValue(const Value& v) {
    switch (v.t) {
    case T::String: return v.s->hash;
    case T::Int: return static_cast<uint32_t>(v.i) * 2654435761u;
    case T::Bool: return v.b ? 1231u : 1237u;
    case T::Float: { uint32_t x; std::memcpy(&x, &v.f, 4); return x * 2654435761u ^ 0x5bd1e995u; }
    default: {
        const auto p = reinterpret_cast<uintptr_t>(v.p);
        return static_cast<uint32_t>((p >> 4) ^ (p >> 20)) * 2654435761u;
    }
    }
}

namespace {
bool isTomb(const Table::Node& n) { return n.key.t == T::Null && n.val.t == T::Bool; }
}

Table::Node* Table::slotFor(const Value& key, uint32_t h) {
    const uint32_t mask = capacity - 1;
    uint32_t i = h & mask;
    for (;;) {
        Node& n = nodes[i];
        if (n.key.t == T::Null) {
            if (!isTomb(n)) return nullptr;
        } else if (RawEqual(n.key, key)) {
            return &n;
        }
        i = (i + 1) & mask;
    }
}

Value* Table::find(const Value& key) {
    if (count == 0 || key.t == T::Null) return nullptr;
    Node* n = slotFor(key, HashValue(key));
    return n ? &n->val : nullptr;
}

Value* Table::findString(const String* key) {
    if (count == 0) return nullptr;
    const uint32_t mask = capacity - 1;
    uint32_t i = key->hash & mask;
    for (;;) {
        Node& n = nodes[i];
        if (n.key.t == T::String && n.key.s == key) return &n.val;
        if (n.key.t == T::Null && !isTomb(n)) return nullptr;
        i = (i + 1) & mask;
    }
}

void Table::grow() {
    Node* old = nodes;
    const uint32_t oldCap = capacity;
    uint32_t newCap = capacity ? capacity : 4;
    while ((count + 1) * 4 >= newCap * 3) newCap *= 2;
    if (newCap == capacity && used >= count * 2) newCap = capacity;  // rehash in place size
    nodes = new Node[newCap];
    capacity = newCap;
    used = count;
    const uint32_t mask = capacity - 1;
    for (uint32_t j = 0; j < oldCap; ++j) {
        if (old[j].key.t == T::Null) continue;
        uint32_t i = HashValue(old[j].key) & mask;
        while (nodes[i].key.t != T::Null) i = (i + 1) & mask;
        nodes[i] = old[j];
    }
    delete[] old;
}

void Table::set(const Value& key, const Value& val) {
    if (capacity) {
        if (Value* v = find(key)) { *v = val; return; }
    }
    if ((used + 1) * 4 >= capacity * 3) grow();
    const uint32_t mask = capacity - 1;
    uint32_t i = HashValue(key) & mask;
    while (nodes[i].key.t != T::Null) i = (i + 1) & mask;  // tombstones have a Null key too
    if (!isTomb(nodes[i])) ++used;
    nodes[i].key = key;
    nodes[i].val = val;
    ++count;
}

bool Table::remove(const Value& key, Value* old) {
    if (count == 0) return false;
    Node* n = slotFor(key, HashValue(key));
    if (!n) return false;
    if (old) *old = n->val;
    n->key = Value();
    n->val = Value::Bool(true);  // tombstone
    --count;
    return true;
}

int64_t Table::next(uint32_t from) const {
    for (uint32_t i = from; i < capacity; ++i)
        if (nodes[i].key.t != T::Null) return i;
    return -1;
}

void Table::clear() {
    delete[] nodes;
    nodes = nullptr;
    capacity = count = used = 0;
}

}  // namespace sq
