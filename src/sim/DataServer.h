// DataServer: the substitute simulator. A flight model stepped in real time on its own thread,
// published into the address space after every step, and served to clients of both protocols
// ("UIPCMAIN"; "FDSConnection", titled "FDSWideConnectionClient"). An exchange holds the frame
// lock for the whole block, so every read of one exchange comes from the same frame.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/MessageServer.h"
#include "platform/SharedBlock.h"
#include "sim/OffsetSpace.h"
#include "sim/RecordServing.h"
#include "sim/SimulatorOffsets.h"
#include "sim/FlightModel.h"
#include "simlink/RequestQueue.h"

namespace halvex::sim {

struct DataServerOptions {
    FlightModelConfig model;
    ServerIdentity identity;
    bool serveDataServer = true;  // "UIPCMAIN"
    bool serveFds = true;         // "FDSConnection" / "FDSWideConnectionClient"
    double frameSeconds = 0.02;   // real time between model steps
    bool ownClock = true;         // false: the model moves only through Step (tests)
};

class DataServer {
public:
    explicit DataServer(const DataServerOptions& options);
    ~DataServer();  // stops
    DataServer(const DataServer&) = delete;
    DataServer& operator=(const DataServer&) = delete;

    bool Start(std::string* error = nullptr);
    void Stop();

    // Advances the model by realSeconds and publishes (what the own clock does every frame).
    void Step(double realSeconds);

    AircraftSnapshot Snapshot() const;
    AutopilotInputs Autopilot() const;
    uint16_t ClientProtocolLevel() const;  // what the last version exchange wrote to 0x330A
    uint64_t Exchanges() const { return exchanges_; }
    // Runs f(model, space) under the frame lock (tests set up states through it).
    template <typename F>
    void WithModel(F f) {
        std::lock_guard guard(frame_);
        f(model_, space_);
    }

private:
    uint64_t handle(const platform::IncomingMessage& m, BlockDialect dialect);
    void forget(BlockDialect dialect, uint64_t connection);
    void runClock();

    DataServerOptions options_;
    mutable std::mutex frame_;
    FlightModel model_;
    OffsetSpace space_;
    uint16_t protocolLevel_ = 0;
    // Mapped client blocks, by (protocol, connection, block name): mapped once per connection.
    std::map<std::tuple<int, uint64_t, std::string>, std::unique_ptr<platform::SharedBlock>> blocks_;
    static constexpr size_t kFirstReadBytes = 512;
    std::vector<uint8_t> copy_ = std::vector<uint8_t>(RequestQueue::kBlockBytes);  // a block being served
    platform::MessageServer ipc_;
    platform::MessageServer fds_;
    std::atomic<uint64_t> exchanges_{0};

    std::thread clock_;
    std::mutex clockLock_;
    std::condition_variable clockWake_;
    bool stopping_ = false;
};

}  // namespace halvex::sim
