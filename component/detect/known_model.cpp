#include "component/detect/known_model.h"

#include <cstdio>
#include <cstring>

namespace {

struct Row {
    KVXRModelType model;
    DWORD vendorId;
    DWORD productId;
    const char* vendor;
    const char* product;
};

// Table order decides which row wins when several match.
constexpr Row kRows[kKnownModelRowCount] = {
    {eMODEL_Unknown, 0x0000, 0x0000, "", ""},
    {eMODEL_PX210, 0x5E93, 0x1001, "YOLT", "PX210"},
    {eMODEL_PX260, 0x5E93, 0x1001, "YOLT", "PX260"},
    {eMODEL_RQ210, 0x5E93, 0x1004, "ST650211", "CF"},
    {eMODEL_RQ210, 0x5E93, 0x1004, "YOLT", "RQ210"},
    {eMODEL_RQ310, 0x5E93, 0x1005, "YOLT", "RQ310"},
    {eMODEL_RQ310, 0x5E93, 0x1005, "TOSHIBA", "MK2004GAL"},
    {eMODEL_RQ310, 0x5E93, 0x1005, "TOSHIBA", "MK4004GAH"},
    {eMODEL_VN210, 0x10CB, 0x8001, "YOLT", "VN210"},
    {eMODEL_VN310, 0x5E93, 0x100A, "YOLT", "VN310"},
    {eMODEL_VN340, 0x5E93, 0x100C, "YOLT", "VN340"},
    {eMODEL_WC110, 0x5E93, 0x1006, "YOLT", "WC110"},
    {eMODEL_WC140, 0x5E93, 0x1007, "YOLT", "WC140"},
    {eMODEL_PX310, 0x5E93, 0x1008, "GENERIC", "USB MP3 DISK"},
    {eMODEL_PX410, 0x5E93, 0x1009, "YOLT", "PX410"},
};

struct Attributes {
    const WCHAR* name;
    int features;
};

constexpr Attributes kAttributes[] = {
    {u"X", 1},
    {u"PX210", 7},
    {u"PX260", 7},
    {u"RQ210", 11},
    {u"RQ310", 3},
    {u"VN210", 1},
    {u"VN310", 1},
    {u"VN340", 1},
    {u"WC110", 7},
    {u"WC140", 7},
    {u"PX310", 1},
    {u"PX410", 7},
};

const Attributes& AttributesOf(int model)
{
    if (model < 1 || model > 11)
        return kAttributes[0];
    return kAttributes[model];
}

}  // namespace

void FillKnownModels(KnownModel* rows)
{
    std::memset(rows, 0, sizeof(KnownModel) * kKnownModelCapacity);
    for (int i = 0; i < kKnownModelRowCount; ++i) {
        KnownModel& row = rows[i];
        row.model = kRows[i].model;
        row.usbVendorId = kRows[i].vendorId;
        row.usbProductId = kRows[i].productId;
        std::strcpy(row.vendor, kRows[i].vendor);
        std::strcpy(row.product, kRows[i].product);
    }
    for (int i = 0; i < kKnownModelRowCount; ++i)
        std::snprintf(rows[i].deviceIdPattern, sizeof rows[i].deviceIdPattern, "VID_%04X&PID_%04X",
            static_cast<unsigned>(rows[i].usbVendorId), static_cast<unsigned>(rows[i].usbProductId));
}

const WCHAR* ModelNameOf(int model)
{
    return AttributesOf(model).name;
}

int SupportFeatureOf(int model)
{
    return AttributesOf(model).features;
}
