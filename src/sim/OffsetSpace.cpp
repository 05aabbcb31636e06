#include "sim/OffsetSpace.h"

#include <algorithm>

namespace halvex::sim {

void OffsetSpace::Read(uint32_t offset, uint32_t sizeBytes, uint8_t* to) const {
    const uint64_t end = std::min<uint64_t>(uint64_t{offset} + sizeBytes, kBytes);
    const uint32_t inside = offset < kBytes ? static_cast<uint32_t>(end - offset) : 0;
    if (inside) std::memcpy(to, bytes_.data() + offset, inside);
    std::memset(to + inside, 0, sizeBytes - inside);
}

void OffsetSpace::Write(uint32_t offset, uint32_t sizeBytes, const uint8_t* from) {
    if (offset >= kBytes) return;
    const uint32_t inside = static_cast<uint32_t>(std::min<uint64_t>(sizeBytes, kBytes - offset));
    std::memcpy(bytes_.data() + offset, from, inside);
}

void OffsetSpace::PutText(uint32_t offset, uint32_t fieldBytes, const std::string& text) {
    if (fieldBytes == 0) return;
    std::string field = text.substr(0, fieldBytes - 1);
    field.resize(fieldBytes, '\0');
    Write(offset, fieldBytes, reinterpret_cast<const uint8_t*>(field.data()));
}

}  // namespace halvex::sim
