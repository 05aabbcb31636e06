// Win32 itself: windows found by class or title, registered messages, global atoms and the
// blocking send with time-out. A window handle is the HWND's value.
#include "platform/WindowMessages.h"

#include <windows.h>

#include <string>

namespace halvex::platform {

// Window handles have 32 significant bits on every Windows width, so 32- and 64-bit programs can
// pass them to each other; the module itself is a 32-bit program.
static_assert(sizeof(HWND) >= sizeof(WindowHandle));

namespace {

// Sign-extended, as the system widens handles for 64-bit programs.
HWND toHwnd(WindowHandle window) { return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(window))); }
WindowHandle fromHwnd(HWND window) { return static_cast<WindowHandle>(reinterpret_cast<uintptr_t>(window)); }

constexpr size_t kMaxAtomNameBytes = 255;

}  // namespace

WindowHandle FindWindowByClass(std::string_view className) {
    return fromHwnd(::FindWindowA(std::string(className).c_str(), nullptr));
}

WindowHandle FindWindowByTitle(std::string_view title) {
    return fromHwnd(::FindWindowA(nullptr, std::string(title).c_str()));
}

void ReleaseWindow(WindowHandle) {}  // a found window holds nothing in this process

uint32_t RegisterMessage(std::string_view name) {
    if (name.empty()) return 0;
    return ::RegisterWindowMessageA(std::string(name).c_str());
}

// Registered messages share the system's string table with clipboard formats.
std::optional<std::string> RegisteredMessageName(uint32_t id) {
    if (id < 0xC000 || id > 0xFFFF) return std::nullopt;
    char name[kMaxAtomNameBytes + 1];
    const int length = ::GetClipboardFormatNameA(id, name, sizeof name);
    if (length <= 0) return std::nullopt;
    return std::string(name, static_cast<size_t>(length));
}

uint16_t AddGlobalAtom(std::string_view name) {
    // "#123" would make an integer atom that names nothing
    if (name.empty() || name.size() > kMaxAtomNameBytes || name.front() == '#') return 0;
    return ::GlobalAddAtomA(std::string(name).c_str());
}

void DeleteGlobalAtom(uint16_t atom) {
    if (atom) ::GlobalDeleteAtom(atom);
}

std::optional<std::string> GlobalAtomName(uint16_t atom) {
    if (atom < 0xC000) return std::nullopt;  // integer atoms carry no name
    char name[kMaxAtomNameBytes + 1];
    const UINT length = ::GlobalGetAtomNameA(atom, name, sizeof name);
    if (length == 0) return std::nullopt;
    return std::string(name, length);
}

SendOutcome SendMessageWithTimeout(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam,
                                   uint32_t timeoutMs) {
    SendOutcome out;
    DWORD_PTR result = 0;
    ::SetLastError(0);  // so a failure without an error value shows as none
    const LRESULT sent = ::SendMessageTimeoutA(toHwnd(window), message, static_cast<WPARAM>(wParam),
                                               static_cast<LPARAM>(lParam), SMTO_BLOCK, timeoutMs, &result);
    if (sent == 0) {
        out.lastError = ::GetLastError();
        return out;
    }
    out.delivered = true;
    out.result = result;
    return out;
}

uint32_t CurrentProcessId() { return ::GetCurrentProcessId(); }

void SleepMs(uint32_t ms) { ::Sleep(ms); }

}  // namespace halvex::platform
