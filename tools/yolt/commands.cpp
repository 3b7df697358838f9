#include "tools/yolt/commands.h"

#include <cstdio>
#include <string>

#include "mediascan/fs.h"
#include "mediascan/playlist_builder.h"
#include "platform/base/bstr.h"
#include "platform/base/format.h"
#include "platform/base/wtext.h"
#include "utility/messages.h"
#include <nlohmann/json.hpp>

namespace yolt::cli {

namespace {

using yolt::messages::kInvalidPackage;
using yolt::messages::kRecoveryFailed;
using yolt::messages::kRecoveryRefused;
using yolt::messages::kScanFailed;
using yolt::messages::kUpgradeFailed;
using yolt::messages::kUpgradeFinished;
constexpr ULONGLONG kRecoveryUsedLimit = 0x500000;  // 5 MiB

int Report(const char* format, HRESULT hr)
{
    PrintMessage(yolt::FormatA(format, static_cast<unsigned>(hr)).c_str());
    return kFailed;
}

// Releases an interface pointer at the end of a scope.
template <typename T>
struct Held {
    T* pointer;
    ~Held()
    {
        if (pointer)
            pointer->Release();
    }
};

bool IsHardDiskModel(KVXRModelType model)
{
    return model == eMODEL_RQ210 || model == eMODEL_RQ310;
}

}  // namespace

int Detect(Session& session, bool json)
{
    HRESULT failure = S_OK;
    Held<IKVXRDevice> device{session.Device(failure)};
    if (!device.pointer) {
        if (json)
            std::printf("%s\n", nlohmann::ordered_json{{"count", 0}, {"device", nullptr}}.dump().c_str());
        else
            std::printf("No player attached.\n");
        return kFailed;
    }
    KVXRModelType model = eMODEL_Unknown;
    device.pointer->get_Model(&model);
    KVXRSupportFeature features = feature_Basic;
    device.pointer->get_SupportFeature(&features);
    nlohmann::ordered_json description = {
        {"Model", static_cast<int>(model)},
        {"ModelName", TextProperty(device.pointer, &IKVXRDevice::get_ModelName)},
        {"FullName", TextProperty(device.pointer, &IKVXRDevice::get_FullName)},
        {"Manufacturer", TextProperty(device.pointer, &IKVXRDevice::get_Manufacturer)},
        {"DrivePath", TextProperty(device.pointer, &IKVXRDevice::get_DrivePath)},
        {"SupportFeature", static_cast<int>(features)},
    };
    if (json) {
        std::printf("%s\n", nlohmann::ordered_json{{"count", 1}, {"device", description}}.dump().c_str());
        return kSuccess;
    }
    std::printf("%s\n", description["FullName"].get<std::string>().c_str());
    for (const char* key : {"Model", "ModelName", "Manufacturer", "DrivePath", "SupportFeature"}) {
        const auto& value = description[key];
        std::printf("  %-15s %s\n", key, value.is_string() ? value.get<std::string>().c_str() : value.dump().c_str());
    }
    return kSuccess;
}

int Upgrade(Session& session, const std::string& package)
{
    HRESULT hr = S_OK;
    Held<IKVXRDevice> device{session.Device(hr)};
    if (!device.pointer)
        return Report(kUpgradeFailed, hr);
    BSTR path = SysAllocString(WindowsPathOf(package).c_str());
    hr = device.pointer->FWUpgrade(path);
    SysFreeString(path);
    if (hr == E_INVALIDARG) {
        PrintMessage(kInvalidPackage);
        return kFailed;
    }
    if (FAILED(hr))
        return Report(kUpgradeFailed, hr);
    hr = device.pointer->Eject();
    if (FAILED(hr))
        return Report(kUpgradeFailed, hr);
    PrintMessage(kUpgradeFinished);
    return kSuccess;
}

int Recover(Session& session)
{
    HRESULT hr = S_OK;
    Held<IKVXRDevice> device{session.Device(hr)};
    if (!device.pointer)
        return Report(kRecoveryFailed, hr);
    BSTR drive = nullptr;
    KVXRModelType model = eMODEL_Unknown;
    if (FAILED(hr = device.pointer->get_DrivePath(&drive)) || FAILED(hr = device.pointer->get_Model(&model))) {
        SysFreeString(drive);
        return Report(kRecoveryFailed, hr);
    }
    ULONGLONG available = 0, total = 0, free = 0;
    BOOL sized = FsGetDiskFreeSpace(drive, &available, &total, &free);
    SysFreeString(drive);
    if (!sized)
        return Report(kRecoveryFailed, E_FAIL);
    if (!IsHardDiskModel(model) && static_cast<LONGLONG>(total - free) > static_cast<LONGLONG>(kRecoveryUsedLimit)) {
        PrintMessage(kRecoveryRefused);
        return kFailed;
    }
    if (FAILED(hr = device.pointer->Recover()))
        return Report(kRecoveryFailed, hr);
    if (FAILED(hr = device.pointer->Eject()))
        return Report(kRecoveryFailed, hr);
    PrintMessage(yolt::messages::kRecovered);
    return kSuccess;
}

int Eject(Session& session)
{
    HRESULT hr = S_OK;
    Held<IKVXRDevice> device{session.Device(hr)};
    if (!device.pointer) {
        std::printf("No player attached.\n");
        return kFailed;
    }
    std::string name = TextProperty(device.pointer, &IKVXRDevice::get_FullName);
    hr = device.pointer->Eject();
    if (hr == S_OK) {
        std::printf("Ejected %s.\nPlease disconnect device from PC.\n", name.c_str());
        return kSuccess;
    }
    if (hr == S_FALSE) {
        std::printf("Nothing was ejected: the system's device manager is not available.\n");
        return kFailed;
    }
    std::printf("The system refused to eject %s (error code 0x%08X): close the files open on it and try again.\n",
        name.c_str(), static_cast<unsigned>(hr));
    return kFailed;
}

int About(Session& session, bool setLocale, ULONG locale)
{
    if (setLocale) {
        IKVLocale* localeInterface = nullptr;
        if (SUCCEEDED(session.Detector()->QueryInterface(IID_IKVLocale, reinterpret_cast<void**>(&localeInterface)))) {
            localeInterface->SetLocale(locale);
            localeInterface->Release();
        }
    }
    IKVAbout* about = nullptr;
    if (FAILED(session.Detector()->QueryInterface(IID_IKVAbout, reinterpret_cast<void**>(&about))))
        return kFailed;
    Held<IKVAbout> held{about};
    BSTR text = nullptr;
    HRESULT hr = about->GetAboutString(0, &text);
    if (FAILED(hr)) {
        std::printf("The component has no About text (error code 0x%08X).\n", static_cast<unsigned>(hr));
        return kFailed;
    }
    std::fputs(yolt::Utf8FromWide(text).c_str(), stdout);
    std::fputs("\n", stdout);
    SysFreeString(text);
    return kSuccess;
}

int Scan(Session& session)
{
    HRESULT hr = S_OK;
    Held<IKVXRDevice> device{session.Device(hr)};
    if (!device.pointer) {
        std::printf("No player attached.\n");
        return kFailed;
    }
    BSTR drive = nullptr;
    if (FAILED(hr = device.pointer->get_DrivePath(&drive)) || !drive)
        return Report(kScanFailed, FAILED(hr) ? hr : E_FAIL);
    PlaylistBuilder builder;
    hr = builder.Build(drive);
    SysFreeString(drive);
    if (FAILED(hr))
        return Report(kScanFailed, hr);
    PrintMessage(yolt::messages::kScanFinished);
    return kSuccess;
}

}  // namespace yolt::cli
