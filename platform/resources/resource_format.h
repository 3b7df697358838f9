// The layout of a module's compiled resources, written by tools/rc and read by the platform.
//
// A module carries one resource blob in its ELF section ".yoltrsrc", starting at the section's
// first byte and also reachable through the exported symbol "yolt_resource_blob". All numbers
// are little-endian; every offset counts from the first byte of the blob.
//
//   BlobHeader                      magic "YSRC", version 1, total size, number of entries
//   Entry[entryCount]               one per (type, name, language)
//   names and data                  UTF-16 names (zero-terminated, upper case) and the data of
//                                   each entry, every piece starting on an 8-byte boundary
//
// A type or name is a number when its name offset is 0, otherwise a text at that offset.
//
// What the data of each type holds:
// - RT_BITMAP (2): a device-independent bitmap, i.e. a BMP file without its 14-byte file
//   header: BITMAPINFOHEADER, colour table, pixel rows (bottom-up, rows padded to 4 bytes).
// - RT_ICON (3) / RT_CURSOR (1): one image of an icon or cursor file, as a DIB whose header
//   height is twice the image height (colour image, then the 1-bit AND mask). A cursor image
//   is preceded by two WORDs: the hot spot's x and y.
// - RT_GROUP_ICON (14) / RT_GROUP_CURSOR (12): GroupHeader, then GroupEntry per image naming
//   the RT_ICON / RT_CURSOR resource that holds it (see icons.h for a decoder).
// - RT_DIALOG (5): a dialog template, layout in dialog_template.h.
// - RT_STRING (6): block n holds strings (n-1)*16 .. (n-1)*16+15, each as a WORD length and
//   that many UTF-16 units without terminator; an absent string has length 0.
// - RT_VERSION (16): the version tree (VS_VERSIONINFO), layout in version_info.h.
// - Named types (such as "TYPELIB"): the bytes of the file named in the script.
#pragma once

#include <cstddef>
#include <cstdint>

namespace yolt::rsrc {

inline constexpr char kSectionName[] = ".yoltrsrc";
inline constexpr char kBlobSymbol[] = "yolt_resource_blob";
inline constexpr uint32_t kBlobMagic = 0x43525359;  // the bytes "YSRC"
inline constexpr uint32_t kBlobVersion = 1;
inline constexpr uint32_t kDataAlignment = 8;

struct BlobHeader {
    uint32_t magic;
    uint32_t version;
    uint32_t totalSize;   // bytes of the whole blob, header included
    uint32_t entryCount;
};
static_assert(sizeof(BlobHeader) == 16);

struct Entry {
    uint32_t typeId;          // the type's number, when typeNameOffset is 0
    uint32_t typeNameOffset;  // offset of the type's name, or 0
    uint32_t nameId;          // the resource's number, when nameNameOffset is 0
    uint32_t nameNameOffset;  // offset of the resource's name, or 0
    uint32_t language;        // language id; 0 is neutral
    uint32_t dataOffset;
    uint32_t dataSize;
    uint32_t reserved;
};
static_assert(sizeof(Entry) == 32);

#pragma pack(push, 2)
/// Head of RT_GROUP_ICON / RT_GROUP_CURSOR data (as an icon file's directory head).
struct GroupHeader {
    uint16_t reserved;  // 0
    uint16_t type;      // 1 icon, 2 cursor
    uint16_t count;
};
/// One image of a group. For icons: width, height (bytes, 0 = 256), colour count, reserved,
/// planes, bits per pixel. For cursors the first four bytes are a WORD width and a WORD height
/// (twice the image height, as in the DIB header).
struct GroupEntry {
    uint8_t width;
    uint8_t height;
    uint8_t colorCount;
    uint8_t reserved;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t bytesInRes;
    uint16_t id;  // the RT_ICON or RT_CURSOR resource holding the image
};
#pragma pack(pop)
static_assert(sizeof(GroupHeader) == 6);
static_assert(sizeof(GroupEntry) == 14);

}  // namespace yolt::rsrc
