#include "squirrel/Api.h"

#include <fstream>
#include <sstream>

#include "squirrel/Compiler.h"

namespace sq {

bool ReadSourceFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    if (out.size() >= 3 && static_cast<unsigned char>(out[0]) == 0xEF && static_cast<unsigned char>(out[1]) == 0xBB &&
        static_cast<unsigned char>(out[2]) == 0xBF) {
        // A file with the UTF-8 mark is decoded: each sequence becomes one byte (its code's low 8
        // bits); a byte that cannot start a sequence ends the source.
        std::string decoded;
        size_t i = 3;
        while (i < out.size()) {
            const auto lead = static_cast<unsigned char>(out[i]);
            size_t extra = 0;
            uint32_t code = lead;
            if (lead >= 0x80 && lead < 0xC0) break;
            if (lead >= 0xF0) { extra = 3; code = lead & 0x07; }
            else if (lead >= 0xE0) { extra = 2; code = lead & 0x0F; }
            else if (lead >= 0xC0) { extra = 1; code = lead & 0x1F; }
            ++i;
            for (size_t k = 0; k < extra && i < out.size(); ++k, ++i) code = (code << 6) | (static_cast<unsigned char>(out[i]) & 0x3F);
            decoded += static_cast<char>(code & 0xFF);
        }
        out = decoded;
    }
    return true;
}

Engine::Engine(size_t initialStackSlots) : vm_(initialStackSlots) {}

void Engine::registerStandardLibrary() { RegisterStandardLibrary(vm_); }

bool Engine::guarded(const std::function<void()>& body) {
    ExecState& ex = vm_.exec();
    const uint32_t top = ex.top;
    // Only the outermost entry refills the budget: a native that re-enters the engine (to read
    // or set a path) must not hand an endless script loop a fresh allowance on every call.
    if (entryDepth_ == 0) vm_.opsLeft = vm_.opBudget;
    vm_.errorSource.clear();
    vm_.errorLine = 0;
    struct DepthGuard {
        int& depth;
        explicit DepthGuard(int& d) : depth(d) { ++depth; }
        ~DepthGuard() { --depth; }
    } depthGuard(entryDepth_);
    try {
        if (entryDepth_ > 1) vm_.chargeOps(Vm::kNestedEntryOps);
        body();
        ex.top = top;
        return true;
    } catch (const ScriptThrow& t) {
        lastError_ = vm_.describeError(t.value);
    } catch (const CompileError& e) {
        lastError_ = e.message;
    } catch (const std::bad_alloc&) {
        lastError_ = "out of memory";
    }
    ex.top = top;
    return false;
}

Value Engine::compileFile(const std::string& path) {
    std::string src;
    if (!ReadSourceFile(path, src)) {
        lastError_ = "cannot open the file";
        return Value();
    }
    try {
        return vm_.compile(src, path);
    } catch (const CompileError& e) {
        lastError_ = e.message;
        if (vm_.errorHook)
            vm_.errorHook(path + " line = (" + std::to_string(e.line) + ") column = (" + std::to_string(e.column) +
                          ") : error " + e.message);
        return Value();
    }
}

bool Engine::runFile(const std::string& path, Value* result) {
    const Value fn = compileFile(path);
    if (fn.t == T::Null) return false;
    return call(fn, Value::Object(T::Table, vm_.root), {}, result);
}

bool Engine::runString(std::string_view source, std::string_view name, Value* result) {
    Value fn;
    try {
        fn = vm_.compile(source, name);
    } catch (const CompileError& e) {
        lastError_ = e.message;
        if (vm_.errorHook)
            vm_.errorHook(std::string(name) + " line = (" + std::to_string(e.line) + ") column = (" +
                          std::to_string(e.column) + ") : error " + e.message);
        return false;
    }
    return call(fn, Value::Object(T::Table, vm_.root), {}, result);
}

bool Engine::walk(const Path& path, size_t count, Value& out) {
    Value cur = Value::Object(T::Table, vm_.root);
    for (size_t i = 0; i < count; ++i) {
        Value next;
        if (!vm_.tryGet(cur, key(path[i]), next, false)) return false;
        cur = next;
    }
    out = cur;
    return true;
}

bool Engine::getPath(const Path& path, Value& out) {
    bool found = false;
    const bool ok = guarded([&] { found = walk(path, path.size(), out); });
    return ok && found;
}

bool Engine::setPath(const Path& path, const Value& value) {
    if (path.empty()) return false;
    bool done = false;
    const bool ok = guarded([&] {
        Value container;
        vm_.push(value);
        if (walk(path, path.size() - 1, container)) done = vm_.trySet(container, key(path.back()), value, false);
        vm_.pop();
    });
    return ok && done;
}

bool Engine::newSlotPath(const Path& path, const Value& value) {
    if (path.empty()) return false;
    bool done = false;
    const bool ok = guarded([&] {
        Value container;
        vm_.push(value);
        if (walk(path, path.size() - 1, container)) {
            vm_.newSlot(container, key(path.back()), value);
            done = true;
        }
        vm_.pop();
    });
    return ok && done;
}

bool Engine::callPath(const Path& path, const std::vector<Value>& args, Value* result) {
    Value fn;
    if (!getPath(path, fn)) {
        lastError_ = "the index '" + (path.empty() ? std::string() : path.back().isIndex ? std::to_string(path.back().index) : path.back().name) + "' does not exist";
        return false;
    }
    return call(fn, Value::Object(T::Table, vm_.root), args, result);
}

bool Engine::call(const Value& fn, const Value& thisValue, const std::vector<Value>& args, Value* result) {
    return guarded([&] {
        const Value r = vm_.call(fn, thisValue, args.data(), static_cast<int>(args.size()));
        if (result) *result = r;
    });
}

void Engine::registerNative(const std::string& name, NativeFn fn, void* userPointer, int paramCount) {
    NativeClosure* n = vm_.newNative(fn, name.c_str(), paramCount, nullptr);
    n->userPointer = userPointer;
    vm_.root->set(vm_.str(name), Value::Object(T::Native, n));
}

}  // namespace sq
