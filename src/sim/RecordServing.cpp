#include "sim/RecordServing.h"

#include <cstring>

namespace halvex::sim {

namespace {

uint32_t get32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace

uint64_t ServeRecords(uint8_t* block, size_t blockBytes, BlockDialect dialect, OffsetSpace& space,
                      const WriteListener& onWrite) {
    const uint32_t highest = dialect == BlockDialect::Fds ? 7 : 2;
    size_t at = 0;
    // Header fields are read once into locals: the client may change the block meanwhile.
    auto room = [&](uint64_t bytes) { return uint64_t{at} + bytes <= blockBytes; };
    while (room(4)) {
        const uint32_t type = get32(block + at);
        if (type == 0) return 1;
        if (type > highest) return 0;
        switch (type) {
            case 1:
            case 3: {  // read: type, offset, size, token; data
                if (!room(16)) return 0;
                const uint32_t offset = get32(block + at + 4), size = get32(block + at + 8);
                if (!room(uint64_t{16} + size)) return 0;
                space.Read(offset, size, block + at + 16);
                at += 16 + size;
                break;
            }
            case 2:
            case 4: {  // write: type, offset, size; data
                if (!room(12)) return 0;
                const uint32_t offset = get32(block + at + 4), size = get32(block + at + 8);
                if (!room(uint64_t{12} + size)) return 0;
                space.Write(offset, size, block + at + 12);
                if (onWrite) onWrite(offset, size);
                at += 12 + size;
                break;
            }
            case 5: {  // eight-byte read: type, offset, token; 8 bytes
                if (!room(20)) return 0;
                space.Read(get32(block + at + 4), 8, block + at + 12);
                at += 20;
                break;
            }
            case 6:  // four words, nothing to do
                if (!room(16)) return 0;
                at += 16;
                break;
            case 7: {  // type, offset, client address, size; data: stored like a write
                if (!room(16)) return 0;
                const uint32_t offset = get32(block + at + 4), size = get32(block + at + 12);
                if (!room(uint64_t{16} + size)) return 0;
                space.Write(offset, size, block + at + 16);
                if (onWrite) onWrite(offset, size);
                at += 16 + size;
                break;
            }
        }
    }
    return 0;  // no terminator inside the block
}

}  // namespace halvex::sim
