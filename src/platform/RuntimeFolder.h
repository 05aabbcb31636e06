// Where a user's server sockets live: HALVEX_RUNTIME_DIR, else $XDG_RUNTIME_DIR/halvex, else
// /tmp/halvex-<uid>. Tests point HALVEX_RUNTIME_DIR at a scratch folder to meet no real server.
#pragma once

#include <string>

namespace halvex::platform {

std::string RuntimeFolder();  // created (mode 0700) on first use
std::string ClassSocketPath(const std::string& className);
std::string TitleSocketPath(const std::string& title);

}  // namespace halvex::platform
