#include "platform/machine/player_models.h"

#include "platform/base/wtext.h"

namespace yolt::machine {

namespace {
constexpr uint64_t MB = 1000ull * 1000;
constexpr uint64_t GB = 1000 * MB;
}  // namespace

const std::vector<PlayerModel>& PlayerModels()
{
    static const std::vector<PlayerModel> models = {
        {"PX210", 0x5E93, 0x1001, "YOLT", "PX210", DriveKind::Removable, 256 * MB},
        {"PX260", 0x5E93, 0x1001, "YOLT", "PX260", DriveKind::Removable, 512 * MB},
        {"RQ210", 0x5E93, 0x1004, "YOLT", "RQ210", DriveKind::Fixed, 5 * GB},
        {"RQ310", 0x5E93, 0x1005, "YOLT", "RQ310", DriveKind::Fixed, 20 * GB},
        {"VN210", 0x10CB, 0x8001, "YOLT", "VN210", DriveKind::Removable, 128 * MB},
        {"VN310", 0x5E93, 0x100A, "YOLT", "VN310", DriveKind::Removable, 256 * MB},
        {"VN340", 0x5E93, 0x100C, "YOLT", "VN340", DriveKind::Removable, 512 * MB},
        {"WC110", 0x5E93, 0x1006, "YOLT", "WC110", DriveKind::Removable, 256 * MB},
        {"WC140", 0x5E93, 0x1007, "YOLT", "WC140", DriveKind::Removable, 1 * GB},
        {"PX310", 0x5E93, 0x1008, "GENERIC", "USB MP3 DISK", DriveKind::Removable, 512 * MB},
        {"PX410", 0x5E93, 0x1009, "YOLT", "PX410", DriveKind::Removable, 1 * GB},
    };
    return models;
}

std::optional<PlayerModel> FindPlayerModel(std::string_view name)
{
    for (const auto& model : PlayerModels()) {
        if (model.name.size() == name.size() && _strnicmp(model.name.data(), name.data(), name.size()) == 0)
            return model;
    }
    return std::nullopt;
}

std::string PlayerModelNames()
{
    std::string names;
    for (const auto& model : PlayerModels())
        names += (names.empty() ? "" : ", ") + model.name;
    return names;
}

std::string ScsiString(std::string_view text, size_t width)
{
    std::string padded(text.substr(0, width));
    padded.resize(width, ' ');
    return padded;
}

}  // namespace yolt::machine
