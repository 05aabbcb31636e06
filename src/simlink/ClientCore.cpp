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
    if (!block.IsHeld()) return false;
    if (!copy) copy = std::make_unique<uint8_t[]>(RequestQueue::kBlockBytes);  // kept across opens
    queue.Attach(copy.get());
    return true;
}

ClientCore::SendResult ClientCore::Exchange(uint32_t maxSends, uint64_t& answer) {
    queue.Seal();
    const uint32_t bytes = queue.SealedBytes();
    if (!block.WriteAt(0, copy.get(), bytes)) {
        queue.Discard();
        return SendResult::FailedWithError;
    }
    platform::SendOutcome outcome;
    for (uint32_t attempt = 0; attempt < maxSends; ++attempt) {
        outcome = platform::SendMessageWithTimeout(window, messageId, atom, 0, timing.sendTimeoutMs);
        if (outcome.delivered) {
            answer = block.ReadAt(0, copy.get(), bytes) == bytes ? outcome.result : 0;  // a shrunk block lost the reply
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
