#include "sim/DataServer.h"

#include <chrono>

#include "simlink/FdsClient.h"
#include "simlink/RequestQueue.h"
#include "simlink/SimIpcClient.h"
#include "simlink/SimOffsets.h"

namespace halvex::sim {

DataServer::DataServer(const DataServerOptions& options) : options_(options), model_(options.model) {
    PublishState(model_.state(), model_.autopilot(), options_.identity, space_);
}

DataServer::~DataServer() { Stop(); }

bool DataServer::Start(std::string* error) {
    using platform::IncomingMessage;
    if (options_.serveDataServer &&
        !ipc_.Start(
            SimIpcClient::kServerClass, "", [this](const IncomingMessage& m) { return handle(m, BlockDialect::DataServer); },
            [this](uint64_t c) { forget(BlockDialect::DataServer, c); }, error))
        return false;
    if (options_.serveFds &&
        !fds_.Start(
            FdsClient::kServerClass, FdsClient::kServerTitle, [this](const IncomingMessage& m) { return handle(m, BlockDialect::Fds); },
            [this](uint64_t c) { forget(BlockDialect::Fds, c); }, error)) {
        ipc_.Stop();
        return false;
    }
    if (options_.ownClock) {
        stopping_ = false;
        clock_ = std::thread([this] { runClock(); });
    }
    return true;
}

void DataServer::Stop() {
    {
        std::lock_guard guard(clockLock_);
        stopping_ = true;
    }
    clockWake_.notify_all();
    if (clock_.joinable()) clock_.join();
    ipc_.Stop();
    fds_.Stop();
    std::lock_guard guard(frame_);
    blocks_.clear();
}

void DataServer::Step(double realSeconds) {
    std::lock_guard guard(frame_);
    model_.step(realSeconds);
    PublishState(model_.state(), model_.autopilot(), options_.identity, space_);
}

void DataServer::runClock() {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options_.frameSeconds));
    auto last = Clock::now();
    std::unique_lock lock(clockLock_);
    while (!stopping_) {
        clockWake_.wait_until(lock, last + period, [this] { return stopping_; });  // sleeps; Stop wakes it
        if (stopping_) break;
        const auto now = Clock::now();
        Step(std::chrono::duration<double>(now - last).count());
        last = now;
    }
}

AircraftSnapshot DataServer::Snapshot() const {
    std::lock_guard guard(frame_);
    return model_.state();
}

AutopilotInputs DataServer::Autopilot() const {
    std::lock_guard guard(frame_);
    return model_.autopilot();
}

uint16_t DataServer::ClientProtocolLevel() const {
    std::lock_guard guard(frame_);
    return protocolLevel_;
}

uint64_t DataServer::handle(const platform::IncomingMessage& m, BlockDialect dialect) {
    const char* expected = dialect == BlockDialect::Fds ? FdsClient::kMessageName : SimIpcClient::kMessageName;
    if (m.messageName != expected || m.atomName.empty()) return 0;
    std::lock_guard guard(frame_);
    auto key = std::make_tuple(static_cast<int>(dialect), m.connection, m.atomName);
    auto it = blocks_.find(key);
    if (it == blocks_.end()) {
        auto block = std::make_unique<platform::SharedBlock>();
        if (!block->OpenExisting(m.atomName, RequestQueue::kBlockBytes)) return 0;
        it = blocks_.emplace(std::move(key), std::move(block)).first;
    }
    // Served in a copy: the client's block may be shrunk under us, which a mapping would not survive.
    platform::SharedBlock& block = *it->second;
    uint8_t* copy = copy_.data();
    // Most lists are short: the rest of the block only when the list runs on. A list that does
    // not end in what the block still holds is refused by ServeRecords.
    size_t held = block.ReadAt(0, copy, kFirstReadBytes);
    if (held == kFirstReadBytes && ListBytes(copy, held, dialect) == 0)
        held += block.ReadAt(held, copy + held, copy_.size() - held);
    AutopilotInputs& ap = model_.autopilot();
    size_t walked = 0;
    const uint64_t answer = ServeRecords(copy, held, dialect, space_,
                                         [&](uint32_t offset, uint32_t size) {
                                             if (offset < offsets::ProtocolLevel.at + 2 && offset + uint64_t{size} > offsets::ProtocolLevel.at)
                                                 protocolLevel_ = space_.Get<uint16_t>(offsets::ProtocolLevel.at);
                                             ApplyWrite(offset, size, space_, ap);
                                             PublishIdentity(options_.identity, space_);
                                         },
                                         &walked);
    if (!block.WriteAt(0, copy, walked)) return 0;
    ++exchanges_;
    return answer;
}

void DataServer::forget(BlockDialect dialect, uint64_t connection) {
    std::lock_guard guard(frame_);
    for (auto it = blocks_.begin(); it != blocks_.end();) {
        if (std::get<0>(it->first) == static_cast<int>(dialect) && std::get<1>(it->first) == connection)
            it = blocks_.erase(it);
        else
            ++it;
    }
}

}  // namespace halvex::sim
