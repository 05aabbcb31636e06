// RunTool: runs a command line through the shell and captures what it printed (both streams)
// and its exit status, for end-to-end tests of the command-line tools.
#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace halvex::test {

struct ToolRun {
    std::string out;
    int status = -1;  // as pclose reports it; 0 is a clean exit
};

inline ToolRun RunTool(const std::string& commandLine) {
    ToolRun r;
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) r.out.append(buffer.data(), n);
    r.status = pclose(pipe);
    return r;
}

}  // namespace halvex::test
