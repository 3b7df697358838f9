// The player models a simulated machine can attach, with the USB identifiers they enumerate
// with and the strings their storage reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/types.h"
#include "platform/machine/machine.h"

namespace yolt::machine {

struct PlayerModel {
    std::string name;  // "PX210"
    WORD vendorId = 0;
    WORD productId = 0;
    std::string vendor;   // storage vendor string, unpadded
    std::string product;  // storage product string, unpadded
    DriveKind kind = DriveKind::Removable;  // the hard-disk models show as fixed drives
    uint64_t capacity = 0;                  // a typical size in bytes
};

/// The eleven known models, in model-number order.
const std::vector<PlayerModel>& PlayerModels();
/// The model of that name (any case), or nothing.
std::optional<PlayerModel> FindPlayerModel(std::string_view name);
/// The model names separated by ", " (for messages).
std::string PlayerModelNames();

/// `text` blank-padded (or cut) to `width` characters, as SCSI identity strings are stored:
/// vendor 8, product 16, revision 4.
std::string ScsiString(std::string_view text, size_t width);

}  // namespace yolt::machine
