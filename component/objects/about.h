// The About text: what the component file says about itself.
#pragma once

#include "platform/base/types.h"

/// Builds the About text of the module's file: product name, comments, file version, legal
/// copyright, formatted size and full path, each present field followed by its separator.
/// E_INVALIDARG for a bad result pointer or an unknown path, E_FAIL without version data or text.
HRESULT BuildAboutString(HMODULE module, BSTR* text);
