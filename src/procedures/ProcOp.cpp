#include "procedures/ProcOp.h"

#include <array>

namespace halvex {

namespace {

constexpr std::array<std::string_view, kOpCount + 1> kOpNames = {
    "OP_BEGIN", "OP_NOP", "OP_NEWLINE",
    "OP_DECL_FIXES", "OP_DECL_RNWS", "OP_DECL_SIDS", "OP_DECL_STARS", "OP_DECL_APPROACHES",
    "OP_END_FIXES", "OP_END_RNWS", "OP_END_SIDS", "OP_END_STARS", "OP_END_APPROACHES",
    "OP_DECL_SID", "OP_DECL_STAR", "OP_DECL_APPROACH",
    "OP_DEF_TRANS", "OP_DEF_COMMON_PROC", "OP_DEF_SUB_PROC", "OP_DEF_FIX", "OP_DEF_RNW",
    "OP_LOAD_RNW", "OP_LOAD_FIX", "OP_LOAD_NAVAID", "OP_KEEP_TRK", "OP_TRK", "OP_HOLD",
    "OP_INTC_RADIAL_TO", "OP_INTC_RADIAL_FROM",
    "SUFFIX_AT", "SUFFIX_AT_OR_BELOW", "SUFFIX_AT_OR_ABOVE", "SUFFIX_COLOCATED", "SUFFIX_LATLON",
    "SUFFIX_UNTIL", "SUFFIX_UNTIL_RADIAL", "OP_END",
};

}  // namespace

std::string_view OpName(ProcOp op) {
    const auto i = static_cast<int32_t>(op);
    if (i < 0 || i > kOpCount) return {};
    return kOpNames[static_cast<size_t>(i)];
}

}  // namespace halvex
