// A hidden top-level window on a thread of its own that pumps messages; every registered message
// sent to it goes to the handler. A client has no connection here, so one is the atom name it
// sends with: it ends when the client deletes that atom (checked when a new name arrives and once
// a second), and its per-connection resources then go.
#include "platform/MessageServer.h"

#include <windows.h>

#include <atomic>
#include <future>
#include <map>
#include <thread>

#include "platform/WindowMessages.h"

namespace halvex::platform {

namespace {

constexpr UINT_PTR kSweepTimer = 1;
constexpr UINT kSweepPeriodMs = 1000;
std::atomic<unsigned> privateClassCounter{0};

}  // namespace

struct MessageServer::Impl {
    std::string className;  // registered by this server
    std::string title;
    HWND window = nullptr;
    std::thread pump;
    std::atomic<bool> running{false};
    Handler handler;
    Farewell farewell;
    std::map<std::string, uint64_t> connections;  // atom name -> connection id
    uint64_t nextId = 1;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Impl*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self) {
            if (message >= 0xC000 && message <= 0xFFFF) return static_cast<LRESULT>(self->answer(message, wParam, lParam));
            if (message == WM_TIMER && wParam == kSweepTimer) {
                self->sweep();
                return 0;
            }
            if (message == WM_DESTROY) {
                ::KillTimer(window, kSweepTimer);
                ::PostQuitMessage(0);
                return 0;
            }
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    uint64_t answer(UINT message, WPARAM wParam, LPARAM lParam) {
        IncomingMessage m;
        if (auto name = RegisteredMessageName(message)) m.messageName = *name;
        if (wParam <= 0xFFFF)
            if (auto atom = GlobalAtomName(static_cast<uint16_t>(wParam))) m.atomName = *atom;
        m.wParam = wParam;
        m.lParam = lParam;
        if (!m.atomName.empty()) {
            auto it = connections.find(m.atomName);
            if (it == connections.end()) {
                sweep();  // a new client: a good moment to let departed ones go
                it = connections.emplace(m.atomName, nextId++).first;
            }
            m.connection = it->second;
        }
        return handler(m);
    }

    // Ends the connections whose atom no longer exists.
    void sweep() {
        for (auto it = connections.begin(); it != connections.end();) {
            if (::GlobalFindAtomA(it->first.c_str()) == 0) {
                if (farewell) farewell(it->second);
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
    }

    void farewellAll() {
        for (const auto& [name, id] : connections)
            if (farewell) farewell(id);
        connections.clear();
    }

    // The window thread: creates the window, reports, pumps until the window is destroyed.
    void run(std::promise<std::string> started) {
        const HINSTANCE instance = ::GetModuleHandleA(nullptr);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Impl::procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = className.c_str();
        if (!::RegisterClassA(&windowClass)) {
            started.set_value("cannot register window class " + className);
            return;
        }
        window = ::CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                   instance, this);
        if (!window) {
            ::UnregisterClassA(className.c_str(), instance);
            started.set_value("cannot create the window " + className);
            return;
        }
        ::SetTimer(window, kSweepTimer, kSweepPeriodMs, nullptr);
        started.set_value("");
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        window = nullptr;
        farewellAll();
        ::UnregisterClassA(className.c_str(), instance);
    }
};

MessageServer::MessageServer() : impl_(std::make_unique<Impl>()) {}
MessageServer::~MessageServer() { Stop(); }

bool MessageServer::Start(const std::string& className, const std::string& title, Handler handler, Farewell farewell,
                          std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (impl_->running) return fail("already running");
    if (!className.empty() && FindWindowByClass(className)) return fail("another server answers as window class " + className);
    if (!title.empty() && FindWindowByTitle(title)) return fail("another server answers as window " + title);
    impl_->className = !className.empty() ? className
                                          : "HalvexServer." + std::to_string(::GetCurrentProcessId()) + "." +
                                                std::to_string(privateClassCounter++);
    impl_->title = title;
    impl_->handler = std::move(handler);
    impl_->farewell = std::move(farewell);
    std::promise<std::string> started;
    std::future<std::string> outcome = started.get_future();
    impl_->pump = std::thread([this, p = std::move(started)]() mutable { impl_->run(std::move(p)); });
    const std::string why = outcome.get();
    if (!why.empty()) {
        impl_->pump.join();
        return fail(why);
    }
    impl_->running = true;
    return true;
}

void MessageServer::Stop() {
    if (!impl_->running) return;
    ::PostMessageA(impl_->window, WM_CLOSE, 0, 0);  // the default handling destroys the window
    impl_->pump.join();
    impl_->running = false;
}

bool MessageServer::Running() const { return impl_->running; }

}  // namespace halvex::platform
