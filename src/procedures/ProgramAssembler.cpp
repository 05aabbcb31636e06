#include "procedures/ProgramAssembler.h"

#include <array>
#include <unordered_map>

#include "procedures/ProcedureLexer.h"
#include "procedures/StatementParser.h"

namespace halvex {

namespace {

const std::string kNoName;

class Assembler {
public:
    void addLine(std::unique_ptr<ProcNode> chain) {
        while (chain) {
            if (IsSectionOp(chain->op)) {
                // A section keyword starts a section; statements after it on its line count
                // as the section's first line.
                std::unique_ptr<ProcNode> rest = std::move(chain->next);
                startSection(std::move(chain));
                chain = std::move(rest);
                if (chain) chain->parent = nullptr;
                continue;
            }
            if (section_) placeLine(std::move(chain));  // lines outside any section are dropped
            return;
        }
    }

    std::unique_ptr<ProcNode> finish() {
        for (ProcNode* sid : sidGroups_) joinCommonPart(*sid);
        for (ProcNode* approach : approachGroups_) cutAfterRunway(*approach);
        return std::move(root_);
    }

private:
    void startSection(std::unique_ptr<ProcNode> section) {
        saveTarget();
        section_ = section_ ? section_->SetNext(std::move(section)) : (root_ = std::move(section)).get();
        target_ = section_;
        lastGroup_ = nullptr;
        lastTail_ = nullptr;
        if (const int home = homeSlot(section_->op); home >= 0) homes_[static_cast<size_t>(home)] = section_;
    }

    // The section kind a declaration belongs to, as an index into homes_ (-1 for none).
    static int homeSlot(ProcOp op) {
        if (op == ProcOp::DeclSids || op == ProcOp::DeclSid) return 0;
        if (op == ProcOp::DeclStars || op == ProcOp::DeclStar) return 1;
        if (op == ProcOp::DeclApproaches || op == ProcOp::DeclApproach) return 2;
        return -1;
    }

    // Lines go on into another section: remember where this one ended, resume where that one did.
    void saveTarget() {
        if (target_) ends_[target_] = {lastGroup_, lastTail_};
    }
    void switchTarget(ProcNode* section) {
        if (section == target_) return;
        saveTarget();
        target_ = section;
        const SectionEnd end = ends_[section];
        lastGroup_ = end.lastGroup;
        lastTail_ = end.lastTail;
    }

    ProcNode* appendGroup(std::unique_ptr<ProcNode> chain) {
        auto group = ProcNode::MakeGroup(std::move(chain));
        lastGroup_ = lastGroup_ ? lastGroup_->SetNext(std::move(group)) : target_->SetBody(std::move(group));
        lastTail_ = lastGroup_->body ? lastGroup_->body->Last() : nullptr;
        return lastGroup_;
    }

    void placeLine(std::unique_ptr<ProcNode> chain) {
        const ProcOp head = chain->op;
        if (IsDeclarationOp(head)) {
            // A declaration goes into the section of its kind, wherever it is written; before
            // any such section it stays where it stands (and a FIXES section does not build it).
            ProcNode* home = homes_[static_cast<size_t>(homeSlot(head))];
            switchTarget(home ? home : section_);
            ProcNode* group = appendGroup(std::move(chain));
            if (head == ProcOp::DeclSid) sidGroups_.push_back(group);
            if (head == ProcOp::DeclApproach) approachGroups_.push_back(group);
            return;
        }
        if (head == ProcOp::DefFix) {  // a local fix definition counts in any section
            appendGroup(std::move(chain));
            return;
        }
        // Lines take the form of the section they land in, which a declaration may have changed.
        switch (target_->op) {
        case ProcOp::DeclRnws:
            for (ProcNode* n = chain.get(); n; n = n->next.get())
                if (n->IsOp(ProcOp::LoadRnw)) n->op = ProcOp::DefRnw;
            appendGroup(std::move(chain));
            return;
        case ProcOp::DeclSids:
            if (head == ProcOp::LoadRnw) {
                splitRunwayLine(std::move(chain));
                return;
            }
            appendGroup(std::move(chain));
            return;
        case ProcOp::DeclStars:
            if (head == ProcOp::DefTrans) {
                appendGroup(std::move(chain));
                return;
            }
            appendGroup(wrap(ProcOp::DefCommonProc, std::move(chain)));
            return;
        case ProcOp::DeclApproaches:
            if (IsPartOp(head) || !lastGroup_) {
                appendGroup(std::move(chain));
                return;
            }
            continuePart(std::move(chain));
            return;
        default:
            appendGroup(std::move(chain));
            return;
        }
    }

    static std::unique_ptr<ProcNode> wrap(ProcOp part, std::unique_ptr<ProcNode> chain) {
        auto wrapper = ProcNode::MakeOp(part);
        wrapper->SetNext(std::move(chain));
        return wrapper;
    }

    // "RNW a RNW b legs...": one runway part per runway; the last one owns the legs, the
    // others go on into them.
    void splitRunwayLine(std::unique_ptr<ProcNode> chain) {
        std::vector<std::unique_ptr<ProcNode>> runways;
        while (chain && chain->IsOp(ProcOp::LoadRnw)) {
            std::unique_ptr<ProcNode> rest = std::move(chain->next);
            runways.push_back(std::move(chain));
            chain = std::move(rest);
        }
        ProcNode* legs = chain.get();
        for (size_t i = 0; i < runways.size(); ++i) {
            if (i + 1 < runways.size()) runways[i]->sharedNext = legs;
            else if (chain) runways[i]->SetNext(std::move(chain));
            appendGroup(wrap(ProcOp::DefSubProc, std::move(runways[i])));
        }
    }

    // Approach legs may continue over several lines: append to the current part's chain.
    void continuePart(std::unique_ptr<ProcNode> chain) {
        ProcNode* head = lastGroup_->body.get();
        ProcNode* tail = lastTail_;  // kept, so that long approaches do not rescan their chain
        if (tail == head && IsDeclarationOp(head->op))  // declaration line without legs
            tail = tail->SetNext(ProcNode::MakeOp(head->op == ProcOp::DeclApproach ? ProcOp::DefSubProc : ProcOp::DefCommonProc));
        lastTail_ = tail->SetNext(std::move(chain))->Last();
    }

    // The common part's legs follow every runway part (shared, not copied), its first leg
    // skipped when the runway part already ends at that fix.
    static void joinCommonPart(ProcNode& sidGroup) {
        const ProcNode* common = sidGroup.body->next.get();
        if (!common || !common->IsOp(ProcOp::DefCommonProc) || !common->next) return;
        ProcNode* firstLeg = common->next.get();
        for (ProcNode* g = sidGroup.next.get(); g; g = g->next.get()) {
            ProcNode* part = g->body.get();
            if (IsDeclarationOp(part->op)) break;
            if (!part->IsOp(ProcOp::DefSubProc)) continue;
            ProcNode* last = part->Last();
            // The runways of one line share their legs: the end of those legs is their end. Only
            // the part's own runway goes on that way; a runway leg ending the legs may already
            // go on into the common part, and following it would link that part to itself.
            if (last == part->next.get() && last->sharedNext) last = last->sharedNext->Last();
            if (last->sharedNext) continue;  // joined already through another runway of its line
            ProcNode* from = firstLeg;
            if (IsFixLegOp(last->op) && IsFixLegOp(from->op) && FixOpName(*last) == FixOpName(*from)) from = from->next.get();
            last->sharedNext = from;
        }
    }

    // The legs after an approach's runway are the missed approach, which is not kept.
    static void cutAfterRunway(ProcNode& approachGroup) {
        ProcNode* lastRunway = nullptr;
        for (ProcNode* n = approachGroup.body.get(); n; n = n->next.get())
            if (n->IsOp(ProcOp::LoadRnw)) lastRunway = n;
        if (lastRunway) lastRunway->next.reset();
    }

    struct SectionEnd {
        ProcNode* lastGroup = nullptr;
        ProcNode* lastTail = nullptr;
    };

    std::unique_ptr<ProcNode> root_;
    ProcNode* section_ = nullptr;  // the last section line seen
    ProcNode* target_ = nullptr;   // the section lines are appended to
    ProcNode* lastGroup_ = nullptr;
    ProcNode* lastTail_ = nullptr;  // last node of lastGroup_'s chain
    std::array<ProcNode*, 3> homes_{};  // the latest SIDS, STARS and APPROACHES sections
    std::unordered_map<ProcNode*, SectionEnd> ends_;
    std::vector<ProcNode*> sidGroups_;
    std::vector<ProcNode*> approachGroups_;
};

}  // namespace

const std::string& FixOpName(const ProcNode& op) {
    if (op.kind != ProcNodeKind::Op || !op.body) return kNoName;
    const ProcNode* name = op.body->kind == ProcNodeKind::Group ? op.body->body.get() : op.body.get();
    return name && name->kind == ProcNodeKind::Text ? name->text : kNoName;
}

std::unique_ptr<ProcNode> AssembleProgram(const std::vector<std::string>& lines) {
    Assembler assembler;
    TokenLine tokens;
    for (const std::string& line : lines) {
        TokenizeLineInto(line, tokens);
        assembler.addLine(ParseStatement(tokens));
    }
    return assembler.finish();
}

}  // namespace halvex
