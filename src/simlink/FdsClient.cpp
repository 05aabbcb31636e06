#include "simlink/FdsClient.h"

#include <cstdio>

#include "simlink/ClientCore.h"

namespace halvex {

namespace {

ClientCore& client() {
    static ClientCore c;
    return c;
}

bool fail(uint32_t& result, uint32_t code) {
    result = code;
    return false;
}

bool failAndClose(uint32_t& result, uint32_t code) {
    FdsClient::Close();
    return fail(result, code);
}

constexpr uint32_t kBlockCounter = 0;  // nothing ever increments it

}  // namespace

std::string FdsClient::BlockName() {
    char name[64];
    std::snprintf(name, sizeof name, "FDSConnection:Call:%X:%X", platform::CurrentProcessId(), kBlockCounter);
    return name;
}

bool FdsClient::Open(uint32_t& result) {
    ClientCore& c = client();
    if (c.IsOpen()) return fail(result, FdsCode::AlreadyOpen);
    c.window = platform::FindWindowByClass(kServerClass);
    if (!c.window) c.window = platform::FindWindowByTitle(kServerTitle);
    if (!c.window) return fail(result, FdsCode::NoServerWindow);
    c.messageId = platform::RegisterMessage(kMessageName);
    if (!c.messageId) return failAndClose(result, FdsCode::RegisterMessageFailed);  // frees the window
    const std::string name = BlockName();
    if (!c.AddAtom(name)) return failAndClose(result, FdsCode::AtomFailed);
    if (c.CreateBlock(name) != platform::SharedBlock::Created::Ok) return failAndClose(result, FdsCode::CreateBlockFailed);
    if (!c.MapBlock()) return failAndClose(result, FdsCode::MapFailed);
    result = FdsCode::Ok;
    return true;
}

bool FdsClient::Read(uint32_t offset, uint32_t sizeBytes, void* destination, uint32_t& result) {
    ClientCore& c = client();
    if (!c.IsOpen()) return fail(result, FdsCode::NotOpen);
    if (!c.queue.QueueRead(1, offset, sizeBytes, destination)) return fail(result, FdsCode::BlockFull);
    result = FdsCode::Ok;
    return true;
}

bool FdsClient::Write(uint32_t offset, uint32_t sizeBytes, const void* source, uint32_t& result) {
    ClientCore& c = client();
    if (!c.IsOpen()) return fail(result, FdsCode::NotOpen);
    if (!c.queue.QueueWrite(2, offset, sizeBytes, source)) return fail(result, FdsCode::BlockFull);
    result = FdsCode::Ok;
    return true;
}

bool FdsClient::ReadEightBytes(uint32_t offset, void* destination, uint32_t& result) {
    ClientCore& c = client();
    if (!c.IsOpen()) return fail(result, FdsCode::NotOpen);
    if (!c.queue.QueueEightByteRead(5, offset, destination)) return fail(result, FdsCode::BlockFull);
    result = FdsCode::Ok;
    return true;
}

bool FdsClient::Process(uint32_t& result) {
    ClientCore& c = client();
    if (!c.IsOpen()) return fail(result, FdsCode::NotOpen);
    if (c.queue.Empty()) return fail(result, FdsCode::NothingQueuedOrBadResult);
    uint64_t answer = 0;
    switch (c.Exchange(kMaxSends, answer)) {
        case ClientCore::SendResult::FailedWithError: return fail(result, FdsCode::SendFailed);
        case ClientCore::SendResult::FailedNoError: return fail(result, FdsCode::SendFailedNoError);
        case ClientCore::SendResult::Answered: break;
    }
    if (answer != 1) {
        c.queue.Discard();
        return fail(result, FdsCode::NothingQueuedOrBadResult);
    }
    c.queue.Deliver(kHighestRecordType);
    result = FdsCode::Ok;
    return true;
}

bool FdsClient::Close() {
    client().Close();
    return true;
}

bool FdsClient::IsOpen() { return client().IsOpen(); }
void FdsClient::SetTiming(const ExchangeTiming& timing) { client().timing = timing; }

}  // namespace halvex
