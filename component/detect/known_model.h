// The players the component knows: for each row the model, the USB identifiers the player
// enumerates with and the vendor and product strings its storage reports; and the per-model
// attributes a device reports.
#pragma once

#include "component/contract/enums.h"
#include "platform/base/types.h"

struct KnownModel {
    KVXRModelType model;
    DWORD usbVendorId;
    DWORD usbProductId;
    char vendor[260];
    char product[260];
    char deviceIdPattern[64];  // "VID_%04X&PID_%04X"
};

/// Rows of the table; the table holds kKnownModelCapacity rows of which the first
/// kKnownModelRowCount are used.
constexpr int kKnownModelCapacity = 20;
constexpr int kKnownModelRowCount = 15;

/// Fills `rows` (kKnownModelCapacity entries): all zero, then the known rows in table order.
void FillKnownModels(KnownModel* rows);

/// The model's name ("PX210"...), "X" for 0 and every unknown value.
const WCHAR* ModelNameOf(int model);
/// The model's feature flags; 1 (firmware upgrade only) for unknown values.
int SupportFeatureOf(int model);
