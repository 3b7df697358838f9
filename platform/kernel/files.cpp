#include "platform/kernel/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/devio.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/hostfiles.h"
#include "platform/kernel/paths.h"
#include "platform/kernel/sharing.h"
#include "platform/kernel/usage.h"
#include "platform/machine/machine.h"

#ifndef ERROR_NEGATIVE_SEEK
#define ERROR_NEGATIVE_SEEK 131L
#endif

namespace fs = std::filesystem;
using namespace yolt;
using namespace yolt::kernel;

namespace {

// One open file (or folder, with backup semantics) of the process.
class FileObject final : public KernelObject {
public:
    ~FileObject() override
    {
        if (ticket)
            ReleaseShare(ticket);
        if (fd >= 0)
            ::close(fd);
        if (deleteOnClose)
            ::unlink(host.c_str());
    }

    int fd = -1;
    fs::path host;
    bool canRead = false;
    bool canWrite = false;
    bool isFolder = false;
    bool deleteOnClose = false;
    uint64_t ticket = 0;
    // The drive's folder and declared capacity (0: the host volume limits the file alone).
    fs::path driveFolder;
    uint64_t capacity = 0;
};

std::shared_ptr<FileObject> FileFromHandle(HANDLE handle)
{
    auto file = LookupHandleAs<FileObject>(handle);
    if (!file)
        SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

HANDLE Fail(DWORD error)
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

bool IsDevicePath(std::u16string_view path)
{
    return path.size() > 4 && path.starts_with(u"\\\\.\\");
}

int OpenFlags(const ShareRequest& request)
{
    if (request.read && request.write)
        return O_RDWR;
    if (request.write)
        return O_WRONLY;
    return O_RDONLY;
}

// Bytes that may still be added to the file's drive.
uint64_t RoomOnDrive(const FileObject& file)
{
    uint64_t used = FolderUsage(file.driveFolder);
    return file.capacity > used ? file.capacity - used : 0;
}

HANDLE OpenFolder(const fs::path& host, DWORD flags)
{
    if (!(flags & FILE_FLAG_BACKUP_SEMANTICS))
        return Fail(ERROR_ACCESS_DENIED);
    auto file = std::make_shared<FileObject>();
    file->fd = ::open(host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (file->fd < 0)
        return Fail(ErrorFromErrno(errno));
    file->host = host;
    file->isFolder = true;
    SetLastError(ERROR_SUCCESS);
    return AddHandle(std::move(file));
}

HANDLE CreateFileAt(std::u16string_view path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING)
        return Fail(ERROR_INVALID_PARAMETER);
    DWORD error = 0;
    auto mapped = MapWindowsPath(path, error);
    if (!mapped)
        return Fail(error);
    const fs::path& host = mapped->host;
    ShareRequest request = ShareRequestFor(access, share);

    struct stat st;
    bool exists = ::stat(host.c_str(), &st) == 0;
    bool truncate = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (exists && S_ISDIR(st.st_mode))
        return OpenFolder(host, flags);
    if (exists && disposition == CREATE_NEW)
        return Fail(ERROR_FILE_EXISTS);
    if (exists && IsReadOnly(st) && (request.write || truncate))
        return Fail(ERROR_ACCESS_DENIED);
    if (!exists && (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING))
        return Fail(MissingError(host));
    if (disposition == TRUNCATE_EXISTING && !request.write)
        return Fail(ERROR_INVALID_PARAMETER);

    auto file = std::make_shared<FileObject>();
    int openFlags = OpenFlags(request) | O_CLOEXEC | (exists ? 0 : O_CREAT);
    file->fd = ChangeInFolder(host.parent_path(), [&] { return ::open(host.c_str(), openFlags, 0666); });
    if (file->fd < 0)
        return Fail(errno == ENOENT ? MissingError(host) : ErrorFromErrno(errno));
    file->host = host;
    file->canRead = request.read;
    file->canWrite = request.write;
    if (auto drive = machine::CurrentMachine().FindDrive(mapped->drive)) {
        file->driveFolder = drive->folder;
        file->capacity = drive->capacity;
    }

    struct stat opened;
    ::fstat(file->fd, &opened);
    file->ticket = AcquireShare(opened.st_dev, opened.st_ino, request);
    if (!file->ticket)
        return Fail(ERROR_SHARING_VIOLATION);
    if (exists && truncate && opened.st_size > 0) {
        if (::ftruncate(file->fd, 0) != 0)
            return Fail(ErrorFromErrno(errno));
        AdjustFolderUsage(file->driveFolder, -static_cast<int64_t>(opened.st_size));
    }
    if (!exists && (flags & FILE_ATTRIBUTE_READONLY))
        SetReadOnly(host, true);
    file->deleteOnClose = (flags & FILE_FLAG_DELETE_ON_CLOSE) != 0;

    bool reportExisting = exists && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
    SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return AddHandle(std::move(file));
}

// Seconds and nanoseconds since 1970 for a FILETIME (100 ns units since 1601).
timespec TimespecFromFileTime(const FILETIME& time)
{
    constexpr uint64_t kEpochDifference = 116444736000000000ull;
    uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    timespec ts = {};
    if (ticks < kEpochDifference)
        return ts;
    ticks -= kEpochDifference;
    ts.tv_sec = static_cast<time_t>(ticks / 10000000);
    ts.tv_nsec = static_cast<long>((ticks % 10000000) * 100);
    return ts;
}

FILETIME FileTimeFromTicks(uint64_t ticks)
{
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

extern "C" {

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition,
    DWORD flags, HANDLE)
{
    if (!path)
        return Fail(ERROR_INVALID_PARAMETER);
    std::u16string_view text(path);
    if (IsDevicePath(text))
        return yolt::OpenDevice(Utf8FromWide(text.substr(4)));
    return CreateFileAt(text, access, share, disposition, flags);
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
    DWORD flags, HANDLE templateFile)
{
    auto wide = WidePathFromAcp(path);
    if (!wide)
        return INVALID_HANDLE_VALUE;
    return CreateFileW(wide->c_str(), access, share, security, disposition, flags, templateFile);
}

BOOL CloseHandle(HANDLE handle)
{
    if (!RemoveHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED)
{
    if (read)
        *read = 0;
    auto file = FileFromHandle(handle);
    if (!file)
        return FALSE;
    if (!file->canRead || file->isFolder) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!buffer && toRead) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    DWORD done = 0;
    while (done < toRead) {
        ssize_t n = ::read(file->fd, static_cast<char*>(buffer) + done, toRead - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (read)
                *read = done;
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
        if (n == 0)
            break;
        done += static_cast<DWORD>(n);
    }
    if (read)
        *read = done;
    return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED)
{
    if (written)
        *written = 0;
    auto file = FileFromHandle(handle);
    if (!file)
        return FALSE;
    if (!file->canWrite || file->isFolder) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!buffer && toWrite) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }

    struct stat st;
    ::fstat(file->fd, &st);
    uint64_t size = static_cast<uint64_t>(st.st_size);
    uint64_t position = static_cast<uint64_t>(::lseek(file->fd, 0, SEEK_CUR));
    uint64_t end = position + toWrite;
    uint64_t growth = end > size ? end - size : 0;

    // On a drive of declared capacity, write only what still fits.
    DWORD allowed = toWrite;
    bool full = false;
    if (growth > 0 && file->capacity > 0) {
        uint64_t room = RoomOnDrive(*file);
        if (growth > room) {
            full = true;
            uint64_t shortBy = growth - room;
            allowed = shortBy >= toWrite ? 0 : static_cast<DWORD>(toWrite - shortBy);
        }
    }

    DWORD done = 0;
    DWORD error = ERROR_SUCCESS;
    while (done < allowed) {
        ssize_t n = ::write(file->fd, static_cast<const char*>(buffer) + done, allowed - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = ErrorFromErrno(errno);
            break;
        }
        done += static_cast<DWORD>(n);
    }
    uint64_t newEnd = position + done;
    if (done > 0 && newEnd > size)
        AdjustFolderUsage(file->driveFolder, static_cast<int64_t>(newEnd - size));
    if (written)
        *written = done;
    if (error == ERROR_SUCCESS && full)
        error = ERROR_DISK_FULL;
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD method)
{
    auto file = FileFromHandle(handle);
    if (!file)
        return INVALID_SET_FILE_POINTER;
    int64_t offset = distanceHigh
        ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
              static_cast<uint32_t>(distance))
        : static_cast<int64_t>(distance);
    int64_t base = 0;
    if (method == FILE_CURRENT) {
        base = ::lseek(file->fd, 0, SEEK_CUR);
    } else if (method == FILE_END) {
        struct stat st;
        ::fstat(file->fd, &st);
        base = st.st_size;
    } else if (method != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t target = base + offset;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (::lseek(file->fd, target, SEEK_SET) < 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(static_cast<uint64_t>(target) & 0xFFFFFFFFu);
}

BOOL SetEndOfFile(HANDLE handle)
{
    auto file = FileFromHandle(handle);
    if (!file)
        return FALSE;
    if (!file->canWrite || file->isFolder) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    struct stat st;
    ::fstat(file->fd, &st);
    int64_t position = ::lseek(file->fd, 0, SEEK_CUR);
    int64_t delta = position - st.st_size;
    if (delta > 0 && file->capacity > 0 && static_cast<uint64_t>(delta) > RoomOnDrive(*file)) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    if (::ftruncate(file->fd, position) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    AdjustFolderUsage(file->driveFolder, delta);
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle)
{
    // Writes go straight to the host; there is nothing buffered here.
    return FileFromHandle(handle) ? TRUE : FALSE;
}

DWORD GetFileSize(HANDLE handle, LPDWORD sizeHigh)
{
    auto file = FileFromHandle(handle);
    if (!file)
        return INVALID_FILE_SIZE;
    struct stat st;
    if (::fstat(file->fd, &st) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (sizeHigh)
        *sizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL SetFileTime(HANDLE handle, const FILETIME*, const FILETIME* access, const FILETIME* write)
{
    auto file = FileFromHandle(handle);
    if (!file)
        return FALSE;
    timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    if (access)
        times[0] = TimespecFromFileTime(*access);
    if (write)
        times[1] = TimespecFromFileTime(*write);
    if (::futimens(file->fd, times) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL DosDateTimeToFileTime(WORD date, WORD time, LPFILETIME fileTime)
{
    unsigned day = date & 0x1F;
    unsigned month = (date >> 5) & 0x0F;
    int year = 1980 + (date >> 9);
    unsigned second = (time & 0x1F) * 2;
    unsigned minute = (time >> 5) & 0x3F;
    unsigned hour = time >> 11;
    using namespace std::chrono;
    year_month_day ymd{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
    if (!fileTime || !ymd.ok() || hour > 23 || minute > 59 || second > 59) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Days since 1601-01-01, the start of FILETIME.
    constexpr int64_t kDaysFrom1601To1970 = 134774;
    int64_t days = sys_days(ymd).time_since_epoch().count() + kDaysFrom1601To1970;
    uint64_t seconds = static_cast<uint64_t>(days) * 86400 + hour * 3600 + minute * 60 + second;
    *fileTime = FileTimeFromTicks(seconds * 10000000);
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME utc)
{
    if (!local || !utc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The host's present offset from UTC stands for the machine's time zone.
    time_t now = ::time(nullptr);
    struct tm parts;
    ::localtime_r(&now, &parts);
    int64_t offsetTicks = static_cast<int64_t>(parts.tm_gmtoff) * 10000000;
    uint64_t ticks = (static_cast<uint64_t>(local->dwHighDateTime) << 32) | local->dwLowDateTime;
    *utc = FileTimeFromTicks(static_cast<uint64_t>(static_cast<int64_t>(ticks) - offsetTicks));
    return TRUE;
}

}  // extern "C"
