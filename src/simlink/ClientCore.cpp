#include "simlink/ClientCore.h"

namespace halvex {

bool ClientCore::AddAtom(const std::string& name) {
    atom = platform::AddGlobalAtom(name);
    return atom != 0;
}

platform::SharedBlock::Created ClientCore::CreateBlock(const std::string& name) {
    return block.Create(name, RequestQueue::kBlockBytes);
}

bool ClientCore::MapBlock() {
    uint8_t* view = block.Map();
    if (!view) return false;
    queue.Attach(view);
    return true;
}

ClientCore::SendResult ClientCore::Exchange(uint32_t maxSends, uint64_t& answer) {
    queue.Seal();
    platform::SendOutcome outcome;
    for (uint32_t attempt = 0; attempt < maxSends; ++attempt) {
        outcome = platform::SendMessageWithTimeout(window, messageId, atom, 0, timing.sendTimeoutMs);
        if (outcome.delivered) {
            answer = outcome.result;
            return SendResult::Answered;
        }
        platform::SleepMs(timing.retrySleepMs);
    }
    queue.Discard();
    return outcome.lastError ? SendResult::FailedWithError : SendResult::FailedNoError;
}

void ClientCore::Close() {
    if (window) platform::ReleaseWindow(window);
    window = 0;
    messageId = 0;
    if (atom) platform::DeleteGlobalAtom(atom);
    atom = 0;
    queue.Detach();
    block.Close();
}

}  // namespace halvex
