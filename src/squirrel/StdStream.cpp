// The methods common to blobs and files, and the helpers to build library classes.
#include <cstring>

#include "squirrel/NativeArgs.h"
#include "squirrel/Stream.h"

namespace sq {

Class* MakeClass(Vm& vm, const Value& base, const Value& attrs);

size_t BlobStream::read(void* dst, size_t n) {
    const size_t avail = pos < data.size() ? data.size() - pos : 0;
    n = std::min(n, avail);
    if (n) std::memcpy(dst, data.data() + pos, n);
    pos += n;
    return n;
}

size_t BlobStream::write(const void* src, size_t n) {
    if (pos + n > data.size()) data.resize(pos + n);
    if (n) std::memcpy(data.data() + pos, src, n);
    pos += n;
    return n;
}

bool BlobStream::seek(long offset, int origin) {
    long target = origin == SEEK_SET ? offset : origin == SEEK_CUR ? static_cast<long>(pos) + offset : static_cast<long>(data.size()) + offset;
    if (target < 0 || target > static_cast<long>(data.size())) return false;
    pos = static_cast<size_t>(target);
    return true;
}

long FileStream::len() {
    const long here = std::ftell(file);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return size;
}

void ReleaseStream(void* p) { delete static_cast<Stream*>(p); }

Stream* StreamOf(Vm& vm, const Value& self) {
    if (self.t != T::Instance || self.ins->release != ReleaseStream || !self.ins->userPointer)
        vm.raise("the stream is invalid");
    auto* s = static_cast<Stream*>(self.ins->userPointer);
    if (!s->valid()) vm.raise("the stream is invalid");
    return s;
}

Class* MakeNativeClass(Vm& vm, Class* base) {
    return MakeClass(vm, base ? Value::Object(T::Class, base) : Value(), Value());
}

void AddNativeMember(Vm& vm, Class* cls, const char* name, NativeFn fn, int params, const char* mask) {
    vm.classMember(cls, vm.str(name), Value::Object(T::Native, vm.newNative(fn, name, params, mask)), false, Value());
}

namespace {

Value readBlob(Vm& vm, CallContext& c) {
    Stream* s = StreamOf(vm, c.arg(0));
    const int32_t n = c.arg(1).toInt();
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max(n, 0)));
    const size_t got = s->read(bytes.data(), bytes.size());
    if (got == 0) vm.raise("no data left to read");
    bytes.resize(got);
    return NewBlob(vm, std::move(bytes));
}

Value readN(Vm& vm, CallContext& c) {
    Stream* s = StreamOf(vm, c.arg(0));
    auto get = [&](void* dst, size_t n) { if (s->read(dst, n) != n) vm.raise("io error"); };
    switch (c.arg(1).toInt()) {
    case 'l': case 'i': { int32_t v; get(&v, 4); return Value::Int(v); }
    case 's': { int16_t v; get(&v, 2); return Value::Int(v); }
    case 'w': { uint16_t v; get(&v, 2); return Value::Int(v); }
    case 'c': { int8_t v; get(&v, 1); return Value::Int(v); }
    case 'b': { uint8_t v; get(&v, 1); return Value::Int(v); }
    case 'f': { float v; get(&v, 4); return Value::Float(v); }
    case 'd': { double v; get(&v, 8); return Value::Float(static_cast<float>(v)); }
    default: vm.raise("invalid format");
    }
}

Value writeBlob(Vm& vm, CallContext& c) {
    Stream* s = StreamOf(vm, c.arg(0));
    const Value b = c.arg(1);
    if (b.t != T::Instance || b.ins->release != ReleaseStream) vm.raise("invalid parameter");
    auto* src = dynamic_cast<BlobStream*>(static_cast<Stream*>(b.ins->userPointer));
    if (!src) vm.raise("invalid parameter");
    const std::vector<uint8_t> bytes = src->data;
    if (s->write(bytes.data(), bytes.size()) != bytes.size()) vm.raise("io error");
    return Value();
}

Value writeN(Vm& vm, CallContext& c) {
    Stream* s = StreamOf(vm, c.arg(0));
    const Value v = c.arg(1);
    auto put = [&](const void* src, size_t n) { if (s->write(src, n) != n) vm.raise("io error"); };
    switch (c.arg(2).toInt()) {
    case 'l': case 'i': { const int32_t x = v.toInt(); put(&x, 4); break; }
    case 's': case 'w': { const int16_t x = static_cast<int16_t>(v.toInt()); put(&x, 2); break; }
    case 'c': case 'b': { const int8_t x = static_cast<int8_t>(v.toInt()); put(&x, 1); break; }
    case 'f': { const float x = v.toFloat(); put(&x, 4); break; }
    case 'd': { const double x = static_cast<double>(v.toFloat()); put(&x, 8); break; }
    default: vm.raise("invalid format");
    }
    return Value();
}

Value seek(Vm& vm, CallContext& c) {
    Stream* s = StreamOf(vm, c.arg(0));
    const int origin = c.count > 2 ? c.arg(2).toInt() : 'b';
    int o;
    switch (origin) {
    case 'b': o = SEEK_SET; break;
    case 'c': o = SEEK_CUR; break;
    case 'e': o = SEEK_END; break;
    default: vm.raise("invalid origin");
    }
    return Value::Int(s->seek(c.arg(1).toInt(), o) ? 0 : -1);
}

Value tell(Vm& vm, CallContext& c) { return Value::Int(static_cast<int32_t>(StreamOf(vm, c.arg(0))->tell())); }
Value len(Vm& vm, CallContext& c) { return Value::Int(static_cast<int32_t>(StreamOf(vm, c.arg(0))->len())); }
Value eos(Vm& vm, CallContext& c) { return StreamOf(vm, c.arg(0))->eos() ? Value::Int(1) : Value(); }
Value flush(Vm& vm, CallContext& c) { return StreamOf(vm, c.arg(0))->flush() ? Value::Int(1) : Value(); }

}  // namespace

// The base class of blob and file, kept in the registry and as the root slot "stream".
Class* StreamClass(Vm& vm) {
    if (Value* v = vm.registry->find(vm.str("stream"))) return v->cls;
    Class* c = MakeNativeClass(vm, nullptr);
    vm.registry->set(vm.str("stream"), Value::Object(T::Class, c));
    AddNativeMember(vm, c, "readblob", readBlob, 2, "x n");
    AddNativeMember(vm, c, "readn", readN, 2, "x n");
    AddNativeMember(vm, c, "writeblob", writeBlob, 2, "x x");
    AddNativeMember(vm, c, "writen", writeN, 3, "x n n");
    AddNativeMember(vm, c, "seek", seek, -2, "x n n");
    AddNativeMember(vm, c, "tell", tell, 1);
    AddNativeMember(vm, c, "len", len, 1);
    AddNativeMember(vm, c, "eos", eos, 1);
    AddNativeMember(vm, c, "flush", flush, 1);
    vm.root->set(vm.str("stream"), Value::Object(T::Class, c));
    return c;
}

}  // namespace sq
