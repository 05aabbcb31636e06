// The thirty procedure natives called as a script calls them (core first, then the arguments),
// on a core built over the bundled simulator folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "core/FmsCore.h"
#include "script/LuaHost.h"
#include "natives/NativeRegistry.h"

namespace halvex {
namespace {

class ProcedureNativesTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(std::string(HALVEX_SOURCE_DIR) + "/data");
        core_ = std::make_unique<FmsCore>(CoreDependencies{[] { return std::make_unique<LuaHost>(); }, AllNatives()});
        ASSERT_NE(core_->Model(), nullptr);
    }
    void TearDown() override {
        core_.reset();
        std::filesystem::current_path(previous_);
    }

    NativeFunction native(const char* name) const {
        for (const NativeEntry& e : ProcedureNatives())
            if (std::strcmp(e.name, name) == 0) return e.function;
        ADD_FAILURE() << "no native " << name;
        return nullptr;
    }
    // Calls the native with the core and the integer arguments; the one result, or None.
    ScriptValue call(const char* name, std::initializer_list<int32_t> args = {}, int* resultCount = nullptr) {
        ScriptValue in = ScriptValue::Pointer(core_.get());
        for (int32_t a : args) in.append(ScriptValue::Integer(a));
        ScriptValue out;
        const int n = native(name)(out, in);
        if (resultCount) *resultCount = n;
        return out;
    }
    int32_t integer(const char* name, std::initializer_list<int32_t> args = {}) { return call(name, args).asInteger(); }
    std::string text(const char* name, int32_t i) { return call(name, {i}).text(); }

    int32_t runway(const char* icao, const char* ident) const {
        const NavDatabase& db = *core_->Database();
        const NavAirport* a = db.GetAirport(db.FindAirport(icao));
        for (size_t i = 0; a && i < a->runways.size(); ++i)
            if (a->runways[i].Ident() == ident) return static_cast<int32_t>(i);
        return -1;
    }
    FlightPlanSet& plans() { return core_->Model()->Plans(); }

    std::filesystem::path previous_;
    std::unique_ptr<FmsCore> core_;
};

TEST_F(ProcedureNativesTest, ThirtyNativesAreRegistered) {
    EXPECT_EQ(ProcedureNatives().size(), 30u);
    for (const char* slot : {"OrgSid", "OrgSidTrs", "DstStar", "DstStarTrs", "DstApp", "DstAppTrs"})
        for (const char* form : {"FMScore_get%sSize", "FMScore_get%sInfo", "FMScore_set%s", "FMScore_getCur%sId", "FMScore_clear%s"}) {
            char name[64];
            std::snprintf(name, sizeof name, form, slot);
            EXPECT_NE(native(name), nullptr) << name;
        }
}

TEST_F(ProcedureNativesTest, EmptyPlanGivesEmptyListsAndFailureValues) {
    EXPECT_EQ(integer("FMScore_getOrgSidSize"), 0);
    EXPECT_EQ(integer("FMScore_getDstAppSize"), 0);
    EXPECT_EQ(integer("FMScore_getOrgSidTrsSize"), -1);
    EXPECT_EQ(integer("FMScore_getDstStarTrsSize"), -1);
    EXPECT_EQ(integer("FMScore_getDstAppTrsSize"), -1);
    EXPECT_EQ(text("FMScore_getOrgSidInfo", 0), "");
    EXPECT_EQ(integer("FMScore_getCurDstAppId"), -1);
    EXPECT_EQ(integer("FMScore_setOrgSid", {0}), -1);
}

TEST_F(ProcedureNativesTest, SelectReadAndClearThroughTheNatives) {
    ASSERT_EQ(plans().setOrigin("KSEA"), 0);
    ASSERT_EQ(plans().setDestination("KPDX"), 0);
    ASSERT_EQ(plans().setOriginRunway(runway("KSEA", "16L")), 0);
    ASSERT_EQ(plans().setDestinationRunway(runway("KPDX", "10R")), 0);

    EXPECT_EQ(integer("FMScore_getOrgSidSize"), 4);
    EXPECT_EQ(text("FMScore_getOrgSidInfo", 3), "SEA7");
    EXPECT_EQ(text("FMScore_getOrgSidInfo", 4), "");
    EXPECT_EQ(text("FMScore_getOrgSidInfo", -1), "");
    EXPECT_EQ(integer("FMScore_setOrgSid", {3}), 0);
    EXPECT_EQ(integer("FMScore_getCurOrgSidId"), 3);
    EXPECT_EQ(integer("FMScore_getOrgSidTrsSize"), 3);
    EXPECT_EQ(text("FMScore_getOrgSidTrsInfo", 2), "ELN");
    EXPECT_EQ(integer("FMScore_setOrgSidTrs", {3}), -1);  // a failed select says so
    EXPECT_EQ(integer("FMScore_getCurOrgSidTrsId"), -1);

    EXPECT_EQ(integer("FMScore_setDstStar", {0}), -1);  // no approach yet
    EXPECT_EQ(integer("FMScore_getDstAppSize"), 1);
    EXPECT_EQ(text("FMScore_getDstAppInfo", 0), "ILS10R");
    EXPECT_EQ(integer("FMScore_setDstApp", {0}), 0);
    EXPECT_EQ(integer("FMScore_setDstAppTrs", {1}), 0);
    EXPECT_EQ(text("FMScore_getDstAppTrsInfo", 1), "MINNE");
    EXPECT_EQ(integer("FMScore_setDstStar", {1}), 0);
    EXPECT_EQ(integer("FMScore_getDstStarTrsSize"), 2);
    EXPECT_EQ(integer("FMScore_setDstStarTrs", {1}), 0);
    EXPECT_EQ(integer("FMScore_getCurDstStarTrsId"), 1);

    EXPECT_EQ(integer("FMScore_clearDstStar"), 0);
    EXPECT_EQ(integer("FMScore_getCurDstStarId"), -1);
    EXPECT_EQ(integer("FMScore_getCurDstStarTrsId"), -1);
    EXPECT_EQ(integer("FMScore_getCurDstAppTrsId"), 1);
    EXPECT_EQ(integer("FMScore_clearOrgSidTrs"), 0);
    EXPECT_EQ(integer("FMScore_getCurOrgSidId"), 3);
}

TEST_F(ProcedureNativesTest, TooFewArgumentsReturnNothingAndChangeNothing) {
    ASSERT_EQ(plans().setOrigin("KSEA"), 0);
    ASSERT_EQ(plans().setOriginRunway(runway("KSEA", "16L")), 0);
    int n = -1;
    call("FMScore_setOrgSid", {}, &n);
    EXPECT_EQ(n, 0);
    call("FMScore_getOrgSidInfo", {}, &n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(integer("FMScore_getCurOrgSidId"), -1);
}

}  // namespace
}  // namespace halvex
