#include "mspack_io.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/files.h"

namespace yolt::setup {
namespace {

// What libmspack holds as a `struct mspack_file *`.
struct PlatformFile {
    PlatformIo* io;
    HANDLE handle;
    bool output;
};

PlatformFile* Unwrap(mspack_file* file) { return reinterpret_cast<PlatformFile*>(file); }

DWORD ErrorOr(DWORD fallback)
{
    DWORD error = GetLastError();
    return error ? error : fallback;
}

mspack_file* Open(mspack_system* self, const char* filename, int mode)
{
    auto* io = reinterpret_cast<PlatformIo*>(self);
    const bool output = mode != MSPACK_SYS_OPEN_READ;
    DWORD access = GENERIC_READ, share = FILE_SHARE_READ, disposition = OPEN_EXISTING;
    switch (mode) {
    case MSPACK_SYS_OPEN_READ: break;
    case MSPACK_SYS_OPEN_WRITE: access = GENERIC_WRITE, share = 0, disposition = CREATE_ALWAYS; break;
    case MSPACK_SYS_OPEN_UPDATE: access = GENERIC_READ | GENERIC_WRITE, share = 0; break;
    case MSPACK_SYS_OPEN_APPEND: access = GENERIC_WRITE, share = 0, disposition = OPEN_ALWAYS; break;
    default: return nullptr;
    }
    SetLastError(NO_ERROR);
    HANDLE handle = CreateFileA(filename, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        (output ? io->outputError : io->inputError) = ErrorOr(output ? ERROR_CANNOT_MAKE : ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    if (mode == MSPACK_SYS_OPEN_APPEND)
        SetFilePointer(handle, 0, nullptr, FILE_END);
    if (output)
        io->outputOpened = true;
    return reinterpret_cast<mspack_file*>(new PlatformFile{io, handle, output});
}

void Close(mspack_file* file)
{
    PlatformFile* f = Unwrap(file);
    if (!f)
        return;
    PlatformIo* io = f->io;
    if (f->output && io->hasPendingTime) {
        FILETIME local, utc;
        if (DosDateTimeToFileTime(io->pendingDosDate, io->pendingDosTime, &local) &&
            LocalFileTimeToFileTime(&local, &utc))
            SetFileTime(f->handle, nullptr, nullptr, &utc);
    }
    CloseHandle(f->handle);
    delete f;
}

int Read(mspack_file* file, void* buffer, int bytes)
{
    PlatformFile* f = Unwrap(file);
    if (!f || bytes < 0)
        return -1;
    DWORD read = 0;
    SetLastError(NO_ERROR);
    if (!ReadFile(f->handle, buffer, static_cast<DWORD>(bytes), &read, nullptr)) {
        (f->output ? f->io->outputError : f->io->inputError) = ErrorOr(ERROR_READ_FAULT);
        return -1;
    }
    return static_cast<int>(read);
}

int Write(mspack_file* file, void* buffer, int bytes)
{
    PlatformFile* f = Unwrap(file);
    if (!f || bytes < 0)
        return -1;
    DWORD written = 0;
    SetLastError(NO_ERROR);
    if (!WriteFile(f->handle, buffer, static_cast<DWORD>(bytes), &written, nullptr)) {
        (f->output ? f->io->outputError : f->io->inputError) = ErrorOr(ERROR_WRITE_FAULT);
        return -1;
    }
    return static_cast<int>(written);
}

int Seek(mspack_file* file, off_t offset, int mode)
{
    PlatformFile* f = Unwrap(file);
    if (!f)
        return -1;
    DWORD method = mode == MSPACK_SYS_SEEK_START ? FILE_BEGIN : mode == MSPACK_SYS_SEEK_CUR ? FILE_CURRENT : FILE_END;
    LONG high = static_cast<LONG>(static_cast<int64_t>(offset) >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(f->handle, static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        f->io->inputError = GetLastError();
        return -1;
    }
    return 0;
}

off_t Tell(mspack_file* file)
{
    PlatformFile* f = Unwrap(file);
    if (!f)
        return -1;
    LONG high = 0;
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(f->handle, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return -1;
    return static_cast<off_t>((static_cast<uint64_t>(static_cast<DWORD>(high)) << 32) | low);
}

// libmspack's remarks about odd cabinets are not shown: the outcome reaches the caller as an error.
void Message(mspack_file*, const char*, ...) {}

void* Alloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void Free(void* pointer) { std::free(pointer); }
void Copy(void* source, void* destination, size_t bytes) { std::memmove(destination, source, bytes); }

}  // namespace

PlatformIo::PlatformIo()
{
    table.open = Open;
    table.close = Close;
    table.read = Read;
    table.write = Write;
    table.seek = Seek;
    table.tell = Tell;
    table.message = Message;
    table.alloc = Alloc;
    table.free = Free;
    table.copy = Copy;
    table.null_ptr = nullptr;
}

void PlatformIo::ResetOutput()
{
    outputError = 0;
    outputOpened = false;
    hasPendingTime = false;
}

}  // namespace yolt::setup
