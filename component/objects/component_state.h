// What the loaded component keeps for its whole life: the language of its messages and the
// optional string provider.
#pragma once

#include "component/contract/string_provider.h"

/// The language of the component's message texts, shared by every detector; 0 until set.
extern ULONG g_componentLocale;

/// The string provider created when the component was loaded, or null.
IKVXRStringProvider* ComponentStringProvider();
/// Tries once to create the provider; a missing provider leaves it null.
void CreateComponentStringProvider();
void ReleaseComponentStringProvider();
/// Replaces the provider with `provider` (which gains a reference), as if it had been created
/// at load; for tests of the component's parts linked into a test program.
void SetComponentStringProvider(IKVXRStringProvider* provider);
