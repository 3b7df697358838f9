#include "platform/registry/registry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

#include "platform/base/errors.h"
#include "platform/kernel/codepages.h"
#include "platform/machine/machine.h"
#include "platform/registry/hive_file.h"
#include "platform/registry/live_keys.h"

namespace yolt::registry {

namespace {

using Path = std::vector<std::u16string>;

// Where a key lives: its hive and the names from the hive's root down.
struct Location {
    HiveId hive = HiveId::Machine;
    Path path;
};

struct Mount {
    HiveId hive;
    Path path;
    LiveTreeBuilder builder;
};

struct Handle {
    Location location;
    REGSAM access = 0;
    // For a live key: the subtree built when the key was opened, and the key's place in it.
    std::shared_ptr<const Key> live;
    Path livePath;
};

// What a key is at the moment of a call: a node of a hive or of a live subtree, or a parent of
// live keys that the hive does not hold (node null). `extraChildren` are live places listed
// below a hive key.
struct View {
    const Key* key = nullptr;
    std::shared_ptr<const Key> live;
    Path livePath;
    Path extraChildren;
};

struct Registry {
    std::recursive_mutex lock;
    HiveFile hives[3] = {HiveFile(HiveId::Machine), HiveFile(HiveId::User), HiveFile(HiveId::Users)};
    std::map<ULONG_PTR, Handle> handles;
    ULONG_PTR nextHandle = 0x1000;
    std::vector<Mount> mounts;
};

// Kept for the whole process, so that calls made while the process ends still find it.
Registry& State()
{
    static Registry* state = new Registry;
    return *state;
}

HiveFile& Hive(HiveId id) { return State().hives[static_cast<int>(id)]; }

std::filesystem::path Folder() { return machine::CurrentMachine().RegistryFolder(); }
UINT AnsiCodePage() { return ResolveCodePage(CP_ACP); }

bool SamePath(const Path& a, const Path& b, size_t count)
{
    if (a.size() < count || b.size() < count)
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (!SameName(a[i], b[i]))
            return false;
    }
    return true;
}

bool IsPrefix(const Path& prefix, const Path& path) { return prefix.size() <= path.size() && SamePath(prefix, path, prefix.size()); }

std::optional<Location> RootLocation(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE)
        return Location{HiveId::Machine, {}};
    if (root == HKEY_CLASSES_ROOT)
        return Location{HiveId::Machine, {u"Software", u"Classes"}};
    if (root == HKEY_CURRENT_USER)
        return Location{HiveId::User, {}};
    if (root == HKEY_USERS)
        return Location{HiveId::Users, {}};
    return std::nullopt;
}

bool IsPredefined(HKEY key) { return RootLocation(key).has_value(); }

const Handle* FindHandle(HKEY key)
{
    auto it = State().handles.find(reinterpret_cast<ULONG_PTR>(key));
    return it == State().handles.end() ? nullptr : &it->second;
}

// Splits "a\\b\\c" into names. A trailing backslash is allowed; any other empty name is not.
LONG SplitPath(std::u16string_view text, Path& out)
{
    out.clear();
    if (text.empty())
        return ERROR_SUCCESS;
    if (text.back() == u'\\')
        text.remove_suffix(1);
    size_t start = 0;
    while (true) {
        size_t end = text.find(u'\\', start);
        std::u16string_view part = text.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
        if (part.empty())
            return ERROR_BAD_PATHNAME;
        out.emplace_back(part);
        if (end == std::u16string_view::npos)
            return ERROR_SUCCESS;
        start = end + 1;
    }
}

// A name that can be stored in a hive file: 1 to 255 characters, no control characters.
bool IsStorableName(std::u16string_view name)
{
    if (name.empty() || name.size() > 255)
        return false;
    return std::none_of(name.begin(), name.end(), [](char16_t c) { return c < 0x20; });
}

const Key* Walk(const Key* key, const Path& path, size_t from)
{
    for (size_t i = from; key && i < path.size(); ++i)
        key = key->FindChild(path[i]);
    return key;
}

// The live subtree serving `path`, if an active live place covers it; `depth` receives the
// length of that place's path.
std::shared_ptr<const Key> LiveCover(const Location& location, size_t& depth)
{
    for (auto& mount : State().mounts) {
        if (mount.hive != location.hive || !IsPrefix(mount.path, location.path))
            continue;
        std::shared_ptr<const Key> tree = mount.builder();
        if (!tree)
            continue;
        depth = mount.path.size();
        return tree;
    }
    return nullptr;
}

// The names of active live places directly below `path` (the next name on their way).
Path LiveChildren(const Location& location)
{
    Path names;
    for (auto& mount : State().mounts) {
        if (mount.hive != location.hive || mount.path.size() <= location.path.size() || !IsPrefix(location.path, mount.path))
            continue;
        const std::u16string& next = mount.path[location.path.size()];
        if (std::any_of(names.begin(), names.end(), [&](const std::u16string& n) { return SameName(n, next); }))
            continue;
        if (mount.builder())
            names.push_back(next);
    }
    return names;
}

// Keys that exist without being stored: the hive roots and the classes root.
bool AlwaysExists(const Location& location)
{
    return location.path.empty() ||
        (location.hive == HiveId::Machine && SamePath(location.path, {u"Software", u"Classes"}, 2) && location.path.size() == 2);
}

LONG RefreshHive(HiveId id) { return Hive(id).Refresh(Folder(), AnsiCodePage()); }

LONG Examine(const Location& location, View& view)
{
    if (LONG status = RefreshHive(location.hive); status != ERROR_SUCCESS)
        return status;
    size_t depth = 0;
    if (auto tree = LiveCover(location, depth)) {
        Path inside(location.path.begin() + static_cast<long>(depth), location.path.end());
        const Key* key = Walk(tree.get(), inside, 0);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        view = View{key, tree, inside, {}};
        return ERROR_SUCCESS;
    }
    const Key* key = Walk(&Hive(location.hive).Root(), location.path, 0);
    view = View{key, nullptr, {}, {}};
    for (auto& name : LiveChildren(location)) {
        if (!key || !key->FindChild(name))
            view.extraChildren.push_back(name);
    }
    if (key || !view.extraChildren.empty() || AlwaysExists(location))
        return ERROR_SUCCESS;
    return ERROR_FILE_NOT_FOUND;
}

// The present state of an open key; ERROR_KEY_DELETED when a stored key has gone.
LONG ExamineHandle(HKEY key, View& view, Location* location = nullptr, REGSAM* access = nullptr)
{
    if (auto root = RootLocation(key)) {
        if (location)
            *location = *root;
        if (access)
            *access = KEY_ALL_ACCESS;
        return Examine(*root, view);
    }
    const Handle* handle = FindHandle(key);
    if (!handle)
        return ERROR_INVALID_HANDLE;
    if (location)
        *location = handle->location;
    if (access)
        *access = handle->access;
    if (handle->live) {
        view = View{Walk(handle->live.get(), handle->livePath, 0), handle->live, handle->livePath, {}};
        return ERROR_SUCCESS;
    }
    LONG status = Examine(handle->location, view);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_KEY_DELETED : status;
}

HKEY NewHandle(const Location& location, REGSAM access, const View& view)
{
    Registry& state = State();
    ULONG_PTR id = state.nextHandle;
    state.nextHandle += 4;
    state.handles[id] = Handle{location, access, view.live, view.livePath};
    return reinterpret_cast<HKEY>(id);
}

Path ChildNames(const View& view)
{
    Path names;
    if (view.key) {
        for (auto& child : view.key->children)
            names.push_back(child->name);
    }
    names.insert(names.end(), view.extraChildren.begin(), view.extraChildren.end());
    return names;
}

// Makes the stored key at `path` exist (with its parents) and returns it.
Key& Materialise(Key& root, const Path& path)
{
    Key* key = &root;
    for (auto& name : path)
        key = &key->Child(name);
    return *key;
}

LONG ModifyHive(HiveId id, const std::function<LONG(Key&)>& change)
{
    return Hive(id).Modify(Folder(), AnsiCodePage(), change);
}

// Whether a stored key may be created on a write to `location`: it is always there, or it lists
// live keys.
bool ImpliedKey(const Location& location) { return AlwaysExists(location) || !LiveChildren(location).empty(); }

// ---- Text conversion for the narrow calls ----

std::optional<std::u16string> WideName(LPCSTR text)
{
    if (!text)
        return std::nullopt;
    std::string_view narrow(text);
    if (narrow.empty())
        return std::u16string();
    int n = MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
    std::u16string wide(static_cast<size_t>(std::max(n, 0)), u'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), wide.data(), n);
    return wide;
}

std::string NarrowText(std::u16string_view wide)
{
    if (wide.empty())
        return {};
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), n, nullptr, nullptr);
    return narrow;
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

std::u16string UnitsOf(const std::vector<BYTE>& data)
{
    std::u16string units;
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    return units;
}

std::vector<BYTE> BytesOfUnits(std::u16string_view units)
{
    std::vector<BYTE> data;
    for (char16_t c : units) {
        data.push_back(static_cast<BYTE>(c & 0xFF));
        data.push_back(static_cast<BYTE>(c >> 8));
    }
    return data;
}

// A value's data as a narrow or wide caller receives it.
std::vector<BYTE> DataForCaller(const Value& value, bool narrow)
{
    if (!narrow || !IsTextType(value.type))
        return value.data;
    std::string text = NarrowText(UnitsOf(value.data));
    return std::vector<BYTE>(text.begin(), text.end());
}

// Copies data to a caller's buffer with the registry's size rules.
LONG DeliverData(const std::vector<BYTE>& data, LPBYTE buffer, LPDWORD size)
{
    if (!size)
        return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD needed = static_cast<DWORD>(data.size());
    if (!buffer) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed)
        std::memcpy(buffer, data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

// Copies a name into a caller's buffer of *size characters (terminator included).
template <typename Char>
LONG DeliverName(std::basic_string_view<Char> name, Char* buffer, LPDWORD size)
{
    if (!buffer || !size)
        return ERROR_INVALID_PARAMETER;
    if (*size <= name.size())
        return ERROR_MORE_DATA;
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = 0;
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// ---- The calls, on UTF-16 names ----

// The existing key at `subKey` below the key of handle `key` (the key itself for no subkey):
// its location and view, or the error that finding it gave. `partCount` receives the number of
// names the subkey path held.
LONG LocateExistingSubKey(HKEY key, const std::u16string* subKey, View& view, Location& location,
    size_t* partCount = nullptr)
{
    if (LONG status = ExamineHandle(key, view, &location); status != ERROR_SUCCESS)
        return status;
    Path parts;
    if (LONG status = SplitPath(subKey ? std::u16string_view(*subKey) : std::u16string_view(), parts); status != ERROR_SUCCESS)
        return status;
    if (partCount)
        *partCount = parts.size();
    location.path.insert(location.path.end(), parts.begin(), parts.end());
    return Examine(location, view);
}

LONG OpenKey(HKEY key, const std::u16string* subKey, REGSAM access, PHKEY result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard guard(State().lock);
    View view;
    Location location;
    if (LONG status = LocateExistingSubKey(key, subKey, view, location); status != ERROR_SUCCESS)
        return status;
    *result = NewHandle(location, access, view);
    return ERROR_SUCCESS;
}

LONG CreateKey(HKEY key, const std::u16string* subKey, REGSAM access, PHKEY result, LPDWORD disposition)
{
    if (!result || !subKey)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard guard(State().lock);
    View view;
    Location location;
    if (LONG status = ExamineHandle(key, view, &location); status != ERROR_SUCCESS)
        return status;
    Path parts;
    if (LONG status = SplitPath(*subKey, parts); status != ERROR_SUCCESS)
        return status;
    if (!std::all_of(parts.begin(), parts.end(), [](const std::u16string& p) { return IsStorableName(p); }))
        return ERROR_INVALID_PARAMETER;
    location.path.insert(location.path.end(), parts.begin(), parts.end());

    LONG status = Examine(location, view);
    if (status == ERROR_SUCCESS) {
        if (disposition)
            *disposition = REG_OPENED_EXISTING_KEY;
        *result = NewHandle(location, access, view);
        return ERROR_SUCCESS;
    }
    if (status != ERROR_FILE_NOT_FOUND)
        return status;
    size_t depth = 0;
    if (LiveCover(location, depth))
        return ERROR_ACCESS_DENIED;

    DWORD outcome = REG_OPENED_EXISTING_KEY;
    status = ModifyHive(location.hive, [&](Key& root) {
        if (!Walk(&root, location.path, 0))
            outcome = REG_CREATED_NEW_KEY;
        Materialise(root, location.path);
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS)
        return status;
    if (disposition)
        *disposition = outcome;
    Examine(location, view);
    *result = NewHandle(location, access, view);
    return ERROR_SUCCESS;
}

// Checks that `key` may be written: open for `needed` access, and not live.
LONG WritableKey(HKEY key, REGSAM needed, Location& location)
{
    View view;
    REGSAM access = 0;
    if (LONG status = ExamineHandle(key, view, &location, &access); status != ERROR_SUCCESS)
        return status;
    if (view.live || (access & needed & 0xFFFF) != (needed & 0xFFFF))
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

LONG SetValue(HKEY key, std::u16string_view name, DWORD type, const BYTE* data, DWORD size, bool narrow)
{
    if (!data && size)
        return ERROR_NOACCESS;
    if (name.size() > 16383 || std::any_of(name.begin(), name.end(), [](char16_t c) { return c < 0x20 && c != u'\t'; }))
        return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(State().lock);
    Location location;
    if (LONG status = WritableKey(key, KEY_SET_VALUE, location); status != ERROR_SUCCESS)
        return status;

    std::vector<BYTE> stored(data, data + size);
    if (narrow && IsTextType(type)) {
        // A narrow text may hold zeros (REG_MULTI_SZ), so it is converted as a whole.
        std::u16string units;
        if (size) {
            int n = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(data), static_cast<int>(size), nullptr, 0);
            units.resize(static_cast<size_t>(std::max(n, 0)));
            if (n > 0)
                MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(data), static_cast<int>(size), units.data(), n);
        }
        stored = BytesOfUnits(units);
    }
    bool implied = ImpliedKey(location);
    return ModifyHive(location.hive, [&](Key& root) {
        Key* target = const_cast<Key*>(Walk(&root, location.path, 0));
        if (!target && !implied)
            return static_cast<LONG>(ERROR_KEY_DELETED);
        if (!target)
            target = &Materialise(root, location.path);
        target->SetValue(name, type, std::move(stored));
        return static_cast<LONG>(ERROR_SUCCESS);
    });
}

LONG QueryValue(HKEY key, std::u16string_view name, LPDWORD type, LPBYTE data, LPDWORD size, bool narrow)
{
    std::lock_guard guard(State().lock);
    View view;
    if (LONG status = ExamineHandle(key, view); status != ERROR_SUCCESS)
        return status;
    const Value* value = view.key ? view.key->FindValue(name) : nullptr;
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    return DeliverData(DataForCaller(*value, narrow), data, size);
}

LONG DeleteValue(HKEY key, std::u16string_view name)
{
    std::lock_guard guard(State().lock);
    Location location;
    if (LONG status = WritableKey(key, KEY_SET_VALUE, location); status != ERROR_SUCCESS)
        return status;
    return ModifyHive(location.hive, [&](Key& root) {
        Key* target = const_cast<Key*>(Walk(&root, location.path, 0));
        if (!target || !target->RemoveValue(name))
            return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
        return static_cast<LONG>(ERROR_SUCCESS);
    });
}

LONG DeleteKey(HKEY key, const std::u16string* subKey, bool wholeTree)
{
    std::lock_guard guard(State().lock);
    View view;
    Location location;
    size_t partCount = 0;
    if (LONG status = LocateExistingSubKey(key, subKey, view, location, &partCount); status != ERROR_SUCCESS)
        return status;
    if (view.live)
        return ERROR_ACCESS_DENIED;

    // A tree deletion without a subkey empties the key itself and keeps it.
    bool emptyOnly = wholeTree && partCount == 0;
    if (!emptyOnly && (AlwaysExists(location) || !view.extraChildren.empty()))
        return ERROR_ACCESS_DENIED;
    if (!wholeTree && view.key && !view.key->children.empty())
        return ERROR_ACCESS_DENIED;
    if (!view.key)
        return emptyOnly ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;

    return ModifyHive(location.hive, [&](Key& root) {
        Key* target = const_cast<Key*>(Walk(&root, location.path, 0));
        if (!target)
            return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
        if (emptyOnly) {
            target->children.clear();
            target->values.clear();
            return static_cast<LONG>(ERROR_SUCCESS);
        }
        if (!wholeTree && !target->children.empty())
            return static_cast<LONG>(ERROR_ACCESS_DENIED);
        Path parentPath(location.path.begin(), location.path.end() - 1);
        Key* parent = const_cast<Key*>(Walk(&root, parentPath, 0));
        parent->RemoveChild(location.path.back());
        return static_cast<LONG>(ERROR_SUCCESS);
    });
}

template <typename Char>
LONG EnumKey(HKEY key, DWORD index, Char* name, LPDWORD nameSize, Char* keyClass, LPDWORD classSize, PFILETIME lastWrite)
{
    std::lock_guard guard(State().lock);
    View view;
    if (LONG status = ExamineHandle(key, view); status != ERROR_SUCCESS)
        return status;
    Path names = ChildNames(view);
    if (index >= names.size())
        return ERROR_NO_MORE_ITEMS;
    LONG status;
    if constexpr (sizeof(Char) == 1) {
        std::string narrow = NarrowText(names[index]);
        status = DeliverName(std::string_view(narrow), name, nameSize);
    } else {
        status = DeliverName(std::u16string_view(names[index]), name, nameSize);
    }
    if (status != ERROR_SUCCESS)
        return status;
    if (keyClass && classSize && *classSize > 0)
        keyClass[0] = 0;
    if (classSize)
        *classSize = 0;
    if (lastWrite)
        *lastWrite = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

template <typename Char>
LONG EnumValue(HKEY key, DWORD index, Char* name, LPDWORD nameSize, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    std::lock_guard guard(State().lock);
    View view;
    if (LONG status = ExamineHandle(key, view); status != ERROR_SUCCESS)
        return status;
    if (!view.key || index >= view.key->values.size())
        return ERROR_NO_MORE_ITEMS;
    const Value& value = view.key->values[index];
    bool narrow = sizeof(Char) == 1;
    LONG status;
    if constexpr (sizeof(Char) == 1) {
        std::string text = NarrowText(value.name);
        status = DeliverName(std::string_view(text), name, nameSize);
    } else {
        status = DeliverName(std::u16string_view(value.name), name, nameSize);
    }
    if (status != ERROR_SUCCESS)
        return status;
    if (type)
        *type = value.type;
    return DeliverData(DataForCaller(value, narrow), data, dataSize);
}

LONG QueryInfo(HKEY key, bool narrow, LPDWORD classSize, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD maxClassLen,
    LPDWORD values, LPDWORD maxValueNameLen, LPDWORD maxValueLen, LPDWORD securityDescriptor, PFILETIME lastWrite)
{
    std::lock_guard guard(State().lock);
    View view;
    if (LONG status = ExamineHandle(key, view); status != ERROR_SUCCESS)
        return status;
    auto length = [&](const std::u16string& s) {
        return static_cast<DWORD>(narrow ? NarrowText(s).size() : s.size());
    };
    Path names = ChildNames(view);
    DWORD longestKey = 0, longestName = 0, longestData = 0;
    for (auto& n : names)
        longestKey = std::max(longestKey, length(n));
    size_t valueCount = view.key ? view.key->values.size() : 0;
    for (size_t i = 0; i < valueCount; ++i) {
        const Value& v = view.key->values[i];
        longestName = std::max(longestName, length(v.name));
        longestData = std::max(longestData, static_cast<DWORD>(DataForCaller(v, narrow).size()));
    }
    if (classSize)
        *classSize = 0;
    if (subKeys)
        *subKeys = static_cast<DWORD>(names.size());
    if (maxSubKeyLen)
        *maxSubKeyLen = longestKey;
    if (maxClassLen)
        *maxClassLen = 0;
    if (values)
        *values = static_cast<DWORD>(valueCount);
    if (maxValueNameLen)
        *maxValueNameLen = longestName;
    if (maxValueLen)
        *maxValueLen = longestData;
    if (securityDescriptor)
        *securityDescriptor = 0;
    if (lastWrite)
        *lastWrite = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

std::optional<std::u16string> WideArg(LPCWSTR text)
{
    if (!text)
        return std::nullopt;
    return std::u16string(text);
}

const std::u16string* Ptr(const std::optional<std::u16string>& text) { return text ? &*text : nullptr; }

}  // namespace

void RegisterLiveTree(HKEY root, std::u16string_view path, LiveTreeBuilder builder)
{
    auto location = RootLocation(root);
    Path parts;
    if (!location || SplitPath(path, parts) != ERROR_SUCCESS)
        return;
    location->path.insert(location->path.end(), parts.begin(), parts.end());
    std::lock_guard guard(State().lock);
    auto& mounts = State().mounts;
    std::erase_if(mounts, [&](const Mount& m) {
        return m.hive == location->hive && m.path.size() == location->path.size() && IsPrefix(m.path, location->path);
    });
    mounts.push_back(Mount{location->hive, location->path, std::move(builder)});
}

void RemoveLiveTree(HKEY root, std::u16string_view path)
{
    auto location = RootLocation(root);
    Path parts;
    if (!location || SplitPath(path, parts) != ERROR_SUCCESS)
        return;
    location->path.insert(location->path.end(), parts.begin(), parts.end());
    std::lock_guard guard(State().lock);
    std::erase_if(State().mounts, [&](const Mount& m) {
        return m.hive == location->hive && m.path.size() == location->path.size() && IsPrefix(m.path, location->path);
    });
}

std::string HiveProblem(HKEY root)
{
    auto location = RootLocation(root);
    if (!location)
        return {};
    std::lock_guard guard(State().lock);
    RefreshHive(location->hive);
    return Hive(location->hive).Problem();
}

}  // namespace yolt::registry

using namespace yolt::registry;

extern "C" {

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    return OpenKey(key, Ptr(WideName(subKey)), access, result);
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    return OpenKey(key, Ptr(WideArg(subKey)), access, result);
}

LONG RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result)
{
    return OpenKey(key, Ptr(WideName(subKey)), KEY_ALL_ACCESS, result);
}

LONG RegOpenKeyW(HKEY key, LPCWSTR subKey, PHKEY result)
{
    return OpenKey(key, Ptr(WideArg(subKey)), KEY_ALL_ACCESS, result);
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
    LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition)
{
    return CreateKey(key, Ptr(WideName(subKey)), access, result, disposition);
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
    LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition)
{
    return CreateKey(key, Ptr(WideArg(subKey)), access, result, disposition);
}

LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result)
{
    std::u16string name = WideName(subKey).value_or(u"");
    return CreateKey(key, &name, KEY_ALL_ACCESS, result, nullptr);
}

LONG RegCreateKeyW(HKEY key, LPCWSTR subKey, PHKEY result)
{
    std::u16string name = WideArg(subKey).value_or(u"");
    return CreateKey(key, &name, KEY_ALL_ACCESS, result, nullptr);
}

LONG RegCloseKey(HKEY key)
{
    if (IsPredefined(key))
        return ERROR_SUCCESS;
    std::lock_guard guard(State().lock);
    return State().handles.erase(reinterpret_cast<ULONG_PTR>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR keyClass,
    LPDWORD classSize, PFILETIME lastWrite)
{
    return EnumKey<char>(key, index, name, nameSize, keyClass, classSize, lastWrite);
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved, LPWSTR keyClass,
    LPDWORD classSize, PFILETIME lastWrite)
{
    return EnumKey<char16_t>(key, index, name, nameSize, keyClass, classSize, lastWrite);
}

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize)
{
    return EnumKey<char>(key, index, name, &nameSize, nullptr, nullptr, nullptr);
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
    LPBYTE data, LPDWORD dataSize)
{
    return EnumValue<char>(key, index, name, nameSize, type, data, dataSize);
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
    LPBYTE data, LPDWORD dataSize)
{
    return EnumValue<char16_t>(key, index, name, nameSize, type, data, dataSize);
}

LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    return QueryValue(key, WideName(name).value_or(u""), type, data, dataSize, true);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    return QueryValue(key, name ? name : u"", type, data, dataSize, false);
}

LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize)
{
    return SetValue(key, WideName(name).value_or(u""), type, data, dataSize, true);
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize)
{
    return SetValue(key, name ? name : u"", type, data, dataSize, false);
}

LONG RegDeleteValueA(HKEY key, LPCSTR name)
{
    return DeleteValue(key, WideName(name).value_or(u""));
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name)
{
    return DeleteValue(key, name ? name : u"");
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    if (!subKey)
        return ERROR_INVALID_PARAMETER;
    return DeleteKey(key, Ptr(WideName(subKey)), false);
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey)
{
    if (!subKey)
        return ERROR_INVALID_PARAMETER;
    return DeleteKey(key, Ptr(WideArg(subKey)), false);
}

LONG RegDeleteTreeA(HKEY key, LPCSTR subKey)
{
    return DeleteKey(key, Ptr(WideName(subKey)), true);
}

LONG RegDeleteTreeW(HKEY key, LPCWSTR subKey)
{
    return DeleteKey(key, Ptr(WideArg(subKey)), true);
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
    LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values, LPDWORD maxValueNameLen, LPDWORD maxValueLen,
    LPDWORD securityDescriptor, PFILETIME lastWrite)
{
    if (keyClass && classSize && *classSize > 0)
        keyClass[0] = 0;
    return QueryInfo(key, true, classSize, subKeys, maxSubKeyLen, maxClassLen, values, maxValueNameLen, maxValueLen,
        securityDescriptor, lastWrite);
}

LONG RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
    LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values, LPDWORD maxValueNameLen, LPDWORD maxValueLen,
    LPDWORD securityDescriptor, PFILETIME lastWrite)
{
    if (keyClass && classSize && *classSize > 0)
        keyClass[0] = 0;
    return QueryInfo(key, false, classSize, subKeys, maxSubKeyLen, maxClassLen, values, maxValueNameLen, maxValueLen,
        securityDescriptor, lastWrite);
}

}  // extern "C"
