#include "platform/machine/machine_document.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>

#include <nlohmann/json.hpp>

#include "platform/base/wtext.h"
#include "platform/machine/machine_error.h"
#include "platform/machine/named_systems.h"
#include "platform/machine/player_models.h"

namespace yolt::machine {

namespace {
using Json = nlohmann::ordered_json;
using LineMap = std::map<std::string, int>;

constexpr ULONG kDefaultDeviceStatus = 0x0000000A;  // DN_DRIVER_LOADED | DN_STARTED
constexpr uint64_t kDefaultOtherCapacity = 1000ull * 1000 * 1000;

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && _strnicmp(a.data(), b.data(), a.size()) == 0;
}

std::string Hex(uint64_t value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

// ---- Reading with lines ----------------------------------------------------------------------

// Hands the parser one character at a time and counts them, so that each value read can be
// given the line it stands on.
class CountingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingIterator(const char* at, size_t* consumed) : m_at(at), m_consumed(consumed) {}
    reference operator*() const { return *m_at; }
    CountingIterator& operator++()
    {
        ++m_at;
        ++*m_consumed;
        return *this;
    }
    CountingIterator operator++(int)
    {
        auto before = *this;
        ++*this;
        return before;
    }
    bool operator==(const CountingIterator& other) const { return m_at == other.m_at; }
    bool operator!=(const CountingIterator& other) const { return m_at != other.m_at; }

private:
    const char* m_at;
    size_t* m_consumed;
};

// The line of the last character read before `consumed`, stepping back over blanks that the
// parser read ahead to end a number or a literal.
int LineAt(const std::string& text, size_t consumed)
{
    size_t end = std::min(consumed, text.size());
    while (end > 1 && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end ? end - 1 : 0), '\n'));
}

std::string EscapePointerToken(const std::string& key)
{
    std::string escaped;
    for (char c : key) {
        if (c == '~')
            escaped += "~0";
        else if (c == '/')
            escaped += "~1";
        else
            escaped += c;
    }
    return escaped;
}

// The parser's message without its "[json.exception…] parse error at line…, column…: " head.
std::string ParseErrorReason(const std::string& message)
{
    auto column = message.find("column ");
    if (column != std::string::npos) {
        auto colon = message.find(": ", column);
        if (colon != std::string::npos)
            return "not valid JSON: " + message.substr(colon + 2);
    }
    auto bracket = message.find("] ");
    return "not valid JSON: " + (bracket == std::string::npos ? message : message.substr(bracket + 2));
}

// Builds the document from parser events and notes the line of every value by its JSON pointer.
class LocatingBuilder {
public:
    LocatingBuilder(const std::string& text, const size_t& consumed, const std::filesystem::path& file)
        : m_text(text), m_consumed(consumed), m_file(file)
    {
    }

    Json root;
    LineMap lines;

    bool null() { return Insert(nullptr) != nullptr; }
    bool boolean(bool value) { return Insert(value) != nullptr; }
    bool number_integer(Json::number_integer_t value) { return Insert(value) != nullptr; }
    bool number_unsigned(Json::number_unsigned_t value) { return Insert(value) != nullptr; }
    bool number_float(Json::number_float_t value, const Json::string_t&) { return Insert(value) != nullptr; }
    bool string(Json::string_t& value) { return Insert(value) != nullptr; }
    bool binary(Json::binary_t& value) { return Insert(Json::binary(value)) != nullptr; }

    bool start_object(std::size_t)
    {
        Json* value = Insert(Json::object());
        m_stack.push_back({value, m_lastPath});
        return true;
    }
    bool end_object()
    {
        m_stack.pop_back();
        return true;
    }
    bool start_array(std::size_t)
    {
        Json* value = Insert(Json::array());
        m_stack.push_back({value, m_lastPath});
        return true;
    }
    bool end_array()
    {
        m_stack.pop_back();
        return true;
    }
    bool key(Json::string_t& key)
    {
        const Frame& parent = m_stack.back();
        std::string path = parent.path + "/" + EscapePointerToken(key);
        int line = LineAt(m_text, m_consumed);
        if (parent.value->contains(key))
            throw MachineError(m_file, line, "member \"" + key + "\" given twice");
        m_key = key;
        lines[path] = line;
        return true;
    }
    bool parse_error(std::size_t position, const std::string&, const Json::exception& error)
    {
        throw MachineError(m_file, LineAt(m_text, position), ParseErrorReason(error.what()));
    }

private:
    struct Frame {
        Json* value;
        std::string path;
    };

    // Pointers held in the stack stay valid: only the innermost container grows, and every
    // container below it has been closed before its next sibling is added.
    Json* Insert(Json value)
    {
        if (m_stack.empty()) {
            root = std::move(value);
            m_lastPath = "";
            lines[""] = LineAt(m_text, m_consumed);
            return &root;
        }
        Frame& parent = m_stack.back();
        if (parent.value->is_object()) {
            m_lastPath = parent.path + "/" + EscapePointerToken(m_key);
            return &((*parent.value)[m_key] = std::move(value));
        }
        m_lastPath = parent.path + "/" + std::to_string(parent.value->size());
        lines[m_lastPath] = LineAt(m_text, m_consumed);
        parent.value->push_back(std::move(value));
        return &parent.value->back();
    }

    const std::string& m_text;
    const size_t& m_consumed;
    const std::filesystem::path& m_file;
    std::vector<Frame> m_stack;
    std::string m_key;
    std::string m_lastPath;
};

// ---- Resolving -------------------------------------------------------------------------------

class Resolver {
public:
    Resolver(const Json& json, const LineMap* lines, const std::filesystem::path& file)
        : m_json(json), m_lines(lines), m_file(file)
    {
    }

    MachineDescription Resolve()
    {
        MachineDescription d;
        CheckMembers(m_json, "", {"system", "locale", "clock", "drives", "devices", "missingModules",
                                     "missingFunctions", "volumeController", "hardwareRegistry", "unpluggedDevices"});
        ReadSystem(d);
        ReadLocale(d);
        ReadClock(d);
        ReadDrives(d);
        ReadDevices(d);
        ReadUnpluggedDevices(d);
        ReadMissing(d);
        ReadVolumeController(d);
        ReadHardwareRegistry(d);
        std::sort(d.drives.begin(), d.drives.end(), [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
        return d;
    }

private:
    [[noreturn]] void Fail(const std::string& pointer, const std::string& reason) const
    {
        throw MachineError(m_file, LineOf(pointer), reason);
    }

    int LineOf(std::string pointer) const
    {
        if (!m_lines)
            return 0;
        for (;;) {
            auto found = m_lines->find(pointer);
            if (found != m_lines->end())
                return found->second;
            auto slash = pointer.rfind('/');
            if (slash == std::string::npos)
                return 1;
            pointer.resize(slash);
        }
    }

    static std::string Where(const std::string& pointer) { return pointer.empty() ? "the file" : "\"" + pointer + "\""; }

    void CheckMembers(const Json& value, const std::string& pointer, std::initializer_list<const char*> allowed) const
    {
        if (!value.is_object())
            Fail(pointer, Where(pointer) + " must be a JSON object");
        for (auto& [key, member] : value.items()) {
            bool known = std::any_of(allowed.begin(), allowed.end(), [&](const char* name) { return key == name; });
            if (!known)
                Fail(pointer + "/" + EscapePointerToken(key), "unknown member \"" + key + "\"");
        }
    }

    std::string Text(const Json& value, const std::string& pointer) const
    {
        if (!value.is_string())
            Fail(pointer, Where(pointer) + " must be a string");
        return value.get<std::string>();
    }

    bool Flag(const Json& value, const std::string& pointer) const
    {
        if (!value.is_boolean())
            Fail(pointer, Where(pointer) + " must be true or false");
        return value.get<bool>();
    }

    // A number, or a string holding a decimal number or a "0x…" hexadecimal one.
    uint64_t Number(const Json& value, const std::string& pointer, uint64_t max) const
    {
        uint64_t number = 0;
        if (value.is_number_unsigned()) {
            number = value.get<uint64_t>();
        } else if (value.is_number_integer() && value.get<int64_t>() >= 0) {
            number = static_cast<uint64_t>(value.get<int64_t>());
        } else if (value.is_string()) {
            const std::string& text = value.get_ref<const std::string&>();
            bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
            std::string digits = hex ? text.substr(2) : text;
            bool valid = !digits.empty() && digits.size() <= 16 && std::all_of(digits.begin(), digits.end(), [&](char c) {
                return hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
            });
            if (!valid)
                Fail(pointer, Where(pointer) + " must be a number (\"" + text + "\" is not)");
            number = std::stoull(digits, nullptr, hex ? 16 : 10);
        } else {
            Fail(pointer, Where(pointer) + " must be a non-negative number");
        }
        if (number > max)
            Fail(pointer, Where(pointer) + " must be at most " + std::to_string(max));
        return number;
    }

    char Letter(const Json& value, const std::string& pointer) const
    {
        std::string text = Text(value, pointer);
        bool valid = !text.empty() && std::isalpha(static_cast<unsigned char>(text[0]))
            && (text.size() == 1 || text.substr(1) == ":" || text.substr(1) == ":\\");
        if (!valid)
            Fail(pointer, "\"" + text + "\" is not a drive letter");
        char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        if (letter == 'Z')
            Fail(pointer, "drive Z: is the host's root and cannot be declared");
        return letter;
    }

    DriveKind Kind(const Json& value, const std::string& pointer) const
    {
        static const std::pair<const char*, DriveKind> kinds[] = {{"removable", DriveKind::Removable},
            {"fixed", DriveKind::Fixed}, {"remote", DriveKind::Remote}, {"cdrom", DriveKind::CdRom},
            {"ramdisk", DriveKind::RamDisk}};
        std::string text = Text(value, pointer);
        for (auto& [name, kind] : kinds) {
            if (SameText(text, name))
                return kind;
        }
        Fail(pointer, "unknown drive kind \"" + text + "\" (known: removable, fixed, remote, cdrom, ramdisk)");
    }

    void ReadSystem(MachineDescription& d) const
    {
        const std::string pointer = "/system";
        Json system = m_json.contains("system") ? m_json["system"] : Json("xp");
        if (system.is_string()) {
            ApplyNamedSystem(d, Text(system, pointer), pointer);
            return;
        }
        CheckMembers(system, pointer, {"name", "servicePack", "platformId", "major", "minor", "build", "csdVersion",
                                          "servicePackMajor", "servicePackMinor", "extendedQuery", "productType"});
        if (!system.contains("name"))
            Fail(pointer, "\"system\" needs a \"name\" (one of " + NamedSystemNames() + ")");
        ApplyNamedSystem(d, Text(system["name"], pointer + "/name"), pointer + "/name");
        SystemVersion& v = d.version;
        auto member = [&](const char* name) { return pointer + "/" + name; };
        if (system.contains("servicePack")) {
            if (v.platformId != 2)
                Fail(member("servicePack"), "service packs apply to NT-family systems only");
            ApplyServicePack(v, static_cast<WORD>(Number(system["servicePack"], member("servicePack"), 0xFFFF)));
        }
        if (system.contains("platformId"))
            v.platformId = static_cast<DWORD>(Number(system["platformId"], member("platformId"), 0xFFFFFFFF));
        if (system.contains("major"))
            v.major = static_cast<DWORD>(Number(system["major"], member("major"), 0xFFFFFFFF));
        if (system.contains("minor"))
            v.minor = static_cast<DWORD>(Number(system["minor"], member("minor"), 0xFFFFFFFF));
        if (system.contains("build"))
            v.build = static_cast<DWORD>(Number(system["build"], member("build"), 0xFFFFFFFF));
        if (system.contains("csdVersion")) {
            v.csdVersion = Text(system["csdVersion"], member("csdVersion"));
            if (v.csdVersion.size() > 127)
                Fail(member("csdVersion"), "\"csdVersion\" is longer than 127 characters");
        }
        if (system.contains("servicePackMajor"))
            v.servicePackMajor = static_cast<WORD>(Number(system["servicePackMajor"], member("servicePackMajor"), 0xFFFF));
        if (system.contains("servicePackMinor"))
            v.servicePackMinor = static_cast<WORD>(Number(system["servicePackMinor"], member("servicePackMinor"), 0xFFFF));
        if (system.contains("extendedQuery"))
            v.extendedQueryWorks = Flag(system["extendedQuery"], member("extendedQuery"));
        if (system.contains("productType"))
            v.productType = static_cast<BYTE>(Number(system["productType"], member("productType"), 0xFF));
    }

    void ApplyNamedSystem(MachineDescription& d, const std::string& name, const std::string& pointer) const
    {
        auto named = FindNamedSystem(name);
        if (!named)
            Fail(pointer, "unknown system \"" + name + "\" (known: " + NamedSystemNames() + ")");
        d.systemName = named->name;
        d.systemDescription = named->description;
        d.version = named->version;
    }

    void ReadLocale(MachineDescription& d) const
    {
        LocaleSettings& l = d.locale;
        if (!m_json.contains("locale"))
            return;
        const std::string pointer = "/locale";
        const Json& locale = m_json["locale"];
        CheckMembers(locale, pointer, {"lcid", "ansiCodePage", "oemCodePage", "localeAnsiCodePage"});
        if (locale.contains("lcid")) {
            l.threadLocale = static_cast<LCID>(Number(locale["lcid"], pointer + "/lcid", 0xFFFFFFFF));
            if (auto pages = CodePagesOfLocale(l.threadLocale)) {
                l.ansiCodePage = pages->ansi;
                l.oemCodePage = pages->oem;
            }
        }
        if (locale.contains("ansiCodePage"))
            l.ansiCodePage = CodePage(locale["ansiCodePage"], pointer + "/ansiCodePage");
        if (locale.contains("oemCodePage"))
            l.oemCodePage = CodePage(locale["oemCodePage"], pointer + "/oemCodePage");
        l.localeAnsiCodePage = std::to_string(l.ansiCodePage);
        if (locale.contains("localeAnsiCodePage"))
            l.localeAnsiCodePage = Text(locale["localeAnsiCodePage"], pointer + "/localeAnsiCodePage");
    }

    UINT CodePage(const Json& value, const std::string& pointer) const
    {
        auto page = static_cast<UINT>(Number(value, pointer, 65535));
        if (page == 0)
            Fail(pointer, "a code page cannot be 0");
        return page;
    }

    void ReadClock(MachineDescription& d) const
    {
        if (!m_json.contains("clock"))
            return;
        std::string clock = Text(m_json["clock"], "/clock");
        if (clock != "real" && clock != "virtual")
            Fail("/clock", "\"clock\" must be \"real\" or \"virtual\", not \"" + clock + "\"");
        d.virtualClock = clock == "virtual";
    }

    const Json& List(const char* name) const
    {
        static const Json empty = Json::array();
        if (!m_json.contains(name))
            return empty;
        const Json& list = m_json[name];
        if (!list.is_array())
            Fail(std::string("/") + name, std::string("\"") + name + "\" must be a JSON array");
        return list;
    }

    void AddDrive(MachineDescription& d, const Drive& drive, const std::string& pointer) const
    {
        if (d.FindDrive(drive.letter))
            Fail(pointer, std::string("drive ") + drive.letter + ": is declared twice");
        d.drives.push_back(drive);
    }

    void ReadDriveLook(Drive& drive, const Json& entry, const std::string& pointer) const
    {
        if (entry.contains("kind"))
            drive.kind = Kind(entry["kind"], pointer + "/kind");
        if (entry.contains("capacity"))
            drive.capacity = Number(entry["capacity"], pointer + "/capacity", UINT64_MAX);
        if (entry.contains("label"))
            drive.label = Text(entry["label"], pointer + "/label");
        if (entry.contains("fileSystem"))
            drive.fileSystem = Text(entry["fileSystem"], pointer + "/fileSystem");
    }

    // Storage strings and bus type given in an entry; returns whether any was given.
    bool ReadIdentity(StorageIdentity& identity, const Json& entry, const std::string& pointer) const
    {
        bool given = false;
        if (entry.contains("vendor")) {
            identity.vendor = Text(entry["vendor"], pointer + "/vendor");
            given = true;
        }
        if (entry.contains("product")) {
            identity.product = Text(entry["product"], pointer + "/product");
            given = true;
        }
        if (entry.contains("revision")) {
            identity.revision = Text(entry["revision"], pointer + "/revision");
            given = true;
        }
        if (entry.contains("busType")) {
            identity.busType = static_cast<BYTE>(Number(entry["busType"], pointer + "/busType", 0xFF));
            given = true;
        }
        return given;
    }

    void ReadDrives(MachineDescription& d) const
    {
        const Json& drives = List("drives");
        for (size_t i = 0; i < drives.size(); ++i) {
            std::string pointer = "/drives/" + std::to_string(i);
            const Json& entry = drives[i];
            CheckMembers(entry, pointer, {"letter", "kind", "capacity", "label", "fileSystem", "vendor", "product", "revision", "busType"});
            if (!entry.contains("letter"))
                Fail(pointer, "a drive needs a \"letter\"");
            Drive drive;
            drive.letter = Letter(entry["letter"], pointer + "/letter");
            ReadDriveLook(drive, entry, pointer);
            AddDrive(d, drive, pointer + "/letter");
            StorageIdentity identity;
            identity.busType = 3;  // ATA, an internal disk
            identity.removableMedia = drive.kind == DriveKind::Removable;
            if (ReadIdentity(identity, entry, pointer))
                d.identities.emplace_back(drive.letter, identity);
        }
    }

    void ReadDevices(MachineDescription& d) const
    {
        const Json& devices = List("devices");
        for (size_t i = 0; i < devices.size(); ++i)
            ReadDevice(d, devices[i], "/devices/" + std::to_string(i));
    }

    void ReadDevice(MachineDescription& d, const Json& entry, const std::string& pointer) const
    {
        CheckMembers(entry, pointer, {"model", "drive", "kind", "capacity", "label", "fileSystem", "vendor", "product",
                                         "revision", "busType", "vendorId", "productId", "instance", "deviceId", "status",
                                         "problem", "inUse"});
        std::optional<PlayerModel> model;
        if (entry.contains("model")) {
            std::string name = Text(entry["model"], pointer + "/model");
            model = FindPlayerModel(name);
            if (!model)
                Fail(pointer + "/model", "unknown player model \"" + name + "\" (known: " + PlayerModelNames() + ")");
        }
        bool hasIds = entry.contains("vendorId") && entry.contains("productId");
        if (!model && !hasIds && !entry.contains("deviceId"))
            Fail(pointer, "a device needs a \"model\", or a \"vendorId\" and \"productId\", or a \"deviceId\"");

        UsbDevice device;
        device.model = model ? model->name : "";
        WORD vendorId = model ? model->vendorId : 0;
        WORD productId = model ? model->productId : 0;
        if (entry.contains("vendorId"))
            vendorId = static_cast<WORD>(Number(entry["vendorId"], pointer + "/vendorId", 0xFFFF));
        if (entry.contains("productId"))
            productId = static_cast<WORD>(Number(entry["productId"], pointer + "/productId", 0xFFFF));
        std::string instance = entry.contains("instance") ? Text(entry["instance"], pointer + "/instance")
                                                          : DefaultInstance(d, vendorId, productId);
        char id[64];
        std::snprintf(id, sizeof id, "USB\\VID_%04X&PID_%04X\\", vendorId, productId);
        device.deviceId = entry.contains("deviceId") ? Text(entry["deviceId"], pointer + "/deviceId") : id + instance;
        for (const auto& other : d.devices) {
            if (SameText(other.deviceId, device.deviceId))
                Fail(pointer, "device identifier \"" + device.deviceId + "\" is given twice");
        }
        device.status = entry.contains("status") ? static_cast<ULONG>(Number(entry["status"], pointer + "/status", 0xFFFFFFFF))
                                                 : kDefaultDeviceStatus;
        if (entry.contains("problem"))
            device.problem = static_cast<ULONG>(Number(entry["problem"], pointer + "/problem", 0xFFFFFFFF));
        if (entry.contains("inUse"))
            device.inUse = Flag(entry["inUse"], pointer + "/inUse");

        if (entry.contains("drive") && !entry["drive"].is_null()) {
            Drive drive;
            drive.letter = Letter(entry["drive"], pointer + "/drive");
            drive.kind = model ? model->kind : DriveKind::Removable;
            drive.capacity = model ? model->capacity : kDefaultOtherCapacity;
            ReadDriveLook(drive, entry, pointer);
            AddDrive(d, drive, pointer + "/drive");
            device.drive = drive.letter;

            StorageIdentity identity;
            identity.vendor = model ? ScsiString(model->vendor, 8) : "";
            identity.product = model ? ScsiString(model->product, 16) : "";
            identity.revision = "1.00";
            identity.busType = 7;  // USB
            identity.removableMedia = drive.kind == DriveKind::Removable;
            ReadIdentity(identity, entry, pointer);
            d.identities.emplace_back(drive.letter, identity);
        }
        d.devices.push_back(device);
    }

    // Devices seen before and unplugged since. One that is attached again counts as attached.
    void ReadUnpluggedDevices(MachineDescription& d) const
    {
        const Json& devices = List("unpluggedDevices");
        for (size_t i = 0; i < devices.size(); ++i) {
            std::string pointer = "/unpluggedDevices/" + std::to_string(i);
            const Json& entry = devices[i];
            CheckMembers(entry, pointer, {"deviceId", "model"});
            if (!entry.contains("deviceId"))
                Fail(pointer, "an unplugged device needs a \"deviceId\"");
            UsbDevice device;
            device.deviceId = Text(entry["deviceId"], pointer + "/deviceId");
            if (entry.contains("model")) {
                std::string name = Text(entry["model"], pointer + "/model");
                auto model = FindPlayerModel(name);
                if (!model)
                    Fail(pointer + "/model", "unknown player model \"" + name + "\" (known: " + PlayerModelNames() + ")");
                device.model = model->name;
            }
            auto same = [&](const UsbDevice& other) { return SameText(other.deviceId, device.deviceId); };
            if (std::any_of(d.devices.begin(), d.devices.end(), same))
                continue;
            std::erase_if(d.unpluggedDevices, same);
            d.unpluggedDevices.push_back(device);
        }
    }

    // "0001", "0002"…: one more than the devices with the same identifiers before it.
    static std::string DefaultInstance(const MachineDescription& d, WORD vendorId, WORD productId)
    {
        char prefix[64];
        std::snprintf(prefix, sizeof prefix, "USB\\VID_%04X&PID_%04X\\", vendorId, productId);
        auto same = std::count_if(d.devices.begin(), d.devices.end(),
            [&](const UsbDevice& other) { return _strnicmp(other.deviceId.c_str(), prefix, std::strlen(prefix)) == 0; });
        char instance[16];
        std::snprintf(instance, sizeof instance, "%04d", static_cast<int>(same + 1));
        return instance;
    }

    void ReadMissing(MachineDescription& d) const
    {
        const Json& modules = List("missingModules");
        for (size_t i = 0; i < modules.size(); ++i)
            d.missingModules.push_back(Text(modules[i], "/missingModules/" + std::to_string(i)));
        const Json& functions = List("missingFunctions");
        for (size_t i = 0; i < functions.size(); ++i) {
            std::string pointer = "/missingFunctions/" + std::to_string(i);
            const Json& entry = functions[i];
            CheckMembers(entry, pointer, {"module", "function"});
            if (!entry.contains("module") || !entry.contains("function"))
                Fail(pointer, "a missing function needs a \"module\" and a \"function\"");
            d.missingFunctions.emplace_back(Text(entry["module"], pointer + "/module"), Text(entry["function"], pointer + "/function"));
        }
    }

    void ReadVolumeController(MachineDescription& d) const
    {
        if (!m_json.contains("volumeController"))
            return;
        const std::string pointer = "/volumeController";
        const Json& entry = m_json["volumeController"];
        CheckMembers(entry, pointer, {"available", "resetRefused", "lockRefused", "category48Unsupported", "statusFailure",
                                         "pendingLocks", "releaseRefused", "ejectRefused"});
        VolumeControllerBehaviour& v = d.volumeController;
        auto flag = [&](const char* name, bool& field) {
            if (entry.contains(name))
                field = Flag(entry[name], pointer + "/" + name);
        };
        flag("available", v.available);
        flag("resetRefused", v.resetRefused);
        flag("lockRefused", v.lockRefused);
        flag("category48Unsupported", v.category48Unsupported);
        flag("releaseRefused", v.releaseRefused);
        flag("ejectRefused", v.ejectRefused);
        if (entry.contains("statusFailure"))
            v.statusFailure = static_cast<DWORD>(Number(entry["statusFailure"], pointer + "/statusFailure", 0xFFFFFFFF));
        if (entry.contains("pendingLocks"))
            v.pendingLocks = static_cast<BYTE>(Number(entry["pendingLocks"], pointer + "/pendingLocks", 0xFF));
    }

    void ReadHardwareRegistry(MachineDescription& d) const
    {
        if (!m_json.contains("hardwareRegistry"))
            return;
        const std::string pointer = "/hardwareRegistry";
        const Json& value = m_json["hardwareRegistry"];
        if (value.is_string()) {
            d.hardwareRegistry = value.get<std::string>();
            return;
        }
        if (!value.is_array())
            Fail(pointer, "\"hardwareRegistry\" must be .reg text: a string or an array of lines");
        std::string text;
        for (size_t i = 0; i < value.size(); ++i)
            text += Text(value[i], pointer + "/" + std::to_string(i)) + "\n";
        d.hardwareRegistry = text;
    }

    const Json& m_json;
    const LineMap* m_lines;
    const std::filesystem::path& m_file;
};

std::string LetterText(char letter)
{
    return std::string(1, letter);
}

// Drops the entries of "unpluggedDevices" that name `deviceId` (any case).
void ForgetUnplugged(Json& json, const std::string& deviceId)
{
    if (!json.contains("unpluggedDevices") || !json["unpluggedDevices"].is_array())
        return;
    Json& list = json["unpluggedDevices"];
    for (size_t i = list.size(); i-- > 0;) {
        const Json& entry = list[i];
        if (entry.is_object() && entry.contains("deviceId") && entry["deviceId"].is_string() &&
            SameText(entry["deviceId"].get_ref<const std::string&>(), deviceId))
            list.erase(i);
    }
}
}  // namespace

const Drive* MachineDescription::FindDrive(char letter) const
{
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const auto& drive : drives) {
        if (drive.letter == letter)
            return &drive;
    }
    return nullptr;
}

MachineDocument::MachineDocument(const std::string& systemName) : m_json(std::make_unique<Json>(Json::object()))
{
    auto named = FindNamedSystem(systemName);
    if (!named)
        throw MachineError("unknown system \"" + systemName + "\" (known: " + NamedSystemNames() + ")");
    (*m_json)["system"] = named->name;
    (*m_json)["locale"] = {{"lcid", "0x0409"}, {"ansiCodePage", 1252}, {"oemCodePage", 437}};
    (*m_json)["clock"] = "real";
    (*m_json)["drives"] = Json::array({{{"letter", "C"}, {"kind", "fixed"}, {"capacity", 40000000000ull}, {"label", ""},
        {"fileSystem", named->version.platformId == 2 ? "NTFS" : "FAT32"}, {"product", "ST340014A"}, {"busType", 3}}});
    (*m_json)["devices"] = Json::array();
    m_description = Resolver(*m_json, nullptr, {}).Resolve();
}

MachineDocument::MachineDocument(const std::string& text, const std::filesystem::path& file)
{
    size_t consumed = 0;
    LocatingBuilder builder(text, consumed, file);
    CountingIterator begin(text.data(), &consumed);
    CountingIterator end(text.data() + text.size(), &consumed);
    Json::sax_parse(begin, end, &builder);
    m_json = std::make_unique<Json>(std::move(builder.root));
    m_description = Resolver(*m_json, &builder.lines, file).Resolve();
}

MachineDocument::MachineDocument(const MachineDocument& other)
    : m_json(std::make_unique<Json>(*other.m_json)), m_description(other.m_description)
{
}

MachineDocument& MachineDocument::operator=(const MachineDocument& other)
{
    if (this != &other) {
        m_json = std::make_unique<Json>(*other.m_json);
        m_description = other.m_description;
    }
    return *this;
}

MachineDocument::~MachineDocument() = default;

std::string MachineDocument::Text() const
{
    return m_json->dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

template <class Edit>
void MachineDocument::Apply(Edit edit)
{
    Json changed = *m_json;
    edit(changed);
    MachineDescription description = Resolver(changed, nullptr, {}).Resolve();
    *m_json = std::move(changed);
    m_description = std::move(description);
}

void MachineDocument::SetSystem(const std::string& name)
{
    auto named = FindNamedSystem(name);
    if (!named)
        throw MachineError("unknown system \"" + name + "\" (known: " + NamedSystemNames() + ")");
    Apply([&](Json& json) { json["system"] = named->name; });
}

void MachineDocument::SetCodePage(UINT codePage)
{
    Apply([&](Json& json) {
        Json& locale = json["locale"];
        if (!locale.is_object())
            locale = Json::object();
        locale["ansiCodePage"] = codePage;
        locale.erase("localeAnsiCodePage");
    });
}

void MachineDocument::SetLocale(LCID lcid)
{
    Apply([&](Json& json) {
        Json& locale = json["locale"];
        if (!locale.is_object())
            locale = Json::object();
        locale["lcid"] = Hex(lcid, 4);
        if (CodePagesOfLocale(lcid)) {
            locale.erase("ansiCodePage");
            locale.erase("oemCodePage");
            locale.erase("localeAnsiCodePage");
        }
    });
}

void MachineDocument::SetVirtualClock(bool isVirtual)
{
    Apply([&](Json& json) { json["clock"] = isVirtual ? "virtual" : "real"; });
}

char MachineDocument::FirstFreeLetter() const
{
    for (char letter = 'E'; letter < 'Z'; ++letter) {
        if (!m_description.FindDrive(letter))
            return letter;
    }
    return 0;
}

char MachineDocument::Plug(const PlayerPlug& plug)
{
    auto model = FindPlayerModel(plug.model);
    if (!model)
        throw MachineError("unknown player model \"" + plug.model + "\" (known: " + PlayerModelNames() + ")");
    char letter = plug.drive ? static_cast<char>(std::toupper(static_cast<unsigned char>(plug.drive))) : FirstFreeLetter();
    if (!letter)
        throw MachineError("no drive letter is free for the player");
    if (m_description.FindDrive(letter))
        throw MachineError(std::string("drive ") + letter + ": is already in use");

    WORD vendorId = plug.vendorId.value_or(model->vendorId);
    WORD productId = plug.productId.value_or(model->productId);
    std::string instance;
    std::string deviceId;
    for (int n = 1; instance.empty(); ++n) {
        char candidate[64];
        std::snprintf(candidate, sizeof candidate, "USB\\VID_%04X&PID_%04X\\%04d", vendorId, productId, n);
        bool taken = std::any_of(m_description.devices.begin(), m_description.devices.end(),
            [&](const UsbDevice& d) { return SameText(d.deviceId, candidate); });
        if (!taken) {
            deviceId = candidate;
            instance = deviceId.substr(deviceId.size() - 4);
        }
    }

    Json device = {{"model", model->name}, {"drive", LetterText(letter)}};
    if (plug.capacity)
        device["capacity"] = *plug.capacity;
    if (plug.vendor)
        device["vendor"] = *plug.vendor;
    if (plug.product)
        device["product"] = *plug.product;
    if (plug.busType)
        device["busType"] = *plug.busType;
    if (plug.vendorId)
        device["vendorId"] = Hex(*plug.vendorId, 4);
    if (plug.productId)
        device["productId"] = Hex(*plug.productId, 4);
    device["instance"] = instance;
    if (plug.status)
        device["status"] = Hex(*plug.status, 8);
    if (plug.inUse)
        device["inUse"] = true;
    Apply([&](Json& json) {
        if (!json["devices"].is_array())
            json["devices"] = Json::array();
        json["devices"].push_back(device);
        ForgetUnplugged(json, deviceId);
    });
    return letter;
}

bool MachineDocument::RemoveDevice(const std::string& deviceId)
{
    const auto& devices = m_description.devices;
    auto found = std::find_if(devices.begin(), devices.end(), [&](const UsbDevice& d) { return SameText(d.deviceId, deviceId); });
    if (found == devices.end())
        return false;
    size_t index = static_cast<size_t>(found - devices.begin());
    // The system keeps the keys of a device it has seen; remember the device so they stay.
    Json former = {{"deviceId", found->deviceId}};
    if (!found->model.empty())
        former["model"] = found->model;
    std::string removedId = found->deviceId;
    Apply([&](Json& json) {
        json["devices"].erase(index);
        ForgetUnplugged(json, removedId);
        if (!json["unpluggedDevices"].is_array())
            json["unpluggedDevices"] = Json::array();
        json["unpluggedDevices"].push_back(former);
    });
    return true;
}

bool MachineDocument::SetDriveText(char letter, const std::string& member, const std::string& value)
{
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (!m_description.FindDrive(letter))
        return false;
    auto matches = [&](const Json& entry, const char* key) {
        if (!entry.contains(key) || !entry[key].is_string())
            return false;
        const std::string& text = entry[key].get_ref<const std::string&>();
        return !text.empty() && std::toupper(static_cast<unsigned char>(text[0])) == letter;
    };
    Apply([&](Json& json) {
        for (const char* list : {"drives", "devices"}) {
            if (!json.contains(list))
                continue;
            for (auto& entry : json[list]) {
                if (matches(entry, std::string_view(list) == "drives" ? "letter" : "drive"))
                    entry[member] = value;
            }
        }
    });
    return true;
}

void MachineDocument::SetHardwareRegistry(const std::string& regText)
{
    Apply([&](Json& json) { json["hardwareRegistry"] = regText; });
}

}  // namespace yolt::machine
