// The bytes of one window message on a server socket, and helpers that move them whole.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace halvex::platform::wire {

constexpr uint32_t kMagic = 0x314D5848;  // "HXM1"
constexpr uint32_t kMaxNameBytes = 255;

struct MessageHeader {
    uint32_t magic;
    uint32_t messageNameBytes;  // followed by the message name
    uint32_t atomNameBytes;     // then the atom name (0 when wParam was no atom)
    uint32_t reserved;
    uint64_t wParam;
    int64_t lParam;
};
static_assert(sizeof(MessageHeader) == 32);

// A full send on a blocking socket; false on error (errno tells which).
bool SendAll(int fd, const void* data, size_t bytes);

// Receives one packet of at most capacity bytes: the byte count, 0 at end of stream, -1 on error
// or time-out (errno tells which). For up to spin it checks without sleeping: an answer usually
// comes within microseconds, and waking a sleeping thread costs more than the exchange itself.
ssize_t ReceivePacket(int fd, void* buffer, size_t capacity, std::chrono::microseconds spin);

// How long each end stays awake for the other: a client waits for its answer, a server for the
// next message of a burst (one update sends some twenty, back to back).
constexpr std::chrono::microseconds kAnswerSpin{50};
constexpr std::chrono::microseconds kBurstSpin{200};

}  // namespace halvex::platform::wire
