// The texts the utility shows, word for word. The yolt command-line client prints the same texts
// for the same outcomes. Texts with %08X take an HRESULT as eight upper-case hex digits.
#pragma once

namespace yolt::messages {

inline constexpr const char* kCaption = "YOLT Utility";
inline constexpr const char* kErrorCaption = "YOLT Utility Error";

inline constexpr const char* kComponentMissing = "Can't find file KVXRDTCT.DLL !\n\r Please reinstall the program !";
inline constexpr const char* kConfirmPendingPackage =
    "Do you really want to install Firmware Upgrade code to your player from the file:\n%s ?\n\nIf YES then please "
    "CONNECT you player to the PC!";

inline constexpr const char* kAskFormatAndRecover = "This will perform a format & recover process.";
inline constexpr const char* kAskScan = "This will scan for media files";
inline constexpr const char* kAskRecover = "This will perform a recovery process.";
inline constexpr const char* kAskUpgrade = "This will perform a firmware upgrade process.";

inline constexpr const char* kRecovered = "Recovered.";
inline constexpr const char* kScanFinished = "Scan finished.";
inline constexpr const char* kUpgradeFinished = "Upgrade finished.\n\rPlease disconnect device from PC.";

inline constexpr const char* kInvalidPackage = "Firmware upgrade process failed.\n\nInvalid firmware upgrade file!";
inline constexpr const char* kUpgradeFailed =
    "Firmware upgrade process failed.\nError code 0x%08X.\n\nPlease make sure that:\n1. YOLT Player is connected to "
    "the PC;\n2. YOLT Player has at least 5MB of free space.";
inline constexpr const char* kFormatFailed =
    "Recovery process failed.\nError code 0x%08X.\n\nPlease make sure that \nYOLT Player is connected to the PC";
inline constexpr const char* kRecoveryRefused =
    "Recovery process can't continue!\nFirst, please format the device to make the storage empty.\nBefore format, "
    "please backup all needed data";
inline constexpr const char* kRecoveryFailed =
    "Recovery process failed.\nError code 0x%08X.\n\nPlease make sure that:\n1. YOLT Player is connected to the "
    "PC;\n2. YOLT Player has at least 5MB of free space.";
inline constexpr const char* kScanFailed = "Media scan failed.\nError code 0x%08X.";

}  // namespace yolt::messages
