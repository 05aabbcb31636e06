// The sub-commands of halvex-fms; each file adds one to the application.
#pragma once

#include <CLI/CLI.hpp>

namespace halvex::cli {

void AddCduCommand(CLI::App& app);
void AddEhsiCommand(CLI::App& app);
void AddNavdataCommand(CLI::App& app);
void AddProceduresCommand(CLI::App& app);
void AddPlanCommand(CLI::App& app);
void AddRouteCommand(CLI::App& app);
void AddServerCommand(CLI::App& app);
void AddSimvarsCommand(CLI::App& app);
void AddFlyCommand(CLI::App& app);

// Makes root the working directory, as the simulator's is for the module. False with a message
// on standard error when it cannot.
bool EnterRoot(const std::string& root);
// The bundled simulator tree, found beside the executable's source tree.
std::string DefaultRoot();

}  // namespace halvex::cli
