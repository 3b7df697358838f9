// Constants every script may use without including a header: window, dialog and control
// styles, dialog command ids, version-resource flags and language ids.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace yolt::rc {

/// The value of a predefined constant, or nullopt.
std::optional<uint32_t> PredefinedConstant(const std::string& name);
/// The window class a CONTROL statement names by keyword (BUTTON -> "Button"), or empty.
std::u16string PredefinedClass(const std::string& name);

}  // namespace yolt::rc
