#include "FlyRecorder.h"

#include "display/TrackPlot.h"

#include <cmath>

namespace halvex::cli {

namespace {

bool ShapesArrival(const WaypointEntry& e) {
    return (e.kind >= static_cast<int32_t>(EntryKind::StarLeg) && e.kind <= static_cast<int32_t>(EntryKind::ApproachExtraLeg)) ||
           e.kind == static_cast<int32_t>(EntryKind::Waypoint);
}

const char* EntryName(const FlightPlan& plan, int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(plan.entries.size())) return "";
    const std::string& name = plan.entries[static_cast<size_t>(index)].name;
    return name.empty() ? "(hidden)" : name.c_str();
}

}  // namespace

FlyRecorder::~FlyRecorder() {
    if (track_) std::fclose(track_);
}

bool FlyRecorder::OpenTrack(const std::string& path) {
    track_ = std::fopen(path.c_str(), "w");
    if (!track_) return false;
    std::fputs("t_s,lat_deg,lon_deg,alt_ft,hdg_true_deg,ias_kt,tas_kt,gs_kt,vs_fpm,bank_deg,from,to,xtk_nm,dtg_nm,dest_nm,"
               "lmode,vmode,vphase,vdev_ft,ap_hdg_deg,ap_alt_ft,ap_vs_fpm,ap_ias_kt\n",
               track_);
    return true;
}

void FlyRecorder::RememberPlan(const FlightPlan& plan) {
    planned_.clear();
    plannedNames_.clear();
    for (const WaypointEntry& e : plan.entries) {
        planned_.push_back(e.position);
        plannedNames_.push_back(e.onLegs ? e.name : std::string());
    }
    hasTod_ = false;
    for (const VPathPoint& p : plan.verticalPath) {
        if (p.kind == static_cast<int32_t>(VPathKind::TOD)) {
            predictedTod_ = p.position;
            hasTod_ = true;
            cruiseAltitudeFt_ = p.altitude;
        }
    }
}

void FlyRecorder::OnWaypointPassed(const WaypointEntry& passed) {
    ++sequenced_;
    const double xtk = core_.Guidance()->Lateral().CrossTrackError();
    if (!quiet_) std::printf("seq t=%.0f name=%s alt=%.0f ias=%.0f xtk=%.3f\n", now_, passed.name.c_str(), altitudeFt_, iasKt_, xtk);
    if (ShapesArrival(passed) && passed.HasAltitude() && passed.altitudeKind == static_cast<uint32_t>(AltitudeKind::At))
        constraintErrors_.emplace_back(passed.name, altitudeFt_ - passed.altitude);
}

void FlyRecorder::Sample(const sim::AircraftSnapshot& s, const sim::AutopilotInputs& ap) {
    now_ = s.simulatedSeconds;
    altitudeFt_ = s.altitudeFt;
    iasKt_ = s.iasKt;
    const LateralGuidance& lateral = core_.Guidance()->Lateral();
    const double xtk = std::abs(lateral.CrossTrackError());
    const bool turning = lateral.Turning();
    // A turn ends when the arc is done, or when a waypoint without an arc is flown over.
    if (wasTurning_ && !turning) lastTurnEndS_ = now_;
    if (lateral.ToIndex() != lastTo_ && !turning && !wasTurning_) lastTurnEndS_ = now_;
    wasTurning_ = turning;
    lastTo_ = lateral.ToIndex();
    if (lateral.Phase() == 2) {
        if (turning) maxTurnXtk_ = std::max(maxTurnXtk_, xtk);
        else if (now_ - lastTurnEndS_ >= kSettleAfterTurnS) maxStraightXtk_ = std::max(maxStraightXtk_, xtk);
        else maxTurnXtk_ = std::max(maxTurnXtk_, xtk);
    }

    if (hasTod_) {
        if (!reachedCruise_ && std::abs(s.altitudeFt - cruiseAltitudeFt_) < 50.0) reachedCruise_ = true;
        if (reachedCruise_ && !descentStarted_) {
            if (s.altitudeFt < cruiseAltitudeFt_ - 100.0) {
                descentStarted_ = true;
                flownTod_ = MakeSurfacePoint(static_cast<float>(s.latitudeDeg / RadToDeg), static_cast<float>(s.longitudeDeg / RadToDeg));
            } else if (core_.Guidance()->Vertical().Phase() == 5) {  // level: cruise is being held
                maxCruiseDeviation_ = std::max(maxCruiseDeviation_, std::abs(s.altitudeFt - cruiseAltitudeFt_));
            }
        }
    }
    if (s.altitudeFt < 10000.0 && s.simulatedSeconds > 0 && reachedCruise_) maxIasLow_ = std::max(maxIasLow_, s.iasKt);

    if (now_ + 1e-9 >= nextRowS_) {
        flown_.push_back({now_, s.latitudeDeg, s.longitudeDeg, s.altitudeFt});
        if (track_) writeRow(s, ap);
        nextRowS_ = std::floor(now_ + 1e-9) + 1.0;
    }
}

double FlyRecorder::TodOffsetNm() const {
    if (!hasTod_ || !descentStarted_) return -1.0;
    return GreatCircleDistance(predictedTod_, flownTod_);
}

void FlyRecorder::writeRow(const sim::AircraftSnapshot& s, const sim::AutopilotInputs& ap) {
    FlightGuidance& g = *core_.Guidance();
    const LateralGuidance& lateral = g.Lateral();
    const FlightPlan& plan = core_.Model()->Plans().Active();
    std::fprintf(track_,
                 "%.0f,%.6f,%.6f,%.1f,%.2f,%.1f,%.1f,%.1f,%.0f,%.1f,%s,%s,%.4f,%.2f,%.2f,%d,%d,%d,%.0f,%.1f,%.0f,%.0f,%.0f\n",
                 s.simulatedSeconds, s.latitudeDeg, s.longitudeDeg, s.altitudeFt, s.trueHeadingDeg, s.iasKt, s.tasKt,
                 s.groundSpeedKt, s.verticalSpeedFpm, s.bankDeg, EntryName(plan, lateral.FromIndex()),
                 EntryName(plan, lateral.ToIndex()), lateral.CrossTrackError(), lateral.DistanceToGo(),
                 lateral.DistanceToDestination(), core_.ApModes()->LateralMode(), core_.ApModes()->VerticalMode(),
                 g.Vertical().Phase(), g.Vertical().VerticalDeviationFt(),
                 std::fmod(ap.headingBugDegMag + s.magneticVariationDeg + 360.0, 360.0), ap.targetAltitudeFt,
                 ap.targetVerticalSpeedFpm, ap.targetIasKt);
}

bool FlyRecorder::WriteKml(const std::string& path) const {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n"
               "<name>halvex-fms fly</name>\n"
               "<Style id=\"flown\"><LineStyle><color>ff0000ff</color><width>3</width></LineStyle></Style>\n"
               "<Style id=\"planned\"><LineStyle><color>ffff00ff</color><width>2</width></LineStyle></Style>\n",
               f);
    std::fputs("<Placemark><name>flown</name><styleUrl>#flown</styleUrl><LineString><altitudeMode>absolute</altitudeMode>"
               "<coordinates>\n", f);
    for (const FlownSample& p : flown_) std::fprintf(f, "%.6f,%.6f,%.1f\n", p.lonDeg, p.latDeg, p.altitudeFt * 0.3048);
    std::fputs("</coordinates></LineString></Placemark>\n", f);
    std::fputs("<Placemark><name>planned</name><styleUrl>#planned</styleUrl><LineString><tessellate>1</tessellate>"
               "<altitudeMode>clampToGround</altitudeMode><coordinates>\n", f);
    for (const GeoPoint& p : planned_) std::fprintf(f, "%.6f,%.6f,0\n", p.lon * RadToDeg, p.lat * RadToDeg);
    std::fputs("</coordinates></LineString></Placemark>\n</Document>\n</kml>\n", f);
    return std::fclose(f) == 0;
}

bool FlyRecorder::WritePlot(const std::string& path, const std::string& title) const {
    TrackPlotData data;
    data.title = title;
    for (size_t i = 0; i < planned_.size(); ++i) data.planned.push_back({planned_[i], plannedNames_[i]});
    for (const FlownSample& f : flown_)
        data.flown.push_back(MakeGeoPoint(float(f.latDeg / RadToDeg), float(f.lonDeg / RadToDeg), EarthRadiusNm));
    return WriteTrackPlot(data, path);
}

}  // namespace halvex::cli
