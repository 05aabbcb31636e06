#include <filesystem>
#include <iostream>

#include "Commands.h"

namespace halvex::cli {

bool EnterRoot(const std::string& root) {
    std::error_code ec;
    std::filesystem::current_path(root, ec);
    if (ec) {
        std::cerr << "halvex-fms: cannot use " << root << " as the simulator folder: " << ec.message() << "\n";
        return false;
    }
    return true;
}

std::string DefaultRoot() { return HALVEX_DEFAULT_ROOT; }

}  // namespace halvex::cli
