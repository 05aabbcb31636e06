#include <gtest/gtest.h>

#include "script/ScriptValue.h"

namespace halvex {

TEST(ScriptValue, ConversionsFollowTheKind) {
    EXPECT_EQ(ScriptValue::Real(-2.9).asInteger(), -2);  // truncation towards zero
    EXPECT_EQ(ScriptValue::Real(2.9).asInteger(), 2);
    EXPECT_EQ(ScriptValue::Bool(true).asInteger(), 1);
    EXPECT_EQ(ScriptValue::Real(1e12).asInteger(), INT32_MAX);  // saturates, never UB
    EXPECT_EQ(ScriptValue::Real(-1e12).asInteger(), INT32_MIN);
    EXPECT_DOUBLE_EQ(ScriptValue::Integer(-7).asReal(), -7.0);
    EXPECT_EQ(ScriptValue::String("12").asInteger(), 0);
    EXPECT_EQ(ScriptValue().kind(), ScriptKind::None);
}

TEST(ScriptValue, ListAppendFillsAnEmptyHeadThenLinks) {
    ScriptValue list;
    list.append(ScriptValue::Integer(1));
    EXPECT_EQ(list.length(), 1);
    EXPECT_EQ(list.kind(), ScriptKind::Integer);
    list.append(ScriptValue::String("b"));
    list.append(ScriptValue::Real(3.5));
    ASSERT_EQ(list.length(), 3);
    EXPECT_EQ(list.at(1)->text(), "b");
    EXPECT_DOUBLE_EQ(list.at(2)->asReal(), 3.5);
    EXPECT_EQ(list.at(3), nullptr);

    ScriptValue copy = list;  // deep copy
    list.clearList();
    EXPECT_EQ(copy.length(), 3);
    EXPECT_EQ(list.length(), 1);
    EXPECT_TRUE(list.isNone());
}

TEST(ScriptValue, VeryLongListsCopyAndDestroyWithoutRecursion) {
    ScriptValue list;
    ScriptValue* tail = &list.append(ScriptValue::Integer(0));
    for (int i = 1; i < 200000; ++i) tail = &tail->append(ScriptValue::Integer(i));
    ScriptValue copy = list;
    EXPECT_EQ(copy.at(199999)->asInteger(), 199999);
}

TEST(ScriptValue, PathsNameAGlobalThenKeys) {
    ScriptPath p = MakePath("g_multiReturnVals", 2);
    EXPECT_EQ(p.text(), "g_multiReturnVals");
    EXPECT_EQ(p.next()->asInteger(), 2);
    ScriptPath q = MakePath("color", "c3");
    EXPECT_EQ(q.next()->text(), "c3");
}

}  // namespace halvex
