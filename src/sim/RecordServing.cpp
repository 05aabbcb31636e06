#include "sim/RecordServing.h"

#include <cstring>

namespace halvex::sim {

namespace {

uint32_t get32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Walks from at, which ends at the terminator (result 1) or at the record that failed (0). Without
// a space it only walks (and changes nothing).
uint64_t serve(uint8_t* block, size_t blockBytes, BlockDialect dialect, OffsetSpace* space, const WriteListener& onWrite,
               size_t& at) {
    const uint32_t highest = dialect == BlockDialect::Fds ? 7 : 2;
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
                if (space) space->Read(offset, size, block + at + 16);
                at += 16 + size;
                break;
            }
            case 2:
            case 4: {  // write: type, offset, size; data
                if (!room(12)) return 0;
                const uint32_t offset = get32(block + at + 4), size = get32(block + at + 8);
                if (!room(uint64_t{12} + size)) return 0;
                if (space) space->Write(offset, size, block + at + 12);
                if (space && onWrite) onWrite(offset, size);
                at += 12 + size;
                break;
            }
            case 5: {  // eight-byte read: type, offset, token; 8 bytes
                if (!room(20)) return 0;
                if (space) space->Read(get32(block + at + 4), 8, block + at + 12);
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
                if (space) space->Write(offset, size, block + at + 16);
                if (space && onWrite) onWrite(offset, size);
                at += 16 + size;
                break;
            }
        }
    }
    return 0;  // no terminator inside the block
}

}  // namespace


uint64_t ServeRecords(uint8_t* block, size_t blockBytes, BlockDialect dialect, OffsetSpace& space,
                      const WriteListener& onWrite, size_t* walkedBytes) {
    size_t at = 0;
    const uint64_t result = serve(block, blockBytes, dialect, &space, onWrite, at);
    if (walkedBytes) *walkedBytes = result == 1 ? at + 4 : at;
    return result;
}

size_t ListBytes(const uint8_t* block, size_t blockBytes, BlockDialect dialect) {
    size_t at = 0;
    // Without a space the walk writes nothing into the block.
    return serve(const_cast<uint8_t*>(block), blockBytes, dialect, nullptr, nullptr, at) == 1 ? at + 4 : 0;
}

}  // namespace halvex::sim
