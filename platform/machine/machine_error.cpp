#include "platform/machine/machine_error.h"

namespace yolt::machine {

namespace {
std::string Compose(const std::filesystem::path& file, int line, const std::string& reason)
{
    if (file.empty())
        return reason;
    std::string text = file.string();
    if (line > 0)
        text += ":" + std::to_string(line);
    return text + ": " + reason;
}
}  // namespace

MachineError::MachineError(std::filesystem::path file, int line, std::string reason)
    : std::runtime_error(Compose(file, line, reason)), m_file(std::move(file)), m_line(line), m_reason(std::move(reason))
{
}

MachineError::MachineError(std::string reason) : MachineError({}, 0, std::move(reason)) {}

}  // namespace yolt::machine
