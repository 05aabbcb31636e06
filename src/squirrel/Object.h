// Heap objects of the engine. Every object starts with the Obj header that the collector links.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "squirrel/Value.h"

namespace sq {

class Vm;

struct Obj {
    Obj* gcNext = nullptr;
    T type;
    bool marked = false;
    explicit Obj(T ty) : type(ty) {}
    virtual ~Obj() = default;
};

struct String : Obj {
    uint32_t hash;
    uint32_t len;
    std::string text;  // owns the bytes; may contain NUL
    String(std::string_view s, uint32_t h) : Obj(T::String), hash(h), len(static_cast<uint32_t>(s.size())), text(s) {}
    String(std::string&& s, uint32_t h) : Obj(T::String), hash(h), len(static_cast<uint32_t>(s.size())), text(std::move(s)) {}
    std::string_view view() const { return text; }
    const char* c_str() const { return text.c_str(); }
};

uint32_t HashBytes(std::string_view s);
uint32_t HashValue(const Value& v);

// Open-addressing hash table with linear probing; deleted slots become tombstones.
struct Table : Obj {
    struct Node { Value key; Value val; };  // key Null = empty; key Null with val Bool = tombstone
    Node* nodes = nullptr;
    uint32_t capacity = 0;  // power of two
    uint32_t count = 0;     // live slots
    uint32_t used = 0;      // live + tombstones
    Table* delegate = nullptr;
    Table() : Obj(T::Table) {}
    ~Table() override { delete[] nodes; }

    Value* find(const Value& key);            // nullptr when absent
    Value* findString(const String* key);
    void set(const Value& key, const Value& val);  // create or overwrite
    bool remove(const Value& key, Value* old = nullptr);
    // Iteration: returns the next live slot index >= from, or -1.
    int64_t next(uint32_t from) const;
    void clear();

private:
    void grow();
    Node* slotFor(const Value& key, uint32_t h);
};

struct Array : Obj {
    std::vector<Value> items;
    Array() : Obj(T::Array) {}
};

struct Proto;

struct Closure : Obj {
    Proto* proto;
    std::vector<Value> outers;  // free variables, copied at creation
    Value env;                   // bindenv target (Null when unbound)
    explicit Closure(Proto* p) : Obj(T::Closure), proto(p) {}
};

struct CallContext;
// A native sees its arguments through CallContext; it returns the call's value.
using NativeFn = Value (*)(Vm& vm, CallContext& call);

struct NativeClosure : Obj {
    NativeFn fn;
    String* name = nullptr;
    int paramCount = 0;          // including this; 0 = not checked; negative = at least -n
    const char* typeMask = nullptr;  // per parameter: type letters, see NativeArgs
    void* userPointer = nullptr;
    std::vector<Value> outers;
    Value env;
    explicit NativeClosure(NativeFn f) : Obj(T::Native), fn(f) {}
};

enum class MemberKind : uint8_t { Field, Method, Static };

enum MetaMethod : uint8_t {
    MM_SET, MM_GET, MM_NEWSLOT, MM_DELSLOT, MM_ADD, MM_SUB, MM_MUL, MM_DIV, MM_MODULO, MM_UNM,
    MM_TYPEOF, MM_CMP, MM_CALL, MM_CLONED, MM_NEXTI, MM_TOSTRING, MM_INHERITED, MM_NEWMEMBER, MM_COUNT
};

struct Class : Obj {
    struct Member { Value key; Value value; MemberKind kind; Value attrs; };
    Class* base = nullptr;
    Table* index;                 // key -> Int index into members
    std::vector<Member> members;
    Value meta[MM_COUNT];
    Value constructor;
    Value attrs;                  // class-level attributes
    bool locked = false;          // an instance exists
    explicit Class(Table* idx) : Obj(T::Class), index(idx) {}
    int findMember(const Value& key) {
        Value* v = index->find(key);
        return v ? v->i : -1;
    }
};

struct Instance : Obj {
    Class* cls;
    std::vector<Value> values;  // one per class member; only fields are read from here
    void* userPointer = nullptr;
    void (*release)(void*) = nullptr;  // library objects (blob, file) free their payload here
    explicit Instance(Class* c) : Obj(T::Instance), cls(c) {}
    ~Instance() override { if (release) release(userPointer); }
};

struct UserData : Obj {
    std::vector<uint8_t> bytes;
    Table* delegate = nullptr;
    UserData() : Obj(T::UserData) {}
};

struct WeakRef : Obj {
    Value target;  // Null once the target is collected
    WeakRef() : Obj(T::WeakRef) {}
};

struct TrapRecord {
    uint32_t frame;      // frame index that owns the handler
    uint32_t handlerPc;  // code offset of the catch
    uint32_t stackTop;   // absolute stack height to restore
    uint32_t vargTop;
};

enum class GenState : uint8_t { Suspended, Running, Dead };

struct Generator : Obj {
    Closure* closure;
    std::vector<Value> saved;        // the frame's stack slots (this, params, locals, temporaries)
    std::vector<Value> varargs;
    std::vector<TrapRecord> traps;   // relative: frame 0, stackTop relative to base
    uint32_t pc = 0;
    GenState state = GenState::Suspended;
    explicit Generator(Closure* c) : Obj(T::Generator), closure(c) {}
};

struct ExecState;
struct Thread : Obj {
    ExecState* exec;
    Value body;
    enum class State : uint8_t { Idle, Running, Suspended } state = State::Idle;
    bool started = false;
    Thread();
    ~Thread() override;
};

}  // namespace sq
