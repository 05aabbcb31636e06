// PagesFixture: the bundled CDU pages on the bundled simulator folder, driven key by key, over a
// still aircraft whose position, speed, weight and clock a test sets, and (when a test asks for
// them) the six guidance natives with values the test controls.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/FmsCore.h"
#include "natives/NativeRegistry.h"
#include "script/CduEngine.h"
#include "support/CduRows.h"

namespace halvex::test {

// An aircraft standing still where the test puts it.
class StillAircraft : public SimVariables {
public:
    PositionTriple position{0.8274f, -2.1353f, kEarthRadiusNm};  // near KSEA
    float groundSpeedKt = 0, grossWeightLb = 0;
    uint8_t hour = 14, minute = 5;

    int Update() override { return 0; }
    float Latitude() const override { return position.latRad; }
    float Longitude() const override { return position.lonRad; }
    const PositionTriple& Position() const override { return position; }
    float GroundSpeed() const override { return groundSpeedKt; }
    float GrossWeight() const override { return grossWeightLb; }
    uint8_t UtcHour() const override { return hour; }
    uint8_t UtcMinute() const override { return minute; }
    uint16_t Year() override { return 2026; }
    uint8_t Month() override { return 3; }
    uint8_t DayOfMonth() override { return 5; }

protected:
    bool QueueRead(uint32_t, uint32_t, void*, uint32_t& r) override { return (r = 9), false; }
    bool QueueWrite(uint32_t, uint32_t, const void*, uint32_t& r) override { return (r = 9), false; }
    bool Process(uint32_t& r) override { return (r = 9), false; }
    bool ReadAltitudes() override { return false; }
};

// What the guidance natives give while a test runs.
struct VPathPoint {
    double altitudeFt;
    std::string kind;
    double latDeg, lonDeg;
    int32_t entryIndex;
};
struct GuidanceValues {
    double distanceToGoNm = 0, destinationNm = 0, crossTrackNm = 0, verticalDeviationFt = 0;
    std::vector<VPathPoint> path;
};
inline GuidanceValues g_guidance;

inline int RealNative(ScriptValue& r, double v) {
    r.append(ScriptValue::Real(v));
    return 1;
}
inline int DtgNative(ScriptValue& r, const ScriptValue&) { return RealNative(r, g_guidance.distanceToGoNm); }
inline int DestDistNative(ScriptValue& r, const ScriptValue&) { return RealNative(r, g_guidance.destinationNm); }
inline int XtkNative(ScriptValue& r, const ScriptValue&) { return RealNative(r, g_guidance.crossTrackNm); }
inline int VxtkNative(ScriptValue& r, const ScriptValue&) { return RealNative(r, g_guidance.verticalDeviationFt); }
inline int VPathSizeNative(ScriptValue& r, const ScriptValue&) {
    r.append(ScriptValue::Integer(static_cast<int32_t>(g_guidance.path.size())));
    return 1;
}
// Always multi-return, as the script calls it.
inline int VPathDataNative(ScriptValue& r, const ScriptValue& a);

// The module's natives with the six guidance ones replaced by the test's (withGuidance), or left
// out, as in a module built without guidance.
inline std::vector<NativeEntry> PageNatives(bool withGuidance) {
    std::vector<NativeEntry> all;
    for (const NativeEntry& n : AllNatives()) {
        bool guidance = false;
        for (const NativeEntry& g : GuidanceNatives()) guidance = guidance || std::string(n.name) == g.name;
        if (!guidance) all.push_back(n);
    }
    if (withGuidance) {
        all.insert(all.end(), {{"FMScore_getDTG", DtgNative}, {"FMScore_getDestDist", DestDistNative},
                               {"FMScore_getLxtkError", XtkNative}, {"FMScore_getVxtk", VxtkNative},
                               {"FMScore_getVPathSize", VPathSizeNative}, {"FMScore_getVPathData", VPathDataNative}});
    }
    return all;
}

inline FmsCore* g_pagesCore = nullptr;

inline int VPathDataNative(ScriptValue&, const ScriptValue& a) {
    if (a.length() < 2) return 0;
    const int64_t i = a.at(1)->asInteger();
    ScriptHost& engine = g_pagesCore->Cdu()->Engine();
    const bool valid = i >= 0 && i < static_cast<int64_t>(g_guidance.path.size());
    const VPathPoint p = valid ? g_guidance.path[static_cast<size_t>(i)] : VPathPoint{-1, "", -1, -1, -1};
    const ScriptValue values[] = {ScriptValue::Real(p.altitudeFt), ScriptValue::String(p.kind), ScriptValue::Real(p.latDeg),
                                  ScriptValue::Real(p.lonDeg), ScriptValue::Integer(p.entryIndex)};
    for (int k = 0; k < 5; ++k) engine.SetValue(MakePath("g_multiReturnVals", k), values[k]);
    return 0;
}

class PagesFixture : public ::testing::Test {
protected:
    void SetUp() override { build(false); }
    void TearDown() override {
        core_.reset();
        g_pagesCore = nullptr;
        std::filesystem::current_path(previous_);
    }

    void build(bool withGuidance) {
        core_.reset();
        if (previous_.empty()) previous_ = std::filesystem::current_path();
        std::filesystem::current_path(std::string(HALVEX_SOURCE_DIR) + "/data");
        natives_ = PageNatives(withGuidance);
        g_guidance = GuidanceValues{};
        CoreDependencies deps{MakeCduScriptHost, natives_, [this](int32_t) {
                                  auto sim = std::make_unique<StillAircraft>();
                                  aircraft_ = sim.get();
                                  return sim;
                              }};
        core_ = std::make_unique<FmsCore>(deps);
        g_pagesCore = core_.get();
    }

    static int32_t keyCode(const std::string& name) {
        if (name == "SP") return 32;
        if (name.size() >= 2 && std::isdigit(static_cast<unsigned char>(name[1]))) {
            const int n = std::stoi(name.substr(1));
            switch (name[0]) {
            case 'L': return -29 - n;
            case 'R': return -49 - n;
            case 'F': return -9 - n;
            case 'K': return -n;
            }
        }
        ADD_FAILURE() << "bad key " << name;
        return 0;
    }
    static bool isKeyName(const std::string& w) {
        return w == "SP" || (w.size() >= 2 && w.size() <= 3 && std::string("LRFK").find(w[0]) != std::string::npos &&
                             std::isdigit(static_cast<unsigned char>(w[1])) && (w.size() == 2 || std::isdigit(static_cast<unsigned char>(w[2]))));
    }

    // Blank-separated keys, each followed by the cycles it causes; "CLR3" would be a word, so
    // typed text goes through type().
    void keys(const std::string& words) {
        std::istringstream in(words);
        for (std::string w; in >> w;) {
            core_->Cdu()->PushKey(keyCode(w));
            settle();
        }
        cycle();
    }
    // Several keys pushed at once, taken in one cycle (a held key repeats so).
    void burst(const std::string& words) {
        std::istringstream in(words);
        for (std::string w; in >> w;) core_->Cdu()->PushKey(keyCode(w));
        settle();
    }
    void type(const std::string& text) {
        for (char c : text) core_->Cdu()->PushKey(c);
        settle();
    }
    // Replaces the scratchpad with text.
    void entry(const std::string& text) {
        burst("K3 K3 K3 K3");
        type(text);
    }
    void settle() {
        for (int i = 0; i < 100 && core_->Cdu()->KeyCount() > 0; ++i) cycle();
    }
    void cycle() {
        core_->Update();
        core_->RunCduCycle();
    }

    std::string row(int r) const { return test::CduRow(core_->Cdu()->Grid(), r); }
    std::string screen() const { return test::CduScreen(core_->Cdu()->Grid()); }
    bool shows(const std::string& text) const { return screen().find(text) != std::string::npos; }
    std::string title() const { return Trim(row(0).substr(0, 19)); }
    std::string scratchpad() const { return Trim(row(14)); }
    int colourAt(int r, int c) const { return static_cast<int>(cell::Colour(core_->Cdu()->Grid().At(r, c))); }

    // Script errors and key handlers that failed: both must stay at nothing.
    std::string scriptError() const { return core_->Cdu()->Engine().LastError(); }
    int64_t pageFaults() const {
        ScriptValue v;
        core_->Cdu()->Engine().GetValue(v, MakePath("g_faults"));
        return v.asInteger();
    }

    static std::string Trim(const std::string& s) {
        const size_t a = s.find_first_not_of(' ');
        if (a == std::string::npos) return "";
        return s.substr(a, s.find_last_not_of(' ') - a + 1);
    }

    // The route of the guide: KSEA 16L by SEA7 and its OLM transition, SEA, J1 to BTG, ILS 10L
    // by its BTG transition into KPDX, not yet executed.
    void buildGuideRoute() {
        keys("F2");
        type("KSEA");
        keys("L1");
        type("KPDX");
        keys("R1");
        type("16L");
        keys("L2 F3 L1");
        keys(keyFor("SEA7", 'L'));
        keys(keyFor("OLM", 'L'));
        keys("F2 F9");
        type("SEA");
        keys(keyForEmptyRoute());
        type("J1");
        keys(keyForEmptyRoute('L'));
        type("BTG");
        keys(keyForEmptyRoute());
        keys("F3 R1");
        for (int i = 0; i < 4 && !shows("10L"); ++i) keys("F9");
        keys(keyFor("10L", 'R'));
        keys(keyFor("ILS10L", 'R'));
        keys(keyFor("BTG", 'R'));
    }
    // The line-select key beside the data row that holds text on the given side.
    std::string keyFor(const std::string& text, char side) const {
        for (int line = 1; line <= 6; ++line) {
            const std::string r = row(2 * line);
            const size_t at = r.find(text);
            if (at == std::string::npos) continue;
            if ((side == 'L' && at < 12) || (side == 'R' && at + text.size() > 12)) return side + std::to_string(line);
        }
        ADD_FAILURE() << "no " << text << " on the " << side << " side of\n" << screen();
        return "K4";
    }
    // The key of the first empty route line ("-----" on the right).
    std::string keyForEmptyRoute(char side = 'R') const {
        for (int line = 1; line <= 5; ++line)
            if (row(2 * line).substr(19) == "-----") return side + std::to_string(line);
        ADD_FAILURE() << "no empty route line\n" << screen();
        return "K4";
    }

    std::filesystem::path previous_;
    std::vector<NativeEntry> natives_;
    std::unique_ptr<FmsCore> core_;
    StillAircraft* aircraft_ = nullptr;
};

}  // namespace halvex::test
