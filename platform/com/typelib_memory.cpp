// Type libraries made from compiled bytes in memory.
#include "platform/com/typeinfo.h"
#include "platform/com/typelib_model.h"

namespace yolt {

HRESULT LoadTypeLibFromMemory(const BYTE* data, size_t size, ITypeLib** lib)
{
    if (!lib)
        return E_INVALIDARG;
    *lib = nullptr;
    auto library = std::make_shared<typelib::Library>();
    HRESULT hr = typelib::ParseLibrary(data, size, *library);
    if (FAILED(hr))
        return hr;
    *lib = typelib::CreateTypeLib(std::move(library));
    return S_OK;
}

}  // namespace yolt
