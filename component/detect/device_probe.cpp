#include "component/detect/device_probe.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "component/detect/registry_key_list.h"
#include "platform/base/bstr.h"
#include "platform/base/errors.h"
#include "platform/base/format.h"
#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/devio.h"
#include "platform/kernel/drives.h"
#include "platform/kernel/files.h"
#include "platform/kernel/storage.h"
#include "platform/registry/registry.h"
#include "shared/platform_record.h"

namespace {

// The two device-interface classes whose keys show whether a USB device is active.
const WCHAR* const kInterfaceClasses[] = {
    u"{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
    u"{9aac36e0-cc5d-11d5-b6f0-0050baecb8f0}",
};

BSTR BstrFromWide(const std::u16string& text)
{
    return CopyToBstr(text.c_str());
}

// Case-insensitive (8-bit folding) comparison of the first strlen(expected) bytes.
bool StartsWithIgnoringCase(const char* reported, const char* expected)
{
    size_t n = std::strlen(expected);
    return _strnicmp(reported, expected, n) == 0 && std::strlen(reported) >= n;
}

UINT DriveTypeOf(const WCHAR* root)
{
    if (IsNtFamily())
        return GetDriveTypeW(root);
    char narrow[2 * MAX_PATH + 2] = {};
    WideCharToMultiByte(ConversionCodePage(), 0, root, -1, narrow, sizeof narrow, nullptr, nullptr);
    return GetDriveTypeA(narrow);
}

}  // namespace

UsbDeviceRecord::~UsbDeviceRecord()
{
    SysFreeString(product);
    SysFreeString(instanceKey);
    SysFreeString(instancePath);
    SysFreeString(driveRoot);
}

DeviceProbe::DeviceProbe()
{
    Init();
}

DeviceProbe::~DeviceProbe()
{
    ClearRecords();
}

void DeviceProbe::Init()
{
    FillKnownModels(m_rows);
    m_rowCount = kKnownModelRowCount;
}

void DeviceProbe::ClearRecords()
{
    m_records.clear();
}

bool DeviceProbe::IsPlayerDrive(const WCHAR* root, KVXRModelType* model)
{
    if (!root)
        return false;
    UINT type = DriveTypeOf(root);
    if (type != DRIVE_REMOVABLE && type != DRIVE_FIXED)
        return false;
    if (!IsNtFamily())
        return FindRecordForDrive(root, model);

    char letter = static_cast<char>(root[0] & 0xFF);
    char vendor[260] = {};
    char product[260] = {};
    DWORD busType = 0;
    if (!QueryStorageIdentity(letter, vendor, product, &busType))
        return false;
    if (busType != BusTypeUsb)
        return false;
    for (int row = 1; row < m_rowCount; ++row) {
        if (StartsWithIgnoringCase(vendor, m_rows[row].vendor) && StartsWithIgnoringCase(product, m_rows[row].product)) {
            if (model)
                *model = m_rows[row].model;
            return true;
        }
    }
    return false;
}

bool QueryStorageIdentity(char letter, char* vendor, char* product, DWORD* busType)
{
    char path[16];
    std::snprintf(path, sizeof path, "\\\\.\\%c:", letter);
    HANDLE device = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return false;

    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    constexpr DWORD kOutputSize = 10000;
    static thread_local BYTE output[kOutputSize];
    std::memset(output, 0, sizeof output);
    DWORD returned = 0;
    if (!DeviceIoControl(device, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, output, kOutputSize, &returned,
            nullptr)) {
        CloseHandle(device);
        return false;
    }
    STORAGE_DEVICE_DESCRIPTOR descriptor;
    std::memcpy(&descriptor, output, sizeof descriptor);
    auto copyString = [&](DWORD offset, char* target) {
        target[0] = 0;
        if (offset == 0 || offset >= kOutputSize)
            return;
        const char* source = reinterpret_cast<const char*>(output + offset);
        size_t limit = std::min<size_t>(259, kOutputSize - offset);
        size_t n = strnlen(source, limit);
        std::memcpy(target, source, n);
        target[n] = 0;
    };
    copyString(descriptor.VendorIdOffset, vendor);
    copyString(descriptor.ProductIdOffset, product);
    *busType = descriptor.BusType;
    CloseHandle(device);
    return true;
}

bool DeviceProbe::FindRecordForDrive(const WCHAR* root, KVXRModelType* model)
{
    if (!root)
        return false;
    ScanRegistry();
    WCHAR wanted = yolt::FoldUpper(root[0]);
    for (auto& record : m_records) {
        if (record->present != 1 || SysStringLen(record->driveRoot) == 0)
            continue;
        if (yolt::FoldUpper(record->driveRoot[0]) != wanted)
            continue;
        if (model)
            *model = record->model;
        return true;
    }
    return false;
}

void DeviceProbe::ScanRegistry()
{
    if (!ScanUsbEnum())
        return;
    for (int row = 0; row < m_rowCount; ++row) {
        if (m_rows[row].model != eMODEL_Unknown)
            MarkPresent(row);
    }
    AssignDriveLetters();
}

bool DeviceProbe::ScanUsbEnum()
{
    ClearRecords();
    RegistryKeyList devices;
    if (!devices.Open(HKEY_LOCAL_MACHINE, u"Enum\\USB"))
        return false;
    for (BSTR deviceName : devices.Names()) {
        for (int row = 1; row < m_rowCount; ++row) {
            BSTR pattern = NarrowToBstr(m_rows[row].deviceIdPattern);
            bool same = _wcsicmp(deviceName, pattern) == 0;
            SysFreeString(pattern);
            if (!same)
                continue;
            RegistryKeyList instances;
            if (!instances.Open(devices.Key(), deviceName))
                continue;
            for (BSTR instance : instances.Names()) {
                std::u16string patternText = yolt::WideFromUtf8(m_rows[row].deviceIdPattern);
                m_records.push_back(std::make_unique<UsbDeviceRecord>());
                UsbDeviceRecord* record = m_records.back().get();
                record->model = m_rows[row].model;
                record->product = NarrowToBstr(m_rows[row].product);
                record->instanceKey = BstrFromWide(patternText + u"&" + instance);
                record->instancePath = BstrFromWide(patternText + u"\\" + instance);
            }
        }
    }
    return true;
}

void DeviceProbe::MarkPresent(int row)
{
    for (int cls = 0; cls < 2; ++cls) {
        std::u16string path = std::u16string(u"System\\CurrentControlSet\\Control\\DeviceClasses\\") + kInterfaceClasses[cls];
        RegistryKeyList interfaces;
        if (!interfaces.Open(HKEY_LOCAL_MACHINE, path.c_str()))
            return;
        for (auto& record : m_records) {
            if (record->model != m_rows[row].model)
                continue;
            if (cls == 0)
                record->present = 0;
            for (BSTR interfaceName : interfaces.Names()) {
                HKEY key = OpenKeyForReading(interfaces.Key(), interfaceName);
                if (!key)
                    continue;
                BSTR instance = nullptr;
                if (ReadStringValue(key, u"DeviceInstance", &instance) == ERROR_SUCCESS) {
                    if (wcsstr(instance, record->instancePath)) {
                        DWORD count = 0;
                        DWORD size = sizeof count;
                        DWORD type = 0;
                        if (RegQueryValueExA(key, "RefCount", nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) ==
                                ERROR_SUCCESS &&
                            type == REG_DWORD && count != 0)
                            record->present = 1;
                    }
                    SysFreeString(instance);
                }
                RegCloseKey(key);
            }
        }
    }
}

void DeviceProbe::AssignDriveLetters()
{
    RegistryKeyList scsi;
    if (!scsi.Open(HKEY_LOCAL_MACHINE, u"Enum\\SCSI"))
        return;
    for (auto& record : m_records) {
        SysFreeString(record->driveRoot);
        record->driveRoot = nullptr;
        if (record->present == 0)
            continue;
        AssignByMatchText(*record, scsi, record->instanceKey);
        if (SysStringLen(record->driveRoot) == 0)
            AssignByMatchText(*record, scsi, record->product);
    }
}

bool DeviceProbe::AssignByMatchText(UsbDeviceRecord& record, const RegistryKeyList& scsi, BSTR matchText)
{
    for (BSTR deviceName : scsi.Names()) {
        RegistryKeyList instances;
        if (!instances.Open(scsi.Key(), deviceName))
            continue;
        for (BSTR instance : instances.Names()) {
            if (!wcsstr(instance, matchText ? matchText : u""))
                continue;
            HKEY key = OpenKeyForReading(instances.Key(), instance);
            if (!key)
                continue;
            BSTR letter = nullptr;
            if (ReadStringValue(key, u"CurrentDriveLetterAssignment", &letter) == ERROR_SUCCESS) {
                WCHAR c = letter[0];
                if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
                    SysFreeString(record.driveRoot);
                    record.driveRoot = BstrFromWide(yolt::FormatW(u"%c:\\", c));
                }
                SysFreeString(letter);
            }
            RegCloseKey(key);
        }
    }
    return SysStringLen(record.driveRoot) != 0;
}
