// Arbitrary bytes as a route file.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "fms/RouteXml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("halvex-route-fuzz-" + std::to_string(::getpid()) + ".xml")).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                    static_cast<std::streamsize>(size));
    const auto doc = halvex::ReadXmlDocument(path);
    if (doc) halvex::WriteXmlDocument(path, *doc);  // whatever was read can be written back
    return 0;
}
