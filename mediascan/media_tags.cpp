#include "mediascan/media_tags.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/modules.h"
#include "platform/media/wmvcore.h"

namespace {

using CreateEditorFunction = HRESULT (*)(IWMMetadataEditor**);

// A failure status from the last system error; E_FAIL when the system left none.
HRESULT LastErrorStatus()
{
    HRESULT status = HRESULT_FROM_WIN32(GetLastError());
    return FAILED(status) ? status : E_FAIL;
}

// Copies the UTF-16 text of a value block into `buffer`: up to its terminating zero, the end of
// the block or the buffer's last unit, whichever comes first. A value without a terminator is
// never read past its block.
void CopyText(const BYTE* block, WORD length, WCHAR* buffer)
{
    size_t units = std::min<size_t>(length / sizeof(WCHAR), kTagBufferUnits - 1);
    size_t copied = 0;
    for (; copied < units; ++copied) {
        WCHAR unit;
        std::memcpy(&unit, block + copied * sizeof(WCHAR), sizeof unit);
        if (unit == u'\0')
            break;
        buffer[copied] = unit;
    }
    buffer[copied] = u'\0';
}

// Sets `field` from one attribute: its text when one was found, else empty.
void ReadField(IWMHeaderInfo* info, LPCWSTR name, WCHAR* buffer, std::u16string& field)
{
    BOOL found = 0;
    HRESULT status = ReadStringAttribute(info, name, buffer, &found);
    if (SUCCEEDED(status) && found == 1)
        field = buffer;
    else
        field.clear();
}

}  // namespace

HRESULT ReadStringAttribute(IWMHeaderInfo* info, LPCWSTR name, WCHAR* buffer, BOOL* found)
{
    *found = 0;
    WORD stream = 0;
    WORD length = 0;
    WMT_ATTR_DATATYPE type = WMT_TYPE_DWORD;
    HRESULT status = info->GetAttributeByName(&stream, name, &type, nullptr, &length);
    if (FAILED(status) && status != ASF_E_NOTFOUND)
        return status;
    if (length == 0 && status == ASF_E_NOTFOUND)
        return S_OK;

    // One byte more than asked for, so a zero length still gives a block.
    auto* block = static_cast<BYTE*>(std::malloc(static_cast<size_t>(length) + 1));
    if (!block)
        return E_OUTOFMEMORY;
    WORD valueLength = length;
    status = info->GetAttributeByName(&stream, name, &type, block, &valueLength);
    if (FAILED(status)) {
        std::free(block);
        return status;
    }
    if (type == WMT_TYPE_STRING) {
        CopyText(block, std::min(length, valueLength), buffer);
        *found = 1;
    }
    std::free(block);
    return status;
}

HRESULT MediaTags::Read(LPCWSTR filePath)
{
    path = filePath ? filePath : u"";
    HMODULE runtime = LoadLibraryW(u"WMVCore.dll");
    if (!runtime)
        return LastErrorStatus();
    // Through a plain function pointer type, the usual way to convert a looked-up address.
    auto createEditor = reinterpret_cast<CreateEditorFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(runtime, "WMCreateEditor")));
    if (!createEditor) {
        HRESULT status = LastErrorStatus();
        FreeLibrary(runtime);
        return status;
    }

    IWMMetadataEditor* editor = nullptr;
    IWMHeaderInfo* info = nullptr;
    HRESULT result = createEditor(&editor);
    if (SUCCEEDED(result) && !editor)
        result = E_POINTER;
    if (SUCCEEDED(result))
        result = editor->Open(filePath);
    if (SUCCEEDED(result))
        result = editor->QueryInterface(IID_IWMHeaderInfo, reinterpret_cast<void**>(&info));
    if (SUCCEEDED(result)) {
        WCHAR buffer[kTagBufferUnits] = {};
        ReadField(info, u"WM/AlbumTitle", buffer, album);
        ReadField(info, u"Author", buffer, artist);
        ReadField(info, u"WM/Genre", buffer, genre);
        ReadField(info, u"Title", buffer, title);
        result = editor->Close();
    }
    if (info)
        info->Release();
    if (editor)
        editor->Release();
    FreeLibrary(runtime);
    return result;
}
