// Named shared memory blocks: the client creates one (never reusing an existing name), the server
// opens it by the name it received.
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

    // Creates a new block of sizeBytes under name; a block that already exists is not touched.
    Created Create(const std::string& name, size_t sizeBytes);
    // Opens an existing block (the server side). False when there is none.
    bool OpenExisting(const std::string& name, size_t sizeBytes);
    // Maps the whole block writable; nullptr on failure.
    uint8_t* Map();
    void Unmap();
    // Unmaps and lets the name go (the creator removes the name).
    void Close();

#if defined(_WIN32)
    bool IsHeld() const { return mapping_ != nullptr; }
#else
    bool IsHeld() const { return fd_ >= 0; }
#endif
    uint8_t* View() const { return view_; }
    size_t Size() const { return size_; }

private:
#if defined(_WIN32)
    void* mapping_ = nullptr;  // the file mapping's HANDLE
#else
    int fd_ = -1;
#endif
    bool owner_ = false;
    std::string systemName_;
    uint8_t* view_ = nullptr;
    size_t size_ = 0;
};

// The system name a block name is kept under (per user, so two users never meet).
std::string SharedBlockSystemName(const std::string& name);

}  // namespace halvex::platform
