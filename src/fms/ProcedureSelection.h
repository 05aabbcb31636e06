// Procedure selection: the six lists the crew picks terminal procedures from (SID, SID
// transition, STAR, STAR transition, approach, approach transition), each inserting its legs
// into the modified plan at a fixed anchor, joined to the neighbours by name.
//
// Every list shares one select/clear sequence and differs only in its steps. The order matters
// and is kept on purpose: select clears the list's old legs first, then validates, then inserts,
// so a select that fails has already removed the old selection (the plan is then being
// modified).
#pragma once

#include <cstdint>
#include <string>

#include "fms/FlightPlan.h"
#include "procedures/ProcedureBlock.h"

namespace halvex {

class ProcedureSelection {
public:
    explicit ProcedureSelection(FlightPlanSet& plans) : plans_(plans) {}
    virtual ~ProcedureSelection() = default;
    ProcedureSelection(const ProcedureSelection&) = delete;
    ProcedureSelection& operator=(const ProcedureSelection&) = delete;

    // Selectable items of the current plan (modified while modifying, else active); -1 for a
    // transition list whose procedure is not chosen.
    virtual int32_t count() const = 0;
    // Name of item i; empty when i is not an item.
    virtual std::string item(int32_t i) const = 0;
    // Inserts item i's legs into the modified plan. 0, or -1 with the old legs already gone.
    int32_t select(int32_t i);
    // Removes this list's legs and indexes from the modified plan. Always 0.
    int32_t clear();
    // The list's index in the current plan; -1 when none.
    int32_t current() const { return indexField(plans_.Current()); }
    // The procedures this list reads in the plan: null when its airport has none loaded.
    const ProcedureBlock* blockOf(const FlightPlan& plan) const {
        return airportIndex(plan) < 0 ? nullptr : procedureBlock(plan);
    }

protected:
    // ---- Steps, in the order select and clear use them ----
    virtual bool prerequisite(const FlightPlan& plan) const = 0;
    virtual const LegList* legsFor(const FlightPlan& plan, int32_t i) const = 0;
    // Entry index in front of which the legs go; -1 when there is none.
    virtual int32_t anchor(const FlightPlan& plan) const = 0;
    virtual bool insertLegs(FlightPlan& plan, int32_t anchor, const LegList& legs) const = 0;
    virtual int32_t airportIndex(const FlightPlan& plan) const = 0;
    virtual const ProcedureBlock* procedureBlock(const FlightPlan& plan) const = 0;
    virtual void resetIndices(FlightPlan& plan) const = 0;
    virtual bool isOwnLeg(const WaypointEntry& e) const = 0;
    virtual bool isExtraLeg(const WaypointEntry&) const { return false; }
    virtual int32_t indexField(const FlightPlan& plan) const = 0;
    virtual void setIndexField(FlightPlan& plan, int32_t i) const = 0;

    // Inserts legs[first, last) at the anchor, keeping vertical-path indexes on their entries.
    static void InsertRange(FlightPlan& plan, int32_t at, const LegList& legs, size_t first, size_t last);
    // The join of the three transition lists: skip the first leg when the entry in front of the
    // anchor already has its name, the last when the anchor (or, for STAR transitions, as the
    // subclass says) has its name.
    static bool JoinTransition(FlightPlan& plan, int32_t at, const LegList& legs, int32_t lastNameAt);

    FlightPlanSet& plans_;

private:
    void beginIfIdle();
    void removeOwnLegs(FlightPlan& plan);         // clear without the recompute
    int32_t insert(FlightPlan& plan, int32_t i);  // validate and insert; 0 or -1
};

// ---- The three procedure lists (SID, STAR, approach) -----------------------------------------
class ProcedureList : public ProcedureSelection {
public:
    using ProcedureSelection::ProcedureSelection;

    int32_t count() const override { return procedureCount(plans_.Current()); }
    std::string item(int32_t i) const override;

    // Numbering shared with the transition lists: with the list's runway chosen, only the
    // procedures valid for it count, in file order.
    int32_t procedureCount(const FlightPlan& plan) const;
    const ProcedureRecord* procedure(const FlightPlan& plan, int32_t j) const;

protected:
    virtual const std::vector<ProcedureRecord>* records(const FlightPlan& plan) const = 0;
    virtual int32_t runwayFilter(const FlightPlan& plan) const = 0;  // -1: no filter
    bool fitsFilter(const ProcedureRecord& r, int32_t runway) const;
};

class SidSelection : public ProcedureList {
public:
    using ProcedureList::ProcedureList;

protected:
    bool prerequisite(const FlightPlan& plan) const override { return plan.originRunway >= 0; }
    const LegList* legsFor(const FlightPlan& plan, int32_t i) const override;
    int32_t anchor(const FlightPlan& plan) const override;
    bool insertLegs(FlightPlan& plan, int32_t anchor, const LegList& legs) const override;
    int32_t airportIndex(const FlightPlan& plan) const override { return plan.origin; }
    const ProcedureBlock* procedureBlock(const FlightPlan& plan) const override;
    void resetIndices(FlightPlan& plan) const override { plan.sid = plan.sidTransition = -1; }
    bool isOwnLeg(const WaypointEntry& e) const override;
    int32_t indexField(const FlightPlan& plan) const override { return plan.sid; }
    void setIndexField(FlightPlan& plan, int32_t i) const override { plan.sid = i; }
    const std::vector<ProcedureRecord>* records(const FlightPlan& plan) const override;
    int32_t runwayFilter(const FlightPlan& plan) const override { return plan.originRunway; }
};

class StarSelection : public ProcedureList {
public:
    using ProcedureList::ProcedureList;

protected:
    bool prerequisite(const FlightPlan& plan) const override { return plan.approach >= 0; }
    const LegList* legsFor(const FlightPlan& plan, int32_t i) const override;
    int32_t anchor(const FlightPlan& plan) const override;
    bool insertLegs(FlightPlan& plan, int32_t anchor, const LegList& legs) const override;
    int32_t airportIndex(const FlightPlan& plan) const override { return plan.destination; }
    const ProcedureBlock* procedureBlock(const FlightPlan& plan) const override;
    void resetIndices(FlightPlan& plan) const override { plan.star = plan.starTransition = -1; }
    bool isOwnLeg(const WaypointEntry& e) const override;
    int32_t indexField(const FlightPlan& plan) const override { return plan.star; }
    void setIndexField(FlightPlan& plan, int32_t i) const override { plan.star = i; }
    const std::vector<ProcedureRecord>* records(const FlightPlan& plan) const override;
    int32_t runwayFilter(const FlightPlan&) const override { return -1; }  // STARs serve every runway
};

class ApproachSelection : public ProcedureList {
public:
    using ProcedureList::ProcedureList;

protected:
    bool prerequisite(const FlightPlan& plan) const override { return plan.destinationRunway >= 0; }
    const LegList* legsFor(const FlightPlan& plan, int32_t i) const override;
    int32_t anchor(const FlightPlan& plan) const override;
    bool insertLegs(FlightPlan& plan, int32_t anchor, const LegList& legs) const override;
    int32_t airportIndex(const FlightPlan& plan) const override { return plan.destination; }
    const ProcedureBlock* procedureBlock(const FlightPlan& plan) const override;
    void resetIndices(FlightPlan& plan) const override { plan.approach = plan.approachTransition = -1; }
    bool isOwnLeg(const WaypointEntry& e) const override;
    bool isExtraLeg(const WaypointEntry& e) const override;
    int32_t indexField(const FlightPlan& plan) const override { return plan.approach; }
    void setIndexField(FlightPlan& plan, int32_t i) const override { plan.approach = i; }
    const std::vector<ProcedureRecord>* records(const FlightPlan& plan) const override;
    int32_t runwayFilter(const FlightPlan& plan) const override { return plan.destinationRunway; }
};

// ---- The three transition lists: the transitions of the chosen procedure ------------------
class TransitionList : public ProcedureSelection {
public:
    TransitionList(FlightPlanSet& plans, const ProcedureList& parent) : ProcedureSelection(plans), parent_(parent) {}

    int32_t count() const override;
    std::string item(int32_t i) const override;

protected:
    // The chosen procedure of the plan, numbered as its list numbers it; null when none.
    const ProcedureRecord* parentProcedure(const FlightPlan& plan) const;
    virtual int32_t parentIndex(const FlightPlan& plan) const = 0;
    const LegList* legsFor(const FlightPlan& plan, int32_t i) const override;
    const ProcedureBlock* procedureBlock(const FlightPlan& plan) const override;

    const ProcedureList& parent_;
};

class SidTransitionSelection : public TransitionList {
public:
    using TransitionList::TransitionList;

protected:
    bool prerequisite(const FlightPlan& plan) const override { return plan.originRunway >= 0; }
    int32_t anchor(const FlightPlan& plan) const override;
    bool insertLegs(FlightPlan& plan, int32_t anchor, const LegList& legs) const override;
    int32_t airportIndex(const FlightPlan& plan) const override { return plan.origin; }
    void resetIndices(FlightPlan& plan) const override { plan.sidTransition = -1; }
    bool isOwnLeg(const WaypointEntry& e) const override;
    int32_t indexField(const FlightPlan& plan) const override { return plan.sidTransition; }
    void setIndexField(FlightPlan& plan, int32_t i) const override { plan.sidTransition = i; }
    int32_t parentIndex(const FlightPlan& plan) const override { return plan.sid; }
};

class StarTransitionSelection : public TransitionList {
public:
    using TransitionList::TransitionList;

protected:
    bool prerequisite(const FlightPlan& plan) const override { return plan.approach >= 0; }
    int32_t anchor(const FlightPlan& plan) const override;
    bool insertLegs(FlightPlan& plan, int32_t anchor, const LegList& legs) const override;
    int32_t airportIndex(const FlightPlan& plan) const override { return plan.destination; }
    void resetIndices(FlightPlan& plan) const override { plan.starTransition = -1; }
    bool isOwnLeg(const WaypointEntry& e) const override;
    int32_t indexField(const FlightPlan& plan) const override { return plan.starTransition; }
    void setIndexField(FlightPlan& plan, int32_t i) const override { plan.starTransition = i; }
    int32_t parentIndex(const FlightPlan& plan) const override { return plan.star; }
};

class ApproachTransitionSelection : public TransitionList {
public:
    using TransitionList::TransitionList;

protected:
    bool prerequisite(const FlightPlan& plan) const override { return plan.destinationRunway >= 0; }
    int32_t anchor(const FlightPlan& plan) const override;
    bool insertLegs(FlightPlan& plan, int32_t anchor, const LegList& legs) const override;
    int32_t airportIndex(const FlightPlan& plan) const override { return plan.destination; }
    void resetIndices(FlightPlan& plan) const override { plan.approachTransition = -1; }
    bool isOwnLeg(const WaypointEntry& e) const override;
    bool isExtraLeg(const WaypointEntry& e) const override;
    int32_t indexField(const FlightPlan& plan) const override { return plan.approachTransition; }
    void setIndexField(FlightPlan& plan, int32_t i) const override { plan.approachTransition = i; }
    int32_t parentIndex(const FlightPlan& plan) const override { return plan.approach; }
};

// ---- All six over one plan set (cheap to make; build one per call) -------------------------
class ProcedureSelections {
public:
    explicit ProcedureSelections(FlightPlanSet& plans);
    ProcedureSelection& operator[](ProcedureSlot slot);

private:
    SidSelection sid_;
    SidTransitionSelection sidTransition_;
    StarSelection star_;
    StarTransitionSelection starTransition_;
    ApproachSelection approach_;
    ApproachTransitionSelection approachTransition_;
};

}  // namespace halvex
