#include "component/objects/format_driver_call.h"

#include "platform/base/errors.h"

// FIXME: the format dialog driver is not built yet; the device's FormatDlg answers E_NOTIMPL.
HRESULT RunComponentFormatDialog(const WCHAR*, const WCHAR*, const WCHAR*, ULONG, ULONG, ULONG, ULONG)
{
    return E_NOTIMPL;
}
