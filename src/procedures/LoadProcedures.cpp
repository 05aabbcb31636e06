#include "procedures/LoadProcedures.h"

#include <exception>
#include <string>
#include <vector>

#include "procedures/ProcedureInterpreter.h"
#include "procedures/ProcedureLexer.h"
#include "procedures/ProgramAssembler.h"

namespace halvex {

namespace {

// An ident is joined into a path: separators or NUL would reach outside the procedure folder.
bool safeIdent(std::string_view ident) { return ident.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos; }

int32_t loadLines(const NavDatabase& database, ProcedureBlock& block, std::string_view airportIdent,
                  const std::vector<std::string>& lines) {
    try {
        block.airportIdent = std::string(airportIdent.substr(0, 4));
        const std::unique_ptr<ProcNode> program = AssembleProgram(lines);
        RunProgram(block, database, program.get());  // -1 for an empty ident leaves the block empty
        return 0;
    } catch (const std::exception&) {
        block = ProcedureBlock{};
        return -1;
    }
}

}  // namespace

int32_t LoadProcedures(const NavDatabase& database, ProcedureBlock& block, std::string_view airportIdent) {
    block = ProcedureBlock{};
    if (!safeIdent(airportIdent)) return -1;
    std::optional<std::vector<std::string>> lines;
    try {
        lines = ReadProcedureFile(airportIdent);
    } catch (const std::exception&) {
        return -1;
    }
    if (!lines) return -1;
    return loadLines(database, block, airportIdent, *lines);
}

int32_t LoadProceduresFromText(const NavDatabase& database, ProcedureBlock& block, std::string_view airportIdent,
                               std::string_view fileBytes) {
    block = ProcedureBlock{};
    const std::vector<std::string> lines = SplitProcedureLines(fileBytes);
    if (lines.size() < 2) return -1;
    return loadLines(database, block, airportIdent, lines);
}

}  // namespace halvex
