// FlightPlan and FlightPlanSet: the active and the modified plan, the crew's edits and the
// recompute that follows each of them.
//
// Each plan is one ordered array of entries seen through two views: the legs view (entries with
// onLegs) and the route view (entries with onFpln). Entries with neither flag are hidden
// subdivision points, dropped and made again by every recompute.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "fms/WaypointEntry.h"
#include "navdb/Geodesy.h"
#include "navdb/NavDatabase.h"
#include "procedures/ProcedureBlock.h"

namespace halvex {

class PerfSpecTable;

// ---- Vertical path points (built by the vertical path; kept, copied and re-indexed here) ----
struct VPathPoint {
    GeoPoint position = kSurfaceOrigin;
    float altitude = 0;      // feet
    float speed = 0;         // knots
    float distance = -1.0f;  // -1 when not used
    int32_t kind = 9;        // 0 BOC .. 9 NOP
    int32_t entryIndex = -1; // plan entry the point belongs to; -1 once that entry is deleted
    bool onTurn = false;
};
using VPathList = std::vector<VPathPoint>;

// Loaded procedures of one airport; immutable once loaded, so plans share them on copy.
using SharedProcedures = std::shared_ptr<const ProcedureBlock>;

// ---- One plan --------------------------------------------------------------------------------
struct FlightPlan {
    std::vector<WaypointEntry> entries;
    int32_t origin = -1;             // airport index
    int32_t destination = -1;
    int32_t originRunway = -1;       // runway index within the airport
    int32_t destinationRunway = -1;
    int32_t sid = -1;                // selections as numbered by the selection lists
    int32_t sidTransition = -1;
    int32_t approach = -1;
    int32_t approachTransition = -1;
    int32_t star = -1;
    int32_t starTransition = -1;
    float totalDistance = 0;         // nm, sum of legLength
    VPathList verticalPath;
    SharedProcedures originProcedures;       // null when none loaded
    SharedProcedures destinationProcedures;

    bool empty() const { return entries.empty(); }
    // Empties the entries and the vertical path, resets every selection, the distance and the
    // procedure blocks.
    void Reset();
    void ResetSelections();  // airports, runways and procedures to -1

    // ---- Views ----
    int32_t LegsCount() const;
    int32_t FplnCount() const;
    int32_t LegsEntryIndex(int32_t legsPosition) const;  // entry index, or -1 when none
    int32_t FplnEntryIndex(int32_t fplnPosition) const;
    const WaypointEntry* LegsEntry(int32_t legsPosition) const;  // null when none
    const WaypointEntry* FplnEntry(int32_t fplnPosition) const;
    int32_t FindKind(EntryKind kind, int32_t fromIndex = 0) const;  // first entry index, or -1

    // ---- Structural edits (no recompute) ----
    // Removes entries [first, last) and re-indexes the vertical path points against them.
    void EraseEntries(int32_t first, int32_t last);
    void InsertEntry(int32_t index, WaypointEntry entry);  // index past the end appends
};

// ---- What the plan calls on outside itself ------------------------------------------------
// The aircraft's present position and altitude (direct-from points, direct-to altitude).
class AircraftSource {
public:
    virtual ~AircraftSource() = default;
    virtual GeoPoint PresentPosition() const = 0;
    virtual float PresentAltitudeFt() const = 0;
};

// The guidance and vertical path, called when the active plan changes. The guidance fills it;
// until then a do-nothing implementation stands in.
class GuidanceSeam {
public:
    virtual ~GuidanceSeam() = default;
    virtual void ChooseActiveLeg(FlightPlan& active) = 0;
    virtual void RebuildVerticalPath(FlightPlan& active) = 0;
    virtual void ResetToPlanStart(FlightPlan& active) = 0;
};

// The six procedure slots, in the order of the selection lists.
enum class ProcedureSlot { Sid, SidTransition, Star, StarTransition, Approach, ApproachTransition };

// ---- Both plans ----------------------------------------------------------------------------
class FlightPlanSet {
public:
    static constexpr float kMaxAltitudeFt = 65000.0f;  // constraints above are ignored
    static constexpr float kSubdivideAboveNm = 100.0f;
    static constexpr float kMaxPbdDistanceNm = 10800.0f;  // half way round the earth
    static constexpr float kMaxCruiseAltitudeFt = 60000.0f;

    // None of the pointers is owned; database and aircraft must outlive the set, performance
    // and guidance may be null (standard-rate turns at 250 kt; no guidance).
    FlightPlanSet(const NavDatabase* database, const PerfSpecTable* performance, const AircraftSource* aircraft,
                  GuidanceSeam* guidance = nullptr);

    // ---- Plans and selection of the current one ----
    FlightPlan& Active() { return active_; }
    FlightPlan& Modified() { return modified_; }
    const FlightPlan& Active() const { return active_; }
    const FlightPlan& Modified() const { return modified_; }
    const FlightPlan& Current() const { return modifying_ ? modified_ : active_; }  // mod/act
    FlightPlan& Current() { return modifying_ ? modified_ : active_; }
    bool isModifying() const { return modifying_; }
    void setModifying(bool on) { modifying_ = on; }
    const NavDatabase* Database() const { return database_; }
    void AttachDatabase(const NavDatabase* database) { database_ = database; }

    // Copies the active plan over the modified plan (every field, procedure blocks included).
    void BeginModification();
    // The five-step recompute: hidden points out, courses and distances, turns, leg lengths
    // with turn allowances and the legs-view distances, subdivision of long legs.
    void Recompute(FlightPlan& plan) const;
    float TurnRadiusNm() const;  // from the performance table, or the standard-rate fallback

    // ---- Airports and runways ----
    int32_t setOrigin(std::string_view ident);
    int32_t setDestination(std::string_view ident);
    // The second half of setting an airport, without beginning a modification or clearing
    // procedures: the entry replaced or placed, its runway and selections reset, the recompute,
    // the procedures loaded. -1 for an unknown airport, or when its procedures do not load (the
    // airport then stays set).
    int32_t placeAirport(std::string_view ident, bool isOrigin);
    bool KnowsAirport(std::string_view ident) const;
    int32_t setOriginRunway(int32_t runway);
    int32_t setDestinationRunway(int32_t runway);

    // ---- Waypoints ----
    int32_t insertLegsWaypoint(int32_t fixIndex, int32_t legsPosition);
    int32_t insertLegsPbd(int32_t fixIndex, int32_t legsPosition, float bearingMagDeg, float distanceNm);
    int32_t insertFplnWaypoint(int32_t fixIndex, int32_t fplnPosition);
    int32_t insertAirwaySegment(int32_t endFixIndex, int32_t airwayIndex, int32_t fplnPosition);

    // ---- Deletions and direct-to ----
    int32_t deleteLegsWaypoint(int32_t legsPosition);
    int32_t deleteLegsWaypoints(int32_t first, int32_t second);
    int32_t deleteFplnWaypoint(int32_t fplnPosition);
    int32_t directTo(int32_t legsPosition);

    // ---- Altitudes ----
    int32_t setLegsAltitude(int32_t legsPosition, float altitudeFt);
    // -1, keeping the old value, outside 0 to kMaxCruiseAltitudeFt.
    int32_t setCruiseAltitude(float altitudeFt);
    float CruiseAltitudeFt() const { return cruiseAltitudeFt_; }

    // ---- Procedure slots ----
    // Removes the slot's legs from the modified plan (beginning a modification when none is in
    // progress), resets its selection indexes and recomputes. Always 0.
    int32_t clearProcedure(ProcedureSlot slot);

    // ---- Execute and cancel ----
    // Makes the modification in use active, an emptied one included.
    void activate();
    void cancelModification();

private:
    // A modification is in use while it has entries or once an edit emptied it: an emptied one
    // is the crew's work, not a reason to copy the active plan again.
    bool modificationInUse() const;
    // Begins a modification when none is in use; remembers whether it did so a failing edit can
    // undo it.
    bool beginIfEmpty();
    int32_t failAfterBegin(bool begun);
    int32_t setAirport(std::string_view ident, bool isOrigin);
    int32_t setRunway(int32_t runway, bool isOrigin);
    int32_t insertAtLegs(WaypointEntry entry, int32_t legsPosition);
    bool hasAirports() const;
    WaypointEntry fixEntry(int32_t fixIndex) const;
    void overwriteWithDirectFrom(WaypointEntry& e) const;
    int32_t deleteLegsAt(FlightPlan& plan, int32_t legsPosition) const;
    static void eraseLegsRange(FlightPlan& plan, int32_t lo, int32_t hi);
    void finishEdit();

    const NavDatabase* database_;
    const PerfSpecTable* performance_;
    const AircraftSource* aircraft_;
    GuidanceSeam* guidance_;
    FlightPlan active_;
    FlightPlan modified_;
    bool modifying_ = false;
    float cruiseAltitudeFt_ = 0;
};

}  // namespace halvex
