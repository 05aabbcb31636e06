#include "script/ScriptValue.h"

namespace halvex {

ScriptValue::ScriptValue(const ScriptValue& other) { *this = other; }

ScriptValue& ScriptValue::operator=(const ScriptValue& other) {
    if (this == &other) return *this;
    assignValue(other);
    // Copy the tail iteratively so long lists cannot exhaust the stack.
    next_.reset();
    ScriptValue* tail = this;
    for (const ScriptValue* src = other.next(); src; src = src->next()) {
        tail->next_ = std::make_unique<ScriptValue>();
        tail = tail->next_.get();
        tail->assignValue(*src);
    }
    return *this;
}

ScriptValue::~ScriptValue() {
    // Unlink iteratively: a recursive destructor chain would overflow on long lists.
    std::unique_ptr<ScriptValue> link = std::move(next_);
    while (link) link = std::move(link->next_);
}

void ScriptValue::assignValue(const ScriptValue& other) {
    text_ = other.text_;
    value_ = other.value_;
    kind_ = other.kind_;
}

ScriptValue ScriptValue::Bool(bool b) {
    ScriptValue v;
    v.kind_ = ScriptKind::Bool;
    v.value_.boolean = b ? 1 : 0;
    return v;
}

ScriptValue ScriptValue::String(std::string s) {
    ScriptValue v;
    v.kind_ = ScriptKind::String;
    v.text_ = std::move(s);
    return v;
}

ScriptValue ScriptValue::Integer(int32_t i) {
    ScriptValue v;
    v.kind_ = ScriptKind::Integer;
    v.value_.integer = i;
    return v;
}

ScriptValue ScriptValue::Real(double d) {
    ScriptValue v;
    v.kind_ = ScriptKind::Real;
    v.value_.real = d;
    return v;
}

ScriptValue ScriptValue::Pointer(void* p) {
    ScriptValue v;
    v.kind_ = ScriptKind::Pointer;
    v.value_.pointer = p;
    return v;
}

int32_t ScriptValue::asInteger() const {
    switch (kind_) {
    case ScriptKind::Bool: return value_.boolean;
    case ScriptKind::Integer: return value_.integer;
    case ScriptKind::Real: {
        const double d = value_.real;
        // Truncate towards zero; saturate instead of invoking undefined behaviour.
        if (!(d == d)) return 0;
        if (d >= 2147483647.0) return INT32_MAX;
        if (d <= -2147483648.0) return INT32_MIN;
        return static_cast<int32_t>(d);
    }
    default: return 0;
    }
}

double ScriptValue::asReal() const {
    switch (kind_) {
    case ScriptKind::Bool: return value_.boolean;
    case ScriptKind::Integer: return value_.integer;
    case ScriptKind::Real: return value_.real;
    default: return 0.0;
    }
}

int ScriptValue::length() const {
    int n = 0;
    for (const ScriptValue* v = this; v; v = v->next()) ++n;
    return n;
}

const ScriptValue* ScriptValue::at(int index) const {
    const ScriptValue* v = this;
    for (int i = 0; v && i < index; ++i) v = v->next();
    return v;
}

ScriptValue& ScriptValue::append(ScriptValue v) {
    v.next_.reset();
    if (kind_ == ScriptKind::None && !next_) {
        assignValue(v);
        return *this;
    }
    ScriptValue* tail = this;
    while (tail->next_) tail = tail->next_.get();
    tail->next_ = std::make_unique<ScriptValue>(std::move(v));
    return *tail->next_;
}

void ScriptValue::clearList() { *this = ScriptValue(); }

ScriptPath MakePath(const std::string& global) { return ScriptValue::String(global); }

ScriptPath MakePath(const std::string& global, const std::string& field) {
    ScriptPath p = ScriptValue::String(global);
    p.append(ScriptValue::String(field));
    return p;
}

ScriptPath MakePath(const std::string& global, int32_t index) {
    ScriptPath p = ScriptValue::String(global);
    p.append(ScriptValue::Integer(index));
    return p;
}

}  // namespace halvex
