// Arbitrary bytes as a panel scenario file: parsed or refused with a line number, never a crash.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "panel/Scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string error;
    const auto events = halvex::panel::ParseScenario(in, error);
    if (!events && error.rfind("line ", 0) != 0) std::abort();  // every refusal names its line
    if (events)
        for (size_t i = 1; i < events->size(); ++i)
            if ((*events)[i].atSeconds < (*events)[i - 1].atSeconds) std::abort();
    return 0;
}
