// Proto: a compiled function body (code, constants, nested functions, debug lines).
#pragma once

#include <vector>

#include "squirrel/Object.h"

namespace sq {

struct Proto : Obj {
    std::vector<uint32_t> code;
    std::vector<Value> constants;
    std::vector<Proto*> children;
    std::vector<std::pair<uint32_t, int32_t>> lines;  // (first pc, line)
    std::vector<String*> paramNames;  // "this" first
    // Where each local (parameters and "this" included) lives: its slot from the frame base,
    // holding its value for the instructions startPc <= pc < endPc.
    struct LocalInfo {
        String* name;
        int32_t slot;
        uint32_t startPc;
        uint32_t endPc;
    };
    std::vector<LocalInfo> locals;
    String* name = nullptr;
    String* source = nullptr;
    int paramCount = 0;  // including this
    int maxStack = 0;
    bool varargs = false;
    bool generator = false;
    Proto() : Obj(T::Proto) {}
    int lineAt(uint32_t pc) const {
        int line = lines.empty() ? 0 : lines[0].second;
        for (const auto& [p, l] : lines) { if (p > pc) break; line = l; }
        return line;
    }
};

}  // namespace sq
