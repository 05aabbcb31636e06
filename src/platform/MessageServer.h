// The server end of window messages: a "window" registered under a class and/or a title that
// answers each message sent to it. Its threads sleep in the system until a client or Stop() wakes
// them, except that a connection stays awake for a moment after each answer, since the next
// message of a burst usually follows at once. Handlers of different connections may run at the
// same time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace halvex::platform {

struct IncomingMessage {
    std::string messageName;  // the registered name the sender used
    uint64_t wParam = 0;
    int64_t lParam = 0;
    std::string atomName;     // the name of the atom in wParam, empty when it was none
    uint64_t connection = 0;  // identifies the sender's connection (stable while it lasts)
};

class MessageServer {
public:
    using Handler = std::function<uint64_t(const IncomingMessage&)>;
    // Called when a connection ends, so per-connection resources can go.
    using Farewell = std::function<void(uint64_t connection)>;

    MessageServer();
    ~MessageServer();  // stops
    MessageServer(const MessageServer&) = delete;
    MessageServer& operator=(const MessageServer&) = delete;

    // Registers the window (className and/or title may be empty) and starts answering on its own
    // thread. False with a reason when the name is taken by a live server or the socket fails.
    bool Start(const std::string& className, const std::string& title, Handler handler, Farewell farewell,
               std::string* error = nullptr);
    void Stop();
    bool Running() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace halvex::platform
