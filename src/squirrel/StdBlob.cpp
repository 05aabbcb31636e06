// blob library: growable byte buffers and the byte-swapping helpers.
#include <cstring>

#include "squirrel/NativeArgs.h"
#include "squirrel/Stream.h"

namespace sq {

Class* StreamClass(Vm& vm);

namespace {

BlobStream* blobOf(Vm& vm, const Value& self) {
    auto* b = dynamic_cast<BlobStream*>(StreamOf(vm, self));
    if (!b) vm.raise("the stream is invalid");
    return b;
}

Value construct(Vm& vm, CallContext& c) {
    const int32_t size = c.count > 1 ? c.arg(1).toInt() : 0;
    if (size < 0) vm.raise("cannot create blob with negative size");
    auto* b = new BlobStream;
    b->data.assign(static_cast<size_t>(size), 0);
    Instance* in = c.arg(0).ins;
    in->userPointer = b;
    in->release = ReleaseStream;
    return Value();
}

Value resize(Vm& vm, CallContext& c) {
    BlobStream* b = blobOf(vm, c.arg(0));
    const int32_t n = c.arg(1).toInt();
    if (n < 0) vm.raise("resizing to negative length");
    // Growing only reserves room; the length changes when data is written there.
    if (static_cast<size_t>(n) < b->data.size()) b->data.resize(static_cast<size_t>(n));
    else b->data.reserve(static_cast<size_t>(n));
    if (b->pos > b->data.size()) b->pos = b->data.size();
    return Value();
}

Value swap2(Vm& vm, CallContext& c) {
    BlobStream* b = blobOf(vm, c.arg(0));
    for (size_t i = 0; i + 1 < b->data.size(); i += 2) std::swap(b->data[i], b->data[i + 1]);
    return Value();
}

Value swap4(Vm& vm, CallContext& c) {
    BlobStream* b = blobOf(vm, c.arg(0));
    for (size_t i = 0; i + 3 < b->data.size(); i += 4) {
        std::swap(b->data[i], b->data[i + 3]);
        std::swap(b->data[i + 1], b->data[i + 2]);
    }
    return Value();
}

Value get(Vm& vm, CallContext& c) {
    BlobStream* b = blobOf(vm, c.arg(0));
    const Value k = c.arg(1);
    if (!k.isNumber()) vm.raise("the index doesn't exist");
    const int32_t i = k.toInt();
    if (i < 0 || static_cast<size_t>(i) >= b->data.size()) vm.raise("index out of range");
    return Value::Int(b->data[static_cast<size_t>(i)]);
}

Value set(Vm& vm, CallContext& c) {
    BlobStream* b = blobOf(vm, c.arg(0));
    const Value k = c.arg(1);
    if (!k.isNumber()) vm.raise("the index doesn't exist");
    const int32_t i = k.toInt();
    if (i < 0 || static_cast<size_t>(i) >= b->data.size()) vm.raise("index out of range");
    b->data[static_cast<size_t>(i)] = static_cast<uint8_t>(c.arg(2).toInt());
    return Value();
}

Value nexti(Vm& vm, CallContext& c) {
    BlobStream* b = blobOf(vm, c.arg(0));
    const Value prev = c.arg(1);
    const int32_t next = prev.t == T::Null ? 0 : prev.toInt() + 1;
    if (static_cast<size_t>(next) >= b->data.size()) return Value();
    return Value::Int(next);
}

Value typeOf(Vm& vm, CallContext&) { return vm.str("blob"); }

Value castI2F(Vm&, CallContext& c) {
    const int32_t i = c.arg(1).toInt();
    float f;
    std::memcpy(&f, &i, 4);
    return Value::Float(f);
}
Value castF2I(Vm&, CallContext& c) {
    const float f = c.arg(1).toFloat();
    int32_t i;
    std::memcpy(&i, &f, 4);
    return Value::Int(i);
}
Value swap2Fn(Vm&, CallContext& c) {
    const int32_t s = static_cast<int16_t>(c.arg(1).toInt() & 0xFFFF);
    return Value::Int(static_cast<int32_t>((static_cast<uint32_t>(s) << 8) | ((static_cast<uint32_t>(s) >> 8) & 0xFF)));
}
Value swap4Fn(Vm&, CallContext& c) {
    const uint32_t v = static_cast<uint32_t>(c.arg(1).toInt());
    return Value::Int(static_cast<int32_t>((v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24)));
}
Value swapFloat(Vm&, CallContext& c) {
    const float f = c.arg(1).toFloat();
    uint32_t v;
    std::memcpy(&v, &f, 4);
    v = (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
    float r;
    std::memcpy(&r, &v, 4);
    return Value::Float(r);
}

Class* blobClass(Vm& vm) {
    if (Value* v = vm.registry->find(vm.str("blob"))) return v->cls;
    Class* c = MakeNativeClass(vm, StreamClass(vm));
    vm.registry->set(vm.str("blob"), Value::Object(T::Class, c));
    AddNativeMember(vm, c, "constructor", construct, -1, "x n");
    AddNativeMember(vm, c, "resize", resize, 2, "x n");
    AddNativeMember(vm, c, "swap2", swap2, 1);
    AddNativeMember(vm, c, "swap4", swap4, 1);
    AddNativeMember(vm, c, "_get", get, 2);
    AddNativeMember(vm, c, "_set", set, 3);
    AddNativeMember(vm, c, "_nexti", nexti, 2);
    AddNativeMember(vm, c, "_typeof", typeOf, 1);
    return c;
}

}  // namespace

Value NewBlob(Vm& vm, std::vector<uint8_t> bytes) {
    Instance* in = vm.newInstance(blobClass(vm));
    auto* b = new BlobStream;
    b->data = std::move(bytes);
    in->userPointer = b;
    in->release = ReleaseStream;
    return Value::Object(T::Instance, in);
}

void RegisterBlobLibrary(Vm& vm) {
    vm.root->set(vm.str("blob"), Value::Object(T::Class, blobClass(vm)));
    Register(vm, vm.root, "casti2f", castI2F, 2, ". n");
    Register(vm, vm.root, "castf2i", castF2I, 2, ". n");
    Register(vm, vm.root, "swap2", swap2Fn, 2, ". n");
    Register(vm, vm.root, "swap4", swap4Fn, 2, ". n");
    Register(vm, vm.root, "swapfloat", swapFloat, 2, ". n");
}

}  // namespace sq
