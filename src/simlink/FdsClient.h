// FdsClient: the client of the FDS connection server, the second transport. Module-wide state of
// its own (separate from SimIpcClient's); the same queue and exchange, its own names and codes,
// four sends, no version exchange.
#pragma once

#include <cstdint>
#include <string>

#include "simlink/SimIpcClient.h"

namespace halvex {

namespace FdsCode {
enum : uint32_t {
    Ok = 0,
    NotOpen = 1,  // Open: no server window; Read, Write, Process: not open
    NoServerWindow = 1,
    RegisterMessageFailed = 2,
    SendFailed = 3,
    AlreadyOpen = 4,
    SendFailedNoError = 5,
    AtomFailed = 6,
    CreateBlockFailed = 7,
    MapFailed = 8,
    BlockFull = 9,
    NothingQueuedOrBadResult = 10,
};
}

class FdsClient {
public:
    static constexpr const char* kServerClass = "FDSConnection";
    static constexpr const char* kServerTitle = "FDSWideConnectionClient";
    static constexpr const char* kMessageName = "FDSConnection:Call";
    static constexpr uint32_t kMaxSends = 4;
    static constexpr uint32_t kHighestRecordType = 7;

    static bool Open(uint32_t& result);
    static bool Read(uint32_t offset, uint32_t sizeBytes, void* destination, uint32_t& result);    // type 1
    static bool Write(uint32_t offset, uint32_t sizeBytes, const void* source, uint32_t& result);  // type 2
    // Type 5: eight bytes from offset. Part of the wire format; the FMS itself does not use it.
    static bool ReadEightBytes(uint32_t offset, void* destination, uint32_t& result);
    static bool Process(uint32_t& result);
    static bool Close();

    static bool IsOpen();
    static std::string BlockName();  // the counter in the name stays 0

    static void SetTiming(const ExchangeTiming& timing);  // maxSends is ignored: always four
};

}  // namespace halvex
