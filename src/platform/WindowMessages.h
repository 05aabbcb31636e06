// Window lookup, registered messages, global atoms and the blocking send with time-out: what the
// simulator link needs from the system to reach a data server in another process.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halvex::platform {

using WindowHandle = uint32_t;  // 0 = no window

// A live server window registered under a class or a title; 0 when there is none.
WindowHandle FindWindowByClass(std::string_view className);
WindowHandle FindWindowByTitle(std::string_view title);
// Drops whatever the process holds for a handle (its connection); the handle becomes invalid.
void ReleaseWindow(WindowHandle window);

// Process-wide ids for message names; the same name gives the same id. 0 on failure.
uint32_t RegisterMessage(std::string_view name);
std::optional<std::string> RegisteredMessageName(uint32_t id);

// Global atoms: a 16-bit id for a name, 0 on failure. The name travels with the message.
uint16_t AddGlobalAtom(std::string_view name);
void DeleteGlobalAtom(uint16_t atom);
std::optional<std::string> GlobalAtomName(uint16_t atom);

struct SendOutcome {
    bool delivered = false;  // the server handled the message and answered
    uint64_t result = 0;     // its answer
    uint32_t lastError = 0;  // when not delivered: the system's error value, 0 when it gave none
};

// Sends message to window and waits at most timeoutMs for the answer. wParam, when it is a global
// atom of this process, carries the atom's name to the server.
SendOutcome SendMessageWithTimeout(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam,
                                   uint32_t timeoutMs);

uint32_t CurrentProcessId();
void SleepMs(uint32_t ms);

}  // namespace halvex::platform
