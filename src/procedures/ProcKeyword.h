// The keywords of the procedure file language and their fixed codes.
#pragma once

#include <cstdint>
#include <string_view>

namespace halvex {

// Codes are part of the file language's definition: 0 and 45 are bounds, never keywords.
enum class ProcKeyword : int32_t {
    Begin = 0,
    Newline = 1,
    Fixes, Rnws, Sids, Stars, Approaches,
    EndFixes, EndRnws, EndSids, EndStars, EndApproaches,
    Sid, Star, Approach, Transition,
    Rnw, Fix, Navaid,
    At, Or, Above, Below, Overfly, Speed, Keep, Vectors, Hdg, Trk,
    Until, From, To, Intercept, Radial, Hold, Left, Right, Alt, Legtime,
    Colocated, Latlon, N, S, E, W,
    End = 45,
};

inline constexpr int32_t kKeywordEnd = static_cast<int32_t>(ProcKeyword::End);

// Exact, case-sensitive match against keywords 1 to 44; End (45) when the word is none of them.
ProcKeyword KeywordCode(std::string_view word);

// The keyword's text ("KEYWORD_BEGIN" and "KEYWORD_END" for the bounds, "" outside 0..45).
std::string_view KeywordText(ProcKeyword code);

}  // namespace halvex

namespace halvex {
static_assert(static_cast<int32_t>(ProcKeyword::Sid) == 12 && static_cast<int32_t>(ProcKeyword::Rnw) == 16);
static_assert(static_cast<int32_t>(ProcKeyword::Until) == 29 && static_cast<int32_t>(ProcKeyword::Hold) == 34);
static_assert(static_cast<int32_t>(ProcKeyword::Colocated) == 39 && static_cast<int32_t>(ProcKeyword::W) == 44);
}  // namespace halvex
