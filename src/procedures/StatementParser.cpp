#include "procedures/StatementParser.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace halvex {

namespace {

using K = ProcKeyword;

// Reading position in one token line. Every access is bounds-checked: past the end there is
// no token.
class Cursor {
public:
    explicit Cursor(const TokenLine& tokens) : tokens_(tokens) {}
    size_t size() const { return tokens_.size(); }
    const ProcToken* at(size_t i) const { return i < tokens_.size() ? &tokens_[i] : nullptr; }
    bool isKeyword(size_t i, K k) const { return i < tokens_.size() && tokens_[i].Is(k); }
    bool isWord(size_t i) const { return i < tokens_.size() && tokens_[i].isWord; }
    const std::string& word(size_t i) const { return tokens_[i].text; }
    float number(size_t i) const { return static_cast<float>(std::atof(tokens_[i].text.c_str())); }

private:
    const TokenLine& tokens_;
};

// The line's statements in order; a declaration followed by more statements gets its wrapper
// part inserted in front of them.
class Chain {
public:
    void append(std::unique_ptr<ProcNode> node) {
        if (!node) return;
        if (pendingWrapper_ != ProcOp::Nop) {
            const ProcOp wrapper = pendingWrapper_;
            pendingWrapper_ = ProcOp::Nop;
            append(ProcNode::MakeOp(wrapper));
        }
        const bool isDeclaration = node->kind == ProcNodeKind::Op && IsDeclarationOp(node->op);
        const ProcOp op = node->op;
        if (tail_) {
            tail_ = tail_->SetNext(std::move(node));
        } else {
            head_ = std::move(node);
            tail_ = head_.get();
        }
        if (isDeclaration) pendingWrapper_ = op == ProcOp::DeclApproach ? ProcOp::DefSubProc : ProcOp::DefCommonProc;
    }
    std::unique_ptr<ProcNode> take() { return std::move(head_); }

private:
    std::unique_ptr<ProcNode> head_;
    ProcNode* tail_ = nullptr;
    ProcOp pendingWrapper_ = ProcOp::Nop;
};

// A handler gets the position of its keyword and returns the position after what it consumed.
using Handler = size_t (*)(const Cursor&, size_t, Chain&);

// A statement that parsed, with the position after it.
struct Parsed {
    std::unique_ptr<ProcNode> node;
    size_t after;
};

// Altitude suffix after a fix name at position i; null suffix when there is none or it is cut
// short (then `after` is where dispatching resumes).
Parsed parseAltitudeSuffix(const Cursor& c, size_t i) {
    if (c.isWord(i)) return {ProcNode::MakeOp(ProcOp::SuffixAt, ProcNode::MakeNumber(c.number(i))), i + 1};
    if (!c.isKeyword(i, K::At)) return {nullptr, i};
    if (c.isWord(i + 1)) return {ProcNode::MakeOp(ProcOp::SuffixAt, ProcNode::MakeNumber(c.number(i + 1))), i + 2};
    if (!c.isKeyword(i + 1, K::Or)) return {nullptr, i + 1};
    if (!c.at(i + 2)) return {nullptr, i + 2};
    const ProcOp op = c.isKeyword(i + 2, K::Below) ? ProcOp::SuffixAtOrBelow : ProcOp::SuffixAtOrAbove;
    if (!c.isWord(i + 3)) return {nullptr, i + 3};
    return {ProcNode::MakeOp(op, ProcNode::MakeNumber(c.number(i + 3))), i + 4};
}

// COLOCATED ref bearing distance at position i (the COLOCATED keyword).
Parsed parseColocated(const Cursor& c, size_t i) {
    for (size_t k = 1; k <= 3; ++k)
        if (!c.isWord(i + k)) return {nullptr, i + k};
    auto pair = ProcNode::MakeGroup(ProcNode::MakeNumber(c.number(i + 2)));
    pair->body->SetNext(ProcNode::MakeNumber(c.number(i + 3)));
    auto ref = ProcNode::MakeText(c.word(i + 1));
    ref->SetNext(std::move(pair));
    return {ProcNode::MakeOp(ProcOp::SuffixColocated, std::move(ref)), i + 4};
}

// LATLON h1 d1 m1 h2 d2 m2 at position i (the LATLON keyword). Hemispheres may be any token.
Parsed parseLatLon(const Cursor& c, size_t i) {
    const size_t degreeSlots[] = {i + 2, i + 3, i + 5, i + 6};
    if (!c.at(i + 1) || !c.at(i + 4)) return {nullptr, c.size()};
    for (size_t s : degreeSlots)
        if (!c.isWord(s)) return {nullptr, s};
    constexpr float kMinutesToDegrees = 0.016666668f;
    const float latSign = c.isKeyword(i + 1, K::N) ? 1.0f : -1.0f;
    const float lonSign = c.isKeyword(i + 4, K::E) ? 1.0f : -1.0f;
    const float latDeg = (c.number(i + 2) + c.number(i + 3) * kMinutesToDegrees) * latSign;
    const float lonDeg = (c.number(i + 5) + c.number(i + 6) * kMinutesToDegrees) * lonSign;
    auto suffix = ProcNode::MakeOp(ProcOp::SuffixLatlon, ProcNode::MakeNumber(latDeg));
    suffix->SetNext(ProcNode::MakeNumber(lonDeg));
    return {std::move(suffix), i + 7};
}

// FIX or NAVAID statement at position i (the FIX or NAVAID keyword).
Parsed parseFixStatement(const Cursor& c, size_t i) {
    const ProcOp legOp = c.isKeyword(i, K::Fix) ? ProcOp::LoadFix : ProcOp::LoadNavaid;
    size_t nameAt = i + 1;
    if (c.isKeyword(nameAt, K::Overfly)) ++nameAt;
    if (!c.isWord(nameAt)) return {nullptr, c.at(nameAt) ? nameAt : c.size()};  // keyword where a name belongs
    auto name = ProcNode::MakeText(c.word(nameAt));
    const size_t after = nameAt + 1;

    if (c.isKeyword(after, K::Colocated) || c.isKeyword(after, K::Latlon)) {
        Parsed position = c.isKeyword(after, K::Colocated) ? parseColocated(c, after) : parseLatLon(c, after);
        if (!position.node) return {nullptr, position.after};  // a local fix without its numbers is no fix
        name->SetNext(std::move(position.node));
        return {ProcNode::MakeOp(ProcOp::DefFix, ProcNode::MakeGroup(std::move(name))), position.after};
    }
    Parsed suffix = parseAltitudeSuffix(c, after);
    if (!suffix.node) return {ProcNode::MakeOp(legOp, std::move(name)), suffix.after};
    name->SetNext(std::move(suffix.node));
    return {ProcNode::MakeOp(legOp, ProcNode::MakeGroup(std::move(name))), suffix.after};
}

// UNTIL or INTERCEPT clause at position i; null when there is none or it is cut short.
Parsed parseClause(const Cursor& c, size_t i) {
    size_t radialAt = 0;
    if (c.isKeyword(i, K::Until)) {
        if (c.isWord(i + 1)) {
            auto until = ProcNode::MakeOp(ProcOp::SuffixUntil, ProcNode::MakeNumber(c.number(i + 1)));
            const bool fromTo = c.isKeyword(i + 2, K::From) || c.isKeyword(i + 2, K::To);
            return {std::move(until), fromTo ? std::min(i + 4, c.size()) : i + 2};
        }
        if (!c.isKeyword(i + 1, K::Radial)) return {nullptr, i + 1};
        radialAt = i + 2;
    } else if (c.isKeyword(i, K::Intercept)) {
        if (!c.at(i + 1)) return {nullptr, c.size()};
        radialAt = i + 2;
    } else {
        return {nullptr, i};
    }
    if (!c.isWord(radialAt)) return {nullptr, radialAt};
    const size_t directionAt = radialAt + 1;
    if (!c.at(directionAt)) return {nullptr, c.size()};
    const ProcOp op = c.isKeyword(directionAt, K::From) ? ProcOp::IntcRadialFrom : ProcOp::IntcRadialTo;
    const size_t fixAt = directionAt + 1;
    if (!c.isKeyword(fixAt, K::Fix) && !c.isKeyword(fixAt, K::Navaid)) return {nullptr, fixAt};
    Parsed fix = parseFixStatement(c, fixAt);
    if (!fix.node || !IsFixLegOp(fix.node->op)) return {nullptr, fix.after};  // no fix to intercept at
    auto radial = ProcNode::MakeNumber(c.number(radialAt));
    radial->SetNext(std::move(fix.node));
    return {ProcNode::MakeOp(op, std::move(radial)), fix.after};
}

// ---- handlers, by keyword ----

size_t sectionHandler(const Cursor& c, size_t i, Chain& chain) {
    chain.append(ProcNode::MakeOp(static_cast<ProcOp>(static_cast<int32_t>(c.at(i)->keyword) + 1)));
    return i + 1;
}

size_t newlineHandler(const Cursor&, size_t i, Chain& chain) {
    chain.append(ProcNode::MakeOp(ProcOp::Newline));
    return i + 1;
}

// SID, STAR, APPROACH, TRANSITION and RNW: the keyword and one name.
size_t namedHandler(const Cursor& c, size_t i, Chain& chain) {
    if (!c.isWord(i + 1)) return i + 1;  // no name: the next keyword is a statement of its own
    ProcOp op = ProcOp::Nop;
    switch (c.at(i)->keyword) {
    case K::Sid: op = ProcOp::DeclSid; break;
    case K::Star: op = ProcOp::DeclStar; break;
    case K::Approach: op = ProcOp::DeclApproach; break;
    case K::Transition: op = ProcOp::DefTrans; break;
    default: op = ProcOp::LoadRnw; break;
    }
    chain.append(ProcNode::MakeOp(op, ProcNode::MakeText(c.word(i + 1))));
    return i + 2;
}

size_t holdHandler(const Cursor& c, size_t, Chain& chain) {
    chain.append(ProcNode::MakeOp(ProcOp::Hold));
    return c.size();  // what follows HOLD on its line describes the hold and makes nothing
}

size_t fixHandler(const Cursor& c, size_t i, Chain& chain) {
    Parsed fix = parseFixStatement(c, i);
    chain.append(std::move(fix.node));
    return fix.after;
}

size_t courseHandler(const Cursor& c, size_t i, Chain& chain) {
    if (!c.isWord(i + 1)) return i + 1;
    auto course = ProcNode::MakeNumber(c.number(i + 1));
    Parsed clause = parseClause(c, i + 2);
    course->SetNext(std::move(clause.node));
    chain.append(ProcNode::MakeOp(ProcOp::Trk, std::move(course)));
    return clause.after;
}

size_t keepHandler(const Cursor& c, size_t i, Chain& chain) {
    size_t k = i + 2;  // KEEP's operand
    if (c.isKeyword(k, K::Vectors)) ++k;
    k = std::min(k, c.size());
    Parsed clause = parseClause(c, k);
    chain.append(ProcNode::MakeOp(ProcOp::KeepTrk, std::move(clause.node)));
    return clause.after;
}

constexpr std::array<Handler, kKeywordEnd> makeDispatchTable() {
    std::array<Handler, kKeywordEnd> table{};
    auto slot = [&table](K k) -> Handler& { return table[static_cast<size_t>(k)]; };
    for (K k : {K::Fixes, K::Rnws, K::Sids, K::Stars, K::Approaches}) slot(k) = sectionHandler;
    slot(K::Newline) = newlineHandler;
    for (K k : {K::Sid, K::Star, K::Approach, K::Transition, K::Rnw}) slot(k) = namedHandler;
    slot(K::Hold) = holdHandler;
    slot(K::Fix) = fixHandler;
    slot(K::Navaid) = fixHandler;
    slot(K::Hdg) = courseHandler;
    slot(K::Trk) = courseHandler;
    slot(K::Keep) = keepHandler;
    return table;
}

constexpr std::array<Handler, kKeywordEnd> kDispatch = makeDispatchTable();

}  // namespace

std::unique_ptr<ProcNode> ParseStatement(const TokenLine& tokens) {
    const Cursor c(tokens);
    Chain chain;
    size_t i = 0;
    while (i < c.size()) {
        const ProcToken& token = tokens[i];
        const auto code = static_cast<int32_t>(token.keyword);
        const bool dispatchable = !token.isWord && code >= 0 && code < kKeywordEnd;
        const Handler handler = dispatchable ? kDispatch[static_cast<size_t>(code)] : nullptr;
        // Every handler consumes at least its keyword; the max() guards the loop regardless.
        i = handler ? std::max(handler(c, i, chain), i + 1) : i + 1;
    }
    return chain.take();
}

}  // namespace halvex
