#include "fms/VerticalProfile.h"

#include <algorithm>
#include <cmath>

namespace halvex {

namespace {

constexpr float kFactor[65] = {
    1.0f,     1.01477f, 1.02989f, 1.04536f, 1.06113f, 1.07726f, 1.09376f, 1.11063f, 1.12787f, 1.1455f,  1.16358f,
    1.18205f, 1.20099f, 1.22033f, 1.24016f, 1.26038f, 1.28121f, 1.30244f, 1.3243f,  1.34669f, 1.36948f, 1.39306f,
    1.41705f, 1.44173f, 1.4671f,  1.49304f, 1.51969f, 1.54709f, 1.57505f, 1.60396f, 1.63365f, 1.66413f, 1.69516f,
    1.72748f, 1.76036f, 1.79432f, 1.8294f,  1.87251f, 1.91777f, 1.96418f, 2.0117f,  2.06065f, 2.11053f, 2.16169f,
    2.21404f, 2.26746f, 2.32244f, 2.37893f, 2.43613f, 2.49533f, 2.55572f, 2.61712f, 2.68125f, 2.74618f, 2.81272f,
    2.88076f, 2.95012f, 3.02061f, 3.09492f, 3.16862f, 3.24614f, 3.32411f, 3.40404f, 3.4879f,  3.57143f};

constexpr float kStepFt = 1000.0f;
constexpr float kLowestFt = -2000.0f, kHighestFt = 70000.0f;  // bounds the step count for any input
constexpr float kSlowestRateFpm = 1.0f;                       // a zero rate in a table is not a division

float Bounded(float feet) { return std::isfinite(feet) ? std::clamp(feet, kLowestFt, kHighestFt) : 0.0f; }

// Distance flown at speedKt while changing altitude by heightFt at rateFpm at altitudeFt.
float StepNm(float heightFt, float rateFpm, float speedKt, float altitudeFt) {
    return heightFt / std::max(std::abs(rateFpm), kSlowestRateFpm) * (speedKt * IasToTasFactor(altitudeFt) / 60.0f);
}

}  // namespace

float IasToTasFactor(float altitudeFt) {
    const float bounded = std::isfinite(altitudeFt) ? std::clamp(altitudeFt, 0.0f, 64999.0f) : 0.0f;
    return kFactor[static_cast<int>(bounded / 1000.0f)];
}

float ClimbDescentRates::ClimbFpm(float speedKt, float altitudeFt) const {
    return rates.empty() ? kEmptyClimbFpm : rates.ClimbFpm(weight, speedKt, altitudeFt);
}
float ClimbDescentRates::DescentFpm(float speedKt, float altitudeFt) const {
    return rates.empty() ? kEmptyDescentFpm : rates.DescentFpm(weight, speedKt, altitudeFt);
}
float ClimbDescentRates::ClimbSpeedKt() const { return rates.empty() ? kEmptySpeedKt : rates.OptimumClimbSpeedKt(weight); }
float ClimbDescentRates::DescentSpeedKt() const {
    return rates.empty() ? kEmptySpeedKt : rates.OptimumDescentSpeedKt(weight);
}

float ClimbDistanceNm(const ClimbDescentRates& r, float speedKt, float lowerFt, float upperFt) {
    lowerFt = Bounded(lowerFt);
    upperFt = Bounded(upperFt);
    const float speed = speedKt > 0 ? speedKt : r.ClimbSpeedKt();
    float distance = 0;
    for (float h = lowerFt; h < upperFt; h += kStepFt)
        distance += StepNm(std::min(kStepFt, upperFt - h), r.ClimbFpm(speed, h), speed, h);
    return distance;
}

float DescentDistanceNm(const ClimbDescentRates& r, float speedKt, float upperFt, float lowerFt) {
    lowerFt = Bounded(lowerFt);
    upperFt = Bounded(upperFt);
    const float speed = speedKt > 0 ? speedKt : r.DescentSpeedKt();
    float distance = 0;
    for (float h = upperFt; h > lowerFt; h -= kStepFt) {
        const float rate = r.DescentFpm(speed, h);
        if (h == upperFt) distance += std::abs(rate) * 0.005f * (speed * IasToTasFactor(h) / 3600.0f);
        distance += StepNm(std::min(kStepFt, h - lowerFt), rate, speed, h);
    }
    return distance;
}

void PathProfile::Build(const ClimbDescentRates& r, float speedKt, float fromFt, float targetFt) {
    speedKt_ = speedKt;
    fromFt_ = fromFt;
    targetFt_ = targetFt;
    weight_ = r.weight;
    knots_.clear();
    const float from = Bounded(fromFt), target = Bounded(targetFt);
    // The same steps as the distance integration, from the far end towards the target, so the
    // path is exactly as long as the distance the descent start was placed at.
    float distance = 0;
    knots_.push_back({0.0f, from});
    if (from > target) {
        const float speed = speedKt > 0 ? speedKt : r.DescentSpeedKt();
        for (float h = from; h > target; h -= kStepFt) {
            const float rate = r.DescentFpm(speed, h);
            if (h == from) {
                distance += std::abs(rate) * 0.005f * (speed * IasToTasFactor(h) / 3600.0f);
                knots_.push_back({distance, from});
            }
            distance += StepNm(std::min(kStepFt, h - target), rate, speed, h);
            knots_.push_back({distance, std::max(h - kStepFt, target)});
        }
    } else {
        const float speed = speedKt > 0 ? speedKt : r.ClimbSpeedKt();
        for (float h = from; h < target; h += kStepFt) {
            distance += StepNm(std::min(kStepFt, target - h), r.ClimbFpm(speed, h), speed, h);
            knots_.push_back({distance, std::min(h + kStepFt, target)});
        }
    }
    for (Knot& k : knots_) k.distanceToEndNm = distance - k.distanceToEndNm;  // now by decreasing distance to the end
}

float PathProfile::AltitudeAt(float distanceToEndNm) const {
    if (knots_.empty()) return targetFt_;
    if (!(distanceToEndNm > 0)) return knots_.back().altitudeFt;
    if (distanceToEndNm >= knots_.front().distanceToEndNm) return knots_.front().altitudeFt;
    for (size_t i = 0; i + 1 < knots_.size(); ++i) {
        const Knot& far = knots_[i];
        const Knot& near = knots_[i + 1];
        if (distanceToEndNm >= near.distanceToEndNm) {
            const float span = far.distanceToEndNm - near.distanceToEndNm;
            const float f = span > 0 ? (distanceToEndNm - near.distanceToEndNm) / span : 0.0f;
            return near.altitudeFt + (far.altitudeFt - near.altitudeFt) * f;
        }
    }
    return knots_.back().altitudeFt;
}

}  // namespace halvex
