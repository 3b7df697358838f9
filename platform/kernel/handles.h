// The process's table of kernel handles (files, listings, devices). A handle is a number that is
// never reused, so a stale or made-up handle is refused instead of reaching another object.
#pragma once

#include <memory>

#include "platform/base/types.h"

namespace yolt::kernel {

/// Anything a kernel handle can stand for; the object is destroyed when its last handle closes.
class KernelObject {
public:
    virtual ~KernelObject() = default;
};

/// Adds an object to the table and returns its new handle.
HANDLE AddHandle(std::shared_ptr<KernelObject> object);
/// The object of a handle, or null for a closed, invalid or made-up handle.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
/// Removes a handle; false when it was not in the table.
bool RemoveHandle(HANDLE handle);

/// The object of a handle when it has type T, or null.
template <typename T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

}  // namespace yolt::kernel
