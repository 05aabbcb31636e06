// halvex-fms server: the substitute simulator on its own, serving both data-server protocols
// from the flight model until SIGINT or SIGTERM. It flies by the performance table of its
// simulator folder (--root, by default the bundled tree), as fly does.
#include <csignal>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>

#include "Airframe.h"
#include "Commands.h"
#include "ServerOptions.h"
#include "sim/DataServer.h"

namespace halvex::cli {

namespace {

int runServer(const ServerOptions& o, const std::string& root) {
    if (!EnterRoot(root)) return 1;
    std::string error;
    std::optional<sim::DataServerOptions> options = ToDataServerOptions(o, error);
    if (!options) {
        std::cerr << "halvex-fms server: " << error << "\n";
        return 2;
    }

    // The signals wait for the main thread only: block them before any thread starts.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    const Airframe airframe;
    airframe.Fit(options->model);
    sim::DataServer server(*options);
    if (!server.Start(&error)) {
        std::cerr << "halvex-fms server: " << error << "\n";
        return 1;
    }
    if (!o.quiet) std::cout << "halvex-fms server: serving UIPCMAIN and FDSConnection; Ctrl-C stops" << std::endl;
    const timespec second{1, 0};
    for (;;) {
        const int signal = sigtimedwait(&stopSignals, nullptr, &second);  // sleeps until a signal or a second
        if (signal == SIGINT || signal == SIGTERM) break;
        if (!o.quiet) std::cout << StatusLine(server.Snapshot(), server.Autopilot()) << std::endl;
    }
    server.Stop();
    if (!o.quiet) std::cout << "halvex-fms server: stopped after " << server.Exchanges() << " exchanges" << std::endl;
    return 0;
}

}  // namespace

void AddServerCommand(CLI::App& app) {
    auto o = std::make_shared<ServerOptions>();
    auto root = std::make_shared<std::string>(DefaultRoot());
    CLI::App* cmd = app.add_subcommand("server", "Run the substitute simulator (data server and flight model)");
    AddServerOptions(*cmd, *o);
    cmd->add_option("--root", *root, "Simulator folder whose performance table the airframe flies by (default: the bundled tree)");
    cmd->callback([o, root] {
        const int rc = runServer(*o, *root);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace halvex::cli
