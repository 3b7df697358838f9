#include "tools/yolt/session.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/base/bstr.h"
#include "platform/base/wtext.h"
#include "platform/com/com_runtime.h"
#include "platform/kernel/paths.h"
#include "platform/machine/machine.h"
#include "platform/machine/machine_error.h"
#include "shared/platform_record.h"
#include "utility/messages.h"

namespace yolt::cli {

void PrintMessage(const char* text)
{
    std::string out(text);
    for (size_t at; (at = out.find("\n\r")) != std::string::npos;)
        out.replace(at, 2, "\n");
    std::printf("%s\n", out.c_str());
}

std::string TextProperty(IKVXRDevice* device, HRESULT (IKVXRDevice::*getter)(BSTR*))
{
    BSTR text = nullptr;
    if (FAILED((device->*getter)(&text)))
        return std::string();
    std::string utf8 = yolt::Utf8FromWide(text);
    SysFreeString(text);
    return utf8;
}

std::u16string WindowsPathOf(const std::string& argument)
{
    bool windowsPath = argument.find('\\') != std::string::npos || (argument.size() >= 2 && argument[1] == ':');
    if (windowsPath)
        return yolt::WideFromUtf8(argument);
    return yolt::WindowsPathFromHost(std::filesystem::absolute(argument).lexically_normal());
}

Session::Session() = default;

Session::~Session()
{
    if (m_detector)
        m_detector->Release();
    if (m_apartment)
        OleUninitialize();
}

int Session::Start()
{
    try {
        yolt::machine::CurrentMachine();
    } catch (const yolt::machine::MachineError& error) {
        std::fprintf(stderr, "yolt: %s\n", error.what());
        return kFailed;
    }
    FillOsVersionRecord(g_osVersionRecord);
    m_apartment = SUCCEEDED(OleInitialize(nullptr));
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(u"KVXRDTCT.KVXRDetect", &clsid);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IKVXRDetect, reinterpret_cast<void**>(&m_detector));
    if (FAILED(hr) || !m_detector) {
        PrintMessage(yolt::messages::kComponentMissing);
        std::fprintf(stderr, "yolt: the component is not registered on this machine (register it with: regsvr "
                             "KVXRDTCT.dll)\n");
        return kNoComponent;
    }
    OleRun(m_detector);
    return kSuccess;
}

IKVXRDevice* Session::Device(HRESULT& failure)
{
    ULONG count = 0;
    failure = m_detector->GetDeviceCount(&count);
    if (FAILED(failure) || count == 0)
        return nullptr;
    IKVXRDevice* device = nullptr;
    failure = m_detector->GetDevice(0, &device);
    if (failure != S_OK) {
        if (device)
            device->Release();
        return nullptr;
    }
    return device;
}

}  // namespace yolt::cli
