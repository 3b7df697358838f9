// Unpacking a package (a cabinet) member by member onto a destination root.
#pragma once

#include "platform/base/types.h"

/// Where an extraction writes, and what it learned on the way.
struct ExtractionContext {
    const WCHAR* destinationRoot = nullptr;  // used as a plain prefix of every member name
    DWORD firstWriteError = 0;               // the first member that failed to be written
};

/// Unpacks every safe member of the package under the context's root. S_OK when every member
/// was written; HRESULT_FROM_WIN32 of the first failed write (the rest is still written); the
/// iterator's error when the package cannot be read, E_FAIL when it failed without saying why.
HRESULT ExtractPackage(const WCHAR* packagePath, ExtractionContext& context);

/// The cabinet iterator's per-notification callback: places each member under the root,
/// creating its folders; skips members with empty names, absolute paths, drives, ".." parts or
/// a target that would not fit in 259 characters; records write failures.
UINT PackageFileCallback(void* context, UINT notification, UINT_PTR param1, UINT_PTR param2);
