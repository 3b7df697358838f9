#include "platform/registry/hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/base/errors.h"

namespace yolt::registry {

namespace {

// An exclusive lock on a file, held while the object lives.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& path)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0)
            return;
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(m_fd);
                m_fd = -1;
                return;
            }
        }
    }
    ~FileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

const char* HiveFile::FileName(HiveId id)
{
    switch (id) {
    case HiveId::Machine: return "HKLM.reg";
    case HiveId::User: return "HKCU.reg";
    case HiveId::Users: return "HKU.reg";
    }
    return "";
}

HiveFile::Stamp HiveFile::CurrentStamp() const
{
    struct stat st {};
    if (::stat(FilePath().c_str(), &st) != 0)
        return Stamp{};
    return Stamp{true, st.st_dev, st.st_ino, st.st_size,
        static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
        static_cast<long long>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec};
}

void HiveFile::Load(UINT codePage)
{
    m_loaded = true;
    m_stamp = CurrentStamp();
    m_root = std::make_unique<Key>();
    std::string previousProblem = std::move(m_problem);
    m_problem.clear();
    if (!m_stamp.exists)
        return;

    std::string bytes;
    if (FILE* f = std::fopen(FilePath().c_str(), "rb")) {
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    ParseResult parsed = ParseRegText(bytes, m_id, codePage);
    if (parsed.root) {
        m_root = std::move(parsed.root);
        return;
    }
    m_problem = FilePath().string() + " line " + std::to_string(parsed.errorLine) + ": " + parsed.error;
    if (m_problem != previousProblem)
        std::fprintf(stderr, "registry: %s (the file is left unchanged)\n", m_problem.c_str());
}

LONG HiveFile::Refresh(const std::filesystem::path& folder, UINT codePage)
{
    if (!m_bound || folder != m_folder) {
        m_folder = folder;
        m_bound = true;
        m_loaded = false;
        m_root = std::make_unique<Key>();
        m_problem.clear();
    }
    if (m_folder.empty())
        return ERROR_SUCCESS;
    if (!m_loaded || CurrentStamp() != m_stamp)
        Load(codePage);
    return m_problem.empty() ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
}

LONG HiveFile::Store(const Key& root)
{
    std::filesystem::path target = FilePath();
    std::filesystem::path temporary = m_folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) + ".tmp");
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return ERROR_CANTWRITE;
    bool written = WriteAll(fd, FormatRegText(root, m_id)) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return ERROR_CANTWRITE;
    }
    m_stamp = CurrentStamp();
    return ERROR_SUCCESS;
}

LONG HiveFile::Modify(const std::filesystem::path& folder, UINT codePage, const std::function<LONG(Key&)>& change)
{
    if (folder.empty()) {
        Refresh(folder, codePage);
        return change(*m_root);
    }
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    FileLock lock(folder / (std::string(FileName(m_id)) + ".lock"));
    if (!lock.Held())
        return ERROR_CANTWRITE;
    if (LONG status = Refresh(folder, codePage); status != ERROR_SUCCESS)
        return status;

    // The change is made on a copy, so a failed write leaves the content as the file has it.
    std::unique_ptr<Key> updated = m_root->Clone();
    if (LONG status = change(*updated); status != ERROR_SUCCESS)
        return status;
    if (LONG status = Store(*updated); status != ERROR_SUCCESS)
        return status;
    m_root = std::move(updated);
    return ERROR_SUCCESS;
}

}  // namespace yolt::registry
