// The open-addressing table under heavy insert/delete churn, and key identity rules.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "squirrel/Vm.h"

namespace sq {

TEST(Table, MatchesAReferenceMapUnderChurn) {
    Vm vm;
    Table* t = vm.newTable();
    std::map<int, int> reference;
    std::mt19937 rng(7);
    for (int step = 0; step < 200000; ++step) {
        const int k = static_cast<int>(rng() % 5000);
        if (rng() % 3 == 0) {
            const bool had = reference.erase(k) > 0;
            EXPECT_EQ(t->remove(Value::Int(k)), had);
        } else {
            t->set(Value::Int(k), Value::Int(step));
            reference[k] = step;
        }
    }
    EXPECT_EQ(t->count, reference.size());
    size_t seen = 0;
    for (int64_t i = t->next(0); i >= 0; i = t->next(static_cast<uint32_t>(i) + 1)) {
        ++seen;
        const auto it = reference.find(t->nodes[i].key.i);
        ASSERT_NE(it, reference.end());
        EXPECT_EQ(t->nodes[i].val.i, it->second);
    }
    EXPECT_EQ(seen, reference.size());
    // tombstones do not make the table grow without bound
    EXPECT_LE(t->capacity, 16384u);
}

TEST(Table, KeysCompareByTypeAndBitPattern) {
    Vm vm;
    Table* t = vm.newTable();
    t->set(Value::Int(1), Value::Int(10));
    t->set(Value::Float(1.0f), Value::Int(20));
    t->set(Value::Bool(true), Value::Int(30));
    t->set(Value::Float(0.0f), Value::Int(40));
    t->set(Value::Float(-0.0f), Value::Int(50));
    t->set(vm.str("k"), Value::Int(60));
    EXPECT_EQ(t->count, 6u);
    EXPECT_EQ(t->find(Value::Int(1))->i, 10);
    EXPECT_EQ(t->find(Value::Float(1.0f))->i, 20);
    EXPECT_EQ(t->find(Value::Float(-0.0f))->i, 50);
    EXPECT_EQ(t->find(vm.str("k"))->i, 60);  // interned: the same object
    EXPECT_EQ(t->findString(vm.intern("k"))->i, 60);
    EXPECT_EQ(t->find(Value()), nullptr);
}

TEST(StringTable, InternsEqualBytesOnceIncludingNul) {
    Vm vm;
    EXPECT_EQ(vm.intern("abc"), vm.intern(std::string("ab") + "c"));
    EXPECT_NE(vm.intern(std::string_view("a\0b", 3)), vm.intern(std::string_view("a\0c", 3)));
    EXPECT_EQ(vm.intern(std::string_view("a\0b", 3))->len, 3u);
}

}  // namespace sq
