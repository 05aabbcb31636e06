// Fuzz target: the whole procedure load (lines, tokens, statements, program, interpreter) from
// the file's bytes, against a small navigation database written once to a scratch folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <unistd.h>

#include "navdb/NavDatabase.h"
#include "procedures/LoadProcedures.h"
#include "procedures/ProcedureListing.h"
#include "procedures/SmallNavData.h"

namespace {

const halvex::NavDatabase& smallDatabase() {
    static const std::unique_ptr<halvex::NavDatabase> db = [] {
        const std::filesystem::path root =
            std::filesystem::temp_directory_path() / ("halvex-procfuzz-" + std::to_string(getpid()));
        halvex::test::WriteSmallNavData(root);
        auto loaded = std::make_unique<halvex::NavDatabase>();
        loaded->LoadFrom(root / "FMCWP" / "NavData");
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
        return loaded;
    }();
    return *db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    halvex::ProcedureBlock block;
    const int32_t result = halvex::LoadProceduresFromText(smallDatabase(), block, "KSFO", bytes);
    // The listing walks every leg and fix the load produced.
    const std::string listing = halvex::ProcedureListing(result, block, smallDatabase());
    return listing.empty() ? 1 : 0;
}
