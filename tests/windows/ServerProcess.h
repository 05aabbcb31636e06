// ServerProcess: halvex-server.exe started for a test, with its windows up before the test goes on,
// and ended (hard, as a crash would) when the test is done with it.
#pragma once

#include <windows.h>

#include <string>

namespace halvex::test {

class ServerProcess {
public:
    // arguments follow the program name; false when it did not start or showed no window in time.
    bool Start(const std::string& arguments) {
        std::string command = "\"" + ProgramPath() + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
            return false;
        for (int waitedMs = 0; waitedMs < 30000; waitedMs += 50) {
            if (::FindWindowA("UIPCMAIN", nullptr) && ::FindWindowA("FDSConnection", nullptr)) return true;
            if (::WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) return false;  // it gave up
        }
        return false;
    }

    void Kill() {
        if (!info_.hProcess) return;
        ::TerminateProcess(info_.hProcess, 9);
        ::WaitForSingleObject(info_.hProcess, 10000);
        ::CloseHandle(info_.hProcess);
        ::CloseHandle(info_.hThread);
        info_ = {};
    }

    ~ServerProcess() { Kill(); }

    // The build folder's program; a Unix path of the build tree is seen through Wine's drive Z:.
    static std::string ProgramPath() {
        std::string path = HALVEX_SERVER_EXE;
        if (!path.empty() && path.front() == '/') {
            path = "Z:" + path;
            for (char& c : path)
                if (c == '/') c = '\\';
        }
        return path;
    }

private:
    PROCESS_INFORMATION info_{};
};

}  // namespace halvex::test
