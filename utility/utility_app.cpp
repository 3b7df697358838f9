#include "utility/utility_app.h"

#include "shared/platform_record.h"
#include "utility/main_dialog.h"
#include "shared/text_conversion.h"

BEGIN_MESSAGE_MAP(UtilityApp, CWinApp)
END_MESSAGE_MAP()

UtilityApp::UtilityApp() = default;

BOOL UtilityApp::InitInstance()
{
    ConversionCodePage();
    AfxOleInit();
    EnableControlContainer();
    FillOsVersionRecord(g_osVersionRecord);

    MainDialog dialog;
    m_pMainWnd = &dialog;
    // The whole command-line tail is one package path, taken verbatim.
    if (m_lpCmdLine && *m_lpCmdLine)
        dialog.SetPendingPackage(BstrFromNarrow(m_lpCmdLine));
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
