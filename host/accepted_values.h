// The values every host's widgets and surfaces accept for their sizes and numbered members;
// anything else is error 380 ("Invalid property value"). Each returns the value it accepted.
#pragma once

#include <cmath>
#include <cstdint>

#include "values/error.h"
#include "values/types.h"

namespace kestrinx::host {

namespace detail {
template <typename T>
T checkedRange(T v, T least, T most) {
  if (v < least || v > most) values::raiseError(values::err::InvalidPropertyValue);
  return v;
}
}  // namespace detail

// A width or height: a finite length of zero or more.
inline values::Twips checkedSize(values::Twips v) {
  if (!std::isfinite(v) || v < 0) values::raiseError(values::err::InvalidPropertyValue);
  return v;
}
// SelStart, SelLength, MaxLength: zero or more.
inline std::int32_t checkedCount(std::int32_t v) {
  if (v < 0) values::raiseError(values::err::InvalidPropertyValue);
  return v;
}
// MousePointer: 0 to 15, or 99 (the mouse icon).
inline std::int16_t checkedMousePointer(std::int16_t v) {
  return v == 99 ? v : detail::checkedRange<std::int16_t>(v, 0, 15);
}
// LinkMode: 0 none, 1 automatic, 2 manual, 3 notify.
inline std::int16_t checkedLinkMode(std::int16_t v) { return detail::checkedRange<std::int16_t>(v, 0, 3); }
// OLEDragMode: 0 manual, 1 automatic.
inline std::int16_t checkedOleDragMode(std::int16_t v) { return detail::checkedRange<std::int16_t>(v, 0, 1); }
// OLEDropMode: 0 none, 1 manual, 2 automatic.
inline std::int16_t checkedOleDropMode(std::int16_t v) { return detail::checkedRange<std::int16_t>(v, 0, 2); }

}  // namespace kestrinx::host
