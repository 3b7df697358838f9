// The message texts the string provider serves, by language.
#pragma once

#include "platform/base/types.h"

/// The text `id` in the language of `locale` (German and French by their primary language), or
/// null when the language or the text is not served.
const WCHAR* FindTranslatedText(ULONG locale, ULONG id);
