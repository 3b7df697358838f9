// The media format runtime's metadata editor: opens an MP3 or ASF (WMA) file by Windows path and
// reads its file-level attributes by name ("Author", "Title", "WM/AlbumTitle", "WM/Genre", ...).
// Also reachable as the system module "WMVCore.dll" (function "WMCreateEditor").
#pragma once

#include "platform/base/types.h"
#include "platform/com/unknown.h"

/// Types of attribute values; the byte layout of each value is given with GetAttributeByName.
enum WMT_ATTR_DATATYPE {
    WMT_TYPE_DWORD = 0,
    WMT_TYPE_STRING = 1,
    WMT_TYPE_BINARY = 2,
    WMT_TYPE_BOOL = 3,
    WMT_TYPE_QWORD = 4,
    WMT_TYPE_WORD = 5,
    WMT_TYPE_GUID = 6,
};

/// The attribute asked for is not in the file (or not at that stream).
#define ASF_E_NOTFOUND ((HRESULT)0xC00D07F0)
/// The value buffer given is smaller than the value; the length tells the size needed.
#define ASF_E_BUFFERTOOSMALL ((HRESULT)0xC00D07D1)
/// The call does not fit the editor's state (no file open, or one already open).
#define NS_E_INVALID_REQUEST ((HRESULT)0xC00D002B)
/// The file is neither an MPEG audio file nor an ASF file that can be read.
#define NS_E_INVALID_INPUT_FORMAT ((HRESULT)0xC00D0BB8)

inline constexpr IID IID_IWMMetadataEditor = {
    0x96406BD9, 0x2B2B, 0x11D3, {0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF}};
inline constexpr IID IID_IWMHeaderInfo = {
    0x96406BDA, 0x2B2B, 0x11D3, {0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF}};

/// Slots after IUnknown's three: Open, Close, Flush.
struct IWMMetadataEditor : IUnknown {
    /// Opens a file (a Windows path) for reading its attributes; the file stays open, readable by
    /// others, until Close or Flush. Fails with NS_E_INVALID_REQUEST when a file is already open,
    /// HRESULT_FROM_WIN32 of the file error when it cannot be opened, NS_E_INVALID_INPUT_FORMAT
    /// when it is neither MPEG audio (an MPEG audio frame or an ID3 tag) nor readable ASF.
    STDMETHOD(Open)(LPCWSTR path) = 0;
    /// Closes the open file; NS_E_INVALID_REQUEST when none is open (for example a second Close).
    STDMETHOD(Close)() = 0;
    /// Writes pending changes (this editor makes none) and closes the file, as Close does.
    STDMETHOD(Flush)() = 0;

protected:
    ~IWMMetadataEditor() = default;
};

/// Slots after IUnknown's three: GetAttributeCount, GetAttributeByIndex, GetAttributeByName,
/// SetAttribute. The marker and script slots that would follow are not offered.
/// Values: WMT_TYPE_STRING is UTF-16 with its terminating zero (length counts it), DWORD and
/// BOOL are 4 bytes, QWORD 8, WORD 2, GUID 16, BINARY as stored; all little-endian.
/// Only stream 0 (the file-level attributes) holds attributes.
/// MP3: "Author", "Title", "WM/AlbumTitle", "WM/Genre" from the ID3v2 frames TPE1, TIT2, TALB,
/// TCON, each falling back to the ID3v1 field when the ID3v2 frame is absent.
/// ASF: "Author", "Title", "Copyright", "Description" from the content description, and the
/// extended attributes by name with their stored type.
struct IWMHeaderInfo : IUnknown {
    /// The number of attributes at a stream.
    STDMETHOD(GetAttributeCount)(WORD stream, WORD* count) = 0;
    /// Attribute `index` of stream *stream: its name (nameLength in characters, terminator
    /// included; a null name asks for the length) and its value as GetAttributeByName gives it.
    STDMETHOD(GetAttributeByIndex)(WORD index, WORD* stream, WCHAR* name, WORD* nameLength,
        WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length) = 0;
    /// The attribute `name` of stream *stream: sets *type and *length (bytes); with a value
    /// buffer of *length bytes also copies the value. ASF_E_NOTFOUND (length 0) when absent,
    /// ASF_E_BUFFERTOOSMALL when *length is too small, E_INVALIDARG for a null argument.
    STDMETHOD(GetAttributeByName)(WORD* stream, LPCWSTR name, WMT_ATTR_DATATYPE* type, BYTE* value,
        WORD* length) = 0;
    /// Changing attributes is not offered: E_NOTIMPL.
    STDMETHOD(SetAttribute)(WORD stream, LPCWSTR name, WMT_ATTR_DATATYPE type, const BYTE* value, WORD length) = 0;

protected:
    ~IWMHeaderInfo() = default;
};

extern "C" {
/// Creates a metadata editor with one reference owned by the caller; E_INVALIDARG for a null
/// out pointer, E_OUTOFMEMORY when it cannot be made.
HRESULT WMCreateEditor(IWMMetadataEditor** editor);
}
