// TempTree: a scratch simulator folder that becomes the working directory for one test and is
// removed afterwards, so the module's relative paths resolve inside it.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "support/ScratchFolder.h"

namespace halvex::test {

class TempTree {
public:
    TempTree() {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        root_ = MakeScratchFolder("halvex-");
        fs::current_path(root_);
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        std::filesystem::remove_all(root_, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // Writes text to a path relative to the tree, creating folders on the way.
    void write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path p = root_ / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
    // Copies a file or folder of the repository into the tree.
    void copyFromSource(const std::string& sourceRelative, const std::string& relative) const {
        const std::filesystem::path to = root_ / relative;
        std::filesystem::create_directories(to.parent_path());
        std::filesystem::copy(std::filesystem::path(HALVEX_SOURCE_DIR) / sourceRelative, to,
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    }
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path root_;
};

}  // namespace halvex::test
