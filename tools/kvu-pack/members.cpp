#include "members.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <system_error>

namespace kvupack {
namespace {

// Names in a cabinet's file entry are stored zero-terminated in at most 256 bytes.
constexpr size_t kMaxNameBytes = 255;

std::string FoldCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string BackslashName(const std::filesystem::path& relative)
{
    std::string name;
    for (const auto& part : relative) {
        if (!name.empty())
            name += '\\';
        name += part.string();
    }
    return name;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    return !b.empty() && std::filesystem::equivalent(a, b, ec);
}

bool CollectFolder(const std::filesystem::path& folder, const std::filesystem::path& skip,
    std::vector<Member>& found, std::string& error)
{
    std::error_code ec;
    std::filesystem::recursive_directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || SameFile(it->path(), skip))
            continue;
        found.push_back({BackslashName(std::filesystem::relative(it->path(), folder)), it->path()});
    }
    if (ec) {
        error = folder.string() + ": " + ec.message();
        return false;
    }
    std::sort(found.begin(), found.end(), [](const Member& a, const Member& b) { return a.name < b.name; });
    return true;
}

}  // namespace

bool CollectMembers(const std::vector<std::filesystem::path>& inputs, const std::filesystem::path& skip,
    std::vector<Member>& members, std::string& error)
{
    std::set<std::string> seen;
    for (const auto& input : inputs) {
        std::error_code ec;
        auto status = std::filesystem::status(input, ec);
        std::vector<Member> found;
        if (ec || !std::filesystem::exists(status)) {
            error = input.string() + ": no such file or folder";
            return false;
        }
        if (std::filesystem::is_directory(status)) {
            if (!CollectFolder(input, skip, found, error))
                return false;
        } else {
            found.push_back({input.filename().string(), input});
        }
        for (auto& member : found) {
            if (member.name.size() > kMaxNameBytes) {
                error = member.source.string() + ": name longer than " + std::to_string(kMaxNameBytes) + " bytes";
                return false;
            }
            if (!seen.insert(FoldCase(member.name)).second) {
                error = member.source.string() + ": a member named \"" + member.name + "\" is already in the package";
                return false;
            }
            members.push_back(std::move(member));
        }
    }
    return true;
}

}  // namespace kvupack
