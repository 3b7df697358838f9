// The names a device reports for a model on a drive.
#pragma once

#include "platform/base/types.h"

struct ModelDescription {
    WCHAR modelName[260];
    WCHAR manufacturer[260];
    WCHAR fullName[260];  // "YOLT PX210 (E:)"
};

/// Model name ("X" for unknown models), manufacturer "YOLT" and full name "%s %s (%c:)".
ModelDescription DescribeModel(int model, char letter);
