// What both data-server clients share: a found window, a registered message, an atom naming a
// shared block, the block with its request queue, and the exchange with retries. The queue is
// built in a copy of the block in this process, written to the block before each send and read
// back after the answer: nothing another process does to the block can fault here.
#pragma once

#include <cstdint>
#include <memory>
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
    std::unique_ptr<uint8_t[]> copy;  // the block's bytes as this process builds and reads them
    RequestQueue queue;
    ExchangeTiming timing;

    bool IsOpen() const { return queue.Attached(); }

    // Step by step, so each client can give each failure its own code.
    bool AddAtom(const std::string& name);
    platform::SharedBlock::Created CreateBlock(const std::string& name);
    bool MapBlock();  // attaches the queue to this process's copy of the block

    enum class SendResult { Answered, FailedWithError, FailedNoError };
    // Seals the queue and sends it, retrying maxSends times; answer gets the server's result (0
    // when the reply cannot be read back whole). A block that cannot be written fails at once.
    SendResult Exchange(uint32_t maxSends, uint64_t& answer);

    void Close();
};

}  // namespace halvex
