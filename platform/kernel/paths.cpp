#include "platform/kernel/paths.h"

#include <algorithm>
#include <system_error>

#include "platform/base/errors.h"
#include "platform/base/wtext.h"
#include "platform/machine/machine.h"

namespace fs = std::filesystem;

namespace yolt {

namespace {

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

bool IsLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char UpperLetter(char16_t c)
{
    return static_cast<char>(AsciiUpper(c));
}

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldUpper(a[i]) != FoldUpper(b[i]))
            return false;
    }
    return true;
}

// Windows drops trailing dots and blanks from names ("a." and "a " both name "a").
std::u16string_view TrimTrailingDotsAndBlanks(std::u16string_view name)
{
    while (!name.empty() && (name.back() == u'.' || name.back() == u' '))
        name.remove_suffix(1);
    return name;
}

// Appends the names of `rest` to `names`, applying "." and "..".
bool AppendNames(std::u16string_view rest, std::vector<std::u16string>& names, DWORD& error)
{
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = pos;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        std::u16string_view name = rest.substr(pos, end - pos);
        pos = end + 1;
        if (name.empty() || name == u".")
            continue;
        if (name == u"..") {
            if (names.empty()) {
                error = ERROR_PATH_NOT_FOUND;
                return false;
            }
            names.pop_back();
            continue;
        }
        std::u16string_view trimmed = TrimTrailingDotsAndBlanks(name);
        if (trimmed.empty())
            continue;
        names.emplace_back(trimmed);
    }
    return true;
}

// The stored name of an entry of `folder` that matches `name` without regard to case, if any.
std::optional<fs::path> FindStoredName(const fs::path& folder, std::u16string_view name)
{
    std::error_code ec;
    fs::path exact = folder / Utf8FromWide(name);
    if (fs::symlink_status(exact, ec).type() != fs::file_type::not_found && !ec)
        return exact.filename();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        fs::path stored = it->path().filename();
        if (SameNameIgnoringCase(WideFromUtf8(stored.string()), name))
            return stored;
    }
    return std::nullopt;
}

fs::path AbsoluteNormal(const fs::path& path)
{
    std::error_code ec;
    fs::path absolute = fs::weakly_canonical(path, ec);
    if (ec)
        absolute = fs::absolute(path, ec).lexically_normal();
    std::string text = absolute.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// The rest of `path` when `folder` is a leading part of it, component by component.
std::optional<fs::path> RelativeBelow(const fs::path& path, const fs::path& folder)
{
    auto [pathIt, folderIt] = std::mismatch(path.begin(), path.end(), folder.begin(), folder.end());
    if (folderIt != folder.end())
        return std::nullopt;
    fs::path rest;
    for (; pathIt != path.end(); ++pathIt)
        rest /= *pathIt;
    return rest;
}

}  // namespace

std::u16string WindowsPath::Text() const
{
    std::u16string text;
    text += static_cast<char16_t>(drive);
    text += u":\\";
    for (size_t i = 0; i < names.size(); ++i) {
        if (i)
            text += u'\\';
        text += names[i];
    }
    return text;
}

bool IsValidFatName(std::u16string_view name)
{
    return std::none_of(name.begin(), name.end(), [](char16_t c) {
        return c < 0x20 || c == u'\\' || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
            c == u'<' || c == u'>' || c == u'|';
    });
}

std::optional<WindowsPath> ParseWindowsPath(std::u16string_view path, DWORD& error)
{
    error = ERROR_PATH_NOT_FOUND;
    if (path.starts_with(u"\\\\?\\"))
        path.remove_prefix(4);
    if (path.empty())
        return std::nullopt;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return std::nullopt;  // network paths are not offered

    WindowsPath result;
    std::u16string_view rest;
    if (path.size() >= 2 && path[1] == u':' && IsLetter(path[0])) {
        // "E:\a" and "E:a" both start at the drive's root.
        result.drive = UpperLetter(path[0]);
        rest = path.substr(2);
    } else if (IsSeparator(path[0])) {
        std::u16string current = CurrentWindowsFolder();
        result.drive = UpperLetter(current[0]);
        rest = path;
    } else {
        DWORD ignored = 0;
        auto current = ParseWindowsPath(CurrentWindowsFolder(), ignored);
        if (!current)
            return std::nullopt;
        result = std::move(*current);
        rest = path;
    }
    if (!AppendNames(rest, result.names, error))
        return std::nullopt;
    error = 0;
    return result;
}

std::optional<HostPath> MapWindowsPath(std::u16string_view path, DWORD& error)
{
    auto parsed = ParseWindowsPath(path, error);
    if (!parsed)
        return std::nullopt;
    auto drive = machine::CurrentMachine().FindDrive(parsed->drive);
    if (!drive) {
        error = ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }

    HostPath result;
    result.drive = drive->letter;
    result.fatRules = drive->fatRules;
    result.isRoot = parsed->names.empty();
    result.host = drive->folder;
    bool parentExists = true;
    for (const auto& name : parsed->names) {
        if (drive->fatRules && !IsValidFatName(name)) {
            error = ERROR_INVALID_NAME;
            return std::nullopt;
        }
        if (drive->fatRules && parentExists) {
            // Existing names keep their stored case; the first missing one ends the lookup.
            if (auto stored = FindStoredName(result.host, name)) {
                result.host /= *stored;
                continue;
            }
            parentExists = false;
        }
        result.host /= Utf8FromWide(name);
    }
    error = 0;
    return result;
}

std::u16string WindowsPathFromHost(const fs::path& host)
{
    fs::path path = AbsoluteNormal(host);
    std::optional<fs::path> bestRest;
    char bestLetter = 0;
    size_t bestDepth = 0;
    for (const auto& drive : machine::CurrentMachine().Drives()) {
        if (drive.letter == 'Z' || drive.folder.empty())
            continue;
        fs::path folder = AbsoluteNormal(drive.folder);
        auto rest = RelativeBelow(path, folder);
        size_t depth = static_cast<size_t>(std::distance(folder.begin(), folder.end()));
        if (rest && (!bestRest || depth > bestDepth)) {
            bestRest = rest;
            bestLetter = drive.letter;
            bestDepth = depth;
        }
    }
    if (!bestRest) {
        bestLetter = 'Z';
        bestRest = path.relative_path();
    }

    std::u16string text;
    text += static_cast<char16_t>(bestLetter);
    text += u":\\";
    bool first = true;
    for (const auto& part : *bestRest) {
        if (part.empty() || part == ".")
            continue;
        if (!first)
            text += u'\\';
        text += WideFromUtf8(part.string());
        first = false;
    }
    return text;
}

std::u16string CurrentWindowsFolder()
{
    std::error_code ec;
    fs::path cwd = fs::current_path(ec);
    if (ec)
        return u"Z:\\";
    return WindowsPathFromHost(cwd);
}

}  // namespace yolt
