// KeyBuffer: first-in first-out queue of CDU key codes.
#pragma once

#include <cstdint>
#include <deque>

namespace halvex {

class KeyBuffer {
public:
    void Push(int32_t code) { keys_.push_back(code); }
    // Codes come back as signed 8-bit values; 0 when empty.
    int8_t Pop() {
        if (keys_.empty()) return 0;
        const int32_t code = keys_.front();
        keys_.pop_front();
        return static_cast<int8_t>(code & 0xFF);
    }
    int8_t Peek() const { return keys_.empty() ? 0 : static_cast<int8_t>(keys_.front() & 0xFF); }
    void Clear() { keys_.clear(); }
    int32_t Size() const { return static_cast<int32_t>(keys_.size()); }

private:
    std::deque<int32_t> keys_;
};

}  // namespace halvex
