// Replay driver for fuzz targets in ordinary builds: runs every seed file named on the command
// line (files or folders), then a fixed number of deterministic mutations of them (byte flips,
// insertions, truncations, splices), so the suite exercises each reader on hostile input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void run(const Bytes& b) { LLVMFuzzerTestOneInput(b.data(), b.size()); }

Bytes mutate(const Bytes& seed, const Bytes& other, std::mt19937& rng) {
    Bytes b = seed;
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        const size_t pos = b.empty() ? 0 : rng() % b.size();
        switch (rng() % 6) {
        case 0: if (!b.empty()) b[pos] = static_cast<uint8_t>(rng()); break;
        case 1: b.insert(b.begin() + static_cast<long>(pos), static_cast<uint8_t>(rng())); break;
        case 2: if (!b.empty()) b.erase(b.begin() + static_cast<long>(pos)); break;
        case 3: b.resize(pos); break;
        case 4: {  // splice a piece of another seed
            if (other.empty()) break;
            const size_t from = rng() % other.size();
            const size_t len = std::min<size_t>(other.size() - from, 1 + rng() % 64);
            b.insert(b.begin() + static_cast<long>(pos), other.begin() + static_cast<long>(from),
                     other.begin() + static_cast<long>(from + len));
            break;
        }
        case 5: {  // repeat a chunk: long lines and deep nesting
            if (b.empty()) break;
            const size_t len = std::min<size_t>(b.size() - pos, 1 + rng() % 16);
            const Bytes chunk(b.begin() + static_cast<long>(pos), b.begin() + static_cast<long>(pos + len));
            for (int r = 0; r < 50; ++r) b.insert(b.end(), chunk.begin(), chunk.end());
            break;
        }
        }
    }
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path p = argv[i];
        if (std::filesystem::is_directory(p)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(p))
                if (entry.is_regular_file()) seeds.push_back(readFile(entry.path()));
        } else if (std::filesystem::is_regular_file(p)) {
            seeds.push_back(readFile(p));
        }
    }
    seeds.push_back({});
    const char* env = std::getenv("HALVEX_FUZZ_RUNS");
    const int runs = env ? std::atoi(env) : 2000;
    for (const Bytes& s : seeds) run(s);
    std::mt19937 rng(12345);
    for (int i = 0; i < runs; ++i) {
        const Bytes& seed = seeds[rng() % seeds.size()];
        const Bytes& other = seeds[rng() % seeds.size()];
        run(mutate(seed, other, rng));
    }
    std::printf("%zu seeds, %d mutations: no crash\n", seeds.size(), runs);
    return 0;
}
