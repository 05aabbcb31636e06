// Engine: the C++ API a host uses — everything it needs and no more.
//
// Values handed out by the engine are plain when they are numbers, bools and strings; object
// values stay valid only until the next call into the engine (the collector may free them once
// no script references them).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "squirrel/Vm.h"

namespace sq {

// One component of a path into the root table: a field name or an integer index.
struct PathKey {
    std::string name;
    int32_t index = 0;
    bool isIndex = false;
    PathKey(const char* n) : name(n) {}            // NOLINT: paths read naturally as {"a", 2}
    PathKey(std::string n) : name(std::move(n)) {}  // NOLINT
    PathKey(int32_t i) : index(i), isIndex(true) {} // NOLINT
};
using Path = std::vector<PathKey>;

// A native's view of its call: position 1 is the receiver `this`, the script's arguments follow.
inline int ArgCount(const CallContext& c) { return c.count; }
inline Value StackAt(CallContext& c, int position) { return c.arg(position - 1); }
inline void* UserPointer(const CallContext& c) { return c.self->userPointer; }

class Engine {
public:
    explicit Engine(size_t initialStackSlots = 1024);

    Vm& vm() { return vm_; }
    // blob, io, math, string and system modules into the root table.
    void registerStandardLibrary();
    void setPrintHook(std::function<void(std::string_view)> hook) { vm_.printHook = std::move(hook); }
    void setErrorHook(std::function<void(std::string_view)> hook) { vm_.errorHook = std::move(hook); }
    // Instructions (calls and loop iterations) allowed per host call, natives and the engine
    // entries they make included; 0 = unlimited.
    void setOperationBudget(uint64_t ops) { vm_.opBudget = ops; }

    // Compile and run with `this` = the root table. False on failure (see lastError()).
    bool runFile(const std::string& path, Value* result = nullptr);
    bool runString(std::string_view source, std::string_view name, Value* result = nullptr);
    // Compile only: the main function, or Null with lastError() set.
    Value compileFile(const std::string& path);

    bool getPath(const Path& path, Value& out);              // full lookup of each component
    bool setPath(const Path& path, const Value& value);      // plain set: the slot must exist
    bool newSlotPath(const Path& path, const Value& value);  // creates the last slot
    // Calls the function at path with `this` = the root table.
    bool callPath(const Path& path, const std::vector<Value>& args, Value* result = nullptr);
    bool call(const Value& fn, const Value& thisValue, const std::vector<Value>& args, Value* result = nullptr);
    // A native closure carrying one user pointer, created as a root-table slot.
    void registerNative(const std::string& name, NativeFn fn, void* userPointer = nullptr, int paramCount = 0);

    Value string(std::string_view s) { return vm_.str(s); }
    const std::string& lastError() const { return lastError_; }
    // Where the last run-time error happened (empty / 0 when unknown).
    const std::string& errorSource() const { return vm_.errorSource; }
    int errorLine() const { return vm_.errorLine; }

private:
    bool guarded(const std::function<void()>& body);
    bool walk(const Path& path, size_t count, Value& out);
    Value key(const PathKey& k) { return k.isIndex ? Value::Int(k.index) : vm_.str(k.name); }
    Vm vm_;
    std::string lastError_;
    int entryDepth_ = 0;  // host entries in progress; a native may re-enter the engine
};

// Reads a whole source file, skipping a UTF-8 byte-order mark. False when it cannot be read.
bool ReadSourceFile(const std::string& path, std::string& out);
void RegisterStandardLibrary(Vm& vm);

}  // namespace sq
