// halvex-server.exe: the substitute simulator as a Windows program. Its "UIPCMAIN" window answers
// "FsasmLib:IPC" and its "FDSConnection" window (titled "FDSWideConnectionClient") answers
// "FDSConnection:Call", both over the clients' named file mappings, from the same flight model as
// `halvex-fms server`. Ctrl-C, Ctrl-Break or closing the console stops it.
#include <windows.h>

#include <iostream>

#include <CLI/CLI.hpp>

#include "ServerOptions.h"
#include "sim/DataServer.h"

namespace {

HANDLE stopEvent = nullptr;

BOOL WINAPI onConsoleEvent(DWORD) {
    ::SetEvent(stopEvent);
    return TRUE;
}

int serve(const halvex::cli::ServerOptions& o) {
    std::string error;
    auto options = halvex::cli::ToDataServerOptions(o, error);
    if (!options) {
        std::cerr << "halvex-server: " << error << "\n";
        return 2;
    }
    stopEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(&onConsoleEvent, TRUE);

    halvex::sim::DataServer server(*options);
    if (!server.Start(&error)) {
        std::cerr << "halvex-server: " << error << "\n";
        return 1;
    }
    if (!o.quiet) std::cout << "halvex-server: serving UIPCMAIN and FDSConnection; Ctrl-C stops" << std::endl;
    while (::WaitForSingleObject(stopEvent, 1000) == WAIT_TIMEOUT)  // sleeps until stopped or a second
        if (!o.quiet) std::cout << halvex::cli::StatusLine(server.Snapshot(), server.Autopilot()) << std::endl;
    server.Stop();
    if (!o.quiet) std::cout << "halvex-server: stopped after " << server.Exchanges() << " exchanges" << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"halvex-server: the substitute simulator (data server and flight model)"};
    halvex::cli::ServerOptions options;
    halvex::cli::AddServerOptions(app, options);
    CLI11_PARSE(app, argc, argv);
    return serve(options);
}
