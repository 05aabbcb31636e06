// The collector: cycles are freed, weak references clear, and a steady workload stays flat.
#include <gtest/gtest.h>

#include "squirrel/Api.h"

namespace sq {

TEST(Collector, FreesCyclesAndClearsWeakReferences) {
    Engine e;
    Value r;
    ASSERT_TRUE(e.runString(R"(
        function make() { local a = {}; local b = { other = a }; a.other <- b; return a.weakref() }
        local w = make()
        collectgarbage()
        return w.ref() == null
    )", "t", &r));
    EXPECT_TRUE(r.b);
}

// Weak references that die with their targets leave nothing behind for later collections to
// touch, and a surviving reference keeps tracking a live target.
TEST(Collector, WeakReferencesSurviveRepeatedCollections) {
    Engine e;
    Value r;
    ASSERT_TRUE(e.runString(R"(
        local keep = {}
        local kept = keep.weakref()
        for (local i = 0; i < 200; i++) { local t = {}; local w = t.weakref(); }
        collectgarbage()
        local late = []
        for (local i = 0; i < 50; i++) { local t = [i]; late.append(t.weakref()) }
        collectgarbage()
        collectgarbage()
        local cleared = 0
        foreach (w in late) if (w == null) cleared++
        return cleared == 50 && kept.ref() == keep
    )", "t", &r));
    EXPECT_TRUE(r.b);
}

TEST(Collector, LiveObjectCountStaysFlatAcrossManyCalls) {
    Engine e;
    ASSERT_TRUE(e.runString(R"(
        class P { x = 0; constructor(v) { x = v } }
        function page() {
            local t = { a = [1, 2, 3], p = P(4), s = "x" + 5 }
            local c = {}; c.self <- c
            return t.a.len() + t.p.x
        }
    )", "t"));
    size_t after1000 = 0;
    for (int i = 0; i < 20000; ++i) {
        Value r;
        ASSERT_TRUE(e.callPath({"page"}, {}, &r));
        if (i == 1000) { e.vm().collectGarbage(); after1000 = e.vm().liveObjects(); }
    }
    e.vm().collectGarbage();
    EXPECT_LE(e.vm().liveObjects(), after1000 + 16);
}

}  // namespace sq
