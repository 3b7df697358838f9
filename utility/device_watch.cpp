// The device watch: every tick of timer 1 asks the detector for the first player's model, shows
// the picture of that model, and then hands a pending firmware package to the firmware flow.
#include "utility/main_dialog.h"

#include "utility/res/resource.h"

namespace {

// The background picture of a model: the models with a picture of their own, else the
// no-player picture.
UINT PictureOfModel(KVXRModelType model)
{
    switch (model) {
    case eMODEL_PX210: return IDB_FACE_PX210;
    case eMODEL_RQ210: return IDB_FACE_RQ210;
    case eMODEL_RQ310: return IDB_FACE_RQ310;
    case eMODEL_VN310: return IDB_FACE_VN310;
    case eMODEL_WC110: return IDB_FACE_WC110;
    case eMODEL_PX410: return IDB_FACE_PX410;
    default: return IDB_FACE_NONE;
    }
}

}  // namespace

void MainDialog::UpdateModelDisplay()
{
    LoadBackgroundBitmap(PictureOfModel(m_nModel));
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void MainDialog::OnTimer(UINT_PTR id)
{
    if (id != kWatchTimer || !m_pDetector) {
        SkinDialog::OnTimer(id);
        return;
    }
    ULONG count = 0;
    if (FAILED(m_pDetector->GetDeviceCount(&count))) {
        SkinDialog::OnTimer(id);
        return;
    }
    if (count == 0) {
        if (m_nModel != eMODEL_Unknown) {
            m_nModel = eMODEL_Unknown;
            UpdateModelDisplay();
        }
        SkinDialog::OnTimer(id);
        return;
    }
    IKVXRDevice* device = nullptr;
    HRESULT hr = m_pDetector->GetDevice(0, &device);
    if (FAILED(hr) || hr != S_OK || !device) {
        // A positive code (S_FALSE): no player at that index.
        if (hr > 0 && m_nModel != eMODEL_Unknown) {
            m_nModel = eMODEL_Unknown;
            UpdateModelDisplay();
        }
        if (device)
            device->Release();
        SkinDialog::OnTimer(id);
        return;
    }
    KVXRModelType model = eMODEL_Unknown;
    if (FAILED(device->get_Model(&model))) {
        device->Release();
        SkinDialog::OnTimer(id);
        return;
    }
    if (model != m_nModel) {
        m_nModel = model;
        UpdateModelDisplay();
    }
    StartPendingPackage();
    device->Release();
    SkinDialog::OnTimer(id);
}
