// Named shared memory blocks: the client creates one (never reusing an existing name), the server
// opens it by the name it received. Both sides move bytes through the block's descriptor, never
// through a mapping: another process can shrink the block at any time, and a mapping would then
// fault in whichever process touched it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace halvex::platform {

class SharedBlock {
public:
    enum class Created { Ok, AlreadyExisted, Failed };

    SharedBlock() = default;
    ~SharedBlock();
    SharedBlock(const SharedBlock&) = delete;
    SharedBlock& operator=(const SharedBlock&) = delete;

    // Creates a new block of sizeBytes under name, its memory reserved now (Failed when the
    // system has not that much left); a block that already exists is not touched.
    Created Create(const std::string& name, size_t sizeBytes);
    // Opens an existing block (the server side). False when there is none.
    bool OpenExisting(const std::string& name, size_t sizeBytes);
    // Copies bytes from the block at offset; the number copied, fewer when the block was shrunk
    // (the part missing reads as zeros).
    size_t ReadAt(size_t offsetBytes, void* into, size_t bytes) const;
    // Copies bytes into the block at offset. False on failure (no memory left to grow a block
    // someone shrank).
    bool WriteAt(size_t offsetBytes, const void* from, size_t bytes);
    // Lets the name go when this process created it.
    void Close();

#if defined(_WIN32)
    bool IsHeld() const { return mapping_ != nullptr; }
#else
    bool IsHeld() const { return fd_ >= 0; }
#endif
    size_t Size() const { return size_; }

private:
#if defined(_WIN32)
    bool map();
    void* mapping_ = nullptr;  // the file mapping's HANDLE
    uint8_t* view_ = nullptr;  // mapped whole: a paging-file mapping is committed and never shrinks
#else
    int fd_ = -1;
#endif
    bool owner_ = false;
    std::string systemName_;
    size_t size_ = 0;
};

// The system name a block name is kept under (per user, so two users never meet).
std::string SharedBlockSystemName(const std::string& name);

// Reserves a new block's memory: returns 0 or the system's error value. Replaceable so that tests
// can meet a system without memory to spare; returns the reservation it replaced.
using BlockReservation = int (*)(int descriptor, uint64_t sizeBytes);
BlockReservation SetBlockReservation(BlockReservation reserve);

}  // namespace halvex::platform
