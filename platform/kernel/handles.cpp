#include "platform/kernel/handles.h"

#include <mutex>
#include <unordered_map>

namespace yolt::kernel {

namespace {
std::mutex g_lock;
std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> g_handles;
// Handles are multiples of 4, as Windows gives them, starting well above small integers.
uintptr_t g_next = 0x100;
}  // namespace

HANDLE AddHandle(std::shared_ptr<KernelObject> object)
{
    std::lock_guard guard(g_lock);
    uintptr_t value = g_next;
    g_next += 4;
    g_handles.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle)
{
    std::lock_guard guard(g_lock);
    auto it = g_handles.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_handles.end())
        return nullptr;
    return it->second;
}

bool RemoveHandle(HANDLE handle)
{
    std::shared_ptr<KernelObject> object;
    {
        std::lock_guard guard(g_lock);
        auto it = g_handles.find(reinterpret_cast<uintptr_t>(handle));
        if (it == g_handles.end())
            return false;
        object = std::move(it->second);
        g_handles.erase(it);
    }
    // The object is destroyed here, outside the lock, since its destructor may close other things.
    return true;
}

}  // namespace yolt::kernel
