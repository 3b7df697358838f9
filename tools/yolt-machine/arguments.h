// Reading yolt-machine's command line: words and options, numbers, drive letters.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace yolt::tools {

/// A bad command line; the tool prints it and ends with exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The words of one command: positional words in order and options by name. Options that
/// take a value are listed in `valued`; every other "--name" is a flag.
class Arguments {
public:
    Arguments(const std::vector<std::string>& words, const std::vector<std::string>& valued,
        const std::vector<std::string>& flags);

    bool Has(const std::string& option) const;
    std::optional<std::string> Value(const std::string& option) const;
    const std::vector<std::string>& Positional() const { return m_positional; }
    /// Throws UsageError when there are fewer than `min` or more than `max` positional words.
    void ExpectPositional(size_t min, size_t max) const;

private:
    std::vector<std::pair<std::string, std::string>> m_options;
    std::vector<std::string> m_positional;
};

/// A decimal number, or a hexadecimal one written "0x…"; throws UsageError naming `what`.
uint64_t ParseNumber(const std::string& text, const std::string& what, uint64_t max);
/// Hexadecimal digits with or without "0x"; throws UsageError naming `what`.
uint64_t ParseHex(const std::string& text, const std::string& what, uint64_t max);
/// "E", "e", "E:" or "E:\" as an upper-case letter from A to Y; throws UsageError.
char ParseDriveLetter(const std::string& text);

}  // namespace yolt::tools
