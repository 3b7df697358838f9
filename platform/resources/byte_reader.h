// Bounds-checked little-endian reading of resource data; a read past the end gives nullopt
// and leaves the reader failed, so later reads fail too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace yolt::rsrc {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    std::optional<uint8_t> U8()
    {
        if (failed_ || at_ + 1 > size_)
            return Fail<uint8_t>();
        return data_[at_++];
    }
    std::optional<uint16_t> PeekU16() const
    {
        if (failed_ || at_ + 2 > size_)
            return std::nullopt;
        return static_cast<uint16_t>(data_[at_] | (data_[at_ + 1] << 8));
    }
    std::optional<uint16_t> U16()
    {
        auto value = PeekU16();
        if (!value)
            return Fail<uint16_t>();
        at_ += 2;
        return value;
    }
    std::optional<uint32_t> U32()
    {
        auto low = U16();
        auto high = U16();
        if (!low || !high)
            return Fail<uint32_t>();
        return static_cast<uint32_t>(*low | (static_cast<uint32_t>(*high) << 16));
    }
    /// A zero-terminated UTF-16 text (the terminator is consumed, not returned).
    std::optional<std::u16string> Text()
    {
        std::u16string text;
        while (true) {
            auto c = U16();
            if (!c)
                return std::nullopt;
            if (*c == 0)
                return text;
            text.push_back(static_cast<char16_t>(*c));
        }
    }
    std::optional<std::vector<uint8_t>> Bytes(size_t count)
    {
        if (failed_ || count > size_ - at_)
            return Fail<std::vector<uint8_t>>();
        std::vector<uint8_t> bytes(data_ + at_, data_ + at_ + count);
        at_ += count;
        return bytes;
    }
    void Align(size_t boundary)
    {
        while (at_ % boundary != 0 && at_ < size_)
            ++at_;
    }
    size_t Offset() const { return at_; }

private:
    template <typename T>
    std::optional<T> Fail()
    {
        failed_ = true;
        return std::nullopt;
    }

    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    bool failed_ = false;
};

}  // namespace yolt::rsrc
