// The 95 family's hardware keys under HKEY_LOCAL_MACHINE, served as live keys from the current
// machine's USB devices. They exist only on a 95-family machine (platform identifier 1):
//
//   Enum\USB\<device>\<instance>               one per device, attached or unplugged since
//       DeviceDesc, Class "USB", HardwareID "USB\<device>"
//   System\CurrentControlSet\Control\DeviceClasses\<class>\##?#USB#<device>#<instance>#<class>
//       for both device-interface classes, one per device:
//       DeviceInstance (REG_SZ) the device identifier ("USB\VID_5E93&PID_1001\0001"),
//       RefCount (REG_DWORD) 1 while attached, 0 once unplugged
//   Enum\SCSI\<vendor 8><product 16>\<device>&<instance>&0
//       one per attached device that provides a drive (blanks in the strings become '_'):
//       CurrentDriveLetterAssignment (REG_SZ) the drive letter, DeviceDesc, Class "DiskDrive"
//
// <device> and <instance> are the second and third parts of the device identifier. Unplugged
// devices are those the machine remembers (Machine::UnpluggedUsbDevices); they keep their USB
// and interface keys but no SCSI key, as the system assigns no drive letter to them.
//
// A machine that gives raw content (Machine::HardwareRegistryText) has these places served from
// that .reg text instead. A place the text does not hold (or text that cannot be parsed) is not
// served, so it is absent unless a hive file stores keys there; on an NT-family machine none
// of the places is served.
#pragma once

#include <memory>
#include <string_view>

#include "platform/registry/key_tree.h"

namespace yolt::registry {

/// The places served, below HKEY_LOCAL_MACHINE.
inline constexpr std::u16string_view kHardwareKeyPlaces[] = {
    u"Enum\\USB",
    u"System\\CurrentControlSet\\Control\\DeviceClasses\\{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
    u"System\\CurrentControlSet\\Control\\DeviceClasses\\{9aac36e0-cc5d-11d5-b6f0-0050baecb8f0}",
    u"Enum\\SCSI",
};

/// The subtree at `place` (one of kHardwareKeyPlaces) for the current machine, or null when the
/// machine does not have it (an NT-family machine, raw content without it). Never throws.
std::unique_ptr<Key> BuildHardwareTree(std::u16string_view place);

}  // namespace yolt::registry
