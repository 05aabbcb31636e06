// halvex-fms procedures: an airport's procedure file run against the navigation database.
#include <iostream>
#include <memory>
#include <string>

#include "Commands.h"
#include "navdb/NavDatabase.h"
#include "procedures/LoadProcedures.h"
#include "procedures/ProcedureLexer.h"
#include "procedures/ProcedureListing.h"
#include "procedures/ProgramAssembler.h"

namespace halvex::cli {

namespace {

struct ProceduresOptions {
    std::string root = DefaultRoot();
    std::string icao;
    bool program = false;
    bool listing = false;
};

int runProcedures(const ProceduresOptions& o) {
    if (!EnterRoot(o.root)) return 1;
    NavDatabase database;
    database.Load();
    ProcedureBlock block;
    const int32_t result = LoadProcedures(database, block, o.icao);

    if (o.program) {
        if (const auto lines = ReadProcedureFile(o.icao)) {
            const std::unique_ptr<ProcNode> program = AssembleProgram(*lines);
            std::cout << ProgramTree(program.get());
        }
    }
    if (o.listing) {
        std::cout << ProcedureListing(result, block, database);
    } else if (result == 0) {
        std::cout << ProcedureReport(block, database);
    }
    if (result != 0) {
        std::cerr << "halvex-fms procedures: cannot load " << ProcedureFilePath(o.icao)
                  << " (missing, fewer than two lines, or not loadable)\n";
        return 1;
    }
    return 0;
}

}  // namespace

void AddProceduresCommand(CLI::App& app) {
    auto options = std::make_shared<ProceduresOptions>();
    CLI::App* cmd = app.add_subcommand("procedures", "Load an airport's procedure file and print its procedures and legs");
    cmd->add_option("--root", options->root, "Simulator folder holding FMCWP/ and PMDG/ (default: the bundled tree)");
    cmd->add_option("ICAO", options->icao, "Airport ident; the file is PMDG/SIDSTARS/<ICAO>.txt")->required();
    cmd->add_flag("--program", options->program, "Also print the assembled op program as a tree");
    cmd->add_flag("--listing", options->listing, "Print the fixed machine-comparable listing instead");
    cmd->callback([options] {
        const int rc = runProcedures(*options);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace halvex::cli
