// A read-only TagLib stream over a file opened through the platform's file layer, so drive
// mapping, case-insensitive names and sharing modes apply to the files the editor reads.
#pragma once

#include <string>

#include <taglib/tiostream.h>

#include "platform/base/types.h"

namespace yolt::media {

class PlatformStream : public TagLib::IOStream {
public:
    /// Opens the file at a Windows path for reading, shared for reading only; check IsOpen(),
    /// and on failure GetLastError().
    explicit PlatformStream(LPCWSTR path);
    ~PlatformStream() override;
    PlatformStream(const PlatformStream&) = delete;
    PlatformStream& operator=(const PlatformStream&) = delete;

    TagLib::FileName name() const override { return m_name.c_str(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    // The editor never changes files: the writing calls do nothing.
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long = 0, unsigned long = 0) override {}
    void removeBlock(unsigned long = 0, unsigned long = 0) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }
    void seek(long offset, Position position = Beginning) override;
    long tell() const override;
    long length() override;
    void truncate(long) override {}

private:
    HANDLE m_handle;
    std::string m_name;
};

}  // namespace yolt::media
