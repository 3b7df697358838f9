#include "tools/yolt-machine/arguments.h"

#include <algorithm>
#include <cctype>

namespace yolt::tools {

namespace {
bool Listed(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

uint64_t ParseDigits(const std::string& digits, int base, const std::string& text, const std::string& what, uint64_t max)
{
    bool valid = !digits.empty() && digits.size() <= 16 && std::all_of(digits.begin(), digits.end(), [&](char c) {
        return base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
    });
    if (!valid)
        throw UsageError(what + " must be a number, not \"" + text + "\"");
    uint64_t value = std::stoull(digits, nullptr, base);
    if (value > max)
        throw UsageError(what + " must be at most " + std::to_string(max) + ", not " + text);
    return value;
}

bool HasHexPrefix(const std::string& text)
{
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}
}  // namespace

Arguments::Arguments(const std::vector<std::string>& words, const std::vector<std::string>& valued,
    const std::vector<std::string>& flags)
{
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
            m_positional.push_back(word);
            continue;
        }
        std::string name = word;
        std::optional<std::string> value;
        if (auto equals = word.find('='); equals != std::string::npos) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
        }
        if (Listed(flags, name) && !value) {
            m_options.emplace_back(name, "");
            continue;
        }
        if (!Listed(valued, name))
            throw UsageError("unknown option " + name);
        if (!value) {
            if (i + 1 >= words.size())
                throw UsageError(name + " needs a value");
            value = words[++i];
        }
        m_options.emplace_back(name, *value);
    }
}

bool Arguments::Has(const std::string& option) const
{
    return std::any_of(m_options.begin(), m_options.end(), [&](const auto& o) { return o.first == option; });
}

std::optional<std::string> Arguments::Value(const std::string& option) const
{
    std::optional<std::string> value;
    for (const auto& [name, text] : m_options) {
        if (name == option)
            value = text;  // the last one given wins
    }
    return value;
}

void Arguments::ExpectPositional(size_t min, size_t max) const
{
    if (m_positional.size() < min)
        throw UsageError("too few arguments");
    if (m_positional.size() > max)
        throw UsageError("unexpected argument \"" + m_positional[max] + "\"");
}

uint64_t ParseNumber(const std::string& text, const std::string& what, uint64_t max)
{
    if (HasHexPrefix(text))
        return ParseDigits(text.substr(2), 16, text, what, max);
    return ParseDigits(text, 10, text, what, max);
}

uint64_t ParseHex(const std::string& text, const std::string& what, uint64_t max)
{
    return ParseDigits(HasHexPrefix(text) ? text.substr(2) : text, 16, text, what, max);
}

char ParseDriveLetter(const std::string& text)
{
    bool valid = !text.empty() && std::isalpha(static_cast<unsigned char>(text[0]))
        && (text.size() == 1 || text.substr(1) == ":" || text.substr(1) == ":\\");
    if (!valid)
        throw UsageError("\"" + text + "\" is not a drive letter (write E or E:)");
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter == 'Z')
        throw UsageError("drive Z: is the host's root");
    return letter;
}

}  // namespace yolt::tools
