// The media scan's file-system layer: every file and folder operation takes its path as UTF-16
// and makes the wide system call on NT-family systems, else converts the path to narrow text in
// the conversion code page and makes the narrow call. The family is read from the platform record
// at every call; nothing is kept between calls.
#pragma once

#include "platform/base/types.h"

/// One entry of a folder listing: its name (cut to MAX_PATH - 1 units) and its attribute bits.
/// The name is empty when a narrow name could not be widened.
struct FsFindEntry {
    WCHAR name[MAX_PATH];
    DWORD attributes;
};

/// Creates a folder; nonzero on success, 0 on failure (an existing folder is a failure).
BOOL FsCreateDirectory(LPCWSTR path);
/// Creates or truncates a file for reading and writing without sharing; the handle, or
/// INVALID_HANDLE_VALUE. The caller closes the handle with CloseHandle.
HANDLE FsCreateFile(LPCWSTR path);
/// Opens a file for reading and writing without sharing, created empty when missing and with
/// its content kept otherwise; the handle, or INVALID_HANDLE_VALUE.
HANDLE FsOpenFile(LPCWSTR path);
/// Deletes a file; nonzero on success.
BOOL FsDeleteFile(LPCWSTR path);
/// The attribute bits of a file or folder, or 0xFFFFFFFF on failure.
DWORD FsGetFileAttributes(LPCWSTR path);
/// Replaces the attribute bits; nonzero on success.
BOOL FsSetFileAttributes(LPCWSTR path, DWORD attributes);
/// Removes an empty folder; nonzero on success.
BOOL FsRemoveDirectory(LPCWSTR path);
/// Sizes of the volume holding the folder `path`: bytes available to the caller, total bytes and
/// free bytes, each written only when given and meaningful only on success (nonzero).
BOOL FsGetDiskFreeSpace(LPCWSTR path, ULONGLONG* available, ULONGLONG* total, ULONGLONG* free);

/// Starts a listing by a pattern (a folder plus a wildcard) and fills the first entry; the
/// listing handle, or INVALID_HANDLE_VALUE. Entries come in the file system's order.
HANDLE FsFindFirst(LPCWSTR pattern, FsFindEntry* entry);
/// Fills the next entry; nonzero while an entry was delivered, 0 at the end.
BOOL FsFindNext(HANDLE find, FsFindEntry* entry);
void FsFindClose(HANDLE find);

/// Clears the read-only bit of a folder and removes it; the removal's result, or 0 when the
/// attributes cannot be read or written.
BOOL FsRemoveDirectoryForce(LPCWSTR path);
/// Deletes everything inside `folder` (given without a trailing backslash), depth first,
/// read-only entries included, and keeps the folder itself. Failures are passed over: an entry
/// that cannot be deleted stays, with the folders that hold it. Missing folders are no error.
void FsClearFolder(LPCWSTR folder);
