// What both data-server clients share: a found window, a registered message, an atom naming a
// shared block, the block with its request queue, and the exchange with retries.
#pragma once

#include <cstdint>
#include <string>

#include "platform/SharedBlock.h"
#include "platform/WindowMessages.h"
#include "simlink/RequestQueue.h"
#include "simlink/SimIpcClient.h"

namespace halvex {

struct ClientCore {
    platform::WindowHandle window = 0;
    uint32_t messageId = 0;
    uint16_t atom = 0;
    platform::SharedBlock block;
    RequestQueue queue;
    ExchangeTiming timing;

    bool IsOpen() const { return queue.Attached(); }

    // Step by step, so each client can give each failure its own code.
    bool AddAtom(const std::string& name);
    platform::SharedBlock::Created CreateBlock(const std::string& name);
    bool MapBlock();

    enum class SendResult { Answered, FailedWithError, FailedNoError };
    // Seals the queue and sends it, retrying maxSends times; answer gets the server's result.
    SendResult Exchange(uint32_t maxSends, uint64_t& answer);

    void Close();
};

}  // namespace halvex
