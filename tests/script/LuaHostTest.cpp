#include <gtest/gtest.h>

#include "script/LuaHost.h"
#include "support/TempTree.h"

namespace halvex {

using CG_SCRIPT_CLS::C_ScriptError;

namespace {

int echoNative(ScriptValue& results, const ScriptValue& args) {
    // Echoes its arguments back with their kinds, plus their count.
    int n = 0;
    for (const ScriptValue* a = &args; a && !a->isNone(); a = a->next(), ++n) results.append(*a);
    results.append(ScriptValue::Integer(n));
    return n + 1;
}

class LuaHostTest : public ::testing::Test {
protected:
    void load(const std::string& chunk) {
        tree.write("chunk.lua", chunk);
        host.LoadScript("chunk.lua");
    }
    test::TempTree tree;
    LuaHost host;
};

}  // namespace

TEST_F(LuaHostTest, ReadsGlobalsAndNestedFieldsAsBoolRealOrString) {
    load("a = 3; b = true; s = 'x'; t = { f = { 5, 6 }, [0] = 'zero' }; fn = print");
    ScriptValue v;
    ASSERT_EQ(host.GetValue(v, MakePath("a")), 0);
    EXPECT_EQ(v.kind(), ScriptKind::Real);
    EXPECT_DOUBLE_EQ(v.asReal(), 3.0);
    ASSERT_EQ(host.GetValue(v, MakePath("b")), 0);
    EXPECT_EQ(v.kind(), ScriptKind::Bool);
    ASSERT_EQ(host.GetValue(v, MakePath("t", 0)), 0);
    EXPECT_EQ(v.text(), "zero");
    ScriptPath p = MakePath("t", "f");
    p.append(ScriptValue::Integer(2));
    ASSERT_EQ(host.GetValue(v, p), 0);
    EXPECT_DOUBLE_EQ(v.asReal(), 6.0);
}

TEST_F(LuaHostTest, UnreadableValuesReturnMinusOneAndLeaveTheOutputAlone) {
    load("t = {}; fn = print");
    ScriptValue v = ScriptValue::Integer(42);
    EXPECT_EQ(host.GetValue(v, MakePath("missing")), -1);
    EXPECT_EQ(host.GetValue(v, MakePath("fn")), -1);
    EXPECT_EQ(host.GetValue(v, MakePath("t", "nope")), -1);
    ScriptPath deep = MakePath("t", "nope");
    deep.append(ScriptValue::String("deeper"));
    EXPECT_EQ(host.GetValue(v, deep), -1);
    EXPECT_EQ(v.asInteger(), 42);
}

TEST_F(LuaHostTest, SetValueWritesGlobalsAndTableSlots) {
    load("t = { }");
    host.SetValue(MakePath("g"), ScriptValue::String("hello"));
    host.SetValue(MakePath("t", 1), ScriptValue::Integer(7));
    ScriptValue v;
    ASSERT_EQ(host.GetValue(v, MakePath("g")), 0);
    EXPECT_EQ(v.text(), "hello");
    ASSERT_EQ(host.GetValue(v, MakePath("t", 1)), 0);
    EXPECT_DOUBLE_EQ(v.asReal(), 7.0);
    // A path through something that is not a table changes nothing and does not fail loudly.
    EXPECT_EQ(host.SetValue(MakePath("g", "x"), ScriptValue::Integer(1)), 0);
}

TEST_F(LuaHostTest, NativesReceiveBasicArgumentsAndReturnTheirResults) {
    load("function go(p) local r = { native(p, 1.5, 'two', {}, true, nil, 'last') } return r[#r] end");
    host.RegisterNative(echoNative, "native");
    // Every result reaches Lua; the last one is the argument count.
    ScriptValue out;
    int marker = 0;
    ASSERT_EQ(host.CallFunction(out, MakePath("go"), ScriptValue::Pointer(&marker), true), 0);
    EXPECT_DOUBLE_EQ(out.asReal(), 5.0);  // pointer, 1.5, 'two', true, 'last' (table and nil skipped)
}

TEST_F(LuaHostTest, CallPassesStringsNumbersAndPointersButNotBools) {
    load("function f(a, b, c, d) return type(a)..type(b)..type(c)..type(d) end");
    ScriptValue args = ScriptValue::String("s");
    args.append(ScriptValue::Bool(true));
    args.append(ScriptValue::Integer(3));
    int x = 0;
    args.append(ScriptValue::Pointer(&x));
    ScriptValue out;
    host.CallFunction(out, MakePath("f"), args, true);
    EXPECT_EQ(out.text(), "stringnumberuserdatanil");
}

TEST_F(LuaHostTest, ErrorsRaiseScriptErrorWithCodeTwoAndKeepTheMessage) {
    load("function bad() error('boom') end");
    ScriptValue out;
    try {
        host.CallFunction(out, MakePath("bad"), ScriptValue(), false);
        FAIL() << "no exception";
    } catch (const C_ScriptError& e) {
        EXPECT_EQ(e.Code(), 2);
    }
    EXPECT_NE(host.LastError().find("boom"), std::string::npos);
    EXPECT_THROW(host.CallFunction(out, MakePath("nothing"), ScriptValue(), false), C_ScriptError);
}

TEST_F(LuaHostTest, AFailedLoadClosesTheStateAndLaterCallsAreSafe) {
    tree.write("broken.lua", "this is not lua");
    EXPECT_THROW(host.LoadScript("broken.lua"), C_ScriptError);
    EXPECT_FALSE(host.LastError().empty());
    ScriptValue v;
    EXPECT_EQ(host.GetValue(v, MakePath("x")), -1);
    EXPECT_EQ(host.SetValue(MakePath("x"), ScriptValue::Integer(1)), 0);
    EXPECT_THROW(host.LoadScript("missing.lua"), C_ScriptError);
    // A later good load works on a fresh state.
    load("x = 1");
    EXPECT_EQ(host.GetValue(v, MakePath("x")), 0);
}

TEST_F(LuaHostTest, EndlessChunksAndCallsFailInsteadOfFreezing) {
    host.SetInstructionBudget(1'000'000);
    tree.write("loop.lua", "while true do end");
    EXPECT_THROW(host.LoadScript("loop.lua"), C_ScriptError);
    EXPECT_NE(host.LastError().find("budget"), std::string::npos);
    load("function spin() while true do end end; function quick() return 1 end");
    ScriptValue out;
    EXPECT_THROW(host.CallFunction(out, MakePath("spin"), ScriptValue(), true), C_ScriptError);
    // The budget is per call: a later short call runs.
    EXPECT_EQ(host.CallFunction(out, MakePath("quick"), ScriptValue(), true), 0);
}

}  // namespace halvex
