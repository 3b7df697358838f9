// The media scan of the hard-disk players: the player's playlists are rebuilt from its music.
#include "utility/main_dialog.h"

#include "mediascan/playlist_builder.h"
#include "utility/messages.h"
#include "shared/text_conversion.h"

int MainDialog::ScanMediaFiles()
{
    BusyScope busy(m_bBusy);
    HRESULT hr = S_OK;
    IKVXRDevice* device = AttachedDevice(hr);
    if (!device)
        return 0;
    BSTR drive = nullptr;
    if (FAILED(device->get_DrivePath(&drive)) || IsEmptyBstr(drive)) {
        SysFreeString(drive);
        device->Release();
        return 0;
    }
    {
        CWaitCursor wait;
        PlaylistBuilder builder;
        hr = builder.Build(drive);
    }
    SysFreeString(drive);
    device->Release();
    // A scan that could not write its playlists must not be reported as finished.
    if (FAILED(hr)) {
        ShowErrorCode(yolt::messages::kScanFailed, hr);
        return 0;
    }
    return 1;
}
