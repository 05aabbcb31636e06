// CduUnitFixture: a CDU unit over a scratch simulator folder, on the engine the test names, with
// two test natives: put(core, column, row, text) writes a line, pop(core) takes a key.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "script/CduUnit.h"
#include "support/TempTree.h"

namespace halvex::test {

inline std::string RowText(const CduTextGrid& g, int row) {
    std::string s;
    for (int c = 0; c < CduTextGrid::kColumns; ++c) s += static_cast<char>(cell::Char(g.At(row, c)));
    return s;
}

inline std::string ScreenText(const CduTextGrid& g) {
    std::string s;
    for (int r = 0; r < CduTextGrid::kRows; ++r) s += RowText(g, r);
    return s;
}

// The natives reach the unit under test through these.
inline CduUnit* g_unit = nullptr;
inline void* g_seenCore = nullptr;  // the core pointer the last put received

inline int PutNative(ScriptValue&, const ScriptValue& a) {
    if (a.length() < 4) return 0;
    g_seenCore = a.at(0)->pointer();
    g_unit->Grid().WriteLine(a.at(1)->asInteger(), a.at(2)->asInteger(), a.at(3)->text(), 0, 7, false, false);
    return 0;
}

inline int PopNative(ScriptValue& r, const ScriptValue&) {
    r.append(ScriptValue::Integer(g_unit->PopKey()));
    return 1;
}

inline const NativeEntry kTestNatives[] = {{"put", PutNative}, {"pop", PopNative}};

template <typename Engine>
class CduUnitFixture : public ::testing::Test {
protected:
    std::unique_ptr<CduUnit> make(const std::string& script) {
        tree.write("Gauges/HalvexFmsZolan/VUV6000.sq", script);
        auto unit = std::make_unique<CduUnit>(&core, std::make_unique<Engine>(), CduUnit::kScriptFile, kTestNatives);
        g_unit = unit.get();
        return unit;
    }
    TempTree tree;
    int core = 0;
};

}  // namespace halvex::test
