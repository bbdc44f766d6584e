// Bounds-checked little-endian access to bytes read from disk.
//
// Every read names its width and byte order. A read outside the view yields 0 and sets a sticky
// failure flag, so a run of fields can be read and the flag tested once afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace jet {

class ByteView {
public:
    ByteView() = default;
    explicit ByteView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    bool ok() const { return ok_; }
    void resetError() { ok_ = true; }

    // True when [offset, offset + length) lies inside the view; overflow-safe.
    bool has(std::size_t offset, std::size_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }

    std::uint8_t u8(std::size_t offset) const {
        if (!has(offset, 1)) {
            ok_ = false;
            return 0;
        }
        return bytes_[offset];
    }
    std::uint16_t u16(std::size_t offset) const {
        if (!has(offset, 2)) {
            ok_ = false;
            return 0;
        }
        return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
    }
    std::uint32_t u24(std::size_t offset) const {
        if (!has(offset, 3)) {
            ok_ = false;
            return 0;
        }
        return static_cast<std::uint32_t>(bytes_[offset]) |
               (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16);
    }
    std::uint32_t u32(std::size_t offset) const {
        if (!has(offset, 4)) {
            ok_ = false;
            return 0;
        }
        return u24(offset) | (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
    }
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
    // Index entries store page numbers big-endian so that they sort bytewise.
    std::uint32_t u24be(std::size_t offset) const {
        if (!has(offset, 3)) {
            ok_ = false;
            return 0;
        }
        return (static_cast<std::uint32_t>(bytes_[offset]) << 16) |
               (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) | bytes_[offset + 2];
    }
    std::uint32_t u32be(std::size_t offset) const {
        if (!has(offset, 4)) {
            ok_ = false;
            return 0;
        }
        return (static_cast<std::uint32_t>(bytes_[offset]) << 24) | u24be(offset + 1);
    }

    // A sub-view; an out-of-range request yields an empty view and sets the flag.
    ByteView sub(std::size_t offset, std::size_t length) const {
        if (!has(offset, length)) {
            ok_ = false;
            return ByteView{};
        }
        return ByteView{bytes_.subspan(offset, length)};
    }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

private:
    std::span<const std::uint8_t> bytes_;
    mutable bool ok_ = true;
};

inline void putU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

} // namespace jet
