// Values between Qt and the control: QVariant and the automation Variant.
#pragma once

#include <QVariant>

#include "values/automation.h"
#include "values/variant.h"

namespace kestrinx::qt {

// A value as Qt code sees it: Boolean as bool, Integer and Long as int, Single float, Double
// double, String QString, a font QFont, a picture or data object its shared pointer; Empty
// an invalid QVariant.
QVariant toQVariant(const values::Variant& v);
// A property's value as its Qt property type has it: as toQVariant, a colour as its 32 bits
// (uint, 0x800000nn for system colours).
QVariant toQVariant(const values::Variant& v, values::AutoType type);
// A Qt value as a Variant, for the control's coercions to take: integers as Long (Double when
// beyond 32 bits, so an unsigned colour such as 0x80000005 still reaches the colour coercion),
// bool as Boolean, a QFont as a new font object, a QColor as its RGB colour (0x00BBGGRR).
values::Variant fromQVariant(const QVariant& q);

}  // namespace kestrinx::qt
