// Tokens that stand for buffers in the 32-bit register fields of VWIN32 requests.
#include "platform/kernel/vwin32.h"

#include <map>
#include <mutex>

namespace yolt {

namespace {
std::mutex g_lock;
std::map<DWORD, void*> g_buffers;
DWORD g_next = 0x1000;
}  // namespace

DWORD Vwin32BufferToken(void* buffer)
{
    std::lock_guard guard(g_lock);
    DWORD token = g_next++;
    g_buffers[token] = buffer;
    return token;
}

void* Vwin32BufferFromToken(DWORD token)
{
    std::lock_guard guard(g_lock);
    auto it = g_buffers.find(token);
    return it == g_buffers.end() ? nullptr : it->second;
}

void Vwin32ReleaseToken(DWORD token)
{
    std::lock_guard guard(g_lock);
    g_buffers.erase(token);
}

}  // namespace yolt
