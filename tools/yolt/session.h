// What every yolt command needs: the machine, the apartment and the detector, created by its
// ProgID through the COM runtime as the utility creates it.
#pragma once

#include <string>

#include "component/contract/kvxrdtct.h"

namespace yolt::cli {

/// Exit codes of every command.
enum ExitCode { kSuccess = 0, kFailed = 1, kUsage = 2, kNoComponent = 3 };

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    /// Checks the machine and creates the detector; prints the reason and returns an exit code
    /// (kFailed or kNoComponent) when it cannot, else kSuccess.
    int Start();
    IKVXRDetect* Detector() const { return m_detector; }
    /// The attached player's device object (one reference for the caller), or null with the
    /// HRESULT that the utility would report (0 when no player is attached).
    IKVXRDevice* Device(HRESULT& failure);

private:
    bool m_apartment = false;
    IKVXRDetect* m_detector = nullptr;
};

/// Prints a message the way the utility's boxes read, with "\n\r" as a plain line break.
void PrintMessage(const char* text);
/// A text property of a device, as UTF-8 ("" when it cannot be read).
std::string TextProperty(IKVXRDevice* device, HRESULT (IKVXRDevice::*getter)(BSTR*));
/// A host or Windows path as the Windows path programs see.
std::u16string WindowsPathOf(const std::string& argument);

}  // namespace yolt::cli
