// StringTable: interns every string so equal strings are one object with a cached hash.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sq {

struct String;
class Vm;

class StringTable {
public:
    String* intern(Vm& vm, std::string_view s);
    // Same, taking over the bytes of a freshly built string instead of copying them.
    String* intern(Vm& vm, std::string&& s);
    // Drops strings the collector did not mark (they are freed by the sweep).
    void sweep();
    ~StringTable();

private:
    void grow();
    // The interned string equal to s, or nullptr with `slot` where it should go.
    String* lookup(std::string_view s, uint32_t h, size_t& slot);
    String* insert(Vm& vm, String* str, size_t slot);
    std::vector<String*> slots_;  // open addressing; nullptr empty, kTomb deleted
    size_t count_ = 0;
    size_t used_ = 0;
};

}  // namespace sq
