#include "File.h"

#include <algorithm>
#include <atomic>
#include <vector>

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

IoResult copyByBuffer(const File& source, File& target, std::uint64_t from, std::uint64_t size) {
    IoResult io;
    std::vector<std::uint8_t> buffer(std::size_t{4} << 20);
    for (std::uint64_t at = from; io.ok() && at < size;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - at));
        io = source.readAt(at, std::span(buffer.data(), n));
        if (io.ok()) {
            io = target.writeAt(at, std::span<const std::uint8_t>(buffer.data(), n));
        }
        at += n;
    }
    return io;
}

bool File::isOpen() const {
    return handle_ != -1;
}

std::string displayPath(const std::filesystem::path& path) {
    auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

} // namespace jet
