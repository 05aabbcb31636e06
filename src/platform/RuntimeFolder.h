// Where a user's server sockets live: HALVEX_RUNTIME_DIR, else $XDG_RUNTIME_DIR/halvex, else
// /tmp/halvex-<uid>. Tests point HALVEX_RUNTIME_DIR at a scratch folder to meet no real server.
#pragma once

#include <string>

namespace halvex::platform {

// The folder, created (mode 0700) on first use. Empty, with the reason in problem, when it is not a
// directory of this user that nobody else can write: whoever controls it would receive the traffic.
std::string RuntimeFolder(std::string* problem = nullptr);
// Creates dir when missing and checks it as RuntimeFolder does.
bool PrepareRuntimeFolder(const std::string& dir, std::string* problem = nullptr);
// Empty when the folder is refused.
std::string ClassSocketPath(const std::string& className, std::string* problem = nullptr);
std::string TitleSocketPath(const std::string& title, std::string* problem = nullptr);

}  // namespace halvex::platform
