// OffsetSpace: the data server's flat address space of numbered bytes, 0x0000..0xFFFF.
// Reads past the end give zeros, writes past it are dropped.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace halvex::sim {

class OffsetSpace {
public:
    static constexpr uint32_t kBytes = 0x10000;

    void Read(uint32_t offset, uint32_t sizeBytes, uint8_t* to) const;
    void Write(uint32_t offset, uint32_t sizeBytes, const uint8_t* from);

    template <typename T>
    void Put(uint32_t offset, T value) {
        Write(offset, sizeof(T), reinterpret_cast<const uint8_t*>(&value));
    }
    template <typename T>
    T Get(uint32_t offset) const {
        T value{};
        Read(offset, sizeof(T), reinterpret_cast<uint8_t*>(&value));
        return value;
    }
    // Zero-terminated text in a field of fieldBytes (cut to fit, always terminated).
    void PutText(uint32_t offset, uint32_t fieldBytes, const std::string& text);

private:
    std::array<uint8_t, kBytes> bytes_{};
};

}  // namespace halvex::sim
