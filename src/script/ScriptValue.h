// ScriptValue: the tagged value every script engine exchanges with the module.
// A value is also one link of a list (native arguments, results, paths into globals).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace CG_SCRIPT_CLS {

// The script layer's only exception; the code is always 2 in practice.
class C_ScriptError : public std::runtime_error {
public:
    explicit C_ScriptError(int32_t code, const std::string& what = "script error")
        : std::runtime_error(what), code_(code) {}
    int32_t Code() const { return code_; }

private:
    int32_t code_;
};

}  // namespace CG_SCRIPT_CLS

namespace halvex {

enum class ScriptKind : int32_t { Bool = 0, String = 1, Integer = 2, Real = 3, Pointer = 4, None = 5 };

class ScriptValue {
public:
    ScriptValue() = default;
    ScriptValue(const ScriptValue& other);
    ScriptValue& operator=(const ScriptValue& other);
    ScriptValue(ScriptValue&&) noexcept = default;
    ScriptValue& operator=(ScriptValue&&) noexcept = default;
    ~ScriptValue();

    static ScriptValue Bool(bool b);
    static ScriptValue String(std::string s);
    static ScriptValue Integer(int32_t i);
    static ScriptValue Real(double d);
    static ScriptValue Pointer(void* p);

    ScriptKind kind() const { return kind_; }
    bool isNone() const { return kind_ == ScriptKind::None; }

    // Conversions as natives and the CDU unit read them.
    int32_t asInteger() const;
    double asReal() const;
    bool asBool() const { return asInteger() != 0; }
    const std::string& text() const { return text_; }  // empty unless String
    void* pointer() const { return kind_ == ScriptKind::Pointer ? value_.pointer : nullptr; }

    // ---- list view: this value is the head ----
    ScriptValue* next() const { return next_.get(); }
    int length() const;                     // the head counts, whatever its kind
    const ScriptValue* at(int index) const;  // nullptr past the end
    // Appends to the list; a head of kind None is filled in place (an empty list).
    ScriptValue& append(ScriptValue v);
    void clearList();

private:
    void assignValue(const ScriptValue& other);

    std::string text_;
    union {
        uint8_t boolean;
        int32_t integer;
        double real;
        void* pointer;
    } value_{};
    ScriptKind kind_ = ScriptKind::None;
    std::unique_ptr<ScriptValue> next_;
};

// A path into script globals: the head names a global, later links are field names or indexes.
using ScriptPath = ScriptValue;
ScriptPath MakePath(const std::string& global);
ScriptPath MakePath(const std::string& global, const std::string& field);
ScriptPath MakePath(const std::string& global, int32_t index);

}  // namespace halvex
