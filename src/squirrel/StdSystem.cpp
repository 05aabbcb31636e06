// system library: environment, time and files by name.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "squirrel/NativeArgs.h"

namespace sq {

namespace {

Value sGetenv(Vm& vm, CallContext& c) {
    const char* v = std::getenv(c.arg(1).s->c_str());
    return v ? vm.str(v) : Value();
}
Value sSystem(Vm&, CallContext& c) { return Value::Int(std::system(c.arg(1).s->c_str())); }
Value sClock(Vm&, CallContext&) { return Value::Float(static_cast<float>(std::clock()) / CLOCKS_PER_SEC); }
Value sTime(Vm&, CallContext&) { return Value::Int(static_cast<int32_t>(std::time(nullptr))); }
Value sDate(Vm& vm, CallContext& c) {
    const time_t t = c.count > 1 ? static_cast<time_t>(c.arg(1).toInt()) : std::time(nullptr);
    const int kind = c.count > 2 ? c.arg(2).toInt() : 'l';
    struct tm tmv{};
    const bool ok = kind == 'u' ? gmtime_r(&t, &tmv) != nullptr : localtime_r(&t, &tmv) != nullptr;
    if (!ok) vm.raise("crt api failure");
    Table* r = vm.newTable();
    auto put = [&](const char* k, int v) { r->set(vm.str(k), Value::Int(v)); };
    put("sec", tmv.tm_sec);
    put("min", tmv.tm_min);
    put("hour", tmv.tm_hour);
    put("day", tmv.tm_mday);
    put("month", tmv.tm_mon);
    put("year", tmv.tm_year + 1900);
    put("wday", tmv.tm_wday);
    put("yday", tmv.tm_yday);
    return Value::Object(T::Table, r);
}
Value sRemove(Vm& vm, CallContext& c) {
    if (std::remove(c.arg(1).s->c_str()) != 0) vm.raise("remove() failed");
    return Value();
}
Value sRename(Vm& vm, CallContext& c) {
    if (std::rename(c.arg(1).s->c_str(), c.arg(2).s->c_str()) != 0) vm.raise("rename() failed");
    return Value();
}

}  // namespace

void RegisterSystemLibrary(Vm& vm) {
    Table* r = vm.root;
    Register(vm, r, "getenv", sGetenv, 2, ". s");
    Register(vm, r, "system", sSystem, 2, ". s");
    Register(vm, r, "clock", sClock, 1);
    Register(vm, r, "time", sTime, 1);
    Register(vm, r, "date", sDate, -1, ". n n");
    Register(vm, r, "remove", sRemove, 2, ". s");
    Register(vm, r, "rename", sRename, 3, ". s s");
}

}  // namespace sq
