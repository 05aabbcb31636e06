// Data-server replies: whatever the server leaves in the shared block, the client copies back
// only into its own variables, and the server end walks any block a client sends without
// leaving it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "simlink/RequestQueue.h"
#include "sim/OffsetSpace.h"
#include "sim/RecordServing.h"

namespace {

struct Guarded {
    uint32_t front = 0xF00DF00D;
    uint8_t data[64] = {};
    uint32_t back = 0xBEEFBEEF;
};

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<uint8_t> block(halvex::RequestQueue::kBlockBytes);
    std::memset(block.data(), 0, block.size());

    // The client's side: queue reads of several sizes, let the "server" overwrite the block.
    halvex::RequestQueue queue;
    queue.Attach(block.data());
    Guarded vars[4];
    const uint32_t sizes[4] = {8, 4, 64, 1};
    for (int i = 0; i < 4; ++i) check(queue.QueueRead(1, 0x560 + i, sizes[i], vars[i].data));
    check(queue.QueueEightByteRead(5, 0x570, vars[0].data + 8));
    uint16_t level = 1004;
    check(queue.QueueWrite(2, 0x330A, 2, &level));
    queue.Seal();
    if (size > 0) std::memcpy(block.data(), data, std::min(size, block.size()));
    queue.Deliver(size > 0 && (data[0] & 1) ? 7 : 2);
    for (const Guarded& g : vars) check(g.front == 0xF00DF00D && g.back == 0xBEEFBEEF);

    // The server's side: the same bytes as a client's request block.
    static halvex::sim::OffsetSpace space;
    halvex::sim::ServeRecords(block.data(), block.size(),
                              size > 1 && (data[1] & 1) ? halvex::sim::BlockDialect::Fds : halvex::sim::BlockDialect::DataServer,
                              space, nullptr);
    return 0;
}
