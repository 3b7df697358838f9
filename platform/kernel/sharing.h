// Sharing modes of the files this process holds open: an open is refused while another open of
// the same file does not share what the new one asks for, or asks for what the new one does not
// share.
#pragma once

#include <sys/types.h>

#include <cstdint>

#include "platform/base/types.h"

namespace yolt::kernel {

/// What an open of a file may do, reduced to the three kinds of access that sharing governs.
struct ShareRequest {
    bool read = false;
    bool write = false;
    bool del = false;
    DWORD share = 0;  // FILE_SHARE_* bits
};

/// The access kinds that an access mask asks for.
ShareRequest ShareRequestFor(DWORD access, DWORD share);

/// Records an open of the file (device, inode); returns 0 (and records nothing) when an open
/// already held conflicts, else a ticket for ReleaseShare.
uint64_t AcquireShare(dev_t device, ino_t inode, const ShareRequest& request);
void ReleaseShare(uint64_t ticket);
/// Whether every open of the file shares deletion (true when the file is not open).
bool SharesDelete(dev_t device, ino_t inode);

}  // namespace yolt::kernel
