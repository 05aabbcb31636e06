// ScratchFolder: a folder of this process for harnesses whose library reads only files. In
// memory (/dev/shm) where there is one and TMPDIR does not say otherwise: on a disk file system
// each rewrite of a file costs a flush, which would dominate every input. Removed again when the
// process exits normally (libFuzzer ends its runs with exit()), so a run leaves nothing behind
// and never needs a working-directory change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace halvex::fuzz {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& tag)
        : path_(base() / ("halvex-" + tag + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Replaces the file at relative (folders created as needed) with the bytes; its full path.
    std::filesystem::path write(const std::filesystem::path& relative, const uint8_t* data, size_t size) const {
        const std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return file;
    }

private:
    static std::filesystem::path base() {
        std::error_code ec;
        if (!std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0)
            return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }

    std::filesystem::path path_;
};

}  // namespace halvex::fuzz
