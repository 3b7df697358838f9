// The storage property query: what a volume's device reports about itself.
#pragma once

#include "platform/base/types.h"

enum STORAGE_PROPERTY_ID { StorageDeviceProperty = 0 };
enum STORAGE_QUERY_TYPE { PropertyStandardQuery = 0, PropertyExistsQuery = 1 };

struct STORAGE_PROPERTY_QUERY {
    DWORD PropertyId;
    DWORD QueryType;
    BYTE AdditionalParameters[1];
};
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12);

#define BusTypeUnknown 0
#define BusTypeScsi 1
#define BusTypeAtapi 2
#define BusTypeAta 3
#define BusType1394 4
#define BusTypeSsa 5
#define BusTypeFibre 6
#define BusTypeUsb 7

/// The descriptor's strings follow it in the same buffer, at the given offsets from its start.
struct STORAGE_DEVICE_DESCRIPTOR {
    DWORD Version;
    DWORD Size;
    BYTE DeviceType;
    BYTE DeviceTypeModifier;
    BYTE RemovableMedia;
    BYTE CommandQueueing;
    DWORD VendorIdOffset;
    DWORD ProductIdOffset;
    DWORD ProductRevisionOffset;
    DWORD SerialNumberOffset;
    DWORD BusType;
    DWORD RawPropertiesLength;
    BYTE RawDeviceProperties[1];
};
static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR) == 40);
