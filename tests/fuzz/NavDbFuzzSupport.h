// Shared by the navigation data fuzz targets: a scratch navigation data folder for targets that
// go through the whole database load.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace halvex::fuzz {

inline const std::filesystem::path& NavDataFolder(const char* name) {
    static const std::filesystem::path dir = [name] {
        std::filesystem::path d = std::filesystem::temp_directory_path() /
                                  (std::string("halvex-") + name + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline void WriteFile(const std::filesystem::path& path, const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size));
}

}  // namespace halvex::fuzz
