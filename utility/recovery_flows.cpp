// The format and recovery flows: the system's format dialog for the player's drive, and the
// recovery package of the player's model written onto the player, which is then ejected.
#include "utility/main_dialog.h"

#include <optional>

#include "mediascan/fs.h"
#include "shared/platform_record.h"
#include "utility/format_step.h"
#include "utility/messages.h"
#include "shared/text_conversion.h"

namespace {

// Players of other models than the hard-disk ones are recovered only when they hold at most this.
constexpr LONGLONG kRecoveryUsedLimit = 0x500000;  // 5 MiB
// An RQ310 larger than this is not formatted on NT-family systems.
constexpr ULONGLONG kLargestFormattedDisk = 21474836480ull;  // 5 * 2^32
constexpr int kFileSystemFat = 0;
constexpr int kFileSystemFat32 = 1;

bool IsHardDiskModel(KVXRModelType model)
{
    return model == eMODEL_RQ210 || model == eMODEL_RQ310;
}

// Frees the automation strings of a scope.
struct HeldStrings {
    BSTR drive = nullptr;
    BSTR modelName = nullptr;
    BSTR manufacturer = nullptr;
    ~HeldStrings()
    {
        SysFreeString(drive);
        SysFreeString(modelName);
        SysFreeString(manufacturer);
    }
};

}  // namespace

int MainDialog::FormatPlayer()
{
    BusyScope busy(m_bBusy);
    HRESULT hr = S_OK;
    IKVXRDevice* device = AttachedDevice(hr);
    if (!device) {
        ShowErrorCode(yolt::messages::kFormatFailed, hr);
        return 0;
    }
    HeldStrings text;
    KVXRModelType model = eMODEL_Unknown;
    if (FAILED(hr = device->get_Model(&model)) || FAILED(hr = device->get_DrivePath(&text.drive)) ||
        FAILED(hr = device->get_ModelName(&text.modelName)) ||
        FAILED(hr = device->get_Manufacturer(&text.manufacturer))) {
        device->Release();
        ShowErrorCode(yolt::messages::kFormatFailed, hr);
        return 0;
    }

    BOOL quickFormat = FALSE;
    int fileSystem = kFileSystemFat;
    if (model == eMODEL_RQ210) {
        quickFormat = TRUE;
        fileSystem = kFileSystemFat32;
    } else if (model == eMODEL_RQ310) {
        ULONGLONG total = 0;
        if (FsGetDiskFreeSpace(text.drive, nullptr, &total, nullptr) && total > kLargestFormattedDisk &&
            IsNtFamily(g_osVersionRecord)) {
            device->Release();
            return 1;
        }
        quickFormat = TRUE;
        fileSystem = kFileSystemFat32;
    }

    std::string label = NarrowFromWide(text.manufacturer, int(SysStringLen(text.manufacturer))) + " " +
        NarrowFromWide(text.modelName, int(SysStringLen(text.modelName)));
    char driveLetter = IsEmptyBstr(text.drive) ? '\0' : char(text.drive[0] & 0xFF);
    int result = RunFormatDialog(m_hWnd, driveLetter, quickFormat, label.c_str(), fileSystem);
    device->Release();
    return result;
}

BOOL MainDialog::RecoverPlayer()
{
    BusyScope busy(m_bBusy);
    std::optional<CWaitCursor> wait;
    wait.emplace();
    HRESULT hr = S_OK;
    IKVXRDevice* device = AttachedDevice(hr);
    auto report = [&](HRESULT code) {
        wait.reset();
        if (device)
            device->Release();
        ShowErrorCode(yolt::messages::kRecoveryFailed, code);
        return FALSE;
    };
    if (!device)
        return report(hr);

    HeldStrings text;
    KVXRModelType model = eMODEL_Unknown;
    if (FAILED(hr = device->get_DrivePath(&text.drive)) || FAILED(hr = device->get_Model(&model)))
        return report(hr);
    ULONGLONG total = 0;
    ULONGLONG free = 0;
    if (!FsGetDiskFreeSpace(text.drive, nullptr, &total, &free))
        return report(E_FAIL);
    if (!IsHardDiskModel(model) && static_cast<LONGLONG>(total - free) > kRecoveryUsedLimit) {
        wait.reset();
        MessageBox(yolt::messages::kRecoveryRefused, yolt::messages::kCaption, MB_ICONINFORMATION);
        device->Release();
        return FALSE;
    }
    if (FAILED(hr = device->Recover()))
        return report(hr);
    if (FAILED(hr = device->Eject()))
        return report(hr);
    wait.reset();
    device->Release();
    return TRUE;
}
