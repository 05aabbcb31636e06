// ScriptedServer: a data server under the test's control. It answers under a chosen class and/or
// title, serves records from its own address space, and lets the test break the exchange on
// purpose: another message result, a rewritten block, a slow or silent answer.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/MessageServer.h"
#include "platform/SharedBlock.h"
#include "platform/WindowMessages.h"
#include "simlink/RequestQueue.h"
#include "sim/OffsetSpace.h"
#include "sim/RecordServing.h"

namespace halvex::test {

class ScriptedServer {
public:
    // After serving: may rewrite the block; returns the message result to send.
    using Tamper = std::function<uint64_t(uint8_t* block, uint64_t servedResult)>;

    ScriptedServer(std::string className, std::string title, sim::BlockDialect dialect)
        : className_(std::move(className)), title_(std::move(title)), dialect_(dialect) {
        // A good version exchange unless a test says otherwise.
        space.Put<uint32_t>(0x3304, 0x19980005);
        space.Put<uint32_t>(0x3308, 0xFADE0007);
    }
    ~ScriptedServer() { Stop(); }

    bool Start() {
        return server_.Start(
            className_, title_, [this](const platform::IncomingMessage& m) { return handle(m); },
            [this](uint64_t c) {
                std::lock_guard g(lock_);
                for (auto it = blocks_.begin(); it != blocks_.end();)
                    it = it->first.first == c ? blocks_.erase(it) : std::next(it);
            });
    }
    void Stop() { server_.Stop(); }

    void SetTamper(Tamper t) {
        std::lock_guard g(lock_);
        tamper_ = std::move(t);
    }
    // Holds every answer back by this long (a slow or hung server).
    void SetDelayMs(uint32_t ms) { delayMs_ = ms; }
    // Runs before serving each block (the test sees what the client queued).
    void SetInspector(std::function<void(const uint8_t* block)> f) {
        std::lock_guard g(lock_);
        inspector_ = std::move(f);
    }

    int Exchanges() const { return exchanges_; }
    std::vector<std::string> AtomNames() const {
        std::lock_guard g(lock_);
        return atomNames_;
    }
    sim::OffsetSpace space;  // change only while no client exchanges

private:
    uint64_t handle(const platform::IncomingMessage& m) {
        if (delayMs_) platform::SleepMs(delayMs_);
        std::lock_guard g(lock_);
        ++exchanges_;
        atomNames_.push_back(m.atomName);
        auto key = std::make_pair(m.connection, m.atomName);
        auto it = blocks_.find(key);
        if (it == blocks_.end()) {
            auto block = std::make_unique<platform::SharedBlock>();
            if (!block->OpenExisting(m.atomName, RequestQueue::kBlockBytes)) return 0;
            it = blocks_.emplace(key, std::move(block)).first;
        }
        uint8_t* view = copy_.data();  // the whole block, served and tampered with, then written back
        it->second->ReadAt(0, view, copy_.size());
        if (inspector_) inspector_(view);
        const uint64_t served = sim::ServeRecords(view, RequestQueue::kBlockBytes, dialect_, space, nullptr);
        const uint64_t result = tamper_ ? tamper_(view, served) : served;
        it->second->WriteAt(0, view, copy_.size());
        return result;
    }

    std::string className_, title_;
    sim::BlockDialect dialect_;
    platform::MessageServer server_;
    mutable std::mutex lock_;
    std::map<std::pair<uint64_t, std::string>, std::unique_ptr<platform::SharedBlock>> blocks_;
    Tamper tamper_;
    std::function<void(const uint8_t*)> inspector_;
    std::atomic<uint32_t> delayMs_{0};
    std::atomic<int> exchanges_{0};
    std::vector<std::string> atomNames_;
    std::vector<uint8_t> copy_ = std::vector<uint8_t>(RequestQueue::kBlockBytes);
};

}  // namespace halvex::test
