// The EHSI's buttons and knobs through the code queue.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "display/FakeEhsiSource.h"
#include "display/EhsiRenderer.h"
#include "display/EhsiValues.h"

namespace halvex {

namespace {
void press(EhsiRenderer& r, std::initializer_list<int32_t> codes) {
    for (int32_t c : codes) r.PushCode(c);
    r.Update();
}
}  // namespace

TEST(EhsiControls, QueueIsFirstInFirstOutAndEmptyPopsZero) {
    FakeEhsiSource src;
    EhsiRenderer r(src);
    EXPECT_FALSE(r.HasCodes());
    EXPECT_EQ(r.PopCode(), 0);
    r.PushCode(12);
    r.PushCode(13);
    EXPECT_TRUE(r.HasCodes());
    EXPECT_EQ(r.PopCode(), 12);
    r.ClearCodes();
    EXPECT_FALSE(r.HasCodes());
    r.Update();
    EXPECT_FLOAT_EQ(r.RangeNm(), 10);  // cleared codes were never applied
}

TEST(EhsiControls, RangeStepsThroughItsLadderAndStopsAtBothEnds) {
    FakeEhsiSource src;
    EhsiRenderer r(src);
    std::set<float> reached{r.RangeNm()};
    for (int i = 0; i < 12; ++i) {
        press(r, {12});
        reached.insert(r.RangeNm());
    }
    EXPECT_FLOAT_EQ(r.RangeNm(), 640);  // the up arrow keeps 640
    for (int i = 0; i < 12; ++i) {
        press(r, {13});
        reached.insert(r.RangeNm());
    }
    EXPECT_FLOAT_EQ(r.RangeNm(), 1);
    EXPECT_EQ(reached, (std::set<float>{1, 5, 10, 20, 40, 80, 160, 320, 640}));
    press(r, {12});
    EXPECT_FLOAT_EQ(r.RangeNm(), 5);  // from 1 up gives 5
    press(r, {12});
    EXPECT_FLOAT_EQ(r.RangeNm(), 10);
    press(r, {13, 13});
    EXPECT_FLOAT_EQ(r.RangeNm(), 1);  // 5 down gives 1
}

TEST(EhsiControls, KnobsWrapAtNorthAndTheFmsCourseKnobDoesNothing) {
    FakeEhsiSource src;
    EhsiRenderer r(src);
    src.bug = 0;
    press(r, {44});
    EXPECT_FLOAT_EQ(src.bug, 359);
    press(r, {45});
    EXPECT_FLOAT_EQ(src.bug, 0);
    src.bug = 359.8f;
    press(r, {45});
    EXPECT_FLOAT_EQ(src.bug, 0);
    src.course[0] = 0.4f;
    press(r, {41});
    EXPECT_FLOAT_EQ(src.course[0], 359);
    press(r, {42, 42});
    EXPECT_FLOAT_EQ(src.course[0], 1);
    press(r, {1});  // main source NAV2: the knob turns NAV2's course
    press(r, {42});
    EXPECT_FLOAT_EQ(src.course[1], 1);
    EXPECT_FLOAT_EQ(src.course[0], 1);
    press(r, {1});
    EXPECT_EQ(r.MainSource(), EhsiSourceId::Fms);
    const int writes = src.courseWrites;
    press(r, {41, 42, 43, 46, 11, 0, -1, 99, 640});
    EXPECT_EQ(src.courseWrites, writes);
    EXPECT_FLOAT_EQ(src.course[0], 1);
    EXPECT_FLOAT_EQ(src.course[1], 1);
    // A wild reading still turns to a valid course.
    press(r, {1});
    src.course[0] = -725.0f;
    press(r, {42});
    EXPECT_GE(src.course[0], 0);
    EXPECT_LT(src.course[0], 360);
    src.bug = std::nanf("");
    press(r, {44});
    EXPECT_FLOAT_EQ(src.bug, 359);
}

TEST(EhsiControls, ButtonsCycleSourcesAndStyleAndEveryCodeRebuildsTheLayers) {
    FakeEhsiSource src;
    EhsiRenderer r(src);
    EXPECT_FALSE(r.MapStyle());
    EXPECT_EQ(r.LayerCount(), 9u);
    std::vector<EhsiSourceId> pointer1;
    for (int i = 0; i < 4; ++i) {
        pointer1.push_back(r.Pointer1Source());
        press(r, {5});
        EXPECT_EQ(r.Pointer2Source(), EhsiSourceId::Nav2);
    }
    EXPECT_EQ(pointer1, (std::vector<EhsiSourceId>{EhsiSourceId::Nav1, EhsiSourceId::Nav2, EhsiSourceId::Fms,
                                                    EhsiSourceId::Nav1}));
    press(r, {2});
    EXPECT_TRUE(r.MapStyle());
    press(r, {2, 2});
    EXPECT_TRUE(r.MapStyle());
    EXPECT_EQ(r.LayerCount(), 9u);
    EXPECT_EQ(src.bugWrites, 0);  // buttons write nothing to the simulator
}

TEST(EhsiValues, ReadoutsUseThreeDigitsAndShowNorthAs360) {
    EXPECT_EQ(ehsi::ThreeDigits(0), "360");
    EXPECT_EQ(ehsi::ThreeDigits(7), "007");
    EXPECT_EQ(ehsi::ThreeDigits(45), "045");
    EXPECT_EQ(ehsi::ThreeDigits(359), "359");
    EXPECT_EQ(ehsi::ShownBearing(359.7f, 0), 0);     // rounds past north
    EXPECT_EQ(ehsi::ShownBearing(10, -20), 350);
    EXPECT_EQ(ehsi::ShownBearing(std::nanf(""), 5), 0);
    EXPECT_FLOAT_EQ(ehsi::Normalise(360), 360);
    EXPECT_FLOAT_EQ(ehsi::Normalise(-30), 330);
    EXPECT_FLOAT_EQ(ehsi::Normalise(1e30f), ehsi::Normalise(1e30f));  // returns at all
    EXPECT_LT(ehsi::Normalise(1e30f), 360);
}

}  // namespace halvex
