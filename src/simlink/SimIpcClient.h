// SimIpcClient: the client of the simulator's inter-process data server. One connection per
// process: every member is static and acts on module-wide state. Each operation returns true on
// success and leaves its result code (SimIpcCode) in the caller's variable.
#pragma once

#include <cstdint>
#include <string>

#include "platform/WindowMessages.h"

namespace halvex {

namespace SimIpcCode {
enum : uint32_t {
    Ok = 0,
    AlreadyOpen = 1,
    NoServerWindow = 2,
    RegisterMessageFailed = 3,
    AtomFailed = 4,
    CreateBlockFailed = 5,  // also: a block of that name already existed
    MapFailed = 6,
    VersionMismatch = 7,
    WrongSimulator = 8,
    NotOpen = 9,
    NothingQueued = 10,
    SendFailedNoError = 11,
    SendFailed = 12,
    BadServerResult = 13,
    VersionMismatchFs98 = 14,
    BlockFull = 15,
};
}

// Waits of the exchange; the defaults are the protocol's. Tests and tools may shorten them.
struct ExchangeTiming {
    uint32_t sendTimeoutMs = 2000;
    uint32_t retrySleepMs = 100;
    uint32_t maxSends = 9;
    uint32_t versionPassSleepMs = 100;
};

class SimIpcClient {
public:
    static constexpr const char* kServerClass = "UIPCMAIN";
    static constexpr const char* kAlternativeServerClass = "FS98MAIN";
    static constexpr const char* kMessageName = "FsasmLib:IPC";
    static constexpr uint32_t kVersionOffset = 0x3304;
    static constexpr uint32_t kSimulatorOffset = 0x3308;
    static constexpr uint32_t kProtocolLevelOffset = 0x330A;
    static constexpr uint16_t kProtocolLevel = 1004;
    static constexpr uint32_t kMinimumServerVersion = 0x19980005;
    static constexpr uint32_t kSimulatorSignature = 0xFADE0000;
    static constexpr uint32_t kVersionPasses = 5;

    // requiredSimulator 0 accepts any simulator.
    static bool Open(uint16_t requiredSimulator, uint32_t& result);
    static bool Read(uint32_t offset, uint32_t sizeBytes, void* destination, uint32_t& result);
    static bool Write(uint32_t offset, uint32_t sizeBytes, const void* source, uint32_t& result);
    static bool Process(uint32_t& result);
    static bool Close();

    static bool IsOpen();
    static uint32_t ServerVersion();
    static uint32_t SimulatorWord();  // after a good open: the simulator identifier
    static uint32_t OpenCounter();
    // The block name an open attempt with this counter value uses in this process.
    static std::string BlockName(uint32_t counter);

    static void SetTiming(const ExchangeTiming& timing);
    static ExchangeTiming Timing();
};

}  // namespace halvex
