// The button actions: a release of the left mouse button over one of the five hot rectangles
// runs that button's action, after a confirmation for the round buttons.
#include "utility/main_dialog.h"

#include "utility/messages.h"

void MainDialog::OnLButtonUp(UINT flags, CPoint point)
{
    for (int i = 0; i < HotCount; ++i) {
        const RECT& r = m_rcHot[i];
        if (point.x < r.left || point.x >= r.right || point.y < r.top || point.y >= r.bottom)
            continue;
        // The next paint removes any pressed image.
        Invalidate(TRUE);
        RunButtonAction(i);
        // The close button ends the dialog; nothing more is done with the window then.
        if (!::IsWindow(m_hWnd))
            return;
    }
    OnMouseMove(flags, point);
}

void MainDialog::RunButtonAction(int index)
{
    BusyScope busy(m_bBusy);
    try {
        switch (index) {
        case HotClose:
            EndDialog(IDOK);
            break;
        case HotLeft:
            if (!Confirm(yolt::messages::kAskFormatAndRecover))
                break;
            FormatPlayer();
            if (RecoverPlayer())
                ShowResult(yolt::messages::kRecovered);
            break;
        case HotMiddle:
            if (m_nModel == eMODEL_RQ210 || m_nModel == eMODEL_RQ310) {
                if (Confirm(yolt::messages::kAskScan) && ScanMediaFiles())
                    ShowResult(yolt::messages::kScanFinished);
                break;
            }
            if (Confirm(yolt::messages::kAskRecover) && RecoverPlayer())
                ShowResult(yolt::messages::kRecovered);
            break;
        case HotRight:
            if (Confirm(yolt::messages::kAskUpgrade) && UpgradeFirmware())
                ShowResult(yolt::messages::kUpgradeFinished);
            break;
        case HotMinimise:
            ShowWindow(SW_SHOWMINIMIZED);
            break;
        }
    } catch (CException* e) {
        // Exhausted memory ends the action where it stands.
        e->Delete();
    }
}
