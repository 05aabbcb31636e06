#include "simlink/SimIpcClient.h"

#include <cstdio>

#include "simlink/ClientCore.h"

namespace halvex {

namespace {

struct IpcState {
    ClientCore core;
    uint32_t serverVersion = 0;
    uint32_t simulatorWord = 0;
    uint32_t openCounter = 0;  // never reset
};

IpcState& state() {
    static IpcState s;
    return s;
}

bool fail(uint32_t& result, uint32_t code) {
    result = code;
    return false;
}

bool failAndClose(uint32_t& result, uint32_t code) {
    SimIpcClient::Close();
    return fail(result, code);
}

}  // namespace

std::string SimIpcClient::BlockName(uint32_t counter) {
    char name[64];
    std::snprintf(name, sizeof name, "FsasmLib:IPC:%X:%X", platform::CurrentProcessId(), counter);
    return name;
}

bool SimIpcClient::Open(uint16_t requiredSimulator, uint32_t& result) {
    IpcState& s = state();
    if (s.core.IsOpen()) return fail(result, SimIpcCode::AlreadyOpen);
    s.serverVersion = s.simulatorWord = 0;

    bool alternative = false;
    s.core.window = platform::FindWindowByClass(kServerClass);
    if (!s.core.window) {
        s.core.window = platform::FindWindowByClass(kAlternativeServerClass);
        alternative = true;
    }
    if (!s.core.window) return fail(result, SimIpcCode::NoServerWindow);
    s.core.messageId = platform::RegisterMessage(kMessageName);
    if (!s.core.messageId) return failAndClose(result, SimIpcCode::RegisterMessageFailed);  // frees the window

    const std::string name = BlockName(++s.openCounter);
    if (!s.core.AddAtom(name)) return failAndClose(result, SimIpcCode::AtomFailed);
    if (s.core.CreateBlock(name) != platform::SharedBlock::Created::Ok) return failAndClose(result, SimIpcCode::CreateBlockFailed);
    if (!s.core.MapBlock()) return failAndClose(result, SimIpcCode::MapFailed);

    // Version exchange: repeated while the server still answers zeros.
    for (uint32_t pass = 0; pass < kVersionPasses; ++pass) {
        if (pass > 0 && s.serverVersion != 0 && s.simulatorWord != 0) break;
        uint32_t code = 0;
        bool ok = Read(kVersionOffset, 4, &s.serverVersion, code) && Read(kSimulatorOffset, 4, &s.simulatorWord, code);
        if (ok && pass == 0) ok = Write(kProtocolLevelOffset, 2, &kProtocolLevel, code);
        if (ok) ok = Process(code);
        if (!ok) return failAndClose(result, code);
        platform::SleepMs(s.core.timing.versionPassSleepMs);
    }
    if (s.serverVersion < kMinimumServerVersion || (s.simulatorWord & 0xFFFF0000u) != kSimulatorSignature)
        return failAndClose(result, alternative ? SimIpcCode::VersionMismatchFs98 : SimIpcCode::VersionMismatch);
    s.simulatorWord &= 0xFFFFu;
    if (requiredSimulator != 0 && requiredSimulator != s.simulatorWord) return failAndClose(result, SimIpcCode::WrongSimulator);
    result = SimIpcCode::Ok;
    return true;
}

bool SimIpcClient::Read(uint32_t offset, uint32_t sizeBytes, void* destination, uint32_t& result) {
    IpcState& s = state();
    if (!s.core.IsOpen()) return fail(result, SimIpcCode::NotOpen);
    if (!s.core.queue.QueueRead(1, offset, sizeBytes, destination)) return fail(result, SimIpcCode::BlockFull);
    result = SimIpcCode::Ok;
    return true;
}

bool SimIpcClient::Write(uint32_t offset, uint32_t sizeBytes, const void* source, uint32_t& result) {
    IpcState& s = state();
    if (!s.core.IsOpen()) return fail(result, SimIpcCode::NotOpen);
    if (!s.core.queue.QueueWrite(2, offset, sizeBytes, source)) return fail(result, SimIpcCode::BlockFull);
    result = SimIpcCode::Ok;
    return true;
}

bool SimIpcClient::Process(uint32_t& result) {
    IpcState& s = state();
    if (!s.core.IsOpen()) return fail(result, SimIpcCode::NotOpen);
    if (s.core.queue.Empty()) return fail(result, SimIpcCode::NothingQueued);
    uint64_t answer = 0;
    switch (s.core.Exchange(s.core.timing.maxSends, answer)) {
        case ClientCore::SendResult::FailedWithError: return fail(result, SimIpcCode::SendFailed);
        case ClientCore::SendResult::FailedNoError: return fail(result, SimIpcCode::SendFailedNoError);
        case ClientCore::SendResult::Answered: break;
    }
    if (answer != 1) {
        s.core.queue.Discard();
        return fail(result, SimIpcCode::BadServerResult);
    }
    s.core.queue.Deliver(2);
    result = SimIpcCode::Ok;
    return true;
}

bool SimIpcClient::Close() {
    state().core.Close();
    return true;
}

bool SimIpcClient::IsOpen() { return state().core.IsOpen(); }
uint32_t SimIpcClient::ServerVersion() { return state().serverVersion; }
uint32_t SimIpcClient::SimulatorWord() { return state().simulatorWord; }
uint32_t SimIpcClient::OpenCounter() { return state().openCounter; }
void SimIpcClient::SetTiming(const ExchangeTiming& timing) { state().core.timing = timing; }
ExchangeTiming SimIpcClient::Timing() { return state().core.timing; }

}  // namespace halvex
