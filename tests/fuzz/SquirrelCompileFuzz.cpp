// Arbitrary bytes as Squirrel source: either a function or a compile error with a position.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "squirrel/Compiler.h"
#include "squirrel/Vm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static sq::Vm vm;
    const std::string_view src(reinterpret_cast<const char*>(data), size);
    try {
        sq::Compile(vm, src, "fuzz");
    } catch (const sq::CompileError& e) {
        if (e.message.empty() || e.line < 1 || e.column < 1) std::abort();
    }
    vm.collectGarbage();
    return 0;
}
