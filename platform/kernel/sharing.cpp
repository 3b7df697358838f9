#include "platform/kernel/sharing.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "platform/kernel/files.h"

#define DELETE_ACCESS 0x00010000u
#define FILE_READ_DATA 0x0001u
#define FILE_WRITE_DATA 0x0002u
#define FILE_APPEND_DATA 0x0004u

namespace yolt::kernel {

namespace {

struct Open {
    uint64_t ticket;
    ShareRequest request;
};

std::mutex g_lock;
std::map<std::pair<dev_t, ino_t>, std::vector<Open>> g_opens;
uint64_t g_nextTicket = 1;

bool Conflicts(const ShareRequest& held, const ShareRequest& wanted)
{
    auto refuses = [](const ShareRequest& access, DWORD share) {
        return (access.read && !(share & FILE_SHARE_READ)) || (access.write && !(share & FILE_SHARE_WRITE)) ||
            (access.del && !(share & FILE_SHARE_DELETE));
    };
    return refuses(wanted, held.share) || refuses(held, wanted.share);
}

}  // namespace

ShareRequest ShareRequestFor(DWORD access, DWORD share)
{
    ShareRequest request;
    request.read = (access & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) != 0;
    request.write = (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0;
    request.del = (access & (GENERIC_ALL | DELETE_ACCESS)) != 0;
    request.share = share;
    return request;
}

uint64_t AcquireShare(dev_t device, ino_t inode, const ShareRequest& request)
{
    std::lock_guard guard(g_lock);
    auto& opens = g_opens[{device, inode}];
    if (std::any_of(opens.begin(), opens.end(), [&](const Open& o) { return Conflicts(o.request, request); }))
        return 0;
    uint64_t ticket = g_nextTicket++;
    opens.push_back(Open{ticket, request});
    return ticket;
}

void ReleaseShare(uint64_t ticket)
{
    std::lock_guard guard(g_lock);
    for (auto it = g_opens.begin(); it != g_opens.end(); ++it) {
        auto& opens = it->second;
        auto found = std::find_if(opens.begin(), opens.end(), [&](const Open& o) { return o.ticket == ticket; });
        if (found == opens.end())
            continue;
        opens.erase(found);
        if (opens.empty())
            g_opens.erase(it);
        return;
    }
}

bool SharesDelete(dev_t device, ino_t inode)
{
    std::lock_guard guard(g_lock);
    auto it = g_opens.find({device, inode});
    if (it == g_opens.end())
        return true;
    return std::all_of(it->second.begin(), it->second.end(),
        [](const Open& o) { return (o.request.share & FILE_SHARE_DELETE) != 0; });
}

}  // namespace yolt::kernel
