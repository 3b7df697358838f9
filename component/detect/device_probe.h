// The per-call working object of detection and eject: the known-model table and, on the
// 95-family path, the USB device records read from the device registry.
#pragma once

#include <memory>
#include <vector>

#include "component/detect/known_model.h"

/// One USB device instance found on the 95-family path. Owns its strings.
struct UsbDeviceRecord {
    UsbDeviceRecord() = default;
    ~UsbDeviceRecord();
    UsbDeviceRecord(const UsbDeviceRecord&) = delete;
    UsbDeviceRecord& operator=(const UsbDeviceRecord&) = delete;

    KVXRModelType model = eMODEL_Unknown;
    BSTR product = nullptr;       // the row's product string
    BSTR instanceKey = nullptr;   // pattern + "&" + instance name
    BSTR instancePath = nullptr;  // pattern + "\" + instance name
    int present = 0;              // the device's interface is active
    BSTR driveRoot = nullptr;     // "E:\" or null
};

class DeviceProbe {
public:
    DeviceProbe();
    ~DeviceProbe();
    DeviceProbe(const DeviceProbe&) = delete;
    DeviceProbe& operator=(const DeviceProbe&) = delete;

    /// Fills the known-model table.
    void Init();

    /// Whether the drive of `root` ("E:\", upper case) is an attached known player; stores its
    /// model through `model` when given. Throws std::bad_alloc when a string cannot be stored.
    bool IsPlayerDrive(const WCHAR* root, KVXRModelType* model);

    /// 95-family path: rebuilds the records from the registry and finds the one for `root`.
    bool FindRecordForDrive(const WCHAR* root, KVXRModelType* model);
    void ScanRegistry();
    bool ScanUsbEnum();
    void MarkPresent(int row);
    void AssignDriveLetters();

    /// What a walk of the USB device list did.
    struct EjectReport {
        int walked = 0;    // 1 when the device list was walked
        int ejected = 0;   // nodes whose removal the system accepted
        int refused = 0;   // nodes whose removal the system refused
    };
    /// Asks the Configuration Manager to eject every started USB device of a known model.
    EjectReport EjectKnownUsbPlayers();

    const KnownModel& Row(int index) const { return m_rows[index]; }
    int RowCount() const { return m_rowCount; }
    const std::vector<std::unique_ptr<UsbDeviceRecord>>& Records() const { return m_records; }

private:
    void ClearRecords();
    bool AssignByMatchText(UsbDeviceRecord& record, const class RegistryKeyList& scsi, BSTR matchText);

    KnownModel m_rows[kKnownModelCapacity];
    int m_rowCount = 0;
    std::vector<std::unique_ptr<UsbDeviceRecord>> m_records;
};

/// Asks the volume of `letter` for its storage identity through the storage property query.
/// Returns true and fills vendor and product (260 bytes each) and the bus type on success.
bool QueryStorageIdentity(char letter, char* vendor, char* product, DWORD* busType);
