// Arbitrary bytes as fmc_ident.txt.
#include <cstdint>
#include <cstdlib>

#include "navdb/NavDataReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    halvex::DataSetIdent ident;
    halvex::ReadIdentFile(std::string_view(reinterpret_cast<const char*>(data), size), ident);
    if (ident.navDataId.empty() || ident.opProgramId.empty()) std::abort();  // UNKNOWN at least
    return 0;
}
