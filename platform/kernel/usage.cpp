#include "platform/kernel/usage.h"

#include <chrono>
#include <map>
#include <mutex>
#include <system_error>

namespace fs = std::filesystem;

namespace yolt::kernel {

namespace {

using Steady = std::chrono::steady_clock;
constexpr auto kFreshFor = std::chrono::seconds(2);

struct Usage {
    uint64_t bytes = 0;
    Steady::time_point walkedAt;
};

std::mutex g_lock;
std::map<std::string, Usage> g_usage;

uint64_t Walk(const fs::path& folder)
{
    uint64_t total = 0;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code sizeError;
        if (it->is_regular_file(sizeError)) {
            uint64_t size = it->file_size(sizeError);
            if (!sizeError)
                total += size;
        }
    }
    return total;
}

}  // namespace

uint64_t RefreshFolderUsage(const fs::path& folder)
{
    uint64_t bytes = Walk(folder);
    std::lock_guard guard(g_lock);
    g_usage[folder.string()] = Usage{bytes, Steady::now()};
    return bytes;
}

uint64_t FolderUsage(const fs::path& folder)
{
    {
        std::lock_guard guard(g_lock);
        auto it = g_usage.find(folder.string());
        if (it != g_usage.end() && Steady::now() - it->second.walkedAt < kFreshFor)
            return it->second.bytes;
    }
    return RefreshFolderUsage(folder);
}

void AdjustFolderUsage(const fs::path& folder, int64_t delta)
{
    std::lock_guard guard(g_lock);
    auto it = g_usage.find(folder.string());
    if (it == g_usage.end())
        return;
    if (delta < 0 && static_cast<uint64_t>(-delta) > it->second.bytes)
        it->second.bytes = 0;
    else
        it->second.bytes += static_cast<uint64_t>(delta);
}

}  // namespace yolt::kernel
