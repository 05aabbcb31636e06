// string library: format, strip family and split (regexp lives in StdRegexp.cpp).
#include <cstdio>
#include <cstring>

#include "squirrel/NativeArgs.h"

namespace sq {

namespace {

bool isSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r'; }

Value format(Vm& vm, CallContext& c) {
    const std::string_view fmt(c.arg(1).s->c_str());  // ends at the first NUL
    std::string out;
    out.reserve(fmt.size() + 32);
    int argi = 2;
    for (size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%') { out += fmt[i]; continue; }
        if (i + 1 < fmt.size() && fmt[i + 1] == '%') { out += '%'; ++i; continue; }
        std::string spec = "%";
        size_t j = i + 1;
        while (j < fmt.size() && std::strchr("-+ #0", fmt[j])) spec += fmt[j++];
        int digits = 0;
        while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9') { spec += fmt[j++]; if (++digits > 2) vm.raise("width format too long"); }
        if (j < fmt.size() && fmt[j] == '.') {
            spec += fmt[j++];
            digits = 0;
            while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9') { spec += fmt[j++]; if (++digits > 2) vm.raise("precision format too long"); }
        }
        if (spec.size() > 20) vm.raise("format too long");
        if (j >= fmt.size()) vm.raise("invalid format");
        const char conv = fmt[j];
        if (argi >= c.count) vm.raise("not enough paramters for the given format string");
        const Value v = c.arg(argi++);
        char buf[512];
        switch (conv) {
        case 'd': case 'i': case 'o': case 'u': case 'x': case 'X': case 'c':
            if (!v.isNumber()) vm.raise("integer expected for the specified format");
            std::snprintf(buf, sizeof buf, (spec + conv).c_str(), v.toInt());
            out += buf;
            break;
        case 'f': case 'e': case 'E': case 'g': case 'G':
            if (!v.isNumber()) vm.raise("float expected for the specified format");
            std::snprintf(buf, sizeof buf, (spec + conv).c_str(), static_cast<double>(v.toFloat()));
            out += buf;
            break;
        case 's': {
            if (v.t != T::String) vm.raise("string expected for the specified format");
            if (spec.size() == 1) {  // plain %s: the text up to its first NUL, as printf copies it
                out += v.s->c_str();
                break;
            }
            const std::string sfmt = spec + 's';
            const int n = std::snprintf(nullptr, 0, sfmt.c_str(), v.s->c_str());
            std::string tmp(static_cast<size_t>(n) + 1, '\0');
            std::snprintf(tmp.data(), tmp.size(), sfmt.c_str(), v.s->c_str());
            tmp.resize(static_cast<size_t>(n));
            out += tmp;
            break;
        }
        default: vm.raise("invalid format");
        }
        i = j;
    }
    return vm.strOwned(std::move(out));
}

Value strip(Vm& vm, CallContext& c) {
    const std::string& s = c.arg(1).s->text;
    size_t b = 0, e = s.size();
    while (b < e && isSpace(s[b])) ++b;
    while (e > b && isSpace(s[e - 1])) --e;
    return vm.str(std::string_view(s).substr(b, e - b));
}
Value lstrip(Vm& vm, CallContext& c) {
    const std::string& s = c.arg(1).s->text;
    size_t b = 0;
    while (b < s.size() && isSpace(s[b])) ++b;
    return vm.str(std::string_view(s).substr(b));
}
Value rstrip(Vm& vm, CallContext& c) {
    const std::string& s = c.arg(1).s->text;
    size_t e = s.size();
    while (e > 0 && isSpace(s[e - 1])) --e;
    return vm.str(std::string_view(s).substr(0, e));
}
Value split(Vm& vm, CallContext& c) {
    const std::string s = c.arg(1).s->c_str();
    const std::string seps = c.arg(2).s->c_str();
    if (seps.empty()) vm.raise("empty separators string");
    Array* a = vm.newArray();
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && seps.find(s[i]) != std::string::npos) ++i;
        const size_t start = i;
        while (i < s.size() && seps.find(s[i]) == std::string::npos) ++i;
        if (i > start) a->items.push_back(vm.str(std::string_view(s).substr(start, i - start)));
    }
    return Value::Object(T::Array, a);
}

}  // namespace

void RegisterRegexp(Vm& vm);

void RegisterStringLibrary(Vm& vm) {
    Table* r = vm.root;
    Register(vm, r, "format", format, -2, ". s");
    Register(vm, r, "strip", strip, 2, ". s");
    Register(vm, r, "lstrip", lstrip, 2, ". s");
    Register(vm, r, "rstrip", rstrip, 2, ". s");
    Register(vm, r, "split", split, 3, ". s s");
    RegisterRegexp(vm);
}

}  // namespace sq
