// How many bytes each drive's folder holds, kept cheaply: one walk of the tree, then adjusted by
// the platform's own writes, truncations and deletions. A walk is repeated when the count is a
// few seconds old, so changes made outside the platform are seen soon after.
#pragma once

#include <cstdint>
#include <filesystem>

namespace yolt::kernel {

/// The bytes held by the files below `folder`, from the kept count when it is fresh.
uint64_t FolderUsage(const std::filesystem::path& folder);
/// Walks `folder` now and keeps the result.
uint64_t RefreshFolderUsage(const std::filesystem::path& folder);
/// Adds `delta` (negative for freed bytes) to the kept count of `folder`, if one is kept.
void AdjustFolderUsage(const std::filesystem::path& folder, int64_t delta);

}  // namespace yolt::kernel
