// Operation codes of the procedure op program, with their fixed names.
#pragma once

#include <cstdint>
#include <string_view>

namespace halvex {

enum class ProcOp : int32_t {
    Begin = 0,
    Nop = 1,
    Newline = 2,
    DeclFixes = 3,
    DeclRnws = 4,
    DeclSids = 5,
    DeclStars = 6,
    DeclApproaches = 7,
    EndFixes = 8,
    EndRnws = 9,
    EndSids = 10,
    EndStars = 11,
    EndApproaches = 12,
    DeclSid = 13,
    DeclStar = 14,
    DeclApproach = 15,
    DefTrans = 16,
    DefCommonProc = 17,
    DefSubProc = 18,
    DefFix = 19,
    DefRnw = 20,
    LoadRnw = 21,
    LoadFix = 22,
    LoadNavaid = 23,
    KeepTrk = 24,
    Trk = 25,
    Hold = 26,
    IntcRadialTo = 27,
    IntcRadialFrom = 28,
    SuffixAt = 29,
    SuffixAtOrBelow = 30,
    SuffixAtOrAbove = 31,
    SuffixColocated = 32,
    SuffixLatlon = 33,
    SuffixUntil = 34,
    SuffixUntilRadial = 35,
    End = 36,
};

inline constexpr int32_t kOpCount = static_cast<int32_t>(ProcOp::End);

// "OP_LOAD_FIX" and the like; "OP_END" for the bound, "" outside 0..36.
std::string_view OpName(ProcOp op);

inline bool IsSectionOp(ProcOp op) { return op >= ProcOp::DeclFixes && op <= ProcOp::DeclApproaches; }
inline bool IsDeclarationOp(ProcOp op) { return op >= ProcOp::DeclSid && op <= ProcOp::DeclApproach; }
inline bool IsPartOp(ProcOp op) { return op >= ProcOp::DefTrans && op <= ProcOp::DefRnw; }
inline bool IsFixLegOp(ProcOp op) { return op == ProcOp::LoadFix || op == ProcOp::LoadNavaid; }

}  // namespace halvex
