// The error a machine description reports: which file, which line (when known) and why.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace yolt::machine {

/// A machine that cannot be opened, read or changed. what() is one line: "FILE:LINE: REASON",
/// or "FILE: REASON" when no line applies, ready to be printed as it stands.
class MachineError : public std::runtime_error {
public:
    MachineError(std::filesystem::path file, int line, std::string reason);
    explicit MachineError(std::string reason);

    const std::filesystem::path& File() const { return m_file; }
    /// 1-based; 0 when the error is not tied to a line.
    int Line() const { return m_line; }
    const std::string& Reason() const { return m_reason; }

private:
    std::filesystem::path m_file;
    int m_line = 0;
    std::string m_reason;
};

}  // namespace yolt::machine
