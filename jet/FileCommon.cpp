#include "File.h"

#include <atomic>

namespace jet {

namespace {
std::atomic<FaultHook> g_hook{nullptr};
std::atomic<void*> g_hookContext{nullptr};
} // namespace

void setFaultHook(FaultHook hook, void* context) {
    g_hookContext.store(context);
    g_hook.store(hook);
}

bool faultInjected(FaultPoint point) {
    FaultHook hook = g_hook.load();
    return hook != nullptr && hook(point, g_hookContext.load());
}

File::File(File&& other) noexcept : handle_(other.handle_) {
    other.handle_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

File::~File() {
    close();
}

bool File::isOpen() const {
    return handle_ != -1;
}

std::string displayPath(const std::filesystem::path& path) {
    auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

} // namespace jet
