// The request block layout, its limit, and the copy-back that trusts only the client's own list.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "simlink/RequestQueue.h"

namespace halvex {
namespace {

uint32_t word(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
void setWord(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

class RequestQueueTest : public ::testing::Test {
protected:
    RequestQueueTest() : block(RequestQueue::kBlockBytes, 0xEE) { queue.Attach(block.data()); }
    std::vector<uint8_t> block;
    RequestQueue queue;
};

TEST_F(RequestQueueTest, PacksRecordsBackToBackWithTokensAndATerminator) {
    uint32_t a = 0;
    const uint16_t level = 1004;
    ASSERT_TRUE(queue.QueueRead(1, 0x3304, 4, &a));
    ASSERT_TRUE(queue.QueueWrite(2, 0x330A, 2, &level));
    ASSERT_TRUE(queue.QueueRead(1, 0x3308, 3, nullptr));
    EXPECT_EQ(queue.QueuedBytes(), 16u + 4 + 12 + 2 + 16 + 3);
    queue.Seal();
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(word(block, 0), 1u);
    EXPECT_EQ(word(block, 4), 0x3304u);
    EXPECT_EQ(word(block, 8), 4u);
    EXPECT_EQ(word(block, 12), RequestQueue::DestinationField(&a, 0));  // non-zero: copied back
    if (sizeof(void*) == 4) {  // where addresses fit, the field holds the real one
        EXPECT_EQ(word(block, 12), static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&a)));
    }
    EXPECT_NE(word(block, 12), 0u);
    EXPECT_EQ(word(block, 16), 0u);                          // data zero-filled
    EXPECT_EQ(word(block, 20), 2u);
    EXPECT_EQ(word(block, 24), 0x330Au);
    EXPECT_EQ(word(block, 28), 2u);
    EXPECT_EQ(block[32] | block[33] << 8, 1004);
    EXPECT_EQ(word(block, 34), 1u);
    EXPECT_EQ(word(block, 34 + 12), 0u);  // no destination: token 0
    EXPECT_EQ(word(block, 34 + 16 + 3), 0u);  // terminator right after the last record
}

TEST_F(RequestQueueTest, AcceptsUpToTheLimitWithTerminatorAndRefusesOneByteMore) {
    // One read filling exactly 0x7F00 with its header and the terminator.
    const uint32_t fitting = RequestQueue::kUsableBytes - 16 - 4;
    EXPECT_FALSE(queue.QueueRead(1, 0, fitting + 1, nullptr));
    EXPECT_TRUE(queue.Empty());
    EXPECT_TRUE(queue.QueueRead(1, 0, fitting, nullptr));
    EXPECT_FALSE(queue.QueueWrite(2, 0, 0, nullptr));  // not even an empty write fits now
    queue.Seal();
    EXPECT_TRUE(queue.QueueWrite(2, 0, RequestQueue::kUsableBytes - 12 - 4, nullptr));
    EXPECT_FALSE(queue.QueueRead(1, 0, 0, nullptr));
}

TEST_F(RequestQueueTest, HugeSizesDoNotWrapAroundTheLimit) {
    EXPECT_FALSE(queue.QueueRead(1, 0, 0xFFFFFFFFu, nullptr));
    EXPECT_FALSE(queue.QueueWrite(2, 0, 0xFFFFFFF0u, nullptr));
    EXPECT_FALSE(queue.QueueRead(1, 0, 0xFFFFFFEFu, nullptr));
}

TEST_F(RequestQueueTest, CopiesBackFromItsOwnListWhateverTheServerDidToTheHeaders) {
    struct Guarded {
        uint32_t before = 0xAAAAAAAA;
        uint32_t value = 0;
        uint32_t after = 0xBBBBBBBB;
    } first, second;
    ASSERT_TRUE(queue.QueueRead(1, 0x10, 4, &first.value));
    ASSERT_TRUE(queue.QueueRead(1, 0x20, 4, &second.value));
    queue.Seal();
    setWord(block, 16, 111);           // the server's answers
    setWord(block, 20 + 16, 222);
    setWord(block, 8, 0x7FFF);         // then it rewrites a size...
    setWord(block, 12, 0xDEADBEEF);    // ...a destination...
    setWord(block, 20 + 8, 12);        // ...and another size
    queue.Deliver(2);
    EXPECT_EQ(first.value, 111u);
    EXPECT_EQ(second.value, 222u);
    EXPECT_EQ(first.before, 0xAAAAAAAAu);
    EXPECT_EQ(first.after, 0xBBBBBBBBu);
    EXPECT_EQ(second.after, 0xBBBBBBBBu);
}

TEST_F(RequestQueueTest, AnUnknownTypeEndsTheWalkAndIsCleared) {
    uint32_t a = 0, b = 0, c = 0;
    queue.QueueRead(1, 0, 4, &a);
    queue.QueueRead(1, 0, 4, &b);
    queue.QueueRead(1, 0, 4, &c);
    queue.Seal();
    setWord(block, 16, 1);
    setWord(block, 20 + 16, 2);
    setWord(block, 40 + 16, 3);
    setWord(block, 20, 9);  // second record's type rewritten
    queue.Deliver(2);
    EXPECT_EQ(a, 1u);  // earlier reads are still delivered
    EXPECT_EQ(b, 0u);
    EXPECT_EQ(c, 0u);
    EXPECT_EQ(word(block, 20), 0u);
}

TEST_F(RequestQueueTest, ATypeZeroWrittenByTheServerEndsTheWalk) {
    uint32_t a = 0, b = 0;
    queue.QueueRead(1, 0, 4, &a);
    queue.QueueRead(1, 0, 4, &b);
    queue.Seal();
    setWord(block, 16, 5);
    setWord(block, 20 + 16, 6);
    setWord(block, 0, 0);
    queue.Deliver(2);
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 0u);
}

TEST_F(RequestQueueTest, EightByteReadDeliversExactlyEightBytes) {
    uint8_t target[12];
    std::memset(target, 0x55, sizeof target);
    ASSERT_TRUE(queue.QueueEightByteRead(5, 0x560, target + 2));
    EXPECT_EQ(queue.QueuedBytes(), 20u);
    queue.Seal();
    for (int i = 0; i < 8; ++i) block[12 + i] = static_cast<uint8_t>(i + 1);
    block[20] = 0;  // the terminator's first byte, in case a walk overran
    queue.Deliver(7);
    EXPECT_EQ(target[1], 0x55);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(target[2 + i], i + 1);
    EXPECT_EQ(target[10], 0x55);
}

TEST_F(RequestQueueTest, DiscardedRepliesDeliverNothing) {
    uint32_t a = 7;
    queue.QueueRead(1, 0, 4, &a);
    queue.Seal();
    setWord(block, 16, 99);
    queue.Discard();
    queue.Deliver(2);
    EXPECT_EQ(a, 7u);
}

}  // namespace
}  // namespace halvex
