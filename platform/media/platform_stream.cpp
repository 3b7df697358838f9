#include "platform/media/platform_stream.h"

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/files.h"

namespace yolt::media {
namespace {

std::string Utf8(LPCWSTR text)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string narrow(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), bytes, nullptr, nullptr);
    narrow.resize(bytes - 1);
    return narrow;
}

}  // namespace

PlatformStream::PlatformStream(LPCWSTR path)
    : m_handle(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
{
    if (isOpen())
        m_name = Utf8(path);
}

PlatformStream::~PlatformStream()
{
    if (isOpen())
        CloseHandle(m_handle);
}

TagLib::ByteVector PlatformStream::readBlock(unsigned long length)
{
    if (!isOpen() || length == 0)
        return {};
    TagLib::ByteVector data(static_cast<unsigned int>(length), '\0');
    DWORD read = 0;
    if (!ReadFile(m_handle, data.data(), static_cast<DWORD>(length), &read, nullptr))
        return {};
    data.resize(read);
    return data;
}

void PlatformStream::seek(long offset, Position position)
{
    if (!isOpen())
        return;
    DWORD method = position == Beginning ? FILE_BEGIN : position == Current ? FILE_CURRENT : FILE_END;
    LONG high = static_cast<LONG>(static_cast<int64_t>(offset) >> 32);
    SetFilePointer(m_handle, static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
}

long PlatformStream::tell() const
{
    if (!isOpen())
        return 0;
    LONG high = 0;
    DWORD low = SetFilePointer(m_handle, 0, &high, FILE_CURRENT);
    return static_cast<long>((static_cast<uint64_t>(static_cast<DWORD>(high)) << 32) | low);
}

long PlatformStream::length()
{
    if (!isOpen())
        return 0;
    DWORD high = 0;
    DWORD low = GetFileSize(m_handle, &high);
    return static_cast<long>((static_cast<uint64_t>(high) << 32) | low);
}

}  // namespace yolt::media
