// windows_exchange_timing [N]: starts halvex-server.exe and prints the median of N single 4-byte
// exchanges and of N full updates (every value the FMS reads per frame), with real window
// messages and file mappings between the two processes.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ServerProcess.h"
#include "simlink/SimVariables.h"

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    halvex::test::ServerProcess server;
    if (!server.Start("--quiet")) {
        std::fprintf(stderr, "windows_exchange_timing: halvex-server.exe did not start\n");
        return 1;
    }
    halvex::IpcSimVariables sim;
    if (!sim.IsConnected()) {
        std::fprintf(stderr, "windows_exchange_timing: no connection (code %u)\n", sim.LastResult());
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    std::vector<double> exchangeUs, updateMs;
    for (int i = 0; i < n; ++i) {
        const auto t0 = Clock::now();
        sim.Nav1LateralNeedle();  // one 4-byte read, one exchange
        exchangeUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    for (int i = 0; i < n; ++i) {
        const auto t0 = Clock::now();
        const int rc = sim.Update();
        updateMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (rc != 0) {
            std::fprintf(stderr, "windows_exchange_timing: update failed with code %u\n", sim.LastResult());
            return 1;
        }
    }
    std::printf("exchange_us_median: %.1f\nupdate_ms_median: %.3f\nsamples: %d\n", median(exchangeUs), median(updateMs), n);
    return 0;
}
