// Reading a procedure file and cutting its lines into tokens.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "procedures/ProcKeyword.h"

namespace halvex {

// One token: a keyword (isWord false, keyword set) or a free word (isWord true, text set).
struct ProcToken {
    ProcKeyword keyword = ProcKeyword::End;
    std::string text;
    bool isWord = true;

    bool Is(ProcKeyword k) const { return !isWord && keyword == k; }
};

using TokenLine = std::vector<ProcToken>;

// Lines are read as with a 1000-byte line buffer: a line of this many characters or more ends
// the reading.
inline constexpr size_t kMaxProcedureLineLength = 999;

// Where an airport's procedure file lies, relative to the simulator folder.
std::string ProcedureFilePath(std::string_view airportIdent);

// Splits file bytes into lines: a line feed ends a line, a carriage return right before it (or
// at the end of the text) is not part of the line, trailing blanks are removed, empty lines are
// kept, an over-long line ends the reading.
std::vector<std::string> SplitProcedureLines(std::string_view bytes);

// The file's lines, or nothing when the file does not open or holds fewer than two lines.
std::optional<std::vector<std::string>> ReadProcedureFile(std::string_view airportIdent);

// Splits at blanks and tabs; a piece starting with "//" ends the line.
TokenLine TokenizeLine(std::string_view line);
// The same into a reused token line (its buffers are kept: no allocation per line).
void TokenizeLineInto(std::string_view line, TokenLine& tokens);

}  // namespace halvex
