// Vm: the virtual machine — heap, root table, execution state and the interpreter entry points.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "squirrel/Object.h"
#include "squirrel/Proto.h"
#include "squirrel/StringTable.h"

namespace sq {

// A script-level exception in flight: any value may be thrown.
struct ScriptThrow {
    Value value;
    bool handled = false;  // the error handler already saw it
};

struct Frame {
    Closure* closure;
    const uint32_t* pc;   // saved program counter
    uint32_t base;        // stack index of `this`
    uint32_t vargBase;    // start of this call's extra arguments in ExecState::varargs
    uint32_t vargc;
    uint32_t trapBase;    // traps of this frame start here
    bool boundary;        // returning from this frame leaves the current execute()
    Generator* generator; // non-null when running a generator's body
};

// One execution stack: the main one, or a thread's own.
struct ExecState {
    std::vector<Value> stack;
    uint32_t top = 0;
    std::vector<Frame> frames;
    std::vector<TrapRecord> traps;
    std::vector<Value> varargs;
    Thread* thread = nullptr;
    int nativeDepth = 0;  // nested execute() calls on this state
    bool suspended = false;   // a thread's body stopped in suspend()
    uint32_t suspendSlot = 0; // where wakeup's value becomes suspend()'s result
};

// What a native sees: its arguments (index 0 is `this`) and its closure.
struct CallContext {
    Vm& vm;
    ExecState* exec;
    uint32_t base;  // stack index of `this`
    int count;      // arguments including `this`
    NativeClosure* self;
    Value& arg(int i) { return exec->stack[base + static_cast<uint32_t>(i)]; }
    Value& self_() { return arg(0); }
};

class Vm {
public:
    explicit Vm(size_t initialStack = 1024);
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    // ---- objects ----
    template <class O, class... A>
    O* alloc(A&&... args) {
        O* o = new O(std::forward<A>(args)...);
        link(o, sizeof(O));
        return o;
    }
    String* intern(std::string_view s) { return strings_.intern(*this, s); }
    Value str(std::string_view s) { return Value::Object(T::String, intern(s)); }
    // For strings built just to become script values: the bytes move instead of being copied.
    Value strOwned(std::string&& s) { return Value::Object(T::String, strings_.intern(*this, std::move(s))); }
    Table* newTable() { return alloc<Table>(); }
    Array* newArray() { return alloc<Array>(); }
    Class* newClass();
    Instance* newInstance(Class* c);
    NativeClosure* newNative(NativeFn fn, const char* name, int paramCount = 0, const char* typeMask = nullptr);
    void link(Obj* o, size_t bytes);

    // ---- execution ----
    // Compiles source to a closure value (throws CompileError).
    Value compile(std::string_view source, std::string_view name);
    // Calls func with `this` and args; throws ScriptThrow on an uncaught script error.
    Value call(const Value& func, const Value& thisValue, const Value* args, int nargs);
    // Push / pop on the current execution stack (roots for the collector).
    void push(const Value& v);
    Value pop();
    ExecState& exec() { return *exec_; }

    // ---- errors ----
    [[noreturn]] void raise(std::string message);
    [[noreturn]] void raiseValue(const Value& v) { throw ScriptThrow{v, false}; }
    std::string describeError(const Value& v);  // text of a thrown value
    static std::string KeyText(const Value& key);

    // ---- semantic helpers (shared by the interpreter and the libraries) ----
    Value get(const Value& obj, const Value& key, bool rootFallback = false);
    bool tryGet(const Value& obj, const Value& key, Value& out, bool rootFallback = false);
    void set(const Value& obj, const Value& key, const Value& val, bool rootFallback = false);
    bool trySet(const Value& obj, const Value& key, const Value& val, bool rootFallback);
    void newSlot(const Value& obj, const Value& key, const Value& val);
    Value deleteSlot(const Value& obj, const Value& key);
    Value arith(int op, const Value& a, const Value& b);
    int compare(const Value& a, const Value& b);  // <0, 0, >0; raises the comparison error
    bool lessThan(const Value& a, const Value& b) { return compare(a, b) < 0; }
    std::string toString(const Value& v);
    Value toStringValue(const Value& v);
    std::string typeOf(const Value& v);  // honours _typeof
    Value cloneValue(const Value& v);
    bool inOp(const Value& key, const Value& container);
    bool instanceOf(const Value& v, const Value& cls);
    Value construct(Class* cls, const Value* args, int nargs);
    void classMember(Class* cls, const Value& key, const Value& val, bool isStatic, const Value& attrs);
    void classSlot(Class* cls, const Value& key, const Value& val);  // C.k <- v
    Value resume(Generator* gen);
    Value metaOf(const Value& obj, MetaMethod mm);  // Null when absent
    // Calls a metamethod with errors swallowed; false when it is missing or failed.
    bool callMeta(const Value& obj, MetaMethod mm, const Value* args, int nargs, Value& out);
    Value defaultDelegateMethod(const Value& obj, const Value& key, bool& found);

    // ---- configuration ----
    Table* root = nullptr;
    Table* registry = nullptr;
    std::function<void(std::string_view)> printHook;
    std::function<void(std::string_view)> errorHook;
    Value errorHandler;
    Value debugHook;          // called on script function calls ('c') and returns ('r')
    bool inDebugHook = false;
    void debugEvent(int type, const Frame& frame);
    std::string errorSource;  // where the last uncaught run-time error was raised
    int errorLine = 0;
    uint64_t opBudget = 0;  // 0 = unlimited; checked at calls and backward jumps
    uint64_t opsLeft = 0;
    // Natives and the engine entries they make cost what they take compared with a loop step,
    // so an endless loop of native calls stops about as soon as a plain one.
    static constexpr uint64_t kNativeCallOps = 16;
    static constexpr uint64_t kNestedEntryOps = 32;
    int maxFrames = 100000;
    int maxNativeDepth = 200;

    // default delegates per type
    Table* ddTable = nullptr;
    Table* ddArray = nullptr;
    Table* ddString = nullptr;
    Table* ddNumber = nullptr;
    Table* ddFunction = nullptr;
    Table* ddGenerator = nullptr;
    Table* ddClass = nullptr;
    Table* ddInstance = nullptr;
    Table* ddThread = nullptr;
    Table* ddWeakRef = nullptr;
    String* metaNames[MM_COUNT] = {};
    String* sConstructor = nullptr;

    // ---- collector ----
    size_t collectGarbage();
    void maybeCollect() { if (bytesAllocated_ > gcThreshold_) collectGarbage(); }
    size_t liveObjects() const { return objectCount_; }

    // internals used by the interpreter files
    Value execute(ExecState& ex, uint32_t entryFrame);
    bool enterClosure(ExecState& ex, uint32_t funcIndex, int nargs, bool boundary, const Value* thisOverride);
    void checkBudget() { chargeOps(1); }
    void chargeOps(uint64_t ops);
    ExecState* exec_ = nullptr;
    ExecState mainExec_;

private:
    void markValue(const Value& v);
    void markObject(Obj* o);
    void traceObject(Obj* o);
    void markExec(ExecState& ex);
    Obj* objects_ = nullptr;
    size_t bytesAllocated_ = 0;
    size_t gcThreshold_ = 4 << 20;
    size_t objectCount_ = 0;
    std::vector<Obj*> gray_;
    std::vector<WeakRef*> weakRefs_;  // every live weak reference, so a collection need not walk the heap for them
    StringTable strings_;
};

// Type name as typeof prints it without metamethods.
const char* RawTypeName(const Value& v);

}  // namespace sq
