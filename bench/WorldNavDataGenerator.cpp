// Writes the benchmark's world-sized data set into DIR/FMCWP/NavData/, so that
// `halvex-fms navdata --root DIR stats` can be timed and measured as a whole process.
#include <cstdio>

#include "WorldNavData.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    halvex::bench::WriteWorldNavData(std::filesystem::path(argv[1]) / "FMCWP/NavData");
    return 0;
}
