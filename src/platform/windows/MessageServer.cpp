// A hidden top-level window on a thread of its own that pumps messages; every registered message
// sent to it goes to the handler. A window message has no connection behind it, so each message
// is a connection of its own, ended (farewell) as soon as it is answered: whatever the handler
// opened for the sender's block is let go at once, so the block's name is free again the moment
// the client closes it (the FDS client reuses the same name at every open).
#include "platform/MessageServer.h"

#include <windows.h>

#include <atomic>
#include <future>
#include <thread>

#include "platform/WindowMessages.h"

namespace halvex::platform {

namespace {

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
    uint64_t nextId = 1;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Impl*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self) {
            if (message >= 0xC000 && message <= 0xFFFF) return static_cast<LRESULT>(self->answer(message, wParam, lParam));
            if (message == WM_DESTROY) {
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
        m.connection = nextId++;
        const uint64_t result = handler(m);
        if (farewell) farewell(m.connection);
        return result;
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
        started.set_value("");
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        window = nullptr;
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
