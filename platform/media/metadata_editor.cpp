// The metadata editor object: one object serves IWMMetadataEditor and IWMHeaderInfo.
#include "platform/media/wmvcore.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "platform/base/lasterror.h"
#include "platform/media/attributes.h"
#include "platform/media/platform_stream.h"

namespace yolt::media {
namespace {

class MetadataEditor final : public IWMMetadataEditor, public IWMHeaderInfo {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IWMMetadataEditor)
            *object = static_cast<IWMMetadataEditor*>(this);
        else if (iid == IID_IWMHeaderInfo)
            *object = static_cast<IWMHeaderInfo*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    STDMETHODIMP Open(LPCWSTR path) override;
    STDMETHODIMP Close() override;
    STDMETHODIMP Flush() override { return Close(); }

    STDMETHODIMP GetAttributeCount(WORD stream, WORD* count) override;
    STDMETHODIMP GetAttributeByIndex(WORD index, WORD* stream, WCHAR* name, WORD* nameLength,
        WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length) override;
    STDMETHODIMP GetAttributeByName(WORD* stream, LPCWSTR name, WMT_ATTR_DATATYPE* type, BYTE* value,
        WORD* length) override;
    STDMETHODIMP SetAttribute(WORD, LPCWSTR, WMT_ATTR_DATATYPE, const BYTE*, WORD) override { return E_NOTIMPL; }

private:
    ~MetadataEditor() = default;
    static HRESULT CopyValue(const Attribute& attribute, WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length);

    std::atomic<ULONG> m_references{1};
    std::unique_ptr<PlatformStream> m_file;  // held open between Open and Close
    std::vector<Attribute> m_attributes;
};

HRESULT MetadataEditor::Open(LPCWSTR path)
{
    if (!path)
        return E_INVALIDARG;
    if (m_file)
        return NS_E_INVALID_REQUEST;
    auto file = std::make_unique<PlatformStream>(path);
    if (!file->isOpen()) {
        HRESULT result = HRESULT_FROM_WIN32(GetLastError());
        return FAILED(result) ? result : E_FAIL;
    }
    std::optional<std::vector<Attribute>> attributes = ReadAttributes(*file);
    if (!attributes)
        return NS_E_INVALID_INPUT_FORMAT;
    m_file = std::move(file);
    m_attributes = std::move(*attributes);
    return S_OK;
}

HRESULT MetadataEditor::Close()
{
    if (!m_file)
        return NS_E_INVALID_REQUEST;
    m_file.reset();
    m_attributes.clear();
    return S_OK;
}

HRESULT MetadataEditor::GetAttributeCount(WORD stream, WORD* count)
{
    if (!count)
        return E_INVALIDARG;
    if (!m_file)
        return NS_E_INVALID_REQUEST;
    *count = stream == 0 ? static_cast<WORD>(m_attributes.size()) : 0;
    return S_OK;
}

HRESULT MetadataEditor::GetAttributeByIndex(WORD index, WORD* stream, WCHAR* name, WORD* nameLength,
    WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length)
{
    if (!stream || !nameLength || !type || !length)
        return E_INVALIDARG;
    if (!m_file)
        return NS_E_INVALID_REQUEST;
    if (*stream != 0 || index >= m_attributes.size())
        return E_INVALIDARG;
    const Attribute& attribute = m_attributes[index];
    WORD needed = static_cast<WORD>(attribute.name.size() + 1);
    if (name) {
        if (*nameLength < needed) {
            *nameLength = needed;
            return ASF_E_BUFFERTOOSMALL;
        }
        std::memcpy(name, attribute.name.c_str(), needed * sizeof(WCHAR));
    }
    *nameLength = needed;
    return CopyValue(attribute, type, value, length);
}

HRESULT MetadataEditor::GetAttributeByName(WORD* stream, LPCWSTR name, WMT_ATTR_DATATYPE* type, BYTE* value,
    WORD* length)
{
    if (!stream || !name || !type || !length)
        return E_INVALIDARG;
    if (!m_file)
        return NS_E_INVALID_REQUEST;
    if (*stream == 0) {
        for (const auto& attribute : m_attributes) {
            if (attribute.name == name)
                return CopyValue(attribute, type, value, length);
        }
    }
    *length = 0;
    return ASF_E_NOTFOUND;
}

HRESULT MetadataEditor::CopyValue(const Attribute& attribute, WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length)
{
    WORD size = static_cast<WORD>(attribute.value.size());
    *type = attribute.type;
    if (value && *length < size) {
        *length = size;
        return ASF_E_BUFFERTOOSMALL;
    }
    if (value && size)
        std::memcpy(value, attribute.value.data(), size);
    *length = size;
    return S_OK;
}

}  // namespace
}  // namespace yolt::media

extern "C" HRESULT WMCreateEditor(IWMMetadataEditor** editor)
{
    if (!editor)
        return E_INVALIDARG;
    *editor = new (std::nothrow) yolt::media::MetadataEditor();
    return *editor ? S_OK : E_OUTOFMEMORY;
}
