// RequestQueue: the request records packed into a 32 KB block (the client's copy of the shared
// one), and the client's own list of them. Replies are copied back from that list only: the block can be rewritten by another
// process, so neither its headers nor its destination fields are trusted.
#pragma once

#include <array>
#include <cstdint>

namespace halvex {

class RequestQueue {
public:
    static constexpr uint32_t kBlockBytes = 0x8000;
    static constexpr uint32_t kUsableBytes = 0x7F00;  // records plus terminator stay below this
    static constexpr uint32_t kTerminatorBytes = 4;
    static constexpr uint32_t kReadHeaderBytes = 16;
    static constexpr uint32_t kWriteHeaderBytes = 12;
    static constexpr uint32_t kEightByteReadBytes = 20;  // type, offset, token, 8 data bytes

    void Attach(uint8_t* view);  // an empty queue on a new block
    void Detach();
    bool Attached() const { return view_ != nullptr; }
    bool Empty() const { return next_ == 0; }
    uint32_t QueuedBytes() const { return next_; }

    // Each returns false, queuing nothing, when the record and the terminator would pass
    // kUsableBytes. A read's destination may be null (nothing is copied back).
    bool QueueRead(uint32_t type, uint32_t offset, uint32_t sizeBytes, void* destination);
    bool QueueWrite(uint32_t type, uint32_t offset, uint32_t sizeBytes, const void* source);
    bool QueueEightByteRead(uint32_t type, uint32_t offset, void* destination);

    // Ends the list with the terminator; the queue is empty again and the records just sealed
    // wait for Deliver or Discard.
    void Seal();
    uint32_t SealedBytes() const { return sealedBytes_; }  // the last sealed list with its terminator
    // Copies the server's data back to the destinations of the sealed reads, in order, stopping at
    // a record whose type word became 0; a type word outside 1..highestType is overwritten with 0
    // and ends the walk.
    void Deliver(uint32_t highestType);
    void Discard() { sealed_ = 0; }

    // The token a read record carries in its destination field (0: nothing to copy back).
    static uint32_t TokenFor(uint32_t recordIndex) { return recordIndex + 1; }
    // What a read record carries in its destination field: the caller's real address where
    // addresses are 32 bits wide, as servers expect, else the token. Copy-back never trusts it.
    static uint32_t DestinationField(const void* destination, uint32_t recordIndex) {
        if constexpr (sizeof(void*) == sizeof(uint32_t))
            return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(destination));
        else
            return TokenFor(recordIndex);
    }

private:
    enum class Kind : uint8_t { Read, Write, EightByteRead };
    struct Record {
        uint32_t place;
        uint32_t sizeBytes;
        void* destination;
        Kind kind;
    };
    static constexpr uint32_t kMaxRecords = kUsableBytes / kWriteHeaderBytes + 1;

    bool fits(uint64_t recordBytes) const;
    void put32(uint32_t at, uint32_t value);
    uint32_t get32(uint32_t at) const;

    uint8_t* view_ = nullptr;
    uint32_t next_ = 0;      // bytes queued
    uint32_t count_ = 0;     // records queued
    uint32_t sealed_ = 0;    // records of the last sealed list
    uint32_t sealedBytes_ = 0;
    std::array<Record, kMaxRecords> records_{};  // allocated once: queuing allocates nothing
};

}  // namespace halvex
