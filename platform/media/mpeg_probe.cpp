#include "platform/media/mpeg_probe.h"

#include <optional>

namespace yolt::media {
namespace {

struct FrameHeader {
    int version;     // 1, 2, or 25 for 2.5
    int layer;       // 1, 2 or 3
    int sampleRate;  // in Hz
    unsigned int length;  // bytes of the whole frame
};

// Bit rates in kbit/s by [table][index]; index 0 (free format) and 15 are not accepted.
constexpr int kBitRates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},  // MPEG-1 layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},     // MPEG-1 layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},      // MPEG-1 layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},     // MPEG-2/2.5 layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},          // MPEG-2/2.5 layer II, III
};
constexpr int kSampleRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

std::optional<FrameHeader> ParseHeader(const TagLib::ByteVector& data, unsigned int at)
{
    if (at + 4 > data.size())
        return std::nullopt;
    auto byte = [&](unsigned int i) { return static_cast<unsigned char>(data[at + i]); };
    if (byte(0) != 0xFF || (byte(1) & 0xE0) != 0xE0)
        return std::nullopt;
    int versionBits = (byte(1) >> 3) & 3, layerBits = (byte(1) >> 1) & 3;
    int bitRateIndex = byte(2) >> 4, sampleRateIndex = (byte(2) >> 2) & 3, padding = (byte(2) >> 1) & 1;
    if (versionBits == 1 || layerBits == 0 || sampleRateIndex == 3)
        return std::nullopt;
    FrameHeader header;
    header.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    header.layer = 4 - layerBits;
    int table = header.version == 1 ? header.layer - 1 : header.layer == 1 ? 3 : 4;
    int bitRate = kBitRates[table][bitRateIndex] * 1000;
    if (bitRate == 0)
        return std::nullopt;
    header.sampleRate = kSampleRates[header.version == 1 ? 0 : header.version == 2 ? 1 : 2][sampleRateIndex];
    if (header.layer == 1)
        header.length = static_cast<unsigned int>((12 * bitRate / header.sampleRate + padding) * 4);
    else if (header.layer == 3 && header.version != 1)
        header.length = static_cast<unsigned int>(72 * bitRate / header.sampleRate + padding);
    else
        header.length = static_cast<unsigned int>(144 * bitRate / header.sampleRate + padding);
    return header;
}

}  // namespace

bool HasMpegAudioFrame(const TagLib::ByteVector& data, unsigned int start)
{
    for (unsigned int at = start; at + 4 <= data.size(); ++at) {
        auto frame = ParseHeader(data, at);
        if (!frame)
            continue;
        unsigned int next = at + frame->length;
        if (next == data.size())
            return true;
        auto following = ParseHeader(data, next);
        if (following && following->version == frame->version && following->layer == frame->layer &&
            following->sampleRate == frame->sampleRate)
            return true;
    }
    return false;
}

unsigned int Id3v2TagSize(const TagLib::ByteVector& data)
{
    if (data.size() < 10 || !data.startsWith("ID3"))
        return 0;
    unsigned int size = 0;
    for (int i = 6; i < 10; ++i) {
        auto b = static_cast<unsigned char>(data[i]);
        if (b & 0x80)
            return 0;
        size = (size << 7) | b;
    }
    bool footer = static_cast<unsigned char>(data[5]) & 0x10;
    return 10 + size + (footer ? 10 : 0);
}

}  // namespace yolt::media
