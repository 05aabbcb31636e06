// The server end of a request block: walk the records, serve reads from the address space,
// apply writes, leave every header as the client wrote it. Both protocols' record types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "sim/OffsetSpace.h"

namespace halvex::sim {

// Told of every stored write (offset, bytes), after the bytes are in the space.
using WriteListener = std::function<void(uint32_t offset, uint32_t sizeBytes)>;

enum class BlockDialect { DataServer, Fds };  // data server: types 1, 2; FDS: types 1 to 7

// Serves the records of block (blockBytes long) in order. Returns the message result: 1 when the
// list ended properly, 0 when a record was unknown or ran past the block (what came before it
// was still served). walkedBytes, when given, gets how far the walk went (the records served,
// with the terminator when it was reached): what has to go back to the client.
uint64_t ServeRecords(uint8_t* block, size_t blockBytes, BlockDialect dialect, OffsetSpace& space,
                      const WriteListener& onWrite, size_t* walkedBytes = nullptr);
// The bytes of the list at the start of block, with its terminator; 0 when it does not end
// properly inside blockBytes.
size_t ListBytes(const uint8_t* block, size_t blockBytes, BlockDialect dialect);

}  // namespace halvex::sim
