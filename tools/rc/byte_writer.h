// Little-endian byte output for the binary resource layouts.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace yolt::rc {

class ByteWriter {
public:
    void U8(uint8_t value) { bytes_.push_back(value); }
    void U16(uint16_t value)
    {
        U8(value & 0xFF);
        U8(value >> 8);
    }
    void U32(uint32_t value)
    {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    /// UTF-16 text and its terminating zero.
    void Text(const std::u16string& text)
    {
        for (char16_t c : text)
            U16(c);
        U16(0);
    }
    void Bytes(const std::vector<uint8_t>& data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void Align(size_t boundary)
    {
        while (bytes_.size() % boundary != 0)
            U8(0);
    }
    void PatchU16(size_t at, uint16_t value)
    {
        bytes_[at] = value & 0xFF;
        bytes_[at + 1] = value >> 8;
    }
    void PatchU32(size_t at, uint32_t value)
    {
        PatchU16(at, value & 0xFFFF);
        PatchU16(at + 2, value >> 16);
    }
    size_t Size() const { return bytes_.size(); }
    std::vector<uint8_t>& Data() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace yolt::rc
