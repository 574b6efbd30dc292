// The published identity of the General property page: its (memberless) dual interface and the
// class a host creates to show the page. The type library and the registration read these; the
// page itself lives beside this header.
#pragma once

#include <string_view>

#include "values/automation.h"

namespace kestrinx::propertypage {

inline constexpr std::string_view kGeneralInterfaceName = "_General";
inline constexpr values::Guid kGeneralInterfaceId = values::Guid::parse("A7D52C6C-91AD-11D2-A265-00A0C93C9297");
inline constexpr std::string_view kGeneralClassName = "General";
inline constexpr values::Guid kGeneralClassId = values::Guid::parse("A7D52C6D-91AD-11D2-A265-00A0C93C9297");
// The programmatic name hosts and the registry know the page class by.
inline constexpr std::string_view kGeneralProgId = "KestrinX.General";

}  // namespace kestrinx::propertypage
