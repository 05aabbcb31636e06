// io library: files, dofile/loadfile and the standard streams.
#include "squirrel/Api.h"
#include "squirrel/Compiler.h"
#include "squirrel/NativeArgs.h"
#include "squirrel/Stream.h"

namespace sq {

Class* StreamClass(Vm& vm);

namespace {

Value construct(Vm& vm, CallContext& c) {
    if (c.count < 3 || c.arg(1).t != T::String || c.arg(2).t != T::String) vm.raise("wrong parameter");
    FILE* f = std::fopen(c.arg(1).s->c_str(), c.arg(2).s->c_str());
    if (!f) vm.raise("cannot open file");
    auto* s = new FileStream;
    s->file = f;
    Instance* in = c.arg(0).ins;
    in->userPointer = s;
    in->release = ReleaseStream;
    return Value();
}

Value typeOf(Vm& vm, CallContext&) { return vm.str("file"); }

Value loadFile(Vm& vm, const std::string& path, bool report) {
    std::string src;
    if (!ReadSourceFile(path, src)) vm.raise("cannot open the file");
    try {
        return vm.compile(src, path);
    } catch (const CompileError& e) {
        if (report && vm.errorHook)
            vm.errorHook(path + " line = (" + std::to_string(e.line) + ") column = (" + std::to_string(e.column) +
                         ") : error " + e.message);
        vm.raise(e.message);
    }
}

Value loadfileFn(Vm& vm, CallContext& c) {
    return loadFile(vm, c.arg(1).s->text, c.count > 2 && c.arg(2).truthy());
}

Value dofileFn(Vm& vm, CallContext& c) {
    const Value fn = loadFile(vm, c.arg(1).s->text, c.count > 2 && c.arg(2).truthy());
    vm.push(fn);
    const Value r = vm.call(fn, c.arg(0), nullptr, 0);
    vm.pop();
    return r;
}

Value writeClosureToFile(Vm& vm, CallContext&) {
    vm.raise("bytecode serialisation is not supported by this engine");
}

}  // namespace

void RegisterIoLibrary(Vm& vm) {
    Class* c = MakeNativeClass(vm, StreamClass(vm));
    AddNativeMember(vm, c, "constructor", construct, 0);
    AddNativeMember(vm, c, "_typeof", typeOf, 1);
    const Value cls = Value::Object(T::Class, c);
    vm.root->set(vm.str("file"), cls);
    vm.registry->set(vm.str("file"), cls);
    auto standard = [&](const char* name, FILE* f) {
        Instance* in = vm.newInstance(c);
        auto* s = new FileStream;
        s->file = f;
        s->owned = false;
        in->userPointer = s;
        in->release = ReleaseStream;
        vm.root->set(vm.str(name), Value::Object(T::Instance, in));
    };
    standard("stdin", stdin);
    standard("stdout", stdout);
    standard("stderr", stderr);
    Register(vm, vm.root, "loadfile", loadfileFn, -2, ". s .");
    Register(vm, vm.root, "dofile", dofileFn, -2, ". s .");
    Register(vm, vm.root, "writeclosuretofile", writeClosureToFile, 3, ". s c");
}

}  // namespace sq
