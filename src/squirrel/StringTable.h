// StringTable: interns every string so equal strings are one object with a cached hash.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace sq {

struct String;
class Vm;

class StringTable {
public:
    String* intern(Vm& vm, std::string_view s);
    // Drops strings the collector did not mark (they are freed by the sweep).
    void sweep();
    ~StringTable();

private:
    void grow();
    std::vector<String*> slots_;  // open addressing; nullptr empty, kTomb deleted
    size_t count_ = 0;
    size_t used_ = 0;
};

}  // namespace sq
