// halvex-fms: the command-line entry point of the FMS on Linux.
#include <CLI/CLI.hpp>

#include "Commands.h"

int main(int argc, char** argv) {
    CLI::App app{"Halvex FMS Zolan: flight management system tools"};
    app.require_subcommand(1);
    halvex::cli::AddCduCommand(app);
    halvex::cli::AddEhsiCommand(app);
    halvex::cli::AddNavdataCommand(app);
    halvex::cli::AddProceduresCommand(app);
    halvex::cli::AddPlanCommand(app);
    halvex::cli::AddRouteCommand(app);
    halvex::cli::AddServerCommand(app);
    halvex::cli::AddSimvarsCommand(app);
    halvex::cli::AddFlyCommand(app);
    CLI11_PARSE(app, argc, argv);
    return 0;
}
