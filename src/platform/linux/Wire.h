// The bytes of one window message on a server socket, and helpers that move them whole.
#pragma once

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

// Full transfers on a blocking socket; false on error or end of stream (errno tells which: 0 at
// end of stream).
bool SendAll(int fd, const void* data, size_t bytes);
bool ReceiveAll(int fd, void* data, size_t bytes);

}  // namespace halvex::platform::wire
