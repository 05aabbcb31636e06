// The engine's C++ API as a host uses it: paths, calls, natives, hooks, budget and limits.
#include <gtest/gtest.h>

#include "squirrel/Api.h"

namespace sq {

namespace {

class EngineApi : public ::testing::Test {
protected:
    EngineApi() {
        engine.setPrintHook([this](std::string_view s) { printed += s; });
        engine.registerStandardLibrary();
    }
    bool run(const char* src) { return engine.runString(src, "test"); }
    Engine engine;
    std::string printed;
};

Value addNative(Vm&, CallContext& c) {
    // position 1 is the receiver; the script's arguments follow
    return Value::Int(StackAt(c, 2).toInt() + StackAt(c, 3).toInt() + *static_cast<int*>(UserPointer(c)));
}

Value countArgs(Vm&, CallContext& c) { return Value::Int(ArgCount(c)); }

}  // namespace

TEST_F(EngineApi, RunsAStringAndReturnsItsValue) {
    Value r;
    ASSERT_TRUE(engine.runString("local a = 6; return a * 7", "t", &r));
    EXPECT_EQ(r.t, T::Int);
    EXPECT_EQ(r.i, 42);
    ASSERT_TRUE(run("print(\"hi \" + 1.5)"));
    EXPECT_EQ(printed, "hi 1.5");
}

TEST_F(EngineApi, ReadsWritesAndCreatesSlotsByPath) {
    ASSERT_TRUE(run("cfg <- { list = [1, 2, 3], name = \"x\" }"));
    Value v;
    ASSERT_TRUE(engine.getPath({"cfg", "list", 2}, v));
    EXPECT_EQ(v.i, 3);
    EXPECT_FALSE(engine.getPath({"cfg", "missing"}, v));
    EXPECT_FALSE(engine.getPath({"nothing"}, v));
    // plain set needs the slot; new slot creates it
    EXPECT_TRUE(engine.setPath({"cfg", "name"}, engine.string("y")));
    EXPECT_FALSE(engine.setPath({"cfg", "fresh"}, Value::Int(1)));
    EXPECT_FALSE(engine.setPath({"cfg", "list", 3}, Value::Int(1)));
    EXPECT_TRUE(engine.newSlotPath({"cfg", "fresh"}, Value::Int(5)));
    ASSERT_TRUE(engine.getPath({"cfg", "fresh"}, v));
    EXPECT_EQ(v.i, 5);
    ASSERT_TRUE(engine.getPath({"cfg", "name"}, v));
    EXPECT_EQ(v.s->text, "y");
}

TEST_F(EngineApi, CallsFunctionsWithArgumentsAndTheRootAsThis) {
    ASSERT_TRUE(run("function add(a, b) { return a + b + (this == getroottable() ? 100 : 0) }"));
    Value r;
    ASSERT_TRUE(engine.callPath({"add"}, {Value::Int(1), Value::Float(0.5f)}, &r));
    EXPECT_EQ(r.t, T::Float);
    EXPECT_FLOAT_EQ(r.f, 101.5f);
    EXPECT_FALSE(engine.callPath({"add"}, {Value::Int(1)}, &r));
    EXPECT_EQ(engine.lastError(), "wrong number of parameters");
    EXPECT_FALSE(engine.callPath({"missing"}, {}, &r));
    EXPECT_EQ(engine.lastError(), "the index 'missing' does not exist");
}

TEST_F(EngineApi, NativesSeeTheirArgumentsAndUserPointer) {
    int bonus = 1000;
    engine.registerNative("add", addNative, &bonus);
    engine.registerNative("count", countArgs);
    Value r;
    ASSERT_TRUE(engine.runString("return add(2, 3)", "t", &r));
    EXPECT_EQ(r.i, 1005);
    ASSERT_TRUE(engine.runString("return count(1, null, [])", "t", &r));
    EXPECT_EQ(r.i, 4);  // receiver included
}

TEST_F(EngineApi, RuntimeErrorsReportMessageAndLine) {
    EXPECT_FALSE(run("local a = 1\nlocal b = null\nreturn a + b"));
    EXPECT_EQ(engine.lastError(), "arith op + on between 'integer' and 'null'");
    EXPECT_EQ(engine.errorLine(), 3);
    EXPECT_FALSE(run("throw 42"));
    EXPECT_EQ(engine.lastError(), "42");
    // the engine stays usable
    Value r;
    ASSERT_TRUE(engine.runString("return 1", "t", &r));
    EXPECT_EQ(r.i, 1);
}

TEST_F(EngineApi, CompileErrorsGoToTheErrorHookWithLineAndColumn) {
    std::string hooked;
    engine.setErrorHook([&](std::string_view s) { hooked = s; });
    EXPECT_FALSE(engine.runString("local x = 1\nlocal = 2", "unit.nut"));
    EXPECT_EQ(engine.lastError(), "expected 'IDENTIFIER'");
    EXPECT_NE(hooked.find("unit.nut line = (2) column = (7)"), std::string::npos) << hooked;
}

TEST_F(EngineApi, AnEndlessLoopFailsOnTheOperationBudget) {
    engine.setOperationBudget(100000);
    EXPECT_FALSE(run("while (true) {}"));
    EXPECT_EQ(engine.lastError(), "operation budget exceeded");
    EXPECT_FALSE(run("function f() { return f() + 1 } f()"));  // calls count too
    // each host call gets a fresh budget
    Value r;
    ASSERT_TRUE(engine.runString("local s = 0; for (local i = 0; i < 1000; i++) s += i; return s", "t", &r));
    EXPECT_EQ(r.i, 499500);
    // a try in the script does not keep the loop alive forever... it catches, then the next
    // check fails again outside the try
    EXPECT_FALSE(run("while (true) { try { while (true) {} } catch (e) {} }"));
}

TEST_F(EngineApi, DeepRecursionRaisesStackOverflowInsteadOfCrashing) {
    EXPECT_FALSE(run("function down(n) { return 1 + down(n + 1) } down(0)"));
    EXPECT_EQ(engine.lastError(), "stack overflow");
    // re-entry through natives is limited as well
    EXPECT_FALSE(run("function viaCall(n) { return viaCall.call(this, n + 1) } viaCall(0)"));
    EXPECT_EQ(engine.lastError(), "Native stack overflow");
    Value r;
    ASSERT_TRUE(engine.runString("function d(n) { return n == 0 ? 0 : 1 + d(n - 1) } return d(20000)", "t", &r));
    EXPECT_EQ(r.i, 20000);
}

TEST_F(EngineApi, TheStackGrowsBeyondItsInitialSize) {
    Engine small(16);
    Value r;
    ASSERT_TRUE(small.runString("local a = []; for (local i = 0; i < 50; i++) a.append(i); "
                                "function sum(n) { return n == 0 ? 0 : n + sum(n - 1) } return sum(500)", "t", &r));
    EXPECT_EQ(r.i, 125250);
}

}  // namespace sq
