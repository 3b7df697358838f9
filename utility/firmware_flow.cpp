// The firmware upgrade flow: a package from the command line or the file dialog is written onto
// the player by the component, which then ejects the player.
#include "utility/main_dialog.h"

#include <optional>

#include "platform/appframework/file_dialog.h"
#include "utility/messages.h"
#include "shared/text_conversion.h"

BOOL MainDialog::UpgradeFirmware()
{
    BusyScope busy(m_bBusy);
    BSTR package = nullptr;
    if (!IsEmptyBstr(m_bstrPendingPackage)) {
        package = SysAllocStringLen(m_bstrPendingPackage, SysStringLen(m_bstrPendingPackage));
        if (!package)
            AfxThrowMemoryException();
    } else {
        CFileDialog dialog(TRUE, "kvu", "*.kvu", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
            "Firmware Files (*.kvu)|*.kvu||", this);
        if (dialog.DoModal() != IDOK)
            return FALSE;
        package = BstrFromNarrow(dialog.GetPathName());
    }

    std::optional<CWaitCursor> wait;
    wait.emplace();
    HRESULT hr = S_OK;
    IKVXRDevice* device = AttachedDevice(hr);
    if (device) {
        hr = device->FWUpgrade(package);
        if (SUCCEEDED(hr))
            hr = device->Eject();
    }
    wait.reset();
    if (device)
        device->Release();
    SysFreeString(package);
    if (device && SUCCEEDED(hr))
        return TRUE;

    if (hr == E_INVALIDARG)
        ShowError(yolt::messages::kInvalidPackage);
    else
        ShowErrorCode(yolt::messages::kUpgradeFailed, hr);
    return FALSE;
}

void MainDialog::StartPendingPackage()
{
    if (IsEmptyBstr(m_bstrPendingPackage) || m_bBusy)
        return;
    BusyScope busy(m_bBusy);
    BOOL upgraded = FALSE;
    try {
        upgraded = UpgradeFirmware();
    } catch (CException* e) {
        e->Delete();
    }
    // The package is used by this one run, whatever its result.
    SysFreeString(m_bstrPendingPackage);
    m_bstrPendingPackage = nullptr;
    if (upgraded)
        ShowResult(yolt::messages::kUpgradeFinished);
}
