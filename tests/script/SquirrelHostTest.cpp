// The Squirrel back end of ScriptHost against the engine-interface rules.
#include <gtest/gtest.h>

#include "script/SquirrelHost.h"
#include "support/TempTree.h"

namespace halvex {

using CG_SCRIPT_CLS::C_ScriptError;

namespace {

ScriptValue g_lastArgs;  // what the recording native last received

int record(ScriptValue& results, const ScriptValue& args) {
    g_lastArgs = args;
    results.append(ScriptValue::Integer(args.length()));
    return 1;
}

int twoResults(ScriptValue& results, const ScriptValue&) {
    results.append(ScriptValue::String("first"));
    results.append(ScriptValue::Real(2.5));
    return 2;
}

int emptyResults(ScriptValue&, const ScriptValue&) { return 1; }

// Re-enters the engine as a multi-result native does (a slot write and a path read), and gives
// up by itself after a million calls so that a loop the budget misses still ends.
SquirrelHost* g_reentered = nullptr;
int g_reentryCalls = 0;
int reenterEngine(ScriptValue& results, const ScriptValue&) {
    g_reentered->SetValue(MakePath("g_multiReturnVals", 0), ScriptValue::String("SEA"));
    ScriptValue read;
    g_reentered->GetValue(read, MakePath("g_multiReturnVals", 0));
    results.append(ScriptValue::Integer(++g_reentryCalls < 1000000 ? 0 : 1));
    return 1;
}

class SquirrelHostTest : public ::testing::Test {
protected:
    int load(const std::string& script) {
        tree.write("page.nut", script);
        return host.LoadScript("page.nut");
    }
    test::TempTree tree;
    SquirrelHost host;
};

const char* kScript = R"(
g_EntryPoint <- "first"
g_ScriptPath <- ""
g_multiReturnVals <- [null, null, null]
color <- { c0 = { r = 1, g = 2, b = 3 } }
flag <- true
ratio <- 0.25
list <- [10, 20]
print("discarded")
function first(core) { return core == null ? "no core" : typeof core }
function sum(a, b) { return a + b }
function fails() { local t = {}; return t.missing }
function spin() { while (true) {} }
)";

}  // namespace

TEST_F(SquirrelHostTest, LoadFailureReturnsMinusOneWithEmptyErrorText) {
    EXPECT_EQ(load("this does not compile ("), -1);
    EXPECT_EQ(host.LastError(), "");
    EXPECT_EQ(host.LoadScript("missing.nut"), -1);
    EXPECT_EQ(load("throw \"boom\""), -1);
    EXPECT_EQ(host.LastError(), "");
    ScriptValue v;
    EXPECT_EQ(host.GetValue(v, MakePath("anything")), -1);
}

TEST_F(SquirrelHostTest, GetValueReadsBasicTypesOnly) {
    ASSERT_EQ(load(kScript), 0);
    ScriptValue v;
    ASSERT_EQ(host.GetValue(v, MakePath("g_EntryPoint")), 0);
    EXPECT_EQ(v.kind(), ScriptKind::String);
    EXPECT_EQ(v.text(), "first");
    ASSERT_EQ(host.GetValue(v, MakePath("flag")), 0);
    EXPECT_EQ(v.kind(), ScriptKind::Bool);
    ASSERT_EQ(host.GetValue(v, MakePath("ratio")), 0);
    EXPECT_EQ(v.kind(), ScriptKind::Real);
    EXPECT_DOUBLE_EQ(v.asReal(), 0.25);
    ASSERT_EQ(host.GetValue(v, MakePath("list", 1)), 0);
    EXPECT_EQ(v.kind(), ScriptKind::Integer);
    EXPECT_EQ(v.asInteger(), 20);
    ScriptPath colour = MakePath("color", "c0");
    colour.append(ScriptValue::String("g"));
    ASSERT_EQ(host.GetValue(v, colour), 0);
    EXPECT_EQ(v.asInteger(), 2);
    // a missing global is -1 and leaves the output alone; a missing deeper key is 0, unchanged
    v = ScriptValue::Integer(77);
    EXPECT_EQ(host.GetValue(v, MakePath("nope")), -1);
    EXPECT_EQ(host.GetValue(v, MakePath("color", "c9")), 0);
    EXPECT_EQ(host.GetValue(v, MakePath("list")), 0);  // an array is not read
    EXPECT_EQ(v.asInteger(), 77);
}

TEST_F(SquirrelHostTest, SetValueNeedsAnExistingSlotAndNarrowsReals) {
    ASSERT_EQ(load(kScript), 0);
    EXPECT_EQ(host.SetValue(MakePath("g_ScriptPath"), ScriptValue::String("Gauges/")), 0);
    EXPECT_EQ(host.SetValue(MakePath("g_multiReturnVals", 2), ScriptValue::Real(0.1)), 0);
    EXPECT_EQ(host.SetValue(MakePath("neverCreated"), ScriptValue::Integer(1)), 0);
    EXPECT_EQ(host.SetValue(MakePath("g_multiReturnVals", 3), ScriptValue::Integer(1)), 0);
    ScriptValue v;
    ASSERT_EQ(host.GetValue(v, MakePath("g_ScriptPath")), 0);
    EXPECT_EQ(v.text(), "Gauges/");
    ASSERT_EQ(host.GetValue(v, MakePath("g_multiReturnVals", 2)), 0);
    EXPECT_EQ(v.asReal(), static_cast<double>(0.1f));
    EXPECT_EQ(host.GetValue(v, MakePath("neverCreated")), -1);
}

TEST_F(SquirrelHostTest, CallFunctionPassesArgumentsAndReadsTheResult) {
    ASSERT_EQ(load(kScript), 0);
    int core = 0;
    ScriptValue out;
    ASSERT_EQ(host.CallFunction(out, MakePath("first"), ScriptValue::Pointer(&core), true), 0);
    EXPECT_EQ(out.text(), "userdata");
    ScriptValue args = ScriptValue::Integer(2);
    args.append(ScriptValue::Bool(true));  // Bool arguments are not passed
    args.append(ScriptValue::Real(0.5));
    ASSERT_EQ(host.CallFunction(out, MakePath("sum"), args, true), 0);
    EXPECT_EQ(out.kind(), ScriptKind::Real);
    EXPECT_DOUBLE_EQ(out.asReal(), 2.5);
}

TEST_F(SquirrelHostTest, RunTimeErrorsReturnMinusOneWithTheEngineMessage) {
    ASSERT_EQ(load(kScript), 0);
    ScriptValue out;
    EXPECT_EQ(host.CallFunction(out, MakePath("fails"), ScriptValue(), true), -1);
    EXPECT_EQ(host.LastError(), "the index 'missing' does not exist");
    EXPECT_EQ(host.CallFunction(out, MakePath("sum"), ScriptValue::Integer(1), true), -1);
    EXPECT_EQ(host.LastError(), "wrong number of parameters");
}

TEST_F(SquirrelHostTest, AMissingFunctionRaisesScriptErrorCodeTwo) {
    ASSERT_EQ(load(kScript), 0);
    ScriptValue out;
    try {
        host.CallFunction(out, MakePath("noSuchPage"), ScriptValue(), true);
        FAIL() << "no exception";
    } catch (const C_ScriptError& e) {
        EXPECT_EQ(e.Code(), 2);
        EXPECT_STREQ(e.what(), "the index 'noSuchPage' does not exist");
    }
}

TEST_F(SquirrelHostTest, APageThatNeverReturnsFailsOnTheBudget) {
    ASSERT_EQ(load(kScript), 0);
    host.SetOperationBudget(200000);
    ScriptValue out;
    EXPECT_EQ(host.CallFunction(out, MakePath("spin"), ScriptValue(), true), -1);
    EXPECT_EQ(host.LastError(), "operation budget exceeded");
    EXPECT_EQ(host.CallFunction(out, MakePath("sum"), ScriptValue::Integer(1), false), -1);
}

TEST_F(SquirrelHostTest, TheBudgetCoversNativesThatReenterTheEngine) {
    ASSERT_EQ(load(kScript + std::string("function lookupForever() { while (reenter() == 0) {} return \"gave up\" }\n")), 0);
    host.RegisterNative(reenterEngine, "reenter");
    host.SetOperationBudget(200000);
    g_reentered = &host;
    g_reentryCalls = 0;
    ScriptValue out;
    EXPECT_EQ(host.CallFunction(out, MakePath("lookupForever"), ScriptValue(), true), -1);
    EXPECT_EQ(host.LastError(), "operation budget exceeded");
    // a call that enters the engine twice costs far more than one loop step
    EXPECT_LT(g_reentryCalls, 200000 / 20);
    // the next host call starts with a full budget again
    ScriptValue args = ScriptValue::Integer(1);
    args.append(ScriptValue::Integer(2));
    ASSERT_EQ(host.CallFunction(out, MakePath("sum"), args, true), 0);
    EXPECT_EQ(out.asInteger(), 3);
}

TEST_F(SquirrelHostTest, TrampolineSkipsOtherTypesIncludingTheReceiver) {
    ASSERT_EQ(load(kScript + std::string(R"(
        function callRecord(core) { return record(core, [1], 7, null, "s", 1.5, true, {}) }
        function callTwo() { return twoResults() }
        function callEmpty() { local r = emptyResults(5); return r == null ? "null" : "other" }
    )")), 0);
    host.RegisterNative(record, "record");
    host.RegisterNative(twoResults, "twoResults");
    host.RegisterNative(emptyResults, "emptyResults");
    int core = 0;
    ScriptValue out;
    ASSERT_EQ(host.CallFunction(out, MakePath("callRecord"), ScriptValue::Pointer(&core), true), 0);
    EXPECT_EQ(out.asInteger(), 5);
    ASSERT_EQ(g_lastArgs.length(), 5);
    EXPECT_EQ(g_lastArgs.at(0)->pointer(), &core);
    EXPECT_EQ(g_lastArgs.at(1)->asInteger(), 7);
    EXPECT_EQ(g_lastArgs.at(2)->text(), "s");
    EXPECT_DOUBLE_EQ(g_lastArgs.at(3)->asReal(), 1.5);
    EXPECT_EQ(g_lastArgs.at(4)->kind(), ScriptKind::Bool);
    // several results: the last one pushed is the call's value
    ASSERT_EQ(host.CallFunction(out, MakePath("callTwo"), ScriptValue(), true), 0);
    EXPECT_DOUBLE_EQ(out.asReal(), 2.5);
    ASSERT_EQ(host.CallFunction(out, MakePath("callEmpty"), ScriptValue(), true), 0);
    EXPECT_EQ(out.text(), "null");
}

}  // namespace halvex
