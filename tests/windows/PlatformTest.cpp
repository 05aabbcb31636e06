// The Win32 platform layer on its own: atoms, registered message names, file mappings that must
// never be shared by accident, and server windows with their connections.
#include <gtest/gtest.h>

#include <windows.h>

#include <mutex>
#include <vector>

#include "platform/MessageServer.h"
#include "platform/SharedBlock.h"
#include "platform/WindowMessages.h"

namespace halvex::platform {
namespace {

std::string uniqueName(const char* what) {
    static int counter = 0;
    return std::string("HalvexTest:") + what + ":" + std::to_string(::GetCurrentProcessId()) + ":" +
           std::to_string(++counter);
}

TEST(WindowsPlatform, AtomsAndMessagesKeepTheirNames) {
    const std::string name = uniqueName("atom");
    const uint16_t atom = AddGlobalAtom(name);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(GlobalAtomName(atom), name);
    DeleteGlobalAtom(atom);
    EXPECT_FALSE(GlobalAtomName(atom).has_value());
    EXPECT_EQ(AddGlobalAtom("#1234"), 0) << "an integer atom would carry no name";
    EXPECT_EQ(AddGlobalAtom(std::string(256, 'x')), 0);

    const uint32_t id = RegisterMessage("FsasmLib:IPC");
    ASSERT_GE(id, 0xC000u);
    EXPECT_EQ(RegisterMessage("FsasmLib:IPC"), id);
    EXPECT_EQ(RegisteredMessageName(id), "FsasmLib:IPC");
    EXPECT_FALSE(RegisteredMessageName(WM_USER).has_value());
}

TEST(WindowsPlatform, BlocksAreCreatedNewAndOpenedOnlyWhenBigEnough) {
    const std::string name = uniqueName("block");
    SharedBlock mine;
    ASSERT_EQ(mine.Create(name, 0x8000), SharedBlock::Created::Ok);
    const uint8_t mark = 0x5A;
    ASSERT_TRUE(mine.WriteAt(0x7FFF, &mark, 1));
    EXPECT_FALSE(mine.WriteAt(0x7FFF, &mark, 2)) << "nothing is written past the block";

    SharedBlock again;
    EXPECT_EQ(again.Create(name, 0x8000), SharedBlock::Created::AlreadyExisted);
    EXPECT_FALSE(again.IsHeld()) << "never shares a block someone else made";

    SharedBlock server;
    ASSERT_TRUE(server.OpenExisting(name, 0x8000));
    uint8_t seen = 0;
    EXPECT_EQ(server.ReadAt(0x7FFF, &seen, 1), 1u);
    EXPECT_EQ(seen, 0x5A);
    SharedBlock greedy;
    EXPECT_FALSE(greedy.OpenExisting(name, 0x20000)) << "a block smaller than asked is refused";

    server.Close();
    mine.Close();
    SharedBlock late;
    EXPECT_FALSE(late.OpenExisting(name, 0x8000)) << "the name goes with its last handle";
    EXPECT_EQ(late.Create(name, 0x8000), SharedBlock::Created::Ok);
}

// Each message is a connection of its own, ended as soon as it is answered, so a server never
// holds a client's block past the exchange (the client may reopen it under the same name).
TEST(WindowsPlatform, ServerWindowAnswersEachMessageAsAConnectionOfItsOwn) {
    const std::string cls = uniqueName("class");
    std::mutex lock;
    std::vector<std::pair<std::string, uint64_t>> seen;
    std::vector<uint64_t> gone;
    MessageServer server;
    std::string error;
    ASSERT_TRUE(server.Start(
        cls, "Halvex test window",
        [&](const IncomingMessage& m) {
            std::lock_guard guard(lock);
            seen.emplace_back(m.messageName + "|" + m.atomName, m.connection);
            return uint64_t{m.lParam == 7 ? 1u : 2u};
        },
        [&](uint64_t connection) {
            std::lock_guard guard(lock);
            gone.push_back(connection);
        },
        &error))
        << error;
    MessageServer twin;
    EXPECT_FALSE(twin.Start(cls, "", [](const IncomingMessage&) { return uint64_t{0}; }, nullptr, &error));

    const WindowHandle byClass = FindWindowByClass(cls);
    ASSERT_NE(byClass, 0u);
    EXPECT_EQ(FindWindowByTitle("Halvex test window"), byClass);
    const uint32_t message = RegisterMessage("Halvex:Test");
    const std::string clientName = uniqueName("client");
    const uint16_t client = AddGlobalAtom(clientName);
    SendOutcome out = SendMessageWithTimeout(byClass, message, client, 7, 2000);
    ASSERT_TRUE(out.delivered);
    EXPECT_EQ(out.result, 1u);
    EXPECT_EQ(SendMessageWithTimeout(byClass, message, client, 0, 2000).result, 2u);
    DeleteGlobalAtom(client);
    {
        std::lock_guard guard(lock);
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].first, "Halvex:Test|" + clientName);
        EXPECT_NE(seen[0].second, seen[1].second);
        EXPECT_EQ(gone, (std::vector<uint64_t>{seen[0].second, seen[1].second}));
    }

    server.Stop();
    EXPECT_EQ(FindWindowByClass(cls), 0u);
    SendOutcome late = SendMessageWithTimeout(byClass, message, 0, 0, 500);
    EXPECT_FALSE(late.delivered);
    EXPECT_NE(late.lastError, 0u);
    EXPECT_TRUE(server.Start(cls, "", [](const IncomingMessage&) { return uint64_t{1}; }, nullptr, &error))
        << "the class can be registered again: " << error;
}

}  // namespace
}  // namespace halvex::platform
