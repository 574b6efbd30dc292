// Values across the C interface: values::Variant to and from KxVariant. Strings cross as UTF-8
// KxBStr; the objects a control's members take (fonts, pictures, data objects) cross as value
// objects the runtime hands out, each carrying its host object, so a client can hand it back.
#pragma once

#include "runtime/kestrinx_abi.h"
#include "values/variant.h"

namespace kestrinx::runtime {

// The host value `v` stands for. By-reference values are read through (one level; a
// by-reference variant once more). A NULL object is nothing (Empty); a value object this
// runtime handed out gives its value.
// Throws InterfaceError(DISP_E_BADVARTYPE) for a type the runtime does not take (and for
// KX_VT_ERROR, which only an argument list may hold), InterfaceError(E_POINTER) for a NULL
// by-reference pointer, AutomationError 13 for an object of anyone else, 94 for Null.
values::Variant fromAbi(const KxVariant& v);

// `value` as a variant the caller owns: strings newly allocated, objects as new value objects.
// `out` is overwritten, not cleared. Throws std::bad_alloc.
void toAbi(const values::Variant& value, KxVariant& out);

}  // namespace kestrinx::runtime
